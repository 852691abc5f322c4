#pragma once
// Whole stations for the fuzz targets: built once per process on the in-memory LAN and built anew
// after a fixed number of inputs, so their records, logs and buffers stay small and what an input
// did is undone by at most that many inputs later. Every receiver's switch is on, so each
// datagram reaches its handler.
#include "gui_app.h"
#include "support/lan.h"

#include "windows/messaging/notice_window.h"
#include "windows/prepared/correction_monitor.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/template_window.h"

#include <QApplication>
#include <QCheckBox>
#include <memory>

namespace Fuzz {

// Opens the gates that switch receivers off, as a typist would with the controls.
inline void openEveryReceiver(Testing::TestStation& s) {
    Ttalk2e& m = *s.main;
    for (QCheckBox* box : {Testing::control<QCheckBox>(m, "CheckBox22"), Testing::control<QCheckBox>(m, "CheckBox12"), Testing::control<QCheckBox>(m, "CheckBox46"), Testing::control<QCheckBox>(m, "CheckBox30"), Testing::control<QCheckBox>(m, "CheckBox31")})
        if (!box->isChecked()) box->setChecked(true);
    QCheckBox* noticesOff = Testing::control<QCheckBox>(*m.noticeWindow(), "CheckBox12");
    if (noticesOff->isChecked()) noticesOff->setChecked(false);
    QCheckBox* linkageIn = Testing::control<QCheckBox>(*m.templateWindow(), "CheckBox20");
    if (!linkageIn->isChecked()) linkageIn->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(m.templateWindow()), static_cast<QWidget*>(m.correctionPalette()),
                       static_cast<QWidget*>(m.correctionMonitor())})
        if (!w->isVisible()) w->show();
}

// Traffic scrambling on or off, the same on every station so that they still understand each other.
inline void setScrambling(Testing::Lan& lan, bool on) {
    for (auto& s : lan.stations)
        if (QCheckBox* box = Testing::control<QCheckBox>(*s->main, "CheckBox42"); box->isChecked() != on)
            box->setChecked(on);
}

// Keep the object in a static pointer and never delete it: the last rig must outlive the process's
// exit, since destroying windows after Qt's own statics are gone crashes (and the pointer keeps it
// reachable for LeakSanitizer).
template <typename Rig>
class Rebuilt {
public:
    explicit Rebuilt(int inputsPerRig) : inputsPerRig_(inputsPerRig) {}
    // The rig for the next input: a new one on the first call and after every inputsPerRig inputs.
    Rig& next() {
        application<QApplication>();
        if (!rig_ || ++uses_ > inputsPerRig_) {
            rig_.reset();  // the old stations go before the new ones bind their ports
            rig_ = std::make_unique<Rig>();
            uses_ = 1;
        }
        return *rig_;
    }

private:
    int inputsPerRig_;
    int uses_ = 0;
    std::unique_ptr<Rig> rig_;
};

}  // namespace Fuzz
