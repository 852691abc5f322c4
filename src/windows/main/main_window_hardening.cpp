// Staying usable under a flood: the team's datagrams served first, the once-a-minute report of
// refused datagrams.
#include "windows/main/main_window.h"

#include "net/network.h"
#include "net/receive_report.h"
#include "net/team.h"
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
    WriteOverdueRepeats();
    const auto dropped = station_.network.receiveQueue().takeDropped();
    const QString stamp = Text::ClockText(station_.clock.now().time()) + QStringLiteral(",[自分],");
    for (auto it = dropped.cbegin(); it != dropped.cend(); ++it) Log(stamp + Net::DropReport(it.key(), it.value()));
}

void Ttalk2e::LogRepeated(const QString& kind, const std::function<QString()>& line) {
    WriteOverdueRepeats();
    if (repeats_.admit(kind, station_.clock.now())) Log(line());
}

void Ttalk2e::WriteOverdueRepeats() {
    const QDateTime now = station_.clock.now();
    for (const auto& [kind, count] : repeats_.takeOverdue(now))
        Log(Net::DateTimeStamp(now) + kind + QStringLiteral("ほか%1件（同じ記録は1分に1行）").arg(count));
}
