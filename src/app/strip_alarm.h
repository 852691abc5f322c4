#pragma once
// A thick coloured frame laid over the input strip while a time or length limit is exceeded. The
// strip's own panels show only a thin edge around the panes, which a typist looking at the text
// easily misses; the frame is seen at a glance and lets every click through to the panes.
#include <QColor>
#include <QWidget>

class StripAlarm : public QWidget {
    Q_OBJECT
public:
    explicit StripAlarm(QWidget* strip);
    // An invalid colour hides the frame.
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    static constexpr int kThickness = 6;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
