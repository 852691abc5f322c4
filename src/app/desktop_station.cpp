#include "app/desktop_station.h"

#include "ui/message_box.h"

#include "settings/program_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace App {

namespace {
const QString kTitle = QStringLiteral("Quelta");
}

void keepAboveStayOnTopWindows(QWidget& dialog) { dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true); }

DesktopMessages::~DesktopMessages() {
    for (const QPointer<QWidget>& box : std::as_const(boxes_)) delete box.data();
}

void DesktopMessages::information(const QString& text) {
    const quint16 kind = receipts_.kindNow();
    if (kind == 0) {
        MessageBox box(MessageBox::Kind::Information, kTitle, text);
        box.placeAboveTheWindowInUse();
        box.exec();
        return;
    }
    // A receipt box: shown and left open; the handler goes on at once.
    if (!receipts_.admit(kind)) return;
    auto* box = new MessageBox(MessageBox::Kind::Information, kTitle, text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->placeAboveTheWindowInUse();
    QObject::connect(box, &QObject::destroyed, [this, kind] { receipts_.closed(kind); });
    boxes_.removeAll(nullptr);
    boxes_ << box;
    box->show();
}

bool DesktopMessages::askYesNo(const QString& text) {
    MessageBox box(MessageBox::Kind::Question, kTitle, text);
    box.placeAboveTheWindowInUse();
    return box.exec() == QDialog::Accepted;
}

std::optional<QFont> DesktopDialogs::chooseFont(QWidget* parent, const QFont& initial) {
    QPointer<QFontDialog> dialog = new QFontDialog(initial, parent);
    keepAboveStayOnTopWindows(*dialog);
    const bool ok = dialog->exec() == QDialog::Accepted && dialog;
    const std::optional<QFont> font = ok ? std::optional<QFont>(dialog->selectedFont()) : std::nullopt;
    delete dialog.data();
    return font;
}

std::optional<QColor> DesktopDialogs::chooseColor(QWidget* parent, const QColor& initial) {
    QPointer<QColorDialog> dialog = new QColorDialog(initial, parent);
    keepAboveStayOnTopWindows(*dialog);
    const bool ok = dialog->exec() == QDialog::Accepted && dialog && dialog->selectedColor().isValid();
    const std::optional<QColor> colour = ok ? std::optional<QColor>(dialog->selectedColor()) : std::nullopt;
    delete dialog.data();
    return colour;
}

namespace {
QString askFileName(QWidget* parent, const QString& folder, const QString& filter, QFileDialog::AcceptMode mode) {
    QPointer<QFileDialog> dialog = new QFileDialog(parent, QString(), folder, filter);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    keepAboveStayOnTopWindows(*dialog);
    const bool ok = dialog->exec() == QDialog::Accepted && dialog;
    const QString name = ok ? dialog->selectedFiles().value(0) : QString();
    delete dialog.data();
    return name;
}
}  // namespace

QString DesktopDialogs::openFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return askFileName(parent, folder, filter, QFileDialog::AcceptOpen);
}

QString DesktopDialogs::saveFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return askFileName(parent, folder, filter, QFileDialog::AcceptSave);
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
