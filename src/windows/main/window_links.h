#pragma once
// The links of the partner page, of the page "補助Ｗ" to the windows it opens, and of the prepared-text windows (pre-roll window, sub-input window, correction palette,
// karaoke remote) to the main window's send path, pages and other windows, made at their creation.
// The contact and notice windows' links (App::contactLinks, App::noticeLinks) are made here too.
#include "ui/prepared_links.h"
#include "windows/main/partner_page.h"

class Ttalk2e;

namespace WindowLinks {

// The partner page's ways to the rest of the station.
PartnerPage::Links partnerLinks(Ttalk2e& main);
// The buttons and switches of the page "補助Ｗ" to the windows they open, once they exist.
void wireAuxiliaryPage(Ttalk2e& main);
// The cover and colour buttons of the display view ("表示１"/"表示２"), with the main window's
// colours; and the cover window's click, which brings the main window and its monitors forward.
void wireCoverAndColours(Ttalk2e& main);
void wireCoverWindow(Ttalk2e& main);
App::TemplateLinks templateLinks(Ttalk2e& main);
App::SubInputLinks subInputLinks(Ttalk2e& main);
App::PaletteLinks paletteLinks(Ttalk2e& main);
App::RemoteLinks remoteLinks(Ttalk2e& main);

}  // namespace WindowLinks
