// The once-a-minute report of refused datagrams and the gate of repeated warnings.
#include "windows/main/drop_report.h"

#include "ui/station.h"
#include "net/network.h"
#include "net/receive_report.h"
#include "net/team.h"
#include "text/text_filter.h"

#include <QTimer>

namespace {
constexpr int kDropReportMs = 60000;
}

DropReport::DropReport(App::Station& station, QObject& owner, std::function<void(const QString&)> log)
    : station_(station), owner_(owner), log_(std::move(log)) {}

void DropReport::start() {
    if (TimerDropReport) return;
    TimerDropReport = new QTimer(&owner_);
    TimerDropReport->setObjectName(QStringLiteral("TimerDropReport"));
    TimerDropReport->setInterval(kDropReportMs);
    QObject::connect(TimerDropReport, &QTimer::timeout, &owner_, [this] { TimerDropReportTimer(); });
    TimerDropReport->start();
}

void DropReport::TimerDropReportTimer() {
    WriteOverdueRepeats();
    const auto dropped = station_.network.receiveQueue().takeDropped();
    const QString stamp = Text::ClockText(station_.clock.now().time()) + QStringLiteral(",[自分],");
    for (auto it = dropped.cbegin(); it != dropped.cend(); ++it) log_(stamp + Net::DropReport(it.key(), it.value()));
}

void DropReport::LogRepeated(const QString& kind, const std::function<QString()>& line) {
    WriteOverdueRepeats();
    if (repeats_.admit(kind, station_.clock.now())) log_(line());
}

void DropReport::WriteOverdueRepeats() {
    const QDateTime now = station_.clock.now();
    for (const auto& [kind, count] : repeats_.takeOverdue(now))
        log_(Net::DateTimeStamp(now) + kind + QStringLiteral("ほか%1件（同じ記録は1分に1行）").arg(count));
}
