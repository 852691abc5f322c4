#pragma once
// TFmojikara: the karaoke and send remote, which drives the karaoke colouring of the current line
// on the partner's display PC (the sibling display edition) with a slider and the arrow keys, and
// switches the partner's receiving on and off. Send only.
#include "ui/aux_window.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"

class UpDown;

class TFmojikara : public AuxWindow {
    Q_OBJECT
public:
    TFmojikara(const App::WindowContext& context, App::RemoteLinks links);
    // Wide enough for the row of option groups side by side.
    static constexpr QSize kDefaultSize{690, 218};

    // What the window asks of the station; a test may replace one link to watch it.
    App::RemoteLinks& stationLinks() { return links; }
    // The change colour ("変化色"), a Windows colour value.
    qint32 changeColour() const { return colour; }
    void setChangeColour(qint32 value) { colour = value; }

    void TrackBar1Change();
    // A key on the slider; false when it is not one of the remote's (or Alt is held).
    bool TrackBar1KeyDown(QKeyEvent* event);
    void CheckBox59Click();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    // One command to the partner (and the sibling display): a position, "$next$", "$befor$".
    void SendCommand(const QByteArray& command);
    void FocusSlider();

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TFmojikara> settingRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Steps of the reset between the rows' values.
    void resetPlace();
    void resetPanel();
    App::RemoteLinks links;

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6716 ("文字ｶﾗ") or 6728 ("ｶﾗｵｹ")
    QTabWidget* PageControl1 = nullptr;       // the remote, "説明"
    QWidget* Panel1 = nullptr;                // top panel of the remote page
    QCheckBox* CheckBox59 = nullptr;          // "文字ｶﾗに送信"
    QCheckBox* CheckBox1 = nullptr;           // "ｶﾗｵｹに送信"
    QGroupBox* GroupBox2 = nullptr;           // "桁数", shown in "文字ｶﾗ" mode
    QLineEdit* Edit4 = nullptr;               // "最大": columns of a line
    UpDown* UpDown4 = nullptr;
    QLineEdit* Edit5 = nullptr;               // "色変え桁": the column reached
    QLineEdit* Edit2 = nullptr;               // "←/→" step
    UpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;               // "Shift +" step
    UpDown* UpDown2 = nullptr;
    QPushButton* Button1 = nullptr;           // "変化色": "文字ｶﾗ"
    QPushButton* Button2 = nullptr;           // "変化色": "ｶﾗｵｹ"
    QPushButton* Button3 = nullptr;           // "文字ｶﾗ" "on"
    QPushButton* Button4 = nullptr;           // "文字ｶﾗ" "off"
    QPushButton* Button5 = nullptr;           // "ｶﾗｵｹ" "on"
    QPushButton* Button6 = nullptr;           // "ｶﾗｵｹ" "off"
    QSlider* TrackBar1 = nullptr;             // progress of the current line, 0 … 100
    QTextEdit* Memo1 = nullptr;               // page "説明"
    QPushButton* Button7 = nullptr;           // "保存" of the explanation
    qint32 colour = 255;                      // the change colour, a Windows colour value

    void modeChanged(QCheckBox* box, QCheckBox* other, const Net::PortEntry& entry);
    void stepSlider(int direction, bool fast);
    void sendBlock(const QList<QByteArray>& lines);
    void chooseColour(const QString& help, int key, const QString& comment, QCheckBox* mode);
    int step(QLineEdit* field) const;
};
