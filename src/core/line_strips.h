#pragma once
// Display lines rendered once into opaque strips. A tick of the smooth screen moves every line by
// a few pixels; drawing the glyphs anew each time costs ten times as much as copying strips.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

namespace Core {

class LineStrips {
public:
    // The strip of one line: the text at x = left on the background, as wide as the text needs.
    const QImage& strip(const QString& text, const QFont& font, const QColor& ink, const QColor& paper, int left,
                        int maxWidth);
    // Forgets the strips not asked for since the previous call, so only the lines on screen stay.
    void endFrame();
    int size() const { return int(strips_.size()); }

private:
    struct Entry {
        QImage image;
        unsigned frame = 0;
    };
    QHash<QString, Entry> strips_;
    QString signature_;
    unsigned frame_ = 1;
};

}  // namespace Core
