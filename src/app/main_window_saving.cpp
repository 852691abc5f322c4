// Page "保存" and the explanation page: the display saved by hand, periodically (with the clear
// that keeps the record small) and at exit, scrambled saves and reading them back, the limit
// fields, the log switches; and the one-minute typing-rate figures.
#include "app/aux_window.h"
#include "app/form_builder.h"
#include "app/main_window.h"
#include "net/team.h"
#include "settings/exit_rescue.h"
#include "settings/line_file.h"
#include "settings/text_scramble.h"
#include "text/cp932.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "text/text_filter.h"
#include "windows/main/explanation_page.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <limits>

namespace {

const QString kTextFilter = QStringLiteral("テキスト(*.txt);;全てのファイル(*.*)");
const QString kClearAskText = QStringLiteral("説明ページを消去しますか？");
const QString kSizeWarning = QStringLiteral(
    "ログが多量になると表示が乱れたり、ハングする事があります。\n"
    "最大でも６４Ｋバイト程度にしておく事をお勧めします。\n"
    "Windows95,98,Meでは特に注意してください。");
const QString kStartTimeWarning = QStringLiteral(
    "このチェックを入れると行頭の全角６文字、半角１３文字を表示しません。\n"
    "このチェックを入れる場合は、表示機のWシリーズの「入力開始時刻を表示しない」の\n"
    "チェックと、入力用のｅシリーズ全てにチェック入れてください。\n"
    "このチェックは保存されません。");
const QString kRateHeader = QStringLiteral("時分秒,１分字数,１分最大,十分平均,平均最大");

// The start of a line on the page "説明" about this station's own doing.
QString ownStamp(const Core::Clock& clock) { return Text::ClockText(clock.now().time()) + QStringLiteral(",[自分],"); }

// A save dialog's name with the default extension when the user gave none.
QString withTxt(QString path) {
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    return path;
}

}  // namespace

void Ttalk2e::wireSaving() {
    connect(Button7, &QPushButton::clicked, this, &Ttalk2e::Button7Click);
    connect(explanation_, &ExplanationPage::saveClicked, this, &Ttalk2e::Button11Click);
    connect(ButtonUnscramble, &QPushButton::clicked, this, &Ttalk2e::ButtonUnscrambleClick);
    connect(Edit92, &QLineEdit::textChanged, this, &Ttalk2e::Edit92Change);
    connect(Edit91, &QLineEdit::textChanged, this, &Ttalk2e::Edit91Change);
    connect(Edit4, &QLineEdit::textChanged, this, &Ttalk2e::Edit4Change);
    // Clicks only: one switch unchecking the other is not a click of the other.
    connect(CheckBox32, &QCheckBox::clicked, this, &Ttalk2e::CheckBox32Click);
    connect(CheckBox20, &QCheckBox::clicked, this, &Ttalk2e::CheckBox20Click);
}

// ---------------------------------------------------------------------------------------------
// Writing texts

QList<QByteArray> Ttalk2e::RecordLines() const {
    QList<QByteArray> out;
    const QStringList lines = record().lines();
    out.reserve(lines.size());
    for (const QString& l : lines) out << Cp932::encode(l);
    return out;
}

bool Ttalk2e::WriteText(const QString& path, const QList<QByteArray>& lines, const QString& kept) {
    QString error;
    if (Settings::writeLines(path, lines, &error)) return true;
    Log(ownStamp(station_.clock) + QStringLiteral("保存できませんでした：") + path + u' ' + error);
    station_.messages.information(QStringLiteral("ファイルを保存できませんでした。\n") + path + u'\n' + error +
                                  (kept.isEmpty() ? QString() : u'\n' + kept));
    return false;
}

void Ttalk2e::RecordHeadChanged() {
    scroll_.jumpToEnd(record().lineCount());
    display_->DisplayAreaResized();
}

QList<std::pair<int, QString>> Ttalk2e::RemoveLeadingFiller() {
    QList<std::pair<int, QString>> removed;
    log_.editHead([&removed](Core::Record& r) {
        for (int i : Settings::leadingFillerLines(r.lines())) {
            removed.prepend({i, r.line(i)});
            r.removeLines(i, 1);
        }
    });
    RecordHeadChanged();
    return removed;
}

void Ttalk2e::PutBackLeadingFiller(const QList<std::pair<int, QString>>& removed) {
    if (removed.isEmpty()) return;
    log_.editHead([&removed](Core::Record& r) {
        for (const auto& [i, line] : removed) r.insertLines(i, {line});
    });
    RecordHeadChanged();
}

void Ttalk2e::RestoreLeadingFiller() {
    if (record().recordLineCount() >= 20) return;
    log_.editHead([](Core::Record& r) { r.insertLines(0, QStringList(20, QString())); });
    RecordHeadChanged();
}

// The scrambled lines of the record, with its progress shown line by line. The interface stays
// responsive (timers, paints) but takes no input and no datagrams meanwhile: a line arriving now
// waits in its socket, so a clear after the save cannot drop it unsaved.
QList<QByteArray> Ttalk2e::ScrambleDisplay(const QList<QByteArray>& lines) {
    scrambling_ = true;
    Panel2->setGeometry(1, 23, width(), height() / 2);
    Panel2->show();
    Panel2->raise();
    RichEdit6->setPlainText(QStringLiteral("暗号化保存処理中です。"));
    auto paint = [this](const QColor& colour) {
        QPalette p = Label104->palette();
        p.setColor(QPalette::WindowText, colour);
        Label104->setPalette(p);
    };
    paint(Qt::red);
    bool output = false;
    QElapsedTimer sinceShown;
    sinceShown.start();
    // The progress is shown and the interface served a few times a second, not for every line:
    // the scrambling itself takes microseconds a line.
    auto show = [&](int line, int count) {
        Label104->setText(QString::number(line) + u'/' + QString::number(count) + QStringLiteral("　暗号化保存処理中"));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        sinceShown.restart();
    };
    const QList<QByteArray> out = Settings::scrambleText(
        lines, Cp932::encode(Edit2->text()), [&](int line, int count, bool checking) {
            if (!checking && !output) {
                output = true;
                RichEdit6->clear();
                paint(Qt::blue);
                show(line, count);
            } else if (line == 1 || line == count || sinceShown.elapsed() >= 15) {
                show(line, count);
            }
        });
    Panel2->hide();
    scrambling_ = false;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Saving by hand

void Ttalk2e::Button7Click() {
    if (scrambling_) return;
    const QString path = withTxt(station_.dialogs.saveFileName(this, programFolder_ + TimeStampedName() + QStringLiteral(".txt"), kTextFilter));
    if (path.isEmpty()) return;
    bool saved = false;
    if (!CheckBox34->isChecked()) {
        saved = WriteText(path, RecordLines());
    } else {
        const auto filler = RemoveLeadingFiller();
        saved = WriteText(path, ScrambleDisplay(RecordLines()));
        // A save that failed leaves the display as it was.
        if (saved) RestoreLeadingFiller();
        else PutBackLeadingFiller(filler);
    }
    // Only a file that was written is named as the last save.
    if (saved) Label5->setText(QFileInfo(path).fileName());
}

void Ttalk2e::Button11Click() {
    const QString path = withTxt(station_.dialogs.saveFileName(this, programFolder_ + QStringLiteral("説明ページ保存.txt"), kTextFilter));
    if (path.isEmpty()) return;
    QList<QByteArray> lines;
    for (const QString& l : explanation_->text().split(u'\n')) lines << Cp932::encode(l);
    if (lines.size() == 1 && lines[0].isEmpty()) lines.clear();
    WriteText(path, lines);
}

// A scrambled save read back with the password of the save page, written as a new plain file.
void Ttalk2e::ButtonUnscrambleClick() {
    if (scrambling_) return;
    const QString source = station_.dialogs.openFileName(this, programFolder_, kTextFilter);
    if (source.isEmpty()) return;
    QString error;
    const auto lines = Settings::readLines(source, &error);
    if (!lines) {
        station_.messages.information(QStringLiteral("ファイルを読み込めませんでした。\n") + source + u'\n' + error);
        return;
    }
    const auto plain = Settings::unscrambleText(*lines, Cp932::encode(Edit2->text()));
    if (!plain) {
        station_.messages.information(QStringLiteral("元に戻せませんでした。\n合言葉が違うか、暗号化して保存したファイルではありません。\n") + source);
        return;
    }
    const QFileInfo info(source);
    const QString proposed = info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral("_元に戻した.txt");
    const QString target = withTxt(station_.dialogs.saveFileName(this, proposed, kTextFilter));
    if (target.isEmpty()) return;
    if (QFileInfo(target).absoluteFilePath() == info.absoluteFilePath()) {
        station_.messages.information(QStringLiteral("元のファイルとは別の名前で保存してください。"));
        return;
    }
    if (WriteText(target, *plain)) Message(QStringLiteral("元に戻して保存しました。\n") + target);
}

// ---------------------------------------------------------------------------------------------
// The periodic clear

void Ttalk2e::TrimRecord() {
    const qsizetype before = record().byteLength();
    log_.editHead([](Core::Record& r) {
        r.removeLines(0, qMax(0, r.recordLineCount() - kKeptAfterClear));
        r.insertLines(0, QStringList{QStringLiteral("継続保存")} + QStringList(20, QString()));
    });
    // What was typed in this minute still counts after the clear.
    if (strip_->rateShown()) typingRate_.headRemoved(before - record().byteLength());
    RecordHeadChanged();
}

void Ttalk2e::PeriodicClear() {
    if (scrambling_) return;  // a scrambled save by hand is running; the next check comes
    const Core::Record& rec = record();
    const bool due = rec.recordLineCount() >= Form::intOf(Edit91, 1000) ||
                     rec.byteLength() >= qint64(Form::intOf(Edit4, 30)) * 1000;
    if (!due) return;
    const QString path = programFolder_ + TimeStampedName() + QStringLiteral(".txt");
    const QString kept = QStringLiteral("表示文は消去せずに、そのまま残しています。");
    if (CheckBox39->isChecked()) {
        if (CheckBox34->isChecked()) {
            const auto filler = RemoveLeadingFiller();
            Timer5->stop();
            const bool saved = WriteText(path, ScrambleDisplay(RecordLines()), kept);
            if (saved) RestoreLeadingFiller();
            else PutBackLeadingFiller(filler);
            Edit92Change();  // the timer again, at the interval of the field
            if (!saved) return;
        } else if (!WriteText(path, RecordLines(), kept)) {
            return;  // not saved: not cleared
        }
    } else {
        LogClearWithoutSave();
    }
    TrimRecord();
}

// Teams that must keep no record clear without saving; the page "説明" says what went.
void Ttalk2e::LogClearWithoutSave() {
    const QStringList lines = record().lines();
    const int removed = qMax(0, record().recordLineCount() - kKeptAfterClear);
    int filler = 0;
    for (int i : Settings::leadingFillerLines(lines)) filler += i < removed ? 1 : 0;
    Log(ownStamp(station_.clock) +
        QStringLiteral("定期消去：「自動保存」がオフのため、表示文の古い%1行を保存せずに消去しました（最後の%2行は表示に残しています）")
            .arg(removed - filler)
            .arg(kKeptAfterClear));
}

// ---------------------------------------------------------------------------------------------
// The save at exit

// The texts the save at exit writes: the display (when asked for, past its filler) and the
// contact history (when its window asks for it). The display itself is not changed.
QList<Ttalk2e::ExitText> Ttalk2e::ExitTexts() {
    QList<ExitText> out;
    // A scrambled save by hand that a termination signal interrupted finishes on its own.
    if (CheckBox39->isChecked() && record().recordLineCount() > 21 && !scrambling_) {
        const QString name = TimeStampedName() + QStringLiteral(".txt");
        if (!CheckBox34->isChecked()) {
            // The closing line goes to the file only: the display (and the audience page) is
            // still running while the window closes.
            out << ExitText{kDisplayText, name, RecordLines() << Cp932::encode(kExitSaveLine)};
        } else {
            QStringList lines = record().lines();
            for (int i : Settings::leadingFillerLines(lines)) lines.removeAt(i);
            QList<QByteArray> plain;
            for (const QString& l : lines) plain << Cp932::encode(l);
            out << ExitText{kDisplayText, name, ScrambleDisplay(plain)};
        }
    }
    if (const std::optional<ExitText> contact = ContactExitText()) out << *contact;
    return out;
}

bool Ttalk2e::SaveOnExit() {
    for (const ExitText& text : ExitTexts())
        if (!SaveExitText(text)) return false;
    return true;
}

bool Ttalk2e::SaveExitText(const ExitText& text) {
    // Already saved as it is: when the desktop session began to end, or by a close that the user
    // then called off for another text.
    if (const auto it = exitSaved_.constFind(text.what); it != exitSaved_.cend() && *it == text.lines) return true;
    const QString path = exitFolder() + text.name;
    QString error;
    if (Settings::writeLines(path, text.lines, &error)) {
        exitSaved_.insert(text.what, text.lines);
        return true;
    }
    Log(ownStamp(station_.clock) + text.what + QStringLiteral("を保存できませんでした：") + path + u' ' + error);
    if (unattended_) {
        RescueExitText(text, path, error);
        return true;
    }
    return OfferAnotherPlace(text, path, error);
}

// Someone is there to answer: another folder (a USB stick, the home folder), or quitting without
// the text, or staying with the window open and the text still in it.
bool Ttalk2e::OfferAnotherPlace(const ExitText& text, const QString& failedPath, QString error) {
    QString failed = failedPath;
    for (;;) {
        station_.messages.information(text.what + QStringLiteral("を保存できませんでした。\n") + failed + u'\n' + error +
                                      QStringLiteral("\n\n別の保存先（ＵＳＢメモリなど）を選んでください。"));
        if (unattended_) break;  // a termination signal came meanwhile: no one answers any more
        const QString path = withTxt(station_.dialogs.saveFileName(this, QDir::homePath() + u'/' + text.name, kTextFilter));
        if (unattended_ || path.isEmpty()) break;
        if (Settings::writeLines(path, text.lines, &error)) {
            exitSaved_.insert(text.what, text.lines);
            return true;
        }
        failed = path;
    }
    if (unattended_) {
        RescueExitText(text, failedPath, error);
        return true;
    }
    // "はい", the button a hurried Enter presses, keeps the text.
    const bool stay = station_.messages.askYesNo(text.what + QStringLiteral("はまだ保存されていません。\n") +
                                                 QStringLiteral("Ｑｕｅｌｔａを終了せずに、このまま開いておきますか？\n\n") +
                                                 QStringLiteral("「いいえ」を選ぶと、") + text.what + QStringLiteral("を保存せずに終了します。"));
    if (unattended_) {  // the question was closed by a termination signal, not answered
        RescueExitText(text, failedPath, error);
        return true;
    }
    return !stay;
}

void Ttalk2e::RescueExitText(const ExitText& text, const QString& failedPath, const QString& error) {
    const QString when = Net::DateTimeStamp(station_.clock.now()).chopped(1);
    const QString saved = Settings::rescueText({text.what, text.name, text.lines}, failedPath, error, station_.rescueFolder, when);
    if (!saved.isEmpty()) exitSaved_.insert(text.what, text.lines);
    // The window is going; whoever started the program from a terminal reads it there.
    std::fprintf(stderr, "%s\n",
                 qPrintable(saved.isEmpty() ? text.what + QStringLiteral("を保存できませんでした：") + error
                                            : text.what + QStringLiteral("を保存しました：") + saved));
}

// The own folder of the program once start-up has fixed it; the station's before that.
QString Ttalk2e::exitFolder() const { return programFolder_.isEmpty() ? station_.programFolder : programFolder_; }

void Ttalk2e::ReportRescuedSaves() {
    const QStringList notes = Settings::takeRescueNotes(station_.rescueFolder);
    if (notes.isEmpty()) return;
    for (const QString& note : notes) Log(ownStamp(station_.clock) + note);
    station_.messages.information(QStringLiteral("前回Ｑｕｅｌｔａが終了したときの自動保存について：\n\n") + notes.join(u'\n'));
}

// ---------------------------------------------------------------------------------------------
// Limit fields

namespace {

// A field that holds neither nothing nor a number: said, and nothing changes.
bool isNumberOrSay(const QLineEdit* field, App::MessageSink& messages, int* value) {
    bool ok = false;
    *value = field->text().trimmed().toInt(&ok);
    if (!ok) messages.information(QStringLiteral("「") + field->text() + QStringLiteral("」は整数ではありません。"));
    return ok;
}

}  // namespace

void Ttalk2e::Edit92Change() {
    if (Edit92->text().isEmpty()) {
        Edit92->setText(QStringLiteral("10"));  // runs this handler again
        return;
    }
    int minutes = 0;
    if (!isNumberOrSay(Edit92, station_.messages, &minutes)) return;
    if (minutes <= 0) {
        Timer5->stop();
        return;
    }
    Timer5->start(int(qMin<qint64>(qint64(minutes) * 60000, std::numeric_limits<int>::max())));
}

void Ttalk2e::Edit91Change() {
    int lines = 0;
    if (!Edit91->text().isEmpty() && !isNumberOrSay(Edit91, station_.messages, &lines)) return;
    if (lines <= 0) Edit91->setText(QStringLiteral("1000"));
}

void Ttalk2e::Edit4Change() {
    int kilobytes = 0;
    if (!Edit4->text().isEmpty() && !isNumberOrSay(Edit4, station_.messages, &kilobytes)) return;
    if (kilobytes <= 0) {
        Edit4->setText(QStringLiteral("30"));  // runs this handler again, with its warning
        return;
    }
    if (showMessages()) station_.messages.information(kSizeWarning);
}

// ---------------------------------------------------------------------------------------------
// Log switches: at most one of them on

void Ttalk2e::CheckBox32Click() {
    CheckBox20->setChecked(false);
    if (CheckBox32->isChecked() && station_.messages.askYesNo(kClearAskText)) explanation_->clear();
}

void Ttalk2e::CheckBox20Click() {
    CheckBox32->setChecked(false);
    if (showMessages() && CheckBox20->isChecked()) station_.messages.information(kStartTimeWarning);
    if (station_.messages.askYesNo(kClearAskText)) explanation_->clear();
}

// ---------------------------------------------------------------------------------------------
// Typing rate

void Ttalk2e::CheckBox44Click() {
    if (strip_->rateShown()) {
        typingRate_.start(record().byteLength());
        Timer7->start(60000);
        return;
    }
    Timer7->stop();
    const QString captions[] = {QStringLiteral("補助Ｗ"), QStringLiteral("ﾊﾟｰﾄﾅｰ"), QStringLiteral("表示１"), QStringLiteral("表示２")};
    for (int i = 0; i < 4; ++i) PageControl1->setTabText(i + 1, captions[i]);
    strip_->setRateLogged(false);
    strip_->setRateWarns(false);
}

void Ttalk2e::CheckBox45Click() {
    if (strip_->rateLogged()) Log(kRateHeader);
}

void Ttalk2e::CheckBox62Click() {
    rateWarning_ = false;
    PaintPanes();
    if (strip_->rateWarns()) strip_->setRateShown(true);
}

void Ttalk2e::Timer7Timer() {
    const Core::TypingRate::Figures f = typingRate_.tick(record().byteLength());
    if (strip_->rateWarns()) {
        rateWarning_ = typingRate_.over(strip_->rateLimit());
        PaintPanes();
    }
    PageControl1->setTabText(1, QStringLiteral("Now:") + QString::number(f.now));
    PageControl1->setTabText(2, QStringLiteral("Max:") + QString::number(f.maxMinute));
    PageControl1->setTabText(3, QStringLiteral("Ave:") + QString::number(f.average));
    PageControl1->setTabText(4, QStringLiteral("AvMx:") + QString::number(f.maxAverage));
    if (strip_->rateLogged())
        Log(station_.clock.now().time().toString(QStringLiteral("H:mm:ss")) + u',' + QString::number(f.now) + u',' +
            QString::number(f.maxMinute) + u',' + QString::number(f.average) + u',' + QString::number(f.maxAverage));
}
