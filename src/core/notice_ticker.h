#pragma once
// The notice ticker without a window: the passes of the scrolling text and their repetitions,
// the strip's picture drawn for one tick, and the arithmetic of where the notice window goes
// when a notice starts, when it ends and when F1 switches its pages.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTextLayout>
#include <memory>

namespace Core {

// One pass moves the text from the strip's right edge leftwards by `step` pixels per tick until
// it has left the strip (or, with `stopAtLeft`, reached its left edge).
class TickerPasses {
public:
    struct Options {
        int stripWidth = 0;
        int textWidth = 0;
        int step = 3;
        bool stopAtLeft = false;  // "スクロールを左端で止める"
        bool repeat = false;      // "繰り返す"
        int loops = 0;            // the repetition field: 0 repeats without end
    };
    enum class Step {
        Draw,      // draw the text at `x`
        NextPass,  // a pass ended and the next one begins; nothing is drawn
        Ended,     // the notice is over: stop the clock and run the end actions
    };
    struct Result {
        Step step = Step::Draw;
        int x = 0;
    };

    // A notice starts: the repetitions are loaded from the field.
    void start(int loops) {
        offset_ = 0;
        remaining_ = loops;
    }
    void rewind() { offset_ = 0; }
    Result tick(const Options& o);

    int offset() const { return offset_; }
    int remaining() const { return remaining_; }

private:
    int offset_ = 0;     // pixels, 0 at the start of a pass
    int remaining_ = 0;  // repetitions left
};

// The strip's picture: the background, and the text drawn with its top at y = 5. The text is
// laid out once per change of text or font, so a tick costs a fill and the glyphs in view.
class TickerStrip {
public:
    static constexpr int kTextTop = 5;

    void setText(const QString& text);
    void setFont(const QFont& font);
    void setColours(const QColor& text, const QColor& background);
    const QString& text() const { return text_; }
    const QFont& font() const { return font_; }
    QColor background() const { return background_; }

    // The text's width in pixels.
    int textWidth();
    // Fills `picture` with the background.
    void fill(QImage& picture) const;
    // Fills `picture` and draws the text with its left edge at `x`.
    void draw(QImage& picture, int x);

private:
    void layout();

    QString text_;
    QFont font_;
    QColor textColour_ = Qt::black;
    QColor background_ = Qt::white;
    std::unique_ptr<QTextLayout> layout_;
    int width_ = 0;
};

// Placement of the notice window, as left, top, width and height of the window with its frame.
// While the pages are shown the window has a border that takes kFrame pixels above the strip;
// without pages it is the strip alone, kFrame lower and kFrame shorter, so the strip keeps its
// place on the screen.
struct NoticeBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const NoticeBox&) const = default;
};

namespace NoticePlacement {

inline constexpr int kFrame = 45;
// The window's height with its pages, border included, when made: tall enough for both pages.
inline constexpr int kDefaultHeight = 400;
// "その時、高さを初期値に戻す": back to the height the window was made with, so the pages it shows
// again are whole.
inline constexpr int kResetHeight = kDefaultHeight;

struct ShowOptions {
    bool autoHeight = true;    // "高さを文字大きさで自動調整する。"
    bool overTop = true;       // "表示上部に同じ幅で重ねて表示する"
    bool underBottom = false;  // "表示下部に同じ幅で重ねて表示する"
    int fontPoints = 36;
};
struct Shown {
    NoticeBox box;         // the strip alone, pages and border hidden
    NoticeBox remembered;  // where the window goes back to, pages and border shown
};
// `display` is the caption display's rectangle on the screen.
Shown Show(const NoticeBox& current, bool pagesVisible, const ShowOptions& o, const QRect& display);

struct EndOptions {
    bool hide = true;         // "テロップウィンドを消す(*2)"
    bool pagesBack = true;    // "設定画面を表示する(*2)"
    bool moveBack = true;     // "上(*1)で指定した位置に移動する"
    bool resetHeight = true;  // "その時、高さを初期値に戻す"
    int pagesHeight = 0;      // the least height, border included, that shows the pages whole
};
struct Ended {
    NoticeBox box;
    bool pages = false;   // border and pages shown again
    bool hidden = false;  // the window is hidden
};
// With the pages already shown only `hide` acts. Pages shown again are never lower than
// `o.pagesHeight`.
Ended End(const NoticeBox& current, bool pagesVisible, const NoticeBox& remembered, const EndOptions& o);

// F1 while the ticker runs: pages and border hidden (the strip stays), or shown again, at least
// `pagesHeight` high: grown from the strip by the border only, the pages would be squashed.
NoticeBox F1(const NoticeBox& current, bool pagesVisible, int pagesHeight = 0);

// What the window remembers before any notice has run.
NoticeBox Remembered(const NoticeBox& current);

}  // namespace NoticePlacement

}  // namespace Core
