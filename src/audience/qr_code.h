#pragma once
// A QR code of a text (the page's address), for the audience to scan from the projected screen or
// a printed sheet. Black modules on white, with the quiet zone of four modules around them.
#include <QImage>
#include <QString>

namespace Audience {

// `moduleSize` pixels per module; a null image when the text cannot be encoded.
QImage QrCode(const QString& text, int moduleSize = 6);

}  // namespace Audience
