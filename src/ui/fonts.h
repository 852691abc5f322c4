#pragma once
// Fonts as the settings count them: sizes in points at 96 dots per inch, kept on the widgets as
// pixel sizes so that a size looks the same on every screen.
#include <QFont>
#include <QString>

namespace Fonts {

// The gothic face every pane starts with; mapped to the Japanese gothic fonts of this system.
inline QString gothic() { return QStringLiteral("ＭＳ Ｐゴシック"); }

inline int points(const QFont& f) {
    if (f.pixelSize() > 0) return qRound(f.pixelSize() * 72.0 / 96.0);
    return qRound(f.pointSizeF());
}

// No screen shows a larger character; a file or a transfer may hold any number.
inline constexpr int kMostPoints = 1000;

inline void setPoints(QFont& f, int points) { f.setPixelSize(qMax(1, qRound(qBound(1, points, kMostPoints) * 96.0 / 72.0))); }

inline QFont gothicPixels(int pixels) {
    QFont f(gothic());
    f.setPixelSize(pixels);
    return f;
}

}  // namespace Fonts
