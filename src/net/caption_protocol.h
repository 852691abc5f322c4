#pragma once
// The wire format of the team's protocol in one place: every token and every payload encoder and
// parser. Windows and controllers never spell a token themselves. All bytes are code page 932.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace Net::Wire {

// ---- tokens ----
const QByteArray& BlankLine();     // "$改行$": an empty line (6711) / an emptied input pane (6721)
const QByteArray& ErasedPane();    // "●消去●": the pane was erased with Backspace or ESC (6721)
const QByteArray& NullPane();      // "$null$": the partner's pane became empty (6712)
const QByteArray& ClearPane();     // "$clear$": the partner erased a half-typed line (6712)
const QByteArray& PaneSent();      // " ": the partner sent its line, so its monitor pane empties (6712)
const QByteArray& SettingsStart(); // "$set$": a line of a display-settings transfer begins with it (6712)
const QByteArray& SettingsEnd();   // "$end$": the transfer is complete (6712)
const QByteArray& NullLine();      // "$null$": an empty display line in a correction batch (6713)
const QByteArray& BatchEnd();      // "＜エラー＞行数違い！": closes a correction batch from "送"
const QByteArray& RollEnd();       // "`@": closes a batch from the pre-roll window
const QByteArray& BatchStart();    // "`*": empties the receiver's correction buffer

bool IsBatchEnd(QByteArrayView item);
bool IsSettingsTransfer(QByteArrayView text);  // "$set$…" or "$end$"

// ---- commands on 6723 (sent plain, never scrambled) ----
enum class Command { Undo, Delete, Clear };
QByteArray CommandWord(Command c);                     // "undo", "del", "cls"
std::optional<Command> ParseCommand(QByteArrayView text);
// The form a command takes while correction mode holds it back: "$undo$", "$del$", "$cls$".
QByteArray HeldCommand(Command c);
std::optional<Command> ParseHeldCommand(QByteArrayView item);

// ---- lines on 6711 ----
inline constexpr qsizetype kStartFieldBytes = 13;  // "HH:MM:SS:mmm,"
// The line datagram's text: with a start time (already formatted), that field and a comma first.
QByteArray LinePayload(const QByteArray& text, const std::optional<QByteArray>& startField);
// The text of a received line that carries the sender's start-time field.
QByteArray WithoutStartField(const QByteArray& text);

// ---- the 8-person monitor feed on 6721: sender address, ",", the sender's pane ----
QByteArray MonitorFeed(const QString& ownAddress, const QByteArray& text);
// Text before the first "," and everything after it, commas included.
struct PrefixedText {
    QByteArray prefix;
    QByteArray text;
    bool hadComma = false;
};
PrefixedText SplitAtFirstComma(QByteArrayView payload);

// ---- control messages: comma-separated fields (search, pairing, leave) ----
struct ControlFields {
    QList<QByteArray> fields;
    qsizetype size() const { return fields.size(); }
    bool has(qsizetype i) const { return i < fields.size(); }
    QByteArray at(qsizetype i) const { return i < fields.size() ? fields[i] : QByteArray(); }
};
inline constexpr int kMaxControlFields = 10;
inline constexpr int kMaxControlFieldBytes = 99;
// Splits at every ",". Receivers with fixed slots hold ten fields of 99 bytes: a longer field is cut
// to 99 bytes on a character boundary and fields after the tenth are not read, so a station with a
// long name is still heard.
ControlFields SplitControlMessage(QByteArrayView payload);

// A name as it travels: a "," would shift every following field at the receiver, so it goes as the
// full-width "，" instead.
QByteArray NameField(const QString& name);

const QByteArray& Req();          // search request verb; also the partner request's sub-verb
const QByteArray& Ans();          // answer verb / sub-verb
const QByteArray& Ful();          // group-full verb
const QByteArray& ReqPartner();   // "Req-Partner"
const QByteArray& CanPartner();   // "Can-Partner"

QByteArray SearchRequest(const QString& own, const QString& name, int group);
QByteArray SearchAnswer(const QString& own, const QString& addressee, const QString& name, const QByteArray& verb);
QByteArray PairingMessage(const QString& own, const QString& addressee, const QString& name, const QByteArray& verb,
                          const QByteArray& subVerb);
QByteArray LeaveNotice(const QString& own, const QString& name);

// A search request (6722): sender, name, verb, optional group.
struct SearchRequestMsg {
    QString sender;
    QString name;
    QByteArray verb;
    std::optional<QByteArray> group;
};
SearchRequestMsg ParseSearchRequest(QByteArrayView payload);

// A search answer (6718): sender, the address the sender used for us, name, verb, optional group.
struct SearchAnswerMsg {
    QString sender;
    QString seenAs;
    QString name;
    QByteArray verb;
    std::optional<QByteArray> group;
};
SearchAnswerMsg ParseSearchAnswer(QByteArrayView payload);

// A pairing message (6719): sender, addressee, name, verb, sub-verb.
struct PairingMsg {
    QString sender;
    QByteArray verb;
    QByteArray subVerb;
};
PairingMsg ParsePairing(QByteArrayView payload);

// A leave notice (6724): the sender's address is all a receiver uses.
QString ParseLeaveSender(QByteArrayView payload);

}  // namespace Net::Wire

namespace Net::Wire {

// ---- live typing ----
// What the partner's monitor pane gets for this pane: the text, or with an empty first line
// "$clear$" after an erasing key and "$null$" after any other.
QByteArray PartnerLiveText(const QByteArray& pane, bool firstLineEmpty, bool erased);
// What the 8-person monitors get: the text, or "●消去●" after an erasing key and "$改行$".
QByteArray MonitorLiveText(const QByteArray& pane, bool firstLineEmpty, bool erased);

// What arrives on the partner channel (6712).
enum class PartnerText { Empty, Erased, Settings, Text };
PartnerText ClassifyPartnerText(QByteArrayView text);

}  // namespace Net::Wire

namespace Net::Wire {

// ---- prepared text: pre-roll monitor and linkage, palette, ruby, karaoke remote ----
const QByteArray& MonitorClear();    // "$消去$": empty the pre-roll monitor part of this port (6734, 6735)
const QByteArray& KaraokeNext();     // "$next$": the partner's karaoke moves to the next line
const QByteArray& KaraokePrevious(); // "$befor$": and back to the previous one

// A pre-roll monitor line as it travels: an empty line goes as "$改行$".
QByteArray MonitorLine(const QByteArray& text);

// The pre-roll linkage on 6720: the caret line as plain decimal digits. A payload that is not a
// non-negative decimal integer (digits only, nothing else) is not a line number.
QByteArray LinkLine(int line);
std::optional<int> ParseLinkLine(QByteArrayView payload);

// A palette pane's text for the correction monitor (6732) and linked palettes (6717): the pane
// number as one digit, ",", the text.
QByteArray PaneUpdate(int pane, const QByteArray& text);
struct PaneUpdateMsg {
    int pane = 0;     // 1 … 6
    QByteArray text;  // everything after the first ",", commas included (empty without one)
};
// nullopt unless the payload begins with a digit 1 … 6.
std::optional<PaneUpdateMsg> ParsePaneUpdate(QByteArrayView payload);

// A ruby annotation on 6736: base text "," reading. Further fields are dropped on receipt.
QByteArray RubyAnnotation(const QByteArray& base, const QByteArray& reading);
struct RubyMsg {
    QByteArray base;
    QByteArray reading;
};
RubyMsg ParseRubyAnnotation(QByteArrayView payload);

// A display-settings transfer as the partner channel carries it: "$set$" + the header line,
// "$set$" + each settings line, "$end$".
const QByteArray& SettingsHeader();  // "999:＜番号付き表示設定ファイル２＞"
QList<QByteArray> SettingsTransfer(const QList<QByteArray>& lines);

}  // namespace Net::Wire
