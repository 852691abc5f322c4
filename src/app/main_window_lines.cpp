// The caption path: the one send path for finished lines, the receivers of lines, commands and
// corrections, undo, delete and clear screen, and correction mode.
#include "app/main_window.h"
#include "app/text_pane.h"

#include "app/canvas.h"
#include "app/wastop_monitor.h"
#include "core/record.h"
#include "net/datagram_endpoint.h"
#include "prepared/correction_palette.h"
#include "prepared/subinput_window.h"
#include "prepared/template_window.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace {

const QByteArray kBlank = Cp932::encode(QStringLiteral("$改行$"));
const QByteArray kBatchEnd = Cp932::encode(QStringLiteral("＜エラー＞行数違い！"));
const QByteArray kRollEnd = "`@";
const QByteArray kBatchStart = "`*";
const QByteArray kNull = "$null$";
constexpr qsizetype kLineLimit = 513;

QString clockText(const QTime& t) {
    return QStringLiteral("%1:%2:%3:%4").arg(t.hour()).arg(t.minute()).arg(t.second()).arg(t.msec());
}

QString dec(const QByteArray& b) { return Cp932::decode(b); }

}  // namespace

const QString Ttalk2e::kTooLong = QStringLiteral("全角256字以上の文字を送ろうとした。");

void Ttalk2e::wireLines() {
    connect(CheckBox21, &QCheckBox::toggled, this, &Ttalk2e::CheckBox21Click);
    connect(CheckBox35, &QCheckBox::toggled, this, &Ttalk2e::CheckBox35Click);
    connect(CheckBox36, &QCheckBox::toggled, this, &Ttalk2e::CheckBox36Click);
    connect(Button14, &QPushButton::clicked, this, &Ttalk2e::SendCorrection);
}

// ---------------------------------------------------------------------------------------------
// Sending

int Ttalk2e::SendLine(const QByteArray& original) {
    if (original.size() >= kLineLimit) {
        Message(kTooLong);
        return 1;
    }
    refilledByUndo = false;
    QByteArray text = Text::FilterText(original);
    undoInProgress = false;
    lastFromSelf = true;

    if (Form14->CheckBox45->isChecked()) {
        if (CheckBox21->isChecked()) PushHistory(text);
        else ShowSplitLine(text);
    } else {
        PushHistory(text);
        if (!CheckBox21->isChecked()) AppendLocalLine(text);
    }
    if (hasPartner) NMUDP2->send(ScrambleTraffic(" "));  // clears the partner's monitor pane
    if (text.isEmpty()) text = kBlank;
    if (CheckBox41->isChecked() && text != kBlank) CopyToClipboard(text);

    if (CheckBox22->isChecked()) {
        if (CheckBox21->isChecked()) {
            SendToMembers(*Fkakunin->NMUDP1, ScrambleTraffic(text));
            if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[自分],（修正パレットに送信）") + dec(text));
        } else {
            TransmitLine(text);
            if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[自分],") + dec(text));
            if (CheckBox20->isChecked()) {
                const QByteArray now = Text::FormatClock(clockText(station_.clock.now().time()).toLatin1());
                const QByteArray start = Text::FormatClock(
                    inputStartTime.isValid() ? clockText(inputStartTime.time()).toLatin1() : QByteArray());
                Log(QString::fromLatin1(now + ',' + start + ',') + dec(text));
            }
        }
    }

    if (CheckBox53->isChecked()) {
        QTextCursor c = RichEdit1->textCursor();
        c.removeSelectedText();
    } else {
        RichEdit1->clear();
    }
    if (RichEdit1->document()->firstBlock().text().isEmpty() && !Edit31->text().isEmpty()) {
        QTextCursor c(RichEdit1->document());
        c.insertText(Edit31->text());
        RichEdit1->setTextCursor(c);
    }
    if (CheckBox15->isChecked() || CheckBox23->isChecked()) {
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    }
    inputStarted = false;
    return 0;
}

void Ttalk2e::TransmitLine(const QByteArray& line) {
    QByteArray text = line;
    if (CheckBox20->isChecked()) {
        const QByteArray start =
            Text::FormatClock(inputStartTime.isValid() ? clockText(inputStartTime.time()).toLatin1() : QByteArray());
        text = start + ',' + text;
        inputStarted = false;
    }
    const QByteArray payload = ScrambleTraffic(text);
    SendToMembers(*NMUDP1, payload);
    if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP1, Net::SiblingPorts::Lines, payload);
}

void Ttalk2e::CopyToClipboard(const QByteArray& text) {
    RichEdit5->setPlainText(dec(text));
    RichEdit5->selectAll();
    station_.clipboard.setText(RichEdit5->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void Ttalk2e::SetStripColour(StripColour colour) {
    const QColor c = colour == StripColour::Red      ? QColor(255, 0, 0)
                     : colour == StripColour::Yellow ? QColor(255, 255, 0)
                                                     : QApplication::palette().color(QPalette::Button);
    for (QWidget* w : stripPanels()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    stripColour_ = colour;
}

void Ttalk2e::CheckBox21Click() {
    const bool toPalette = CheckBox21->isChecked();
    if (toPalette) {
        Fkakunin->hide();
        ButtonPalette->hide();
        CheckBox11->setChecked(true);
        CheckBox30->setChecked(false);
        CheckBox31->setChecked(false);
    } else {
        ButtonPalette->show();
    }
    CheckBox30->setVisible(!toPalette);
    CheckBox31->setVisible(!toPalette);
}

void Ttalk2e::CheckBox35Click() {
    if (!CheckBox35->isChecked()) CheckBox36->setChecked(false);
}

void Ttalk2e::CheckBox36Click() {
    if (!CheckBox36->isChecked() || CheckBox35->isChecked()) return;
    CheckBox36->setChecked(false);
    Message(QStringLiteral(
        "「入力部内で改行する」のチェックを入れてください。\n"
        "「入力部内で改行」せずに、単に「空行のみ改行」だけで使う場合は、チェックは必要ありません。"));
}

// ---------------------------------------------------------------------------------------------
// Receiving lines

void Ttalk2e::NMUDP1DataReceived(const QByteArray& payload, const QString& from, quint16) {
    QByteArray text = Text::FilterText(payload);
    if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[") + from + QStringLiteral("],") + dec(text));
    if (CheckBox20->isChecked()) {
        Log(LogClock() + u',' + dec(text));
        text.remove(0, 13);  // the sender's start-time field and its comma
    }
    if (CheckBox85->isChecked()) Form8->hold(text);
    else ShowReceivedLine(text);
    if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP1, Net::SiblingPorts::Lines, text);
}

void Ttalk2e::ShowReceivedLine(const QByteArray& text) {
    undoInProgress = false;
    lastFromSelf = false;
    if (Form14->CheckBox45->isChecked()) {
        ShowSplitLine(text == kBlank ? QByteArray() : text);
    } else {
        PushHistory(text);
        AppendReceivedLine(text == kBlank ? QByteArray() : text);
    }
    if (CheckBox24->isChecked() && text != kBlank) CopyToClipboard(text);
}

// ---------------------------------------------------------------------------------------------
// Commands: undo, delete, clear screen

void Ttalk2e::NMUDP9DataReceived(const QByteArray& text, const QString& from, quint16) {
    if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP9, Net::SiblingPorts::Commands, text);
    const bool holding = CheckBox85->isChecked();
    auto log = [&](const QString& tag) {
        if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[") + from + QStringLiteral("],") + tag);
    };
    if (text == "undo") {
        log(QStringLiteral("（Ｕｎｄｏ）"));
        if (holding) Form8->hold("$undo$");
        else UndoLastDisplay();
    } else if (text == "del") {
        log(QStringLiteral("（ＤＥＬ）"));
        if (holding) Form8->hold("$del$");
        else DeleteLastChar();
    } else if (text == "cls") {
        log(QStringLiteral("（ｃｌｓ）"));
        if (holding) Form8->hold("$cls$");
        else ClearScreen();
    }
}

Ttalk2e::UndoRange Ttalk2e::NewestEntryRange() const {
    // The record here counts a line break as two bytes everywhere, so each shown text is exactly
    // its recorded changes: the text, and with the marker the marker's removal and return.
    const qsizetype L = record->byteLength();
    const qsizetype e0 = changeLengths[0], e1 = changeLengths[1];
    UndoRange r;
    if (markerOn() && blankLineOnly()) {
        r.length = e0 - 2;  // the text, without the "◆" that came with it
        r.start = L - r.length - 4;
        r.entries = 2;
    } else if (markerOn()) {
        r.length = e1;  // the text line, above the "■" line
        r.start = L - r.length - e0;
        r.entries = 3;
    } else if (blankLineOnly()) {
        r.length = e0;
        r.start = L - r.length - 2;
    } else {
        r.length = e0;
        r.start = L - r.length;
    }
    r.start = qBound<qsizetype>(0, r.start, L);
    r.length = qBound<qsizetype>(0, r.length, L - r.start);
    return r;
}

void Ttalk2e::DropChangeEntries(int entries) {
    auto& c = changeLengths;
    if (entries == 1) {
        std::move(c.begin() + 1, c.begin() + 5, c.begin());
        c[4] = 0;
    } else if (entries == 2) {
        std::move(c.begin() + 2, c.begin() + 10, c.begin());
        c[8] = c[9] = 0;
    } else {
        std::move(c.begin() + 3, c.end(), c.begin());
        c[12] = c[13] = c[14] = 0;
    }
}

void Ttalk2e::UndoLastDisplay() {
    undoInProgress = true;
    lastFromSelf = true;
    if (changeLengths[0] <= 0) return;
    const UndoRange r = NewestEntryRange();
    DropChangeEntries(r.entries);
    record->removeBytes(r.start, r.length);
    lastRecordLength = record->byteLength();
    std::move(sentHistory.begin() + 1, sentHistory.end(), sentHistory.begin());
    sentHistory[4].clear();
    if (!wordProcessorMode && CheckBox40->isChecked()) {
        scroll.jumpToEnd(record->lineCount());
        RedrawCanvases();
    }
}

void Ttalk2e::UndoToInput(bool after) {
    if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[自分],（Ｕｎｄｏ）"));
    refilledByUndo = true;
    if (!lastFromSelf && !CheckBox11->isChecked()) return;
    if (changeLengths[0] <= 0) return;  // nothing to take back

    const QByteArray newest = sentHistory[0];
    undoInProgress = true;
    lastFromSelf = true;
    const UndoRange r = NewestEntryRange();
    DropChangeEntries(r.entries);
    record->removeBytes(r.start, r.length);
    lastRecordLength = record->byteLength();

    // Refill the input pane with the text taken back.
    const QString t = newest == kBlank ? QString() : dec(newest);
    QTextDocument* pane = RichEdit1->document();
    QTextCursor c(pane);
    const bool empty = pane->isEmpty();
    if (CheckBox35->isChecked() && !CheckBox36->isChecked()) {
        if (empty) {
            RichEdit1->setPlainText(t);
        } else if (after) {
            c.movePosition(QTextCursor::End);
            c.insertText(u'\n' + t);
        } else {
            c.insertText(t + u'\n');
        }
    } else if (CheckBox35->isChecked()) {
        if (empty) {
            RichEdit1->setPlainText(t);
        } else if (t.isEmpty()) {
            if (after) {
                c.movePosition(QTextCursor::End);
                c.insertText(QStringLiteral("\n"));
            } else {
                c.insertText(QStringLiteral("\n"));
            }
        } else if (after) {
            c.movePosition(QTextCursor::End);
            c.insertText(t);
        } else {
            c.insertText(t);
        }
    } else if (newest != kBlank) {
        if (after) c.setPosition(pane->firstBlock().position() + pane->firstBlock().length() - 1);
        c.insertText(t);
    }

    std::move(sentHistory.begin() + 1, sentHistory.end(), sentHistory.begin());
    sentHistory[4].clear();
    if (CheckBox22->isChecked()) {
        SendToMembers(*NMUDP9, "undo");
        if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP9, Net::SiblingPorts::Commands, "undo");
    }
    if (!wordProcessorMode && CheckBox40->isChecked()) {
        scroll.jumpToEnd(record->lineCount());
        RedrawCanvases();
    }
}

void Ttalk2e::DeleteLastChar() {
    ResetUndoState();
    if (markerOn()) RemoveMarker();
    // The last character of the record; an empty last line goes as a whole, so the record keeps
    // ending with its line break.
    if (!record->removeLastCharOfLastLine() && record->recordLineCount() > 0) record->removeLastLine();
    if (markerOn()) record->appendToLastLine(QStringLiteral("◆"));
    ResetUndoState();
}

void Ttalk2e::ClearScreen() {
    ResetUndoState();
    if (blankLineOnly()) {
        record->addLine(QString());
        scroll.shownLine = record->lineCount() + scroll.visibleLines - 1;
    } else {
        scroll.shownLine = record->lineCount() + scroll.visibleLines;
    }
    ResetUndoState();
    RedrawDisplay();
    RedrawFrameless();
}

void Ttalk2e::SendCommand(const QByteArray& word) {
    if (!CheckBox22->isChecked()) return;
    SendToMembers(*NMUDP9, word);
    if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP9, Net::SiblingPorts::Commands, word);
}

// ---------------------------------------------------------------------------------------------
// Corrections

void Ttalk2e::SendCorrection() {
    if (Button12->text() == QStringLiteral("動")) {
        Button12->setText(QStringLiteral("止"));
        CheckBox85->setChecked(false);  // the held texts reach the record first
        SetInputPaneNormal(true);
    }
    if (markerOn()) RemoveMarker();
    const int N = scroll.correctionLines;
    const int C = record->lineCount();
    auto send = [this](const QByteArray& item) {
        const QByteArray payload = ScrambleTraffic(item);
        SendToMembers(*NMUDP3, payload);
        if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP3, Net::SiblingPorts::Corrections, payload);
    };
    for (int i = 0; i < N; ++i) {
        const QString line = record->displayLine(C - N + i);
        const QByteArray item = line.isEmpty() ? kNull : Cp932::encode(line);
        send(item);
        if (CheckBox32->isChecked()) Log(LogClock() + QStringLiteral(",[自分],（送修正）") + dec(item));
    }
    send(kBatchEnd);
    if (markerOn()) PutMarkerBack();
    ResetUndoState();
    scroll.shownLine = C + N;
    RichEdit1->setFocus();
}

void Ttalk2e::NMUDP3DataReceived(const QByteArray& payload, const QString& from, quint16) {
    const QByteArray item = Text::FilterText(payload);
    if (CheckBox60->isChecked()) Net::SendToSibling(*NMUDP3, Net::SiblingPorts::Corrections, item);
    correctionItems_.append(item);
    Memo3->appendPlainText(dec(item));
    if (CheckBox32->isChecked() && item != kBatchEnd) {
        const QString label = Form11->CheckBox17->isChecked() ? QStringLiteral("（ﾛｰﾙ1ｽﾗｲﾄﾞ風）") : QStringLiteral("（送修正）");
        Log(LogClock() + QStringLiteral(",[") + from + QStringLiteral("],") + label + dec(item));
    }
    if (item == kBatchStart) {
        correctionItems_.clear();
        Memo3->clear();
    } else if (item == kBatchEnd || item == kRollEnd) {
        ApplyCorrectionBatch();
    }
    ResetUndoState();
}

void Ttalk2e::ApplyCorrectionBatch() {
    lastFromSelf = false;
    if (markerOn()) {
        // Only the marker's two bytes: without blank-line-only mode its line stays as an empty line.
        const QString last = record->lastLine();
        if (last.endsWith(QStringLiteral("■")) || last.endsWith(QStringLiteral("◆"))) record->removeLastCharOfLastLine();
    }
    for (qsizetype i = 0; i + 1 < correctionItems_.size(); ++i) {
        const QByteArray& item = correctionItems_[i];
        record->addLine(item == kNull ? QString() : dec(item));
    }
    if (markerOn()) PutMarkerBack();
    correctionItems_.clear();
    Memo3->clear();
    scroll.jumpToEnd(record->lineCount());
    RedrawCanvases();
}

// ---------------------------------------------------------------------------------------------
// Correction mode: what arrives while the record is edited waits in the wa-stop monitor.

void Ttalk2e::FlushCorrectionBuffer() {
    const QList<QByteArray> held = Form8->takeHeld();
    for (const QByteArray& item : held) {
        if (item == "$undo$") UndoLastDisplay();
        else if (item == "$del$") DeleteLastChar();
        else if (item == "$cls$") ClearScreen();
        else ShowReceivedLine(item);
    }
    scroll.jumpToEnd(record->lineCount());
    RedrawCanvases();
}
