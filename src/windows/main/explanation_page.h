#pragma once
// The page "説明": the station's running log, kept to its last lines, with its save button.
#include <QWidget>

class QPushButton;
class QTextEdit;

class ExplanationPage : public QWidget {
    Q_OBJECT
public:
    // Lines the page keeps, so that no flood of warnings grows it without end.
    static constexpr int kLines = 5000;

    explicit ExplanationPage(QWidget* parent);

    // A new line at the end.
    void append(const QString& line);
    QString text() const;
    void clear();

signals:
    void saveClicked();  // "保存"

private:
    QTextEdit* RichEdit3 = nullptr;
    QPushButton* Button11 = nullptr;
};
