// Staying usable under a flood: the team's datagrams served first, the once-a-minute report of
// refused datagrams. And the test-only save loop that the crash test kills at random moments.
#include "app/main_window.h"

#include "core/contact_text.h"
#include "app/text_pane.h"
#include "messaging/contact_window.h"
#include "net/network.h"
#include "net/receive_report.h"
#include "net/team.h"
#include "settings/line_file.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

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

void Ttalk2e::PreferTeamSenders() {
    QStringList team = mateAddresses();
    if (team_.hasPartner()) team << team_.partnerAddress();
    station_.network.receiveQueue().setPreferredSenders(team);
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

// Each step changes what every file holds, then saves it as the program does: the start-up
// settings as "起動時設定にする" saves them, the display text and the contact history through the
// same crash-safe writer as their save buttons (to fixed names: the test must find them). The step
// number goes to standard output after the saves, so the test knows what was committed.
void Ttalk2e::StartSaveLoop(int intervalMs) {
    CheckBox19->setChecked(false);  // no box may stop the loop
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("TimerSaveLoop"));
    timer->setInterval(qMax(0, intervalMs));
    connect(timer, &QTimer::timeout, this, &Ttalk2e::SaveLoopStep);
    timer->start();
}

void Ttalk2e::SaveLoopStep() {
    const int n = ++saveLoopCount_;
    const QString mark = QStringLiteral("保存ループ%1").arg(n);
    Edit30->setText(mark);  // the own name, the last line of a settings file
    SendLine(Cp932::encode(mark));
    Form6->RichEdit1->setPlainText(mark);
    Form6->SendContactLine(false);  // into the history; nobody to send it to
    Button66Click();
    WriteText(programFolder_ + QStringLiteral("保存ループ表示.txt"), RecordLines());
    Settings::writeLines(programFolder_ + QStringLiteral("保存ループ連絡文.txt"),
                         Core::Contact::HistoryLines(Form6->RichEdit2->toPlainText(), true));
    std::printf("saved %d\n", n);
    std::fflush(stdout);
}
