#include "app/desktop_station.h"

#include "ui/message_box.h"

#include "settings/program_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QWindow>
#include <algorithm>

namespace App {

namespace {

const QString kTitle = QStringLiteral("Quelta");
// What a window manager's frame may take of the screen's width.
constexpr int kFrameAllowance = 40;

// Qt breaks a message wider than half the screen at about that width, wherever a Japanese line
// allows it, which leaves one to three characters of a line alone on the next. This box keeps the
// message's own lines whole and widens to the longest of them; only a line wider than the screen
// is broken.
class LineKeepingBox final : public QMessageBox {
public:
    LineKeepingBox(Icon icon, const QString& text, StandardButtons buttons, bool modal)
        : QMessageBox(icon, kTitle, text, buttons), over_(QApplication::activeWindow()) {
        setTextFormat(Qt::PlainText);
        if (!modal) setWindowModality(Qt::NonModal);  // which resets the window flags: first
        keepAboveStayOnTopWindows(*this);
    }

protected:
    // Qt sizes the box again on every layout request (a change of font or style): fit it again.
    bool event(QEvent* event) override {
        const bool done = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest && isVisible()) fitToLines();
        return done;
    }

    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // Qt's own size and place
        if (event->spontaneous()) return;
        fitToLines();
        // Over the window in use, and kept above it by the window manager.
        if (QWindow* handle = windowHandle(); handle && over_ && over_ != this && over_->windowHandle())
            handle->setTransientParent(over_->windowHandle());
        adjustPosition(over_ && over_ != this ? over_.data() : nullptr);
    }

private:
    void fitToLines() {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !label->wordWrap() || !layout()) return;  // Qt left the lines whole
        const int room = screen()->availableGeometry().width() - kFrameAllowance;
        label->setWordWrap(false);
        layout()->activate();
        QSize size = layout()->totalMinimumSize();
        if (size.width() > room) {
            label->setWordWrap(true);
            layout()->activate();
            size = QSize(room, layout()->totalHeightForWidth(room));
        }
        setFixedSize(std::max(size.width(), minimumWidth()), size.height());
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);  // sized: no second pass
    }

    QPointer<QWidget> over_;
};

}  // namespace

QMessageBox* newMessageBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                           bool modal) {
    return new LineKeepingBox(icon, text, buttons, modal);
}

void keepAboveStayOnTopWindows(QWidget& dialog) { dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true); }

DesktopMessages::~DesktopMessages() {
    for (const QPointer<QWidget>& box : std::as_const(boxes_)) delete box.data();
}

namespace {
// A box of ours, kept above the stay-on-top windows and, under a window manager, over the window in
// use.
void placeAboveTheWindowInUse(MessageBox& box) {
    keepAboveStayOnTopWindows(box);
    QWidget* over = QApplication::activeWindow();
    box.winId();  // the native window, to be made transient
    if (over && over != &box && over->windowHandle() && box.windowHandle())
        box.windowHandle()->setTransientParent(over->windowHandle());
}
}  // namespace

void DesktopMessages::information(const QString& text) {
    const quint16 kind = receipts_.kindNow();
    if (kind == 0) {
        MessageBox box(MessageBox::Kind::Information, kTitle, text);
        placeAboveTheWindowInUse(box);
        box.exec();
        return;
    }
    // A receipt box: shown and left open; the handler goes on at once.
    if (!receipts_.admit(kind)) return;
    auto* box = new MessageBox(MessageBox::Kind::Information, kTitle, text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    placeAboveTheWindowInUse(*box);
    QObject::connect(box, &QObject::destroyed, [this, kind] { receipts_.closed(kind); });
    boxes_.removeAll(nullptr);
    boxes_ << box;
    box->show();
}

bool DesktopMessages::askYesNo(const QString& text) {
    MessageBox box(MessageBox::Kind::Question, kTitle, text);
    placeAboveTheWindowInUse(box);
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
