#pragma once
// TFshusei_moni: the correction monitor, the six panes of a corrector's palette, one line each.
#include "ui/aux_window.h"
#include "windows/prepared/pane_look.h"

#include <array>

class QPushButton;
class QTabWidget;
class QTextEdit;

class TFshusei_moni : public AuxWindow {
    Q_OBJECT
public:
    explicit TFshusei_moni(const App::WindowContext& context);

    static constexpr qsizetype kLimit = 1536;
    using Texts = std::array<QByteArray, 6>;
    // The six lines the monitor starts with.
    static Texts initialTexts();

    // The look of the pane, as the settings and the font and colour buttons set it.
    PaneLook& paneLook() { return look; }

    // The pane rewritten as the six texts, pane 1 to pane 6, each on its own line.
    void ShowTexts(const Texts& texts);
    QStringList lines() const;

    void Button1Click();
    void Button2Click();

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;

private:
    QTabWidget* PageControl1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;  // page "モニター"
    QPushButton* Button1 = nullptr;  // page "設定": "フォント"
    QPushButton* Button2 = nullptr;  // "背景色"
    PaneLook look;
};
