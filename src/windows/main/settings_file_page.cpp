// The settings-file part of the page "保存": load, save, the start-up file and the reset, the
// transcript save and the log switches of the explanation page.
#include "windows/main/settings_file_page.h"

#include "ui/form_builder.h"
#include "audience/service.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "text/cp932.h"
#include "windows/main/main_window.h"
#include "windows/main/partner_page.h"
#include "windows/main/saving.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

const QString kStartupFile = QStringLiteral("自動読込表示設定.dp9");
const QString kDefaultName = QStringLiteral("表示全般設定.dp9");
const QString kFilter = QStringLiteral("表示全体設定 (*.dp9);;全てのファイル (*)");

}  // namespace

SettingsFilePage::SettingsFilePage(Ttalk2e& main) : main_(main) {}

void SettingsFilePage::build(Form::Page& save) {
    QGroupBox* transcript = save.group(0, QStringLiteral("字幕ファイル（WebVTT・SubRip）"), "GroupTranscript");
    ButtonTranscript = Form::button(transcript, "ButtonTranscript", QStringLiteral("字幕ファイル保存"));
    main_.addExplanatoryLabel(Form::label(transcript, QStringLiteral("●表示した行を時刻付きで保存します。録画に字幕を付ける時に使います。")));
    QGroupBox* log = save.group(0, QStringLiteral("説明ページ"), "GroupLog");
    CheckBox32 = Form::check(log, "CheckBox32", QStringLiteral("記録を説明ページに保存"), false);
    CheckBox20 = Form::check(log, "CheckBox20", QStringLiteral("入力開始時刻を説明ページに記録"), false);
    // Clicks only: one switch unchecking the other is not a click of the other.
    QObject::connect(CheckBox32, &QCheckBox::clicked, &main_, [this] { main_.saving().CheckBox32Click(); });
    QObject::connect(CheckBox20, &QCheckBox::clicked, &main_, [this] { main_.saving().CheckBox20Click(); });
    QGroupBox* settings = save.group(1, QStringLiteral("表示設定"), "GroupSettingsFile");
    QWidget* files = Form::row(settings);
    Button20 = Form::button(files, "Button20", QStringLiteral("読込"));
    Button20->setToolTip(QStringLiteral("保存してある設定を読込みます。"));
    Button21 = Form::button(files, "Button21", QStringLiteral("保存"));
    Button21->setToolTip(QStringLiteral("ウィンドの大きさ・位置、表示行数桁色などを全部保存します。"));
    Button66 = Form::button(settings, "Button66", QStringLiteral("起動時設定にする"));
    Button67 = Form::button(settings, "Button67", QStringLiteral("初期値に戻す"));
    Label67 = Form::label(settings, QStringLiteral("読み込み無し"), "Label67");
    QObject::connect(Button20, &QPushButton::clicked, &main_, [this] { Button20Click(); });
    QObject::connect(Button21, &QPushButton::clicked, &main_, [this] { Button21Click(); });
    QObject::connect(Button66, &QPushButton::clicked, &main_, [this] { Button66Click(); });
    QObject::connect(Button67, &QPushButton::clicked, &main_, [this] { Button67Click(); });
    QObject::connect(ButtonTranscript, &QPushButton::clicked, &main_, [this] { ButtonTranscriptClick(); });
}

QString SettingsFilePage::startupFilePath() const { return main_.programFolder() + kStartupFile; }

// The own name from the last "166" line of the start-up file.
void SettingsFilePage::ReadOwnNameFromStartupFile() {
    const auto lines = Settings::readLines(startupFilePath());
    if (!lines) return;
    for (auto it = lines->crbegin(); it != lines->crend(); ++it) {
        const QList<QByteArray> f = it->split(':');
        if (f.value(0) != "166") continue;
        main_.partner().setOwnName(Cp932::decode(f.value(1)));
        return;
    }
}

void SettingsFilePage::LoadStartupSettings() {
    const auto lines = Settings::readLines(startupFilePath());
    if (!lines) return;  // no start-up file: nothing applied, no message
    if (SettingsFileRefused(kStartupFile, *lines)) return;
    Label67->setText(kStartupFile);
    main_.ApplySettings(*lines);
}

// A file that is not a settings file (its first line not the header) applies nothing and is said
// in a box, as a line that is not a number is; `Label67` goes on naming the settings in force.
bool SettingsFilePage::SettingsFileRefused(const QString& name, const QList<QByteArray>& lines) {
    const std::optional<QString> problem = Settings::headerProblem(lines, name);
    if (!problem) return false;
    main_.Log(Settings::versionMismatchText());
    main_.station().messages.information(*problem);
    return true;
}

// The lines every save ends with; the start-up file leaves out channel 1 and group "Ａ班", so
// that loading it keeps the channel and group in force.
QList<QByteArray> SettingsFilePage::settingsFileLines(bool forStartup) const {
    QList<QByteArray> lines = main_.WriteSettings();
    const int channel = main_.channelIndex(), group = main_.groupNumber();
    if (!forStartup || channel != 0 || group != 1) {
        lines << Settings::channelLine(channel);
        lines << Settings::groupLine(group);
    }
    lines << Settings::ownNameLine(Cp932::encode(main_.partner().ownName()));
    return lines;
}

bool SettingsFilePage::saveSettingsTo(const QString& path, const QList<QByteArray>& lines) {
    QString error;
    if (Settings::writeLines(path, lines, &error)) return true;
    main_.station().messages.information(QStringLiteral("設定ファイルを保存できませんでした。\n") + path + u'\n' + error);
    return false;
}

void SettingsFilePage::Button20Click() {
    const QString path = main_.station().dialogs.openFileName(&main_, main_.programFolder() + kDefaultName, kFilter);
    if (path.isEmpty()) return;
    QString error;
    const auto lines = Settings::readLines(path, &error);
    if (!lines) {
        main_.station().messages.information(QStringLiteral("設定ファイルを読み込めませんでした。\n") + path + u'\n' + error);
        return;
    }
    if (SettingsFileRefused(QFileInfo(path).fileName(), *lines)) return;
    main_.withLayoutOff([&] {
        Label67->setText(QFileInfo(path).fileName());
        main_.ApplySettings(*lines);
    });
}

void SettingsFilePage::Button21Click() {
    QString path = main_.station().dialogs.saveFileName(&main_, main_.programFolder() + kDefaultName, kFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".dp9");
    if (saveSettingsTo(path, settingsFileLines(false))) Label67->setText(QFileInfo(path).fileName());
}

void SettingsFilePage::Button66Click() {
    if (saveSettingsTo(startupFilePath(), settingsFileLines(true))) Label67->setText(kStartupFile);
}

// The timed transcript of the session as WebVTT and SubRip, named by the time of the save.
void SettingsFilePage::ButtonTranscriptClick() {
    const QString base = main_.TimeStampedName() + QStringLiteral("字幕");
    const QString error = main_.audience().saveTranscript(main_.programFolder(), base);
    if (error.isEmpty()) main_.Message(QStringLiteral("字幕ファイルを保存しました。\n") + main_.programFolder() + base + QStringLiteral(".vtt / .srt"));
    else main_.station().messages.information(QStringLiteral("字幕ファイルを保存できませんでした。\n") + error);
}

void SettingsFilePage::Button67Click() {
    Label67->setText(QStringLiteral("初期値に戻した"));
    main_.withLayoutOff([this] { main_.ResetToDefaults(); });
}

bool SettingsFilePage::logsLines() const { return CheckBox32->isChecked(); }
bool SettingsFilePage::logsInputStart() const { return CheckBox20->isChecked(); }
void SettingsFilePage::setLogsLines(bool on) {
    const QSignalBlocker quiet(CheckBox32);
    CheckBox32->setChecked(on);
}
void SettingsFilePage::setLogsInputStart(bool on) {
    const QSignalBlocker quiet(CheckBox20);
    CheckBox20->setChecked(on);
}
