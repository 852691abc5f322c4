#pragma once
// The group "オンライン字幕" on the page "補助Ｗ": where this station's captions go online (off,
// a Zoom meeting or a YouTube live stream), the caption address and language, and what happened
// to the captions: how many were sent, how many wait, the last error. The settings binders reach
// the three fields directly (keys 952, 953 and 954).
#include <QGroupBox>
#include <QTimer>

class QComboBox;
class QLabel;
class QLineEdit;

namespace Audience {

class OnlineCaptions;

class OnlinePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit OnlinePanel(OnlineCaptions& captions, QWidget* parent = nullptr);

    QComboBox* kindBox = nullptr;      // items "off", "zoom", "youtube" as their data
    QLineEdit* urlEdit = nullptr;      // the caption address
    QLineEdit* languageEdit = nullptr; // "jp-JP"

    // The settings word of the kind chosen, and choosing by word (anything unknown is "off").
    QString kindWord() const;
    void setKindWord(const QString& word);

private:
    void urlEdited();
    void refresh();

    OnlineCaptions& captions_;
    QLabel* sentLabel_ = nullptr;
    QLabel* waitingLabel_ = nullptr;
    QLabel* errorLabel_ = nullptr;
    QTimer tick_;  // the seconds until the next try, while one is due
};

}  // namespace Audience
