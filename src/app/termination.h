#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window the normal way, so that its close handler
// (saves, leave notices) runs when a desktop session ends.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace App {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace App
