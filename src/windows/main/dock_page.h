#pragma once
// The first page: the display area fills what the input strip at the bottom leaves free.
#include <QWidget>

class DockPage : public QWidget {
public:
    explicit DockPage(QWidget* parent = nullptr) : QWidget(parent) {}
    void setFill(QWidget* w) { fill_ = w; }
    void setBottom(QWidget* w) { bottom_ = w; }
    // Places both again; called when the strip's height or visibility changes.
    void relayout() {
        const int stripHeight = bottom_ && !bottom_->isHidden() ? bottom_->height() : 0;
        if (bottom_) bottom_->setGeometry(0, height() - stripHeight, width(), stripHeight);
        if (fill_) fill_->setGeometry(0, 0, width(), height() - stripHeight);
    }

protected:
    void resizeEvent(QResizeEvent*) override { relayout(); }

private:
    QWidget* fill_ = nullptr;
    QWidget* bottom_ = nullptr;
};
