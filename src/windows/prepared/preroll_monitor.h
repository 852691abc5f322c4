#pragma once
// TForm3: the pre-roll monitor, a partner's pre-roll around its caret: the lines above the caret
// line in the upper part, the caret line and those after it in the lower part.
#include "ui/aux_window.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"
#include "core/limited_lines.h"
#include "windows/prepared/pane_look.h"

class TForm3 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm3(const App::WindowContext& context);

    // The look of the two parts, as the settings and the font and colour buttons set it.
    PaneLook& paneLook() { return look; }

    static constexpr qsizetype kUpperLimit = 5120;
    static constexpr qsizetype kLowerLimit = 2048;
    // Wide enough for each hint on a line of its own; the top panel opens as high as its rows need.
    static constexpr QSize kDefaultSize{520, 250};
    static constexpr int kDesignTopHeight = 57;
    static constexpr int kDefaultUpperHeight = 45;
    int defaultTopHeight() const;

    // The operations of the feed: clear a part, add one line to it (taken only while it fits).
    void ClearPart(App::MonitorPart part);
    void AppendLine(App::MonitorPart part, const QByteArray& line);
    // A datagram of the feed as received: "$消去$" clears, "$改行$" adds an empty line.
    void Feed(App::MonitorPart part, const QByteArray& text);
    QStringList lines(App::MonitorPart part) const;

    void CheckBox1Click();
    void Button1Click();
    void Button2Click();

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm3> settingRows();

private:
    // Steps of the reset between the rows' values.
    void resetFrame();
    QSplitter* Splitter1 = nullptr;     // top panel | upper part | lower part
    QWidget* Panel1 = nullptr;          // top panel
    QWidget* Panel2 = nullptr;          // upper part
    QPlainTextEdit* RichEdit2 = nullptr;  // upper part: the lines above the caret line
    QPlainTextEdit* RichEdit1 = nullptr;  // lower part: the caret line first
    QCheckBox* CheckBox1 = nullptr;     // "右端で折り返す"
    QPushButton* Button1 = nullptr;     // "ﾌｫﾝﾄ"
    QPushButton* Button2 = nullptr;     // "背景色"
    PaneLook look;

    Core::LimitedLines& part(App::MonitorPart p) { return p == App::MonitorPart::Upper ? upper_ : lower_; }
    QPlainTextEdit* pane(App::MonitorPart p) const { return p == App::MonitorPart::Upper ? RichEdit2 : RichEdit1; }
    void setPanelHeights(int top, int upper);
    void placeAtDefaults();

    // The panels' heights as set or dragged (a hidden window's panels have no real height).
    int topHeight_ = 57;
    int upperHeight_ = 45;
    Core::LimitedLines upper_{kUpperLimit};
    Core::LimitedLines lower_{kLowerLimit};
};
