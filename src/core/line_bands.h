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

    // Font, colours, text position, canvas width and spacing of the frame about to be drawn; a
    // change forgets every band.
    void beginFrame(const QFont& font, const QColor& ink, const QColor& paper, int left, int maxWidth, int spacing);

    // The band under line `i` of `texts` (the screen's lines, top to bottom; an empty text is a line
    // not drawn): that line and the `reach` lines above it. `key` names the band while it scrolls
    // (the display line it belongs to); its image is made again only when its texts change. The band
    // is `spacing` rows high and as wide as its texts need, at most `maxWidth`.
    //
    // The lines above reach only into the band's first `overlapRows` rows; below them only the
    // band's own line has ink, `ownWidth` wide. Drawing just those two parts copies no more than
    // the line needs.
    struct Band {
        const QImage* image;
        int overlapRows;
        int ownWidth;
    };
    Band band(int key, const QStringList& texts, int i, int reach);
    // Forgets the bands not asked for since the previous call, so only those on screen stay.
    void endFrame();
    int size() const { return int(bands_.size()); }

private:
    struct Entry {
        QStringList lines;
        QImage image;
        int overlapRows = 0;
        int ownWidth = 0;
        unsigned frame = 0;
    };
    struct Rendered {
        QImage image;
        int overlapRows = 0;
        int ownWidth = 0;
        unsigned frame = 0;
    };
    QHash<int, Entry> bands_;        // by the display line a band belongs to: no hashing of text per tick
    QHash<QString, Rendered> byText_;  // the same texts are rendered once, wherever they stand
    QString signature_;
    QFont font_;
    QColor ink_, paper_;
    int left_ = 0, maxWidth_ = 1, spacing_ = 1;
    unsigned frame_ = 1;
};

}  // namespace Core
