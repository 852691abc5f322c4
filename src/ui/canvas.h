#pragma once
// A smooth-screen canvas: an off-screen picture, larger than the screen, painted at the widget's
// top-left. The display draws into the picture; the widget only shows it.
#include <QImage>
#include <QWidget>

class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }
    // A new picture of the given size filled with one colour.
    void resetPicture(const QSize& size, const QColor& fill);
    void fill(const QColor& colour) { picture_.fill(colour); }
    // Lowest row drawn since the picture was last filled whole: a tick refills only down to it.
    int paintedBottom = 0;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};
