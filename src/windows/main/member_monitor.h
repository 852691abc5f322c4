#pragma once
// TForm2: the 8-person monitor, the live typing of every member of the group, row by row. Row k
// belongs to member slot k; rows can be swapped by hand or kept with the typing members on top.
#include "ui/aux_window.h"
#include "ui/qt_fwd.h"
#include "settings/values.h"

#include <functional>

#include <QByteArray>
#include <QList>
#include <array>

namespace Net { class Team; }

class TForm2 : public AuxWindow {
    Q_OBJECT
public:
    // The options of the main window's pages that the monitor follows.
    struct Options {
        int linesPerRow = 1;          // "行数"
        bool caretAtEnd = false;      // "モニターの表示方法" "８人モニター"
        bool breaksAsSquare = true;   // "改行を「■」で表示"
    };
    TForm2(const App::WindowContext& context, Net::Team& team, std::function<Options()> options);

    struct Row {
        QPushButton* request = nullptr;  // "な1" … "な8"
        QPushButton* partner = nullptr;  // "パ"
        QLineEdit* name = nullptr;       // Edit36 … Edit39, Edit81 … Edit84
        QTextEdit* pane = nullptr;       // RichEdit1 … RichEdit8
        int top = 0;
        bool idle = true;
    };
    static constexpr int kRows = 8;
    // Row k = 1 … 8.
    Row& row(int k) { return rows_[k - 1]; }

    // The feed of port 6721: sender address, ",", the sender's input pane.
    void Feed(const QByteArray& payload);
    void SlotNameChanged(int k, const QString& name);
    // Slot k's "パートナー" (partner) or "なってよ！" button is the one shown.
    void SyncButtons(int k, bool partner);
    void Restack();
    int rowHeight() const { return rowHeight_; }
    // Slot numbers from the top of the window down.
    QList<int> rowOrder() const;
    int selectedRow() const { return selected_; }

    void Button1Click();
    void Button2Click();
    void CheckBox2Click();
    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm2> settingRows();
    // The rows' font (the first pane holds it for all) and their colours as Windows values.
    void SetRowFont(const QFont& font);
    void PaintRows();
    // Widths of the pairing-button column and of the name column.
    int column(int index) const;
    void setColumn(int index, int width);
    void RowClicked(int k);
    void CancelSwap();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Steps of the reset between the rows' values.
    void resetFrame();
    void resetFont();
    QScrollArea* ScrollBox1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* Panel3 = nullptr;  // request and partner buttons
    QWidget* Panel1 = nullptr;  // names
    QWidget* Panel2 = nullptr;  // panes
    QPushButton* Button1 = nullptr;  // "フォント"
    QPushButton* Button2 = nullptr;  // "背景色"
    QLabel* Label1 = nullptr;        // swap hint
    QLabel* Label2 = nullptr;        // colour hint
    QLabel* Label3 = nullptr;        // "←移動可"
    QCheckBox* CheckBox1 = nullptr;  // "「●消去●」「$改行$」を表示しない。"
    QCheckBox* CheckBox2 = nullptr;  // "自動的に上から入力順に表示する。"

    void setPaneText(int k, const QString& text);
    void paneChanged(int k);
    void reorder();
    void placeRow(int k, int top);
    void placeButtons();
    void placeFooter();
    static bool isIdle(const QString& text);

    Net::Team& team_;
    qint32 ink_ = Settings::Colour::kWindowText;
    qint32 paper_ = Settings::Colour::kWindow;
    std::function<Options()> options_;
    std::array<bool, kRows> partner_{};  // the pairing button each row shows, as the main window's
    std::array<Row, kRows> rows_;
    QList<int> positions_;  // the eight row tops, top to bottom
    int rowHeight_ = 0;
    int selected_ = 0;      // the row picked for a swap, 0 for none
    int selectedTop_ = 0;
};
