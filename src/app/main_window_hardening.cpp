// Staying usable under a flood: the once-a-minute report of refused datagrams.
#include "app/main_window.h"

#include "net/network.h"
#include "text/text_filter.h"

#include <QTimer>

namespace {
constexpr int kDropReportMs = 60000;
}

void Ttalk2e::StartDropReport() {
    if (TimerDropReport) return;
    TimerDropReport = new QTimer(this);
    TimerDropReport->setObjectName(QStringLiteral("TimerDropReport"));
    TimerDropReport->setInterval(kDropReportMs);
    connect(TimerDropReport, &QTimer::timeout, this, &Ttalk2e::TimerDropReportTimer);
    TimerDropReport->start();
}

void Ttalk2e::TimerDropReportTimer() {
    const QMap<quint16, qint64> dropped = station_.network.receiveQueue().takeDropped();
    if (dropped.isEmpty()) return;
    const QString stamp = Text::ClockText(station_.clock.now().time()) + QStringLiteral(",[自分],");
    for (auto it = dropped.cbegin(); it != dropped.cend(); ++it)
        Log(stamp + QStringLiteral("受信過多：ポート%1で%2件を破棄しました").arg(it.key()).arg(it.value()));
}
