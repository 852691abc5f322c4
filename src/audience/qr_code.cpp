#include "audience/qr_code.h"

#include <QPainter>
#include <memory>
#include <qrencode.h>

namespace Audience {

QImage QrCode(const QString& text, int moduleSize) {
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || moduleSize < 1) return {};
    // Level M: a little dirt or glare on a projected code still reads.
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M),
                                                    QRcode_free);
    if (!code) return {};
    constexpr int kQuiet = 4;
    const int modules = code->width + 2 * kQuiet;
    QImage image(modules * moduleSize, modules * moduleSize, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                p.fillRect((x + kQuiet) * moduleSize, (y + kQuiet) * moduleSize, moduleSize, moduleSize, Qt::black);
    return image;
}

}  // namespace Audience
