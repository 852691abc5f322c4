#pragma once
// The smooth screen drawn from rendered bands. A tick moves every line by a few pixels; drawing the
// glyphs anew each time costs ten times as much as copying images, so each line spacing's band of
// canvas rows is rendered once and copied while it scrolls. A band holds its own line and the parts
// of the lines above it that reach into it (descenders, when the spacing is smaller than the font),
// so the bands tile the canvas and what it shows equals the lines drawn at their positions.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

namespace Core {

class LineBands {
public:
    // How many lines above a band can reach into it at this spacing.
    static int reachOf(const QFont& font, int spacing);

    // The band under a line: `lines` are the texts of that line's `reach` predecessors and the line
    // itself, oldest first (empty for lines not drawn). The band is `spacing` rows high and as wide as
    // its texts need, at most `maxWidth`; each text is drawn at x = `left` on its baseline.
    const QImage& band(const QStringList& lines, const QFont& font, const QColor& ink, const QColor& paper, int left,
                       int maxWidth, int spacing);
    // Forgets the bands not asked for since the previous call, so only those on screen stay.
    void endFrame();
    int size() const { return int(bands_.size()); }

private:
    struct Entry {
        QImage image;
        unsigned frame = 0;
    };
    QHash<QString, Entry> bands_;
    QString signature_;
    unsigned frame_ = 1;
};

}  // namespace Core
