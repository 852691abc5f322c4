#pragma once
// The page "補助Ｗ": the buttons that open the other windows and the options kept beside them.
// The page says what was asked; the main window opens the windows.
#include "ui/form_builder.h"

class QTabWidget;
class UpDown;
namespace Audience {
class AudiencePanel;
class OnlineCaptions;
class OnlinePanel;
class Service;
}

class AuxiliaryPage : public QWidget {
    Q_OBJECT
public:
    AuxiliaryPage(QWidget* parent, Audience::Service& audience, Audience::OnlineCaptions& online);

    // The audience panels hold the service and the poster, which the main window owns: they go first.
    void dropAudiencePanels();
    Audience::AudiencePanel& audiencePanel() { return *AudiencePanel; }
    Audience::OnlinePanel& onlinePanel() { return *OnlinePanel; }

    // "お知らせ（テロップ)を受信しない。", shown here and in the notice window.
    void setNoticesOff(bool on);
    // "常に前面にする。" of the template window.
    bool templateOnTop() const;
    void setTemplateOnTop(bool on);
    // "モニターの行数を２倍" of the pre-roll monitor.
    bool prerollMonitorDoubled() const;
    // The 8-person monitor: in front, fed with the live typing, its rows and its line-break marks.
    bool monitorOnTop() const;
    bool liveTypingToMonitors() const;
    int monitorRows() const;
    bool monitorMarksBreaks() const;
    // "入力をパレットに送信する" and the linkage of the correction palette.
    bool inputToPalette() const;
    void setInputToPalette(bool on);
    void showInputToPalette();
    bool paletteLinked() const;
    void setPaletteLinked(bool on);
    bool mainCorrector() const;
    bool linkUncommitted() const;
    // "ルビ送信".
    bool rubyExchange() const;
    void setRubyExchange(bool on);

signals:
    void templateClicked();
    void templateOnTopChanged(bool on);
    void templateMonitorClicked();
    void monitorClicked();
    void monitorOnTopChanged(bool on);
    void monitorRowsChanged();
    void contactClicked();
    void noticeClicked();
    void fkeyMemoClicked();
    void noticesOffChanged(bool on);
    void subInputClicked();
    void paletteClicked();
    // Runs before the page shows or hides its palette options.
    void inputToPaletteChanged(bool on);
    void correctionMonitorClicked();
    void remoteClicked();
    void waStopMonitorClicked();
    void rubyExchangeChanged(bool on);

private:
    void CheckBox21Click();

    QTabWidget* Tabs = nullptr;                 // "ウィンド" and "配信"

    QCheckBox* CheckBox16 = nullptr;            // "  お知らせ（テロップ)を受信しない。"
    QPushButton* ButtonTemplate = nullptr;      // "テンプレート前ロール"
    QCheckBox* CheckBox10 = nullptr;            // "常に前面にする。" (template window)
    QCheckBox* CheckBox48 = nullptr;            // "モニターの行数を２倍" (pre-roll monitor feed)
    QPushButton* ButtonTemplateMonitor = nullptr;  // "ﾃﾝﾌﾟﾚｰﾄ前ﾛｰﾙﾓﾆﾀｰ"
    QPushButton* Button45 = nullptr;            // "モニター表示" (8-person monitor)
    QCheckBox* CheckBox14 = nullptr;            // "常に前面にする" (8-person monitor)
    QCheckBox* CheckBox12 = nullptr;            // "通信ｏｎ（送信する）"
    QLineEdit* Edit20 = nullptr;                // lines per row of the 8-person monitor
    UpDown* UpDown4 = nullptr;
    QCheckBox* CheckBox49 = nullptr;            // "改行を「■」で表示"
    QPushButton* ButtonContact = nullptr;       // "連絡窓表示"
    QPushButton* ButtonNotice = nullptr;        // "テロップ表示"
    QPushButton* Button52 = nullptr;            // "Ｆキー・メモ表示"
    QPushButton* ButtonSubInput = nullptr;      // "サブ入力Ｗ"
    QPushButton* ButtonPalette = nullptr;       // "確認修正ﾊﾟﾚｯﾄ表示"
    QCheckBox* CheckBox21 = nullptr;            // "入力をパレットに送信する"
    QCheckBox* CheckBox30 = nullptr;            // "ﾊﾟﾚｯﾄ連動"
    QCheckBox* CheckBox31 = nullptr;            // "連動時の主修正者"
    QCheckBox* CheckBox38 = nullptr;            // "未確定も連動": linked palettes follow every key release too
    QPushButton* ButtonCorrectionMonitor = nullptr;  // "ﾓﾆﾀｰ"
    QCheckBox* CheckBox46 = nullptr;            // ruby sending, "表示・送受信する。"
    QPushButton* ButtonRemote = nullptr;        // "カラオケ・送信リモコン"
    Audience::AudiencePanel* AudiencePanel = nullptr;  // captions on the audience's own screens
    Audience::OnlinePanel* OnlinePanel = nullptr;      // captions posted to a meeting or a stream
    QGroupBox* GroupWaStop = nullptr;           // hidden group "ワ停止モニター"
    QPushButton* Button5 = nullptr;             // "モニター表示" (wa-stop monitor)
};
