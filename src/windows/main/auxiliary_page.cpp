#include "windows/main/auxiliary_page.h"

#include "ui/updown.h"

#include <QTabWidget>
#include "audience/audience_panel.h"
#include "audience/online_panel.h"

namespace {

// A row of push buttons side by side, for a group that would otherwise stack them.
QWidget* buttonRow(QWidget* group) {
    QWidget* r = Form::row(group);
    static_cast<QHBoxLayout*>(r->layout())->setSpacing(6);
    return r;
}

void endRow(QWidget* row) { static_cast<QHBoxLayout*>(row->layout())->addStretch(1); }

}  // namespace

// The windows of the team's own work on "ウィンド"; the audience's screens and the online captions,
// which reach beyond the team, on "配信". Each tab scrolls on its own when the window is smaller.
AuxiliaryPage::AuxiliaryPage(QWidget* parent, Audience::Service& audience, Audience::OnlineCaptions& online)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet2"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("PageControlAuxiliary"));
    outer->addWidget(Tabs);
    auto* windows = new Form::Page(Tabs, 2);
    windows->setObjectName(QStringLiteral("TabSheetAuxWindows"));
    Tabs->addTab(windows, QStringLiteral("ウィンド"));
    auto* reach = new Form::Page(Tabs, 2);
    reach->setObjectName(QStringLiteral("TabSheetAuxReach"));
    Tabs->addTab(reach, QStringLiteral("配信"));

    QGroupBox* tmpl = windows->group(0, QStringLiteral("テンプレート・前ロール"));
    QWidget* tmplButtons = buttonRow(tmpl);
    ButtonTemplate = Form::button(tmplButtons, "ButtonTemplate", QStringLiteral("テンプレート前ロール"));
    ButtonTemplateMonitor = Form::button(tmplButtons, "ButtonTemplateMonitor", QStringLiteral("ﾃﾝﾌﾟﾚｰﾄ前ﾛｰﾙﾓﾆﾀｰ"));
    endRow(tmplButtons);
    CheckBox10 = Form::check(tmpl, "CheckBox10", QStringLiteral("常に前面にする。"), true);
    CheckBox48 = Form::check(tmpl, "CheckBox48", QStringLiteral("モニターの行数を２倍"), false);

    QGroupBox* monitor = windows->group(0, QStringLiteral("８人モニター"), "GroupMonitor8");
    Button45 = Form::button(monitor, "Button45", QStringLiteral("モニター表示"));
    CheckBox14 = Form::check(monitor, "CheckBox14", QStringLiteral("常に前面にする"), true);
    CheckBox12 = Form::check(monitor, "CheckBox12", QStringLiteral("通信ｏｎ（送信する）"), true);
    QWidget* rows = Form::row(monitor);
    Form::label(rows, QStringLiteral("行数"));
    Edit20 = Form::edit(rows, "Edit20", QStringLiteral("1"), 40);
    UpDown4 = Form::place(rows, new UpDown(rows, "UpDown4", Edit20, 1, 9), nullptr);
    endRow(rows);
    CheckBox49 = Form::check(monitor, "CheckBox49", QStringLiteral("改行を「■」で表示"), true);

    QGroupBox* msg = windows->group(0, QStringLiteral("連絡・お知らせ"));
    QWidget* msgButtons = buttonRow(msg);
    ButtonContact = Form::button(msgButtons, "ButtonContact", QStringLiteral("連絡窓表示"));
    ButtonNotice = Form::button(msgButtons, "ButtonNotice", QStringLiteral("テロップ表示"));
    Button52 = Form::button(msgButtons, "Button52", QStringLiteral("Ｆキー・メモ表示"));
    endRow(msgButtons);
    CheckBox16 = Form::check(msg, "CheckBox16", QStringLiteral("  お知らせ（テロップ）を受信しない。"), false);

    QGroupBox* sub = windows->group(1, QStringLiteral("サブ入力"));
    ButtonSubInput = Form::button(sub, "ButtonSubInput", QStringLiteral("サブ入力Ｗ"));

    QGroupBox* palette = windows->group(1, QStringLiteral("確認修正パレット"));
    ButtonPalette = Form::button(palette, "ButtonPalette", QStringLiteral("確認修正ﾊﾟﾚｯﾄ表示"));
    CheckBox21 = Form::check(palette, "CheckBox21", QStringLiteral("入力をパレットに送信する"), false);
    CheckBox30 = Form::check(palette, "CheckBox30", QStringLiteral("ﾊﾟﾚｯﾄ連動"), false);
    CheckBox31 = Form::check(palette, "CheckBox31", QStringLiteral("連動時の主修正者"), false);
    CheckBox38 = Form::check(palette, "CheckBox38", QStringLiteral("未確定も連動"), true);
    ButtonCorrectionMonitor = Form::button(palette, "ButtonCorrectionMonitor", QStringLiteral("ﾓﾆﾀｰ"));

    QGroupBox* ruby = windows->group(1, QStringLiteral("ルビ送信"), "GroupRuby");
    CheckBox46 = Form::check(ruby, "CheckBox46", QStringLiteral("表示・送受信する。"), false);

    QGroupBox* remote = windows->group(1, QStringLiteral("カラオケ"));
    ButtonRemote = Form::button(remote, "ButtonRemote", QStringLiteral("カラオケ・送信リモコン"));

    GroupWaStop = windows->group(1, QStringLiteral("ワ停止モニター"), "GroupWaStop");
    Button5 = Form::button(GroupWaStop, "Button5", QStringLiteral("モニター表示"));
    GroupWaStop->hide();

    AudiencePanel = reach->add(0, new Audience::AudiencePanel(audience));
    AudiencePanel->setObjectName(QStringLiteral("AudiencePanel"));
    OnlinePanel = reach->add(1, new Audience::OnlinePanel(online));

    connect(ButtonTemplate, &QPushButton::clicked, this, &AuxiliaryPage::templateClicked);
    // The notice window's "テロップを受信しない" shows here too, and can be switched from here.
    connect(CheckBox16, &QCheckBox::toggled, this, &AuxiliaryPage::noticesOffChanged);
    connect(CheckBox10, &QCheckBox::toggled, this, &AuxiliaryPage::templateOnTopChanged);
    connect(ButtonTemplateMonitor, &QPushButton::clicked, this, &AuxiliaryPage::templateMonitorClicked);
    connect(Button45, &QPushButton::clicked, this, [this] {
        emit monitorClicked();
        CheckBox12->setChecked(true);
    });
    connect(CheckBox14, &QCheckBox::toggled, this, &AuxiliaryPage::monitorOnTopChanged);
    connect(Edit20, &QLineEdit::textChanged, this, &AuxiliaryPage::monitorRowsChanged);
    connect(ButtonContact, &QPushButton::clicked, this, &AuxiliaryPage::contactClicked);
    connect(ButtonNotice, &QPushButton::clicked, this, &AuxiliaryPage::noticeClicked);
    connect(ButtonSubInput, &QPushButton::clicked, this, &AuxiliaryPage::subInputClicked);
    connect(ButtonPalette, &QPushButton::clicked, this, [this] {
        CheckBox21->setChecked(false);
        CheckBox21->hide();
        emit paletteClicked();
    });
    connect(CheckBox21, &QCheckBox::toggled, this, &AuxiliaryPage::CheckBox21Click);
    connect(ButtonCorrectionMonitor, &QPushButton::clicked, this, &AuxiliaryPage::correctionMonitorClicked);
    connect(ButtonRemote, &QPushButton::clicked, this, &AuxiliaryPage::remoteClicked);
    connect(Button5, &QPushButton::clicked, this, &AuxiliaryPage::waStopMonitorClicked);
    connect(Button52, &QPushButton::clicked, this, &AuxiliaryPage::fkeyMemoClicked);
    connect(CheckBox46, &QCheckBox::toggled, this, &AuxiliaryPage::rubyExchangeChanged);
}

void AuxiliaryPage::dropAudiencePanels() {
    delete AudiencePanel;
    AudiencePanel = nullptr;
    delete OnlinePanel;
    OnlinePanel = nullptr;
}

// Sending to the palette leaves the palette's own window and its linkage out of the way.
void AuxiliaryPage::CheckBox21Click() {
    const bool toPalette = CheckBox21->isChecked();
    emit inputToPaletteChanged(toPalette);
    if (toPalette) {
        ButtonPalette->hide();
        CheckBox30->setChecked(false);
        CheckBox31->setChecked(false);
    } else {
        ButtonPalette->show();
    }
    CheckBox30->setVisible(!toPalette);
    CheckBox31->setVisible(!toPalette);
    CheckBox38->setVisible(!toPalette);
}

void AuxiliaryPage::setNoticesOff(bool on) { CheckBox16->setChecked(on); }
bool AuxiliaryPage::templateOnTop() const { return CheckBox10->isChecked(); }
void AuxiliaryPage::setTemplateOnTop(bool on) { CheckBox10->setChecked(on); }
bool AuxiliaryPage::prerollMonitorDoubled() const { return CheckBox48->isChecked(); }
bool AuxiliaryPage::monitorOnTop() const { return CheckBox14->isChecked(); }
bool AuxiliaryPage::liveTypingToMonitors() const { return CheckBox12->isChecked(); }

int AuxiliaryPage::monitorRows() const {
    bool ok = false;
    const int rows = Edit20->text().toInt(&ok);
    return ok ? rows : 1;
}

bool AuxiliaryPage::monitorMarksBreaks() const { return CheckBox49->isChecked(); }
bool AuxiliaryPage::inputToPalette() const { return CheckBox21->isChecked(); }
void AuxiliaryPage::setInputToPalette(bool on) { CheckBox21->setChecked(on); }
void AuxiliaryPage::showInputToPalette() { CheckBox21->show(); }
bool AuxiliaryPage::paletteLinked() const { return CheckBox30->isChecked(); }
void AuxiliaryPage::setPaletteLinked(bool on) { CheckBox30->setChecked(on); }
bool AuxiliaryPage::mainCorrector() const { return CheckBox31->isChecked(); }
bool AuxiliaryPage::linkUncommitted() const { return CheckBox38->isChecked(); }
bool AuxiliaryPage::rubyExchange() const { return CheckBox46->isChecked(); }
void AuxiliaryPage::setRubyExchange(bool on) { CheckBox46->setChecked(on); }
