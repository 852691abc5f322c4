#include "app/aux_window.h"

#include "app/hot_keys.h"
#include "app/window_registry.h"

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

Net::DatagramEndpoint* AuxWindow::makeEndpoint(const Net::PortEntry& entry, std::function<bool()> followsChannel) {
    return context_.endpoints.makeEndpoint(entry, this, std::move(followsChannel));
}
