// The settings reader of a whole station on arbitrary files: every line goes through the main
// window's ApplySettings and so through the controls of every window. A file the station then
// writes must apply again without a complaint.
#include "fuzz_support.h"
#include "station_rig.h"

#include "settings/line_file.h"

namespace {

constexpr int kInputsPerRig = 100;

struct Rig {
    Testing::Lan lan;
    Testing::TestStation& a = lan.add(10, "A");
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* const rigs = new Fuzz::Rebuilt<Rig>(kInputsPerRig);
    Rig& rig = rigs->next();
    Ttalk2e& main = *rig.a.main;

    const QList<QByteArray> lines = Settings::splitLines(QByteArrayView(data, qsizetype(size)));
    main.ApplySettings(lines);
    rig.lan.net.deliverAll();
    // Odd inputs (by their first byte) also write the settings and read them back.
    if (size > 0 && (data[0] & 1)) {
        const QList<QByteArray> written = main.WriteSettings();
        FUZZ_CHECK(!written.isEmpty());
        FUZZ_CHECK(main.ApplySettings(written));
        rig.lan.net.deliverAll();
    }
    rig.lan.net.clearSent();
    rig.a.messages.shown.clear();
    rig.a.messages.asked.clear();
    return 0;
}
