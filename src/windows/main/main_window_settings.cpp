// The numbered settings file as the main window runs it: the key table of every window, writing
// and applying it; the file's page is SettingsFilePage (windows/main/settings_file_page.h).
#include "windows/main/main_window.h"

#include "ui/aux_window.h"
#include "net/team.h"
#include "settings/settings_file.h"
#include "windows/main/settings_transfer.h"
#include "windows/main/display_view.h"
#include "windows/main/settings_file_page.h"

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

// The date and time of now in the short formats, "/" and ":" made "_": the names of saved texts.
QString Ttalk2e::TimeStampedName() const {
    QString name = Net::DateTimeStamp(station_.clock.now());
    name.chop(1);  // the stamp's closing ":"
    name.replace(u'/', u'_').replace(u':', u'_');
    return name;
}

QList<QByteArray> Ttalk2e::settingsFileLines(bool forStartup) const { return settingsFile_->settingsFileLines(forStartup); }
QString Ttalk2e::startupFilePath() const { return settingsFile_->startupFilePath(); }
void Ttalk2e::ReadOwnNameFromStartupFile() { settingsFile_->ReadOwnNameFromStartupFile(); }
void Ttalk2e::LoadStartupSettings() { settingsFile_->LoadStartupSettings(); }
void Ttalk2e::Button66Click() { settingsFile_->Button66Click(); }

void Ttalk2e::withLayoutOff(const std::function<void()>& change) {
    layoutOn_ = false;
    change();
    layoutOn_ = true;
    display_->SettingsApplied();
}
