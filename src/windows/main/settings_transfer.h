#pragma once
// The settings transfer of the main window: display settings sent to the partner on the partner
// channel, their receipt and application, "合わせる", and the command keys a transfer carries.
#include "settings/transfer.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QPushButton;
class QWidget;
class Ttalk2e;
namespace Settings { class KeyTable; }

class SettingsTransfer {
public:
    explicit SettingsTransfer(Ttalk2e& main);

    // "合わせる" in the group "表示機と合わせる" of the page "保存".
    void addMatchButton(QWidget* group);

    // One transfer line to the paired partner (scrambled while scrambling is on); false, with a
    // message, when it is too long to arrive whole.
    bool SendSettingsLine(const QByteArray& text);
    // The header, the lines (each with "$set$") and "$end$".
    void SendSettingsTransfer(const QList<QByteArray>& lines);
    // A transfer line ("$set$…", "$end$") on the partner channel from `from`.
    void SettingsTransferReceived(const QByteArray& text, const QString& from);
    // A transfer's lines applied, less those that would move the station's channel or group, hide
    // the captions or put a window beyond the screens (each noted on the explanation page).
    void ApplyTransfer(QList<QByteArray> lines);
    void Button18Click();  // "合わせる"
    // The commands a transfer carries (never written to a file).
    void addTransferCommands(Settings::KeyTable& table);

private:
    Ttalk2e& main_;
    Settings::TransferBuffer buffer_;  // received transfer lines until "$end$"
    QPushButton* Button18 = nullptr;   // "合わせる"
};
