#pragma once
// The rich-text panes of the program (record, input, monitor): a byte limit on what a person
// types, hooks for the keys the window handles itself, and the input method's composition colours.
#include <QColor>
#include <QTextEdit>
#include <functional>

class TextPane : public QTextEdit {
    Q_OBJECT
public:
    explicit TextPane(QWidget* parent = nullptr);

    // What a person types, pastes or converts stops at this many code page 932 bytes (0: none).
    qsizetype limit = 0;
    // Current size; by default the pane's own text with CR LF breaks.
    std::function<qsizetype()> bytes;
    qsizetype ownBytes() const;

    // Key handling of the window: true when the key has been dealt with (the pane does nothing).
    std::function<bool(QKeyEvent*)> onKeyPress;
    std::function<void(QKeyEvent*)> onKeyRelease;
    // Sees every composition step before the pane does.
    std::function<void(const QInputMethodEvent*)> onInputMethod;
    std::function<void()> onMousePress;

    // Colours of the text being converted (the input method's own when invalid).
    QColor compositionText = QColor(0, 0, 255);
    QColor compositionBackground = QColor(255, 255, 255);

    // Inserts at the caret, cut to what still fits under the limit.
    void insertLimited(const QString& text);
    // Inserts at `cursor` (replacing its selection), cut to what still fits; the cursor ends after it.
    void insertLimitedAt(QTextCursor& cursor, const QString& text);
    // The whole text, cut to the limit without splitting a character; the caret goes to the end.
    void setLimitedText(const QString& text);
    // The text as the pane shows it: an in-place composition of the input method is part of it, at
    // its place and as far as a commit would fit. Lines sent to the display take the committed
    // text (toPlainText) only.
    QString shownText() const;

    void insertFromMimeData(const QMimeData* source) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool fits(const QString& text) const;
    // The longest start of `text` that still fits when it replaces the selection of `at`.
    QString fitted(const QString& text, const QTextCursor& at) const;
    qsizetype room(const QTextCursor& at) const;
};
