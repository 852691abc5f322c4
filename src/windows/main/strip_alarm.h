#pragma once
// A coloured wash laid over the input strip while a time or length limit is exceeded. The strip's
// own panels show only a thin edge around the panes, which a typist looking at the text easily
// misses; the wash tints the panes themselves, so it is seen at a glance, while the text under it
// stays readable and every click goes through to the panes.
#include <QColor>
#include <QWidget>

class StripAlarm : public QWidget {
    Q_OBJECT
public:
    explicit StripAlarm(QWidget* strip);
    // An invalid colour hides the frame.
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    static constexpr int kEdge = 3;     // solid band along the strip's top margin
    static constexpr int kWash = 90;    // opacity of the tint over the panes, of 255

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
