// The numbered settings file as the main window runs it: the key table of every window, writing
// and applying it, the own name at creation, the start-up load, the load and save buttons, the
// start-up file and the reset to defaults.
#include "windows/main/main_window.h"

#include "ui/aux_window.h"
#include "audience/service.h"
#include "net/team.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "text/cp932.h"
#include "windows/main/partner_page.h"
#include "windows/main/settings_transfer.h"
#include "windows/main/display_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kStartupFile = QStringLiteral("自動読込表示設定.dp9");
const QString kDefaultName = QStringLiteral("表示全般設定.dp9");
const QString kFilter = QStringLiteral("表示全体設定 (*.dp9);;全てのファイル (*)");

}  // namespace

void Ttalk2e::wireSettings() {
    connect(Button20, &QPushButton::clicked, this, &Ttalk2e::Button20Click);
    connect(Button21, &QPushButton::clicked, this, &Ttalk2e::Button21Click);
    connect(Button66, &QPushButton::clicked, this, &Ttalk2e::Button66Click);
    connect(Button67, &QPushButton::clicked, this, &Ttalk2e::Button67Click);
    connect(ButtonTranscript, &QPushButton::clicked, this, &Ttalk2e::ButtonTranscriptClick);
}

void Ttalk2e::buildSettingsTable() {
    addSettings(settings_);
    transfer_->addTransferCommands(settings_);
    for (QWidget* w : windows_.all())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->addSettings(settings_);
}

QList<QByteArray> Ttalk2e::WriteSettings() const {
    QList<QByteArray> lines;
    Settings::WriteSettings(settings_, lines);
    return lines;
}

bool Ttalk2e::ApplySettings(const QList<QByteArray>& lines) {
    const Settings::ApplyResult r = Settings::ApplySettings(settings_, lines, [this](const QString& l) { Log(l); });
    // A line that stops the file is always reported, as the toolkit's conversion error was.
    if (r.error) station_.messages.information(Settings::describe(*r.error));
    return r.headerOk && !r.error;
}

QString Ttalk2e::startupFilePath() const { return programFolder_ + kStartupFile; }

// The date and time of now in the short formats, "/" and ":" made "_": the names of saved texts.
QString Ttalk2e::TimeStampedName() const {
    QString name = Net::DateTimeStamp(station_.clock.now());
    name.chop(1);  // the stamp's closing ":"
    name.replace(u'/', u'_').replace(u':', u'_');
    return name;
}

// The own name from the last "166" line of the start-up file.
void Ttalk2e::ReadOwnNameFromStartupFile() {
    const auto lines = Settings::readLines(startupFilePath());
    if (!lines) return;
    for (auto it = lines->crbegin(); it != lines->crend(); ++it) {
        const QList<QByteArray> f = it->split(':');
        if (f.value(0) != "166") continue;
        partner_->setOwnName(Cp932::decode(f.value(1)));
        return;
    }
}

void Ttalk2e::LoadStartupSettings() {
    const auto lines = Settings::readLines(startupFilePath());
    if (!lines) return;  // no start-up file: nothing applied, no message
    if (SettingsFileRefused(kStartupFile, *lines)) return;
    Label67->setText(kStartupFile);
    ApplySettings(*lines);
}

// A file that is not a settings file (its first line not the header) applies nothing and is said
// in a box, as a line that is not a number is; `Label67` goes on naming the settings in force.
bool Ttalk2e::SettingsFileRefused(const QString& name, const QList<QByteArray>& lines) {
    const std::optional<QString> problem = Settings::headerProblem(lines, name);
    if (!problem) return false;
    Log(Settings::versionMismatchText());
    station_.messages.information(*problem);
    return true;
}

// The lines every save ends with; the start-up file leaves out channel 1 and group "Ａ班", so
// that loading it keeps the channel and group in force.
QList<QByteArray> Ttalk2e::settingsFileLines(bool forStartup) const {
    QList<QByteArray> lines = WriteSettings();
    const int channel = channelIndex(), group = groupNumber();
    if (!forStartup || channel != 0 || group != 1) {
        lines << Settings::channelLine(channel);
        lines << Settings::groupLine(group);
    }
    lines << Settings::ownNameLine(Cp932::encode(partner_->ownName()));
    return lines;
}

bool Ttalk2e::saveSettingsTo(const QString& path, const QList<QByteArray>& lines) {
    QString error;
    if (Settings::writeLines(path, lines, &error)) return true;
    station_.messages.information(QStringLiteral("設定ファイルを保存できませんでした。\n") + path + u'\n' + error);
    return false;
}

void Ttalk2e::Button20Click() {
    const QString path = station_.dialogs.openFileName(this, programFolder_ + kDefaultName, kFilter);
    if (path.isEmpty()) return;
    QString error;
    const auto lines = Settings::readLines(path, &error);
    if (!lines) {
        station_.messages.information(QStringLiteral("設定ファイルを読み込めませんでした。\n") + path + u'\n' + error);
        return;
    }
    if (SettingsFileRefused(QFileInfo(path).fileName(), *lines)) return;
    layoutOn_ = false;
    Label67->setText(QFileInfo(path).fileName());
    ApplySettings(*lines);
    layoutOn_ = true;
    display_->SettingsApplied();
}

void Ttalk2e::Button21Click() {
    QString path = station_.dialogs.saveFileName(this, programFolder_ + kDefaultName, kFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".dp9");
    if (saveSettingsTo(path, settingsFileLines(false))) Label67->setText(QFileInfo(path).fileName());
}

void Ttalk2e::Button66Click() {
    if (saveSettingsTo(startupFilePath(), settingsFileLines(true))) Label67->setText(kStartupFile);
}

// The timed transcript of the session as WebVTT and SubRip, named by the time of the save.
void Ttalk2e::ButtonTranscriptClick() {
    const QString base = TimeStampedName() + QStringLiteral("字幕");
    const QString error = audience_->saveTranscript(programFolder_, base);
    if (error.isEmpty()) Message(QStringLiteral("字幕ファイルを保存しました。\n") + programFolder_ + base + QStringLiteral(".vtt / .srt"));
    else station_.messages.information(QStringLiteral("字幕ファイルを保存できませんでした。\n") + error);
}

void Ttalk2e::Button67Click() {
    Label67->setText(QStringLiteral("初期値に戻した"));
    layoutOn_ = false;
    ResetToDefaults();
    layoutOn_ = true;
    display_->SettingsApplied();
}
