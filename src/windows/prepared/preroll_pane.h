#pragma once
// A pre-roll pane: plain text without wrap, both scroll bars, the window's own keys first, and a
// byte limit on what is typed (a loaded file may be larger; the limit then grows to its size).
#include <QPlainTextEdit>
#include <functional>

class PrerollPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PrerollPane(QWidget* parent = nullptr);

    static constexpr qsizetype kLimit = 655360;
    qsizetype limit = kLimit;
    std::function<bool(QKeyEvent*)> onKeyPress;   // true: handled, the pane does nothing
    std::function<void(QKeyEvent*)> onKeyRelease;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool hasRoomFor(qsizetype bytes) const;
};
