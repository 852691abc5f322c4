// Saving of the main window: the display saved by hand, periodically (with the clear that keeps
// the record small) and at exit, scrambled saves and reading them back, the limit fields, the log
// switches; and the one-minute typing-rate figures.
#include "windows/main/saving.h"

#include "ui/form_builder.h"
#include "windows/main/main_window.h"
#include "settings/exit_rescue.h"
#include "settings/line_file.h"
#include "settings/text_scramble.h"
#include "text/cp932.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "text/text_filter.h"
#include "windows/main/explanation_page.h"
#include "windows/messaging/contact_window.h"
#include "core/contact_text.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

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

Saving::Saving(Ttalk2e& main) : main_(main) {
    auto timer = [&main](const char* name, int interval) {
        auto* t = new QTimer(&main);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    Timer5 = timer("Timer5", 600000);
    Timer7 = timer("Timer7", 60000);
    QObject::connect(Timer5, &QTimer::timeout, &main, [this] { PeriodicClear(); });
    QObject::connect(Timer7, &QTimer::timeout, &main, [this] { Timer7Timer(); });
    Timer5->start();
}

void Saving::buildSaveGroups(Form::Page* save) {
    // Each unit and caption stays beside its field however wide the page grows.
    auto endRow = [](QWidget* r) { static_cast<QHBoxLayout*>(r->layout())->addStretch(1); };
    QGroupBox* text = save->group(0, QStringLiteral("表示文"), "GroupSaveDisplay");
    QWidget* saveRow = Form::row(text);
    Button7 = Form::button(saveRow, "Button7", QStringLiteral("保存"));
    Label5 = Form::label(saveRow, QStringLiteral("保存なし"), "Label5");
    CheckBox39 = Form::check(text, "CheckBox39", QStringLiteral("定期的に、または、Quelta終了時に自動保存する。"), false);
    QWidget* scrambled = Form::row(text);
    CheckBox34 = Form::check(scrambled, "CheckBox34", QStringLiteral("暗号化する。"), false);
    Edit2 = Form::edit(scrambled, "Edit2", QStringLiteral("合鍵"), 100);
    endRow(scrambled);
    ButtonUnscramble = Form::button(text, "ButtonUnscramble", QStringLiteral("暗号化したファイルを元に戻す"));
    ButtonUnscramble->setToolTip(QStringLiteral("暗号化して保存したファイルを、上の合言葉で普通の文に戻して保存します。"));
    // Progress of a scrambled save, over the pages.
    Panel2 = new QFrame(&main_);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setAutoFillBackground(true);
    Label104 = new QLabel(QStringLiteral("暗号化保存中"), Panel2);
    Label104->setObjectName(QStringLiteral("Label104"));
    Label104->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(Panel2))->addWidget(Label104);
    Panel2->hide();
    QGroupBox* periodic = save->group(0, QStringLiteral("定期的な消去と自動保存"), "GroupPeriodic");
    QWidget* r = Form::row(periodic);
    Edit92 = Form::edit(r, "Edit92", QStringLiteral("10"), 50);
    Form::label(r, QStringLiteral("分"));
    endRow(r);
    main_.addExplanatoryLabel(Form::label(periodic, QStringLiteral("●０分とすると動作しません。")));
    QWidget* limits = Form::row(periodic);
    Edit91 = Form::edit(limits, "Edit91", QStringLiteral("1000"), 60);
    Form::label(limits, QStringLiteral("行"));
    Edit4 = Form::edit(limits, "Edit4", QStringLiteral("30"), 50);
    Form::label(limits, QStringLiteral("Ｋバイト"));
    endRow(limits);
}

void Saving::wire() {
    QObject::connect(Button7, &QPushButton::clicked, &main_, [this] { Button7Click(); });
    QObject::connect(&main_.explanationPage(), &ExplanationPage::saveClicked, &main_, [this] { Button11Click(); });
    QObject::connect(ButtonUnscramble, &QPushButton::clicked, &main_, [this] { ButtonUnscrambleClick(); });
    QObject::connect(Edit92, &QLineEdit::textChanged, &main_, [this] { Edit92Change(); });
    QObject::connect(Edit91, &QLineEdit::textChanged, &main_, [this] { Edit91Change(); });
    QObject::connect(Edit4, &QLineEdit::textChanged, &main_, [this] { Edit4Change(); });
}

// ---------------------------------------------------------------------------------------------
// Writing texts

QList<QByteArray> Saving::RecordLines() const {
    QList<QByteArray> out;
    const QStringList lines = main_.record().lines();
    out.reserve(lines.size());
    for (const QString& l : lines) out << Cp932::encode(l);
    return out;
}

bool Saving::WriteText(const QString& path, const QList<QByteArray>& lines, const QString& kept) {
    QString error;
    if (Settings::writeLines(path, lines, &error)) return true;
    main_.Log(ownStamp(main_.station().clock) + QStringLiteral("保存できませんでした：") + path + u' ' + error);
    main_.station().messages.information(QStringLiteral("ファイルを保存できませんでした。\n") + path + u'\n' + error +
                                  (kept.isEmpty() ? QString() : u'\n' + kept));
    return false;
}

QList<std::pair<int, QString>> Saving::RemoveLeadingFiller() {
    QList<std::pair<int, QString>> removed;
    main_.displayLog().editHead([&removed](Core::Record& r) {
        for (int i : Settings::leadingFillerLines(r.lines())) {
            removed.prepend({i, r.line(i)});
            r.removeLines(i, 1);
        }
    });
    main_.RecordHeadChanged();
    return removed;
}

void Saving::PutBackLeadingFiller(const QList<std::pair<int, QString>>& removed) {
    if (removed.isEmpty()) return;
    main_.displayLog().editHead([&removed](Core::Record& r) {
        for (const auto& [i, line] : removed) r.insertLines(i, {line});
    });
    main_.RecordHeadChanged();
}

void Saving::RestoreLeadingFiller() {
    if (main_.record().recordLineCount() >= 20) return;
    main_.displayLog().editHead([](Core::Record& r) { r.insertLines(0, QStringList(20, QString())); });
    main_.RecordHeadChanged();
}

// The scrambled lines of the record, with its progress shown line by line. The interface stays
// responsive (timers, paints) but takes no input and no datagrams meanwhile: a line arriving now
// waits in its socket, so a clear after the save cannot drop it unsaved.
QList<QByteArray> Saving::ScrambleDisplay(const QList<QByteArray>& lines) {
    scrambling_ = true;
    Panel2->setGeometry(1, 23, main_.width(), main_.height() / 2);
    Panel2->show();
    Panel2->raise();
    main_.encryptionBuffer()->setPlainText(QStringLiteral("暗号化保存処理中です。"));
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
                main_.encryptionBuffer()->clear();
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

void Saving::Button7Click() {
    if (scrambling_) return;
    const QString path = withTxt(main_.station().dialogs.saveFileName(&main_, main_.programFolder() + main_.TimeStampedName() + QStringLiteral(".txt"), kTextFilter));
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

void Saving::Button11Click() {
    const QString path = withTxt(main_.station().dialogs.saveFileName(&main_, main_.programFolder() + QStringLiteral("説明ページ保存.txt"), kTextFilter));
    if (path.isEmpty()) return;
    QList<QByteArray> lines;
    for (const QString& l : main_.explanationPage().text().split(u'\n')) lines << Cp932::encode(l);
    if (lines.size() == 1 && lines[0].isEmpty()) lines.clear();
    WriteText(path, lines);
}

// A scrambled save read back with the password of the save page, written as a new plain file.
void Saving::ButtonUnscrambleClick() {
    if (scrambling_) return;
    const QString source = main_.station().dialogs.openFileName(&main_, main_.programFolder(), kTextFilter);
    if (source.isEmpty()) return;
    QString error;
    const auto lines = Settings::readLines(source, &error);
    if (!lines) {
        main_.station().messages.information(QStringLiteral("ファイルを読み込めませんでした。\n") + source + u'\n' + error);
        return;
    }
    const auto plain = Settings::unscrambleText(*lines, Cp932::encode(Edit2->text()));
    if (!plain) {
        main_.station().messages.information(QStringLiteral("元に戻せませんでした。\n合言葉が違うか、暗号化して保存したファイルではありません。\n") + source);
        return;
    }
    const QFileInfo info(source);
    const QString proposed = info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral("_元に戻した.txt");
    const QString target = withTxt(main_.station().dialogs.saveFileName(&main_, proposed, kTextFilter));
    if (target.isEmpty()) return;
    if (QFileInfo(target).absoluteFilePath() == info.absoluteFilePath()) {
        main_.station().messages.information(QStringLiteral("元のファイルとは別の名前で保存してください。"));
        return;
    }
    if (WriteText(target, *plain)) main_.Message(QStringLiteral("元に戻して保存しました。\n") + target);
}

// ---------------------------------------------------------------------------------------------
// The periodic clear

void Saving::TrimRecord() {
    const qsizetype before = main_.record().byteLength();
    main_.displayLog().editHead([](Core::Record& r) {
        r.removeLines(0, qMax(0, r.recordLineCount() - kKeptAfterClear));
        r.insertLines(0, QStringList{QStringLiteral("継続保存")} + QStringList(20, QString()));
    });
    // What was typed in this minute still counts after the clear.
    if (main_.strip().rateShown()) typingRate_.headRemoved(before - main_.record().byteLength());
    main_.RecordHeadChanged();
}

void Saving::PeriodicClear() {
    if (scrambling_) return;  // a scrambled save by hand is running; the next check comes
    const Core::Record& rec = main_.record();
    const bool due = rec.recordLineCount() >= Form::intOf(Edit91, 1000) ||
                     rec.byteLength() >= qint64(Form::intOf(Edit4, 30)) * 1000;
    if (!due) return;
    const QString path = main_.programFolder() + main_.TimeStampedName() + QStringLiteral(".txt");
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
void Saving::LogClearWithoutSave() {
    const QStringList lines = main_.record().lines();
    const int removed = qMax(0, main_.record().recordLineCount() - kKeptAfterClear);
    int filler = 0;
    for (int i : Settings::leadingFillerLines(lines)) filler += i < removed ? 1 : 0;
    main_.Log(ownStamp(main_.station().clock) +
        QStringLiteral("定期消去：「自動保存」がオフのため、表示文の古い%1行を保存せずに消去しました（最後の%2行は表示に残しています）")
            .arg(removed - filler)
            .arg(kKeptAfterClear));
}

// ---------------------------------------------------------------------------------------------
// The save at exit

// The texts the save at exit writes: the display (when asked for, past its filler) and the
// contact history (when its window asks for it). The display itself is not changed.
QList<ExitText> Saving::ExitTexts() {
    QList<ExitText> out;
    // A scrambled save by hand that a termination signal interrupted finishes on its own.
    if (CheckBox39->isChecked() && main_.record().recordLineCount() > 21 && !scrambling_) {
        const QString name = main_.TimeStampedName() + QStringLiteral(".txt");
        if (!CheckBox34->isChecked()) {
            // The closing line goes to the file only: the display (and the audience page) is
            // still running while the window closes.
            out << ExitText{kDisplayText, name, RecordLines() << Cp932::encode(kExitSaveLine)};
        } else {
            QStringList lines = main_.record().lines();
            for (int i : Settings::leadingFillerLines(lines)) lines.removeAt(i);
            QList<QByteArray> plain;
            for (const QString& l : lines) plain << Cp932::encode(l);
            out << ExitText{kDisplayText, name, ScrambleDisplay(plain)};
        }
    }
    if (const std::optional<ExitText> contact = ContactExitText()) out << *contact;
    return out;
}

std::optional<ExitText> Saving::ContactExitText() const {
    if (!main_.contactWindow()) return std::nullopt;
    std::optional<QList<QByteArray>> lines = main_.contactWindow()->HistoryAtExit();
    if (!lines) return std::nullopt;
    return ExitText{kContactText, Core::Contact::HistoryFileName(main_.station().clock.now()), std::move(*lines)};
}

bool Saving::SaveContactHistoryAtExit() {
    const std::optional<ExitText> text = ContactExitText();
    return !text || SaveExitText(*text);
}

bool Saving::SaveOnExit() {
    for (const ExitText& text : ExitTexts())
        if (!SaveExitText(text)) return false;
    return true;
}

bool Saving::SaveExitText(const ExitText& text) {
    // Already saved as it is: when the desktop session began to end, or by a close that the user
    // then called off for another text.
    if (const auto it = exitSaved_.constFind(text.what); it != exitSaved_.cend() && *it == text.lines) return true;
    const QString path = exitFolder() + text.name;
    QString error;
    if (Settings::writeLines(path, text.lines, &error)) {
        exitSaved_.insert(text.what, text.lines);
        return true;
    }
    main_.Log(ownStamp(main_.station().clock) + text.what + QStringLiteral("を保存できませんでした：") + path + u' ' + error);
    if (unattended_) {
        RescueExitText(text, path, error);
        return true;
    }
    return OfferAnotherPlace(text, path, error);
}

// Someone is there to answer: another folder (a USB stick, the home folder), or quitting without
// the text, or staying with the window open and the text still in it.
bool Saving::OfferAnotherPlace(const ExitText& text, const QString& failedPath, QString error) {
    QString failed = failedPath;
    for (;;) {
        main_.station().messages.information(text.what + QStringLiteral("を保存できませんでした。\n") + failed + u'\n' + error +
                                      QStringLiteral("\n\n別の保存先（ＵＳＢメモリなど）を選んでください。"));
        if (unattended_) break;  // a termination signal came meanwhile: no one answers any more
        const QString path = withTxt(main_.station().dialogs.saveFileName(&main_, QDir::homePath() + u'/' + text.name, kTextFilter));
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
    const bool stay = main_.station().messages.askYesNo(text.what + QStringLiteral("はまだ保存されていません。\n") +
                                                 QStringLiteral("Ｑｕｅｌｔａを終了せずに、このまま開いておきますか？\n\n") +
                                                 QStringLiteral("「いいえ」を選ぶと、") + text.what + QStringLiteral("を保存せずに終了します。"));
    if (unattended_) {  // the question was closed by a termination signal, not answered
        RescueExitText(text, failedPath, error);
        return true;
    }
    return !stay;
}

void Saving::RescueExitText(const ExitText& text, const QString& failedPath, const QString& error) {
    const QString when = Net::DateTimeStamp(main_.station().clock.now()).chopped(1);
    const QString saved = Settings::rescueText({text.what, text.name, text.lines}, failedPath, error, main_.station().rescueFolder, when);
    if (!saved.isEmpty()) exitSaved_.insert(text.what, text.lines);
    // The window is going; whoever started the program from a terminal reads it there.
    std::fprintf(stderr, "%s\n",
                 qPrintable(saved.isEmpty() ? text.what + QStringLiteral("を保存できませんでした：") + error
                                            : text.what + QStringLiteral("を保存しました：") + saved));
}

// The own folder of the program once start-up has fixed it; the station's before that.
QString Saving::exitFolder() const { return main_.programFolder().isEmpty() ? main_.station().programFolder : main_.programFolder(); }

void Saving::ReportRescuedSaves() {
    const QStringList notes = Settings::takeRescueNotes(main_.station().rescueFolder);
    if (notes.isEmpty()) return;
    for (const QString& note : notes) main_.Log(ownStamp(main_.station().clock) + note);
    main_.station().messages.information(QStringLiteral("前回Ｑｕｅｌｔａが終了したときの自動保存について：\n\n") + notes.join(u'\n'));
}

// ---------------------------------------------------------------------------------------------
// Limit fields

const QString Saving::kPeriodicClearOffWarning = QStringLiteral(
    "「起動時設定」で「保存」ページの「定期的な消去と自動保存」が\n無効（０分の指定）になっています。\n"
    "このままでは、表示文の記録が多量になってＱｕｅｌｔａの動作が\nおかしくなる可能性があります。\n"
    "「１０分」程度の数字を指定することを強く推奨します。\n\n＜具体的な不具合の事例＞\n"
    "１）表示に◆■が残るなど、表示がおかしくなる。\n２）入力するとエラーメッセージが出る。\n３）動作が遅くなる。\n\n"
    "＜このまま使う場合のアドバイス＞ \n１）初心者の方へ \n"
    "初心者だけの練習会では問題が出なくても、実際の情報保障は、\n"
    "入力速度の速い上級者と長時間入力するなど、動作がおかしくなる\n可能性があります。\n"
    "パソコンがおかしくなったら、まずこの指定を疑ってください。\n\n２）上級者の方へ\n"
    "自分のパソコンでは問題ないことを確認して、あえて「無効」を指定して\n"
    "いると思いますが、失敗の許されない現場では、念のため、休憩時間に\n"
    "Ｑｕｅｌｔａを終了し、再起動するなど予防処置を取ることを勧めます。");

void Saving::WarnIfPeriodicClearOff() {
    if (Edit92->text() == QLatin1String("0")) main_.station().messages.information(kPeriodicClearOffWarning);
}

namespace {

// A field that holds neither nothing nor a number: said, and nothing changes.
bool isNumberOrSay(const QLineEdit* field, App::MessageSink& messages, int* value) {
    bool ok = false;
    *value = field->text().trimmed().toInt(&ok);
    if (!ok) messages.information(QStringLiteral("「") + field->text() + QStringLiteral("」は整数ではありません。"));
    return ok;
}

}  // namespace

void Saving::Edit92Change() {
    if (Edit92->text().isEmpty()) {
        Edit92->setText(QStringLiteral("10"));  // runs this handler again
        return;
    }
    int minutes = 0;
    if (!isNumberOrSay(Edit92, main_.station().messages, &minutes)) return;
    if (minutes <= 0) {
        Timer5->stop();
        return;
    }
    Timer5->start(int(qMin<qint64>(qint64(minutes) * 60000, std::numeric_limits<int>::max())));
}

void Saving::Edit91Change() {
    int lines = 0;
    if (!Edit91->text().isEmpty() && !isNumberOrSay(Edit91, main_.station().messages, &lines)) return;
    if (lines <= 0) Edit91->setText(QStringLiteral("1000"));
}

void Saving::Edit4Change() {
    int kilobytes = 0;
    if (!Edit4->text().isEmpty() && !isNumberOrSay(Edit4, main_.station().messages, &kilobytes)) return;
    if (kilobytes <= 0) {
        Edit4->setText(QStringLiteral("30"));  // runs this handler again, with its warning
        return;
    }
    if (main_.showMessages()) main_.station().messages.information(kSizeWarning);
}

// ---------------------------------------------------------------------------------------------
// Log switches: at most one of them on

void Saving::CheckBox32Click() {
    main_.setLogsInputStart(false);
    if (main_.logsLines() && main_.station().messages.askYesNo(kClearAskText)) main_.explanationPage().clear();
}

void Saving::CheckBox20Click() {
    main_.setLogsLines(false);
    if (main_.showMessages() && main_.logsInputStart()) main_.station().messages.information(kStartTimeWarning);
    if (main_.station().messages.askYesNo(kClearAskText)) main_.explanationPage().clear();
}

// ---------------------------------------------------------------------------------------------
// Typing rate

void Saving::CheckBox44Click() {
    if (main_.strip().rateShown()) {
        typingRate_.start(main_.record().byteLength());
        Timer7->start(60000);
        return;
    }
    Timer7->stop();
    const QString captions[] = {QStringLiteral("補助Ｗ"), QStringLiteral("ﾊﾟｰﾄﾅｰ"), QStringLiteral("表示１"), QStringLiteral("表示２")};
    for (int i = 0; i < 4; ++i) main_.pages()->setTabText(i + 1, captions[i]);
    main_.strip().setRateLogged(false);
    main_.strip().setRateWarns(false);
}

void Saving::CheckBox45Click() {
    if (main_.strip().rateLogged()) main_.Log(kRateHeader);
}

void Saving::CheckBox62Click() {
    rateWarning_ = false;
    main_.PaintPanes();
    if (main_.strip().rateWarns()) main_.strip().setRateShown(true);
}

void Saving::Timer7Timer() {
    const Core::TypingRate::Figures f = typingRate_.tick(main_.record().byteLength());
    if (main_.strip().rateWarns()) {
        rateWarning_ = typingRate_.over(main_.strip().rateLimit());
        main_.PaintPanes();
    }
    main_.pages()->setTabText(1, QStringLiteral("Now:") + QString::number(f.now));
    main_.pages()->setTabText(2, QStringLiteral("Max:") + QString::number(f.maxMinute));
    main_.pages()->setTabText(3, QStringLiteral("Ave:") + QString::number(f.average));
    main_.pages()->setTabText(4, QStringLiteral("AvMx:") + QString::number(f.maxAverage));
    if (main_.strip().rateLogged())
        main_.Log(main_.station().clock.now().time().toString(QStringLiteral("H:mm:ss")) + u',' + QString::number(f.now) + u',' +
            QString::number(f.maxMinute) + u',' + QString::number(f.average) + u',' + QString::number(f.maxAverage));
}
