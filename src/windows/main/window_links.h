#pragma once
// The links of the prepared-text windows (pre-roll window, sub-input window, correction palette,
// karaoke remote) to the main window's send path, pages and other windows, made at their creation.
// The contact and notice windows' links (App::contactLinks, App::noticeLinks) are made here too.
#include "ui/prepared_links.h"

class Ttalk2e;

namespace WindowLinks {

App::TemplateLinks templateLinks(Ttalk2e& main);
App::SubInputLinks subInputLinks(Ttalk2e& main);
App::PaletteLinks paletteLinks(Ttalk2e& main);
App::RemoteLinks remoteLinks(Ttalk2e& main);

}  // namespace WindowLinks
