#include "ui/aux_window.h"

#include "ui/hot_keys.h"
#include "ui/window_registry.h"

#include "settings/line_file.h"
#include "text/cp932.h"
#include "ui/station.h"

#include <QEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
// A field the typist may have chosen to write in: the keyboard stays there.
bool takesText(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return !e->isReadOnly();
    if (auto* e = qobject_cast<const QTextEdit*>(w)) return !e->isReadOnly();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) return !e->isReadOnly();
    return false;
}
}  // namespace

AuxWindow::AuxWindow(const App::WindowContext& context, const char* className, const QString& baseCaption,
                     const QString& channelSuffix, const char* hotKey)
    : QWidget(nullptr, Qt::Window), context_(context), baseCaption_(baseCaption), channelSuffix_(channelSuffix) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(baseCaption);
    hotKeys_ = new HotKeyMenu(*this, context.hotKeys);
    context.windows.add(this, hotKey);
}

AuxWindow::~AuxWindow() = default;

void AuxWindow::applyChannelCaption(int n) {
    if (!channelSuffix_.isEmpty()) setWindowTitle(QString::number(n) + channelSuffix_);
}

QTabWidget* AuxWindow::addPageControl() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(pages);
    return pages;
}

void AuxWindow::SaveUsageText(const QString& text) {
    QString path = station().dialogs.saveFileName(this, station().programFolder + QStringLiteral("説明ページ保存.txt"),
                                                  QStringLiteral("テキスト (*.txt);;全てのファイル (*.*)"));
    if (path.isEmpty()) return;
    if (!path.contains(u'.')) path += QStringLiteral(".txt");
    QList<QByteArray> lines;
    for (const QString& l : text.split(u'\n')) lines << Cp932::encode(l);
    QString error;
    if (!Settings::writeLines(path, lines, &error))
        station().messages.information(QStringLiteral("保存できませんでした。\n") + path + u'\n' + error);
}

void AuxWindow::setTypingPanes(const QList<QWidget*>& panes) {
    typingPanes_ = panes;
    lastPane_ = panes.value(0);
    for (QWidget* p : panes) p->installEventFilter(this);
}

QWidget* AuxWindow::mainPane() const { return lastPane_; }

void AuxWindow::focusMainPane() {
    QWidget* pane = mainPane();
    if (!pane || !pane->isVisibleTo(this) || !pane->isEnabled()) return;
    const QWidget* now = focusWidget();
    if (now && now->isVisibleTo(this) && (typingPanes_.contains(now) || (takesText(now) && now != pane))) return;
    pane->setFocus(Qt::ActiveWindowFocusReason);
}

bool AuxWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) focusMainPane();
    return handled;
}

bool AuxWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && typingPanes_.contains(watched)) lastPane_ = static_cast<QWidget*>(watched);
    return QWidget::eventFilter(watched, event);
}

Net::DatagramEndpoint* AuxWindow::makeEndpoint(const Net::PortEntry& entry, std::function<bool()> followsChannel) {
    return context_.endpoints.makeEndpoint(entry, this, std::move(followsChannel));
}
