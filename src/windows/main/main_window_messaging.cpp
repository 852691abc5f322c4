// How the main window links the contact window and the notice window to the station: the own
// address, the explanation page, the message switch, the partner, the outbox and the caption
// display the ticker runs over, the pre-roll window's telop switches and pre-roll 1.
#include "windows/main/main_window.h"

#include "ui/canvas.h"
#include "ui/messaging_links.h"
#include "core/contact_text.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/notice_window.h"
#include "windows/prepared/template_window.h"
#include "windows/main/saving.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>

namespace App {

ContactLinks contactLinks(Ttalk2e& main) {
    ContactLinks l{main.outbox()};
    l.ownAddress = [&main] { return main.ownAddress(); };
    l.logOn = [&main] { return main.CheckBox32->isChecked(); };
    l.log = [&main](const QString& line) { main.Log(line); };
    l.message = [&main](const QString& text) { main.Message(text); };
    return l;
}

NoticeLinks noticeLinks(Ttalk2e& main) {
    NoticeLinks l{main.outbox()};
    l.logOn = [&main] { return main.CheckBox32->isChecked(); };
    l.log = [&main](const QString& line) { main.Log(line); };
    l.message = [&main](const QString& text) { main.Message(text); };
    l.hasPartner = [&main] { return main.hasPartner(); };
    l.displayArea = [&main] { return main.captionDisplayArea(); };
    l.receiveOffChanged = [&main](bool on) { main.auxiliaryPage().setNoticesOff(on); };
    l.sendCommaSettings = [&main] { return main.Form11 && main.Form11->sendsCommaSettings(); };
    l.rollStopsAtLeft = [&main] { return main.Form11 && main.Form11->stopsTelopAtLeftEdge(); };
    l.appendToPreroll = [&main](const QString& line) {
        if (main.Form11) main.Form11->AppendToFirstRoll(line);
    };
    return l;
}

}  // namespace App

QRect Ttalk2e::captionDisplayArea() const {
    return display_->captionArea();
}

std::optional<ExitText> Ttalk2e::ContactExitText() const {
    if (!Form6) return std::nullopt;
    std::optional<QList<QByteArray>> lines = Form6->HistoryAtExit();
    if (!lines) return std::nullopt;
    return ExitText{Saving::kContactText, Core::Contact::HistoryFileName(station_.clock.now()), std::move(*lines)};
}

bool Ttalk2e::SaveContactHistoryAtExit() {
    const std::optional<ExitText> text = ContactExitText();
    return !text || saving_->SaveExitText(*text);
}
