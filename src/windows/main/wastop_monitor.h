#pragma once
// TForm8: the wa-stop monitor, which shows the texts received while the display is being edited.
#include "ui/aux_window.h"

class QPlainTextEdit;
class QPushButton;
class QSplitter;

class TForm8 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm8(const App::WindowContext& context);

    // One held-back item as a new line.
    void addLine(const QString& line);
    QStringList lines() const;
    // Empties the memo; the held-back items stay.
    void clearMemo();

    // The texts and commands held back in correction mode, in order of arrival. The memo shows
    // them; clearing the memo does not drop them, only their replay does. At most kMostHeld: a flood
    // while the record is edited must not grow them without end (the first ones are kept).
    static constexpr qsizetype kMostHeld = 10000;
    void hold(const QByteArray& item);
    QList<QByteArray> takeHeld();
    const QList<QByteArray>& held() const { return held_; }

private:
    QWidget* Panel1 = nullptr;   // top panel
    QPushButton* Button1 = nullptr;  // "フォント"
    QPushButton* Button2 = nullptr;  // "背景色"
    QSplitter* Splitter1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QList<QByteArray> held_;

public:

    void Button1Click();
    void Button2Click();
    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
};
