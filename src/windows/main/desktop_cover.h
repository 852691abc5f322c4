#pragma once
// TForm9: a borderless window that hides the desktop behind one colour, behind the main window.
#include "ui/aux_window.h"

class Canvas;

class TForm9 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm9(const App::WindowContext& context);
    // Covers the screen with the colour and shows the cover.
    void cover(const QColor& colour);

signals:
    void coverClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Canvas* Image1 = nullptr;  // the stretched picture
    QColor colour_ = Qt::black;
};
