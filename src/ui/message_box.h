#pragma once
// The program's own message box. Help texts and messages are written with their own line breaks;
// the box is as wide as the text's widest line, so that no line breaks anywhere else (a stock
// message box wraps at about 500 pixels and leaves words of one or two characters on lines of
// their own). Only a line wider than the screen wraps, at the screen's width. The text is plain: a
// peer's words are never taken for markup.
#include <QDialog>
#include <QFontMetrics>
#include <QPointer>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QPushButton;

namespace App {

// How a text is laid out in a box at most `limit` pixels wide.
struct TextFit {
    int width = 0;      // the text's width in the box
    bool wrap = false;  // a line is wider than the limit: the text wraps at it
};
TextFit fitText(const QString& text, const QFontMetrics& metrics, int limit);

class MessageBox final : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Information, Question, Critical };
    MessageBox(Kind kind, const QString& title, const QString& text, QWidget* parent = nullptr);

    QString text() const;
    QLabel* textLabel() const { return label_; }
    QPushButton* okButton() const { return ok_; }  // "OK", or "はい" for a question
    QPushButton* noButton() const { return no_; }  // "いいえ"; none for information

    // Keeps the box above the program's stay-on-top windows (template window, 8-person monitor,
    // notice and contact windows) and, under a window manager, over the window in use.
    void placeAboveTheWindowInUse();

    // The widest the text may be: the screen's available width less the box's own margins, icon
    // and frame.
    int textLimit() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitToText();

    QLabel* label_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* no_ = nullptr;
    QPointer<QWidget> over_;  // the window in use when the box was placed
};

}  // namespace App
