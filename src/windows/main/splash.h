#pragma once
// TForm12: the splash shown while the program starts; phase 2 of start-up closes it.
#include <QWidget>

class QPushButton;

class TForm12 : public QWidget {
    Q_OBJECT
public:
    TForm12();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* CloseButton = nullptr;  // "×"
    QPixmap picture_;
};
