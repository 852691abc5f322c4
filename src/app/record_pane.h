#pragma once
// The record pane RichEdit2. Text the program appends is never refused; what a person types into
// it in the word-processor screen stops at the record's limit.
#include <QTextEdit>
#include <functional>

class RecordPane : public QTextEdit {
    Q_OBJECT
public:
    explicit RecordPane(QWidget* parent = nullptr);
    qsizetype limit = 655360;
    std::function<qsizetype()> recordBytes;  // current size in code page 932 bytes

signals:
    void f7Pressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool fits(const QString& text) const;
};
