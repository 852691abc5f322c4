// Settings transfers over the network, from the partner (a member) to a whole station: every line
// of the input is a transfer line ("$set$" and the line), and "$end$" closes the transfer. The first
// byte's low bit puts the header first; its next bit sends a second end mark, so a transfer may
// also stay open across inputs. Whatever the values, the station stays the typist's: its memory
// stays bounded, its windows within the screens and no smaller than usable, its channel and group
// where they were, and its captions never the colour of their background.
#include "fuzz_support.h"
#include "station_rig.h"

#include "ui/fonts.h"
#include "windows/main/member_monitor.h"
#include "ui/settings_binders.h"
#include "net/caption_protocol.h"
#include "net/datagram_endpoint.h"
#include "settings/geometry.h"
#include "settings/settings_file.h"
#include "windows/main/explanation_page.h"

#include <QLineEdit>
#include <QTextEdit>
#include <malloc.h>

namespace {

constexpr int kInputsPerRig = 100;
// Two stations with every window and their records take some tens of megabytes; one transfer of a
// few kilobytes must not take hundreds (20000×20000 pixels of window took 1.6 GB).
constexpr size_t kMostHeapBytes = size_t(512) << 20;

struct Rig {
    Testing::PairedLan p;
};

size_t heapInUse() {
    const struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;  // zero under a sanitizer's allocator: no bound to check there
}

void checkBounded(const QWidget& w, const QRect& screens, const QSize& smallest) {
    FUZZ_CHECK(w.width() <= screens.width() && w.height() <= screens.height());
    FUZZ_CHECK(w.width() >= qMin(smallest.width(), screens.width()));
    FUZZ_CHECK(w.height() >= qMin(smallest.height(), screens.height()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* const rigs = new Fuzz::Rebuilt<Rig>(kInputsPerRig);
    Rig& rig = rigs->next();
    Testing::Lan& lan = rig.p.lan;
    Ttalk2e& a = *rig.p.a.main;
    Ttalk2e& b = *rig.p.b.main;
    FUZZ_CHECK(a.hasPartner() && b.hasPartner());
    const quint16 channel = b.linesEndpoint()->channelPort();
    const int group = b.groupNumber();

    Fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    if (flags & 1) a.SendSettingsLine(Net::Wire::SettingsStart() + Settings::headerLine());
    while (!in.empty()) {
        QByteArray line = in.until('\n');
        if (line.endsWith('\r')) line.chop(1);
        a.SendSettingsLine(line == "$end$" ? line : Net::Wire::SettingsStart() + line);
        lan.net.deliverAll();
    }
    a.SendSettingsLine(Net::Wire::SettingsEnd());
    if (flags & 2) a.SendSettingsLine(Net::Wire::SettingsEnd());
    lan.net.deliverAll();

    const QRect screens = Bind::screensArea();
    checkBounded(b, screens, Settings::kSmallestMainWindow);
    checkBounded(*b.memberMonitor(), screens, Settings::kSmallestWindow);
    FUZZ_CHECK(Fonts::points(Testing::control<TextPane>(b, "RichEdit2")->font()) <= Fonts::kMostPoints);
    FUZZ_CHECK(b.linesEndpoint()->channelPort() == channel);
    FUZZ_CHECK(b.groupNumber() == group);
    FUZZ_CHECK(Testing::control<QTextEdit>(b, "RichEdit3")->document()->blockCount() <= ExplanationPage::kLines);
    if (const size_t heap = heapInUse()) FUZZ_CHECK(heap < kMostHeapBytes);

    lan.net.clearSent();
    for (Testing::TestStation* s : {&rig.p.a, &rig.p.b}) {
        s->messages.closeReceiptBoxes();
        s->messages.shown.clear();
        s->messages.asked.clear();
    }
    return 0;
}
