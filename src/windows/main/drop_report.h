#pragma once
// Staying usable under a flood: once a minute, the datagrams the receive queues had to refuse, one
// line per port on the explanation page; and warnings a stranger can repeat at will, the first of a
// minute written, the others counted and written as one line when the minute is over.
#include "core/repeat_gate.h"

#include <QString>
#include <functional>

class QObject;
class QTimer;
namespace App { struct Station; }

class DropReport {
public:
    // `log` writes a line on the explanation page; `owner` owns the timer.
    DropReport(App::Station& station, QObject& owner, std::function<void(const QString&)> log);

    // Starts the minute timer "TimerDropReport" (once; later calls do nothing).
    void start();
    void TimerDropReportTimer();
    void LogRepeated(const QString& kind, const std::function<QString()>& line);
    void WriteOverdueRepeats();

private:
    App::Station& station_;
    QObject& owner_;
    std::function<void(const QString&)> log_;
    QTimer* TimerDropReport = nullptr;
    Core::RepeatGate repeats_;
};
