#include "app/desktop_station.h"

#include "app/message_box.h"
#include "settings/program_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QProcess>
#include <QStandardPaths>

namespace App {

namespace {
const QString kTitle = QStringLiteral("Quelta");
}

DesktopMessages::~DesktopMessages() {
    for (const QPointer<QWidget>& box : std::as_const(boxes_)) delete box.data();
}

void DesktopMessages::information(const QString& text) {
    const quint16 kind = receipts_.kindNow();
    if (kind == 0) {
        MessageBox box(MessageBox::Kind::Information, kTitle, text);
        box.exec();
        return;
    }
    // A receipt box: shown and left open; the handler goes on at once.
    if (!receipts_.admit(kind)) return;
    auto* box = new MessageBox(MessageBox::Kind::Information, kTitle, text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    QObject::connect(box, &QObject::destroyed, [this, kind] { receipts_.closed(kind); });
    boxes_.removeAll(nullptr);
    boxes_ << box;
    box->show();
}

bool DesktopMessages::askYesNo(const QString& text) {
    MessageBox box(MessageBox::Kind::Question, kTitle, text);
    return box.exec() == QDialog::Accepted;
}

std::optional<QFont> DesktopDialogs::chooseFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return f;
}

std::optional<QColor> DesktopDialogs::chooseColor(QWidget* parent, const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

QString DesktopDialogs::openFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QString DesktopDialogs::saveFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, QString(), folder, filter);
}

void SystemClipboard::setText(const QString& text) { QGuiApplication::clipboard()->setText(text); }
QString SystemClipboard::text() const { return QGuiApplication::clipboard()->text(); }

QString SystemHostTools::addressReport() {
    QProcess p;
    p.start(QStringLiteral("ip"), {QStringLiteral("-brief"), QStringLiteral("-4"), QStringLiteral("address")});
    if (!p.waitForFinished(3000)) return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString userDataFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

QString defaultProgramFolder() {
    return Settings::chooseProgramFolder(QCoreApplication::applicationDirPath(), userDataFolder());
}

}  // namespace App
