// The notice receiver's lines on arbitrary datagrams: the collector up to "$end$", the plan a
// batch applies, the comma-separated line of the pre-roll, and the settings file's integer reader on their values.
#include "core/notice_lines.h"
#include "fuzz_support.h"
#include "settings/values.h"

namespace N = Core::Notice;

namespace {

// What every plan promises the window that applies it.
void checkPlan(const N::Plan& plan, bool settingsOff, bool commaLine) {
    for (const N::Item& item : plan.items) {
        FUZZ_CHECK((item.key >= N::Height && item.key <= N::UnderBottom) || item.key == N::Show || item.key == N::Stop);
        if (N::IsNumeric(item.key, commaLine)) FUZZ_CHECK(Settings::toInt(item.value).has_value());
        if (item.key == N::Show || item.key == N::Stop) FUZZ_CHECK(!commaLine && item.value == "true");
        if (settingsOff) FUZZ_CHECK(item.key == N::Text || item.key == N::Show || item.key == N::Stop);
    }
    if (plan.end != N::Plan::End::Complete) FUZZ_CHECK(plan.headerOk || commaLine);
}

void checkInt(QByteArrayView value) {
    const auto v = Settings::toInt(value);
    bool ok = false;
    const qlonglong reference = value.toByteArray().toLongLong(&ok);
    // QByteArray::toLongLong also takes spaces around the number and stops at a NUL; ours takes
    // digits only.
    const bool plain = !value.isEmpty() && !value.contains(' ') && !value.contains('\t') && !value.contains('\n') &&
                       !value.contains('\r') && !value.contains('\v') && !value.contains('\f') && !value.contains('\0');
    if (v) FUZZ_CHECK(ok && reference == *v);
    else if (plain && ok) FUZZ_CHECK(reference > 2147483647LL || reference < -2147483648LL || value.startsWith("0x"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::Input in(data, size);
    const bool settingsOff = in.byte() & 1;
    N::Collector collector;
    while (!in.empty()) {
        const QByteArray line = in.until('\n');
        checkInt(line);
        const N::Plan comma = N::PlanCommaLine(line);
        checkPlan(comma, false, true);
        const QList<QByteArray> items = N::CommaLineItems(line);
        FUZZ_CHECK(items.size() == line.count(',') + 1 && items[0].startsWith("504:"));
        FUZZ_CHECK(N::ColonCount(line) == line.count(':'));

        if (const auto batch = collector.add(line)) {
            const N::Plan plan = N::PlanReceived(*batch, settingsOff);
            if (!plan.headerOk) FUZZ_CHECK(plan.items.isEmpty());
            checkPlan(plan, settingsOff, false);
            FUZZ_CHECK(collector.lines().isEmpty());
        }
        qsizetype held = 0;
        for (const QByteArray& l : collector.lines()) held += l.size() + 2;
        FUZZ_CHECK(held <= N::Collector::kCapacity);
    }
    const N::Plan rest = N::PlanReceived(collector.lines(), settingsOff);
    checkPlan(rest, settingsOff, false);
    return 0;
}
