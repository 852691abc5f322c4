#include "app/main_window.h"

#include "app/canvas.h"
#include "app/desktop_cover.h"
#include "app/dock_page.h"
#include "app/fonts.h"
#include "app/form_builder.h"
#include "app/hot_keys.h"
#include "app/member_monitor.h"
#include "app/text_pane.h"
#include "app/splash.h"
#include "app/updown.h"
#include "app/strip_alarm.h"
#include "app/wastop_monitor.h"
#include "audience/audience_panel.h"
#include "audience/online_captions.h"
#include "audience/online_panel.h"
#include "audience/service.h"
#include "messaging/contact_window.h"
#include "messaging/fkey_memo.h"
#include "messaging/notice_window.h"
#include "net/addressing.h"
#include "net/datagram_endpoint.h"
#include "net/network.h"
#include "prepared/correction_monitor.h"
#include "prepared/correction_palette.h"
#include "prepared/karaoke_remote.h"
#include "prepared/preroll_monitor.h"
#include "prepared/subinput_window.h"
#include "prepared/template_window.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "windows/main/explanation_page.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

namespace {

QTimer* namedTimer(QObject* parent, const char* name, int interval, bool singleShot) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    t->setSingleShot(singleShot);
    return t;
}

void setRed(QListWidget* list, bool red) {
    QPalette p = list->palette();
    p.setColor(QPalette::Base, red ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Base));
    list->setPalette(p);
}

bool isRed(const QListWidget* list) { return list->palette().color(QPalette::Base) == QColor(255, 0, 0); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction: the form itself, then its creation step.

Ttalk2e::Ttalk2e(App::Station& station, TForm12* splash)
    : QWidget(nullptr), station_(station), splash_(splash), programFolder_(station.programFolder) {
    setObjectName(QStringLiteral("talk2e"));
    setWindowTitle(mainBaseCaption_);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    display_ = std::make_unique<DisplayView>(*this, scroll_);
    strip_ = std::make_unique<InputStrip>(*this);
    buildDisplayPage();
    buildAuxiliaryPage();
    buildPartnerPage();
    display_->buildOptionPages(PageControl1);
    strip_->buildPages(PageControl1);
    buildSavePage();
    explanation_ = new ExplanationPage(PageControl1);
    PageControl1->addTab(explanation_, QStringLiteral("説明"));

    display_->buildFramelessCanvas();

    Timer2 = namedTimer(this, "Timer2", 5000, true);
    strip_->buildTimers();
    Timer5 = namedTimer(this, "Timer5", 600000, false);
    Timer7 = namedTimer(this, "Timer7", 60000, false);
    connect(Timer2, &QTimer::timeout, this, &Ttalk2e::Timer2Timer);
    connect(Timer5, &QTimer::timeout, this, &Ttalk2e::PeriodicClear);
    connect(Timer7, &QTimer::timeout, this, &Ttalk2e::Timer7Timer);
    Timer5->start();

    outbox_.members = [this] { return team_.memberAddresses(); };
    outbox_.partner = [this] { return team_.partnerAddress(); };
    outbox_.siblingOn = [this] { return CheckBox60->isChecked(); };
    createEndpoints();
    hotKeys_ = new HotKeyMenu(*this, *this);
    display_->wire();
    connect(display_.get(), &DisplayView::coverToggled, this, &Ttalk2e::CheckBox9Click);
    connect(display_.get(), &DisplayView::coverColourClicked, this, &Ttalk2e::Button8Click);
    connect(display_.get(), &DisplayView::pageColourClicked, this, &Ttalk2e::Button69Click);
    connect(display_.get(), &DisplayView::explanationColourClicked, this, &Ttalk2e::Button70Click);
    wireTeam();
    wireLines();
    strip_->wire();
    wireSettings();
    wireOptions();
    wireSaving();

    FormCreate();
}

Ttalk2e::~Ttalk2e() {
    auxiliary_->dropAudiencePanels();  // they hold the service and the poster, which go with the members
}

void Ttalk2e::buildDisplayPage() {
    TabSheet1 = new DockPage(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("表示・入力"));

    display_->buildArea(TabSheet1);
    QWidget* Panel6 = display_->area();

    Memo1 = new QPlainTextEdit(Panel6);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();
    Memo5 = new QPlainTextEdit(Panel6);
    Memo5->setObjectName(QStringLiteral("Memo5"));
    Memo5->hide();
    RichEdit5 = new QTextEdit(Panel6);
    RichEdit5->setObjectName(QStringLiteral("RichEdit5"));
    RichEdit5->hide();
    Panel7 = new QFrame(Panel6);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->hide();
    RichEdit6 = new QTextEdit(Panel7);
    RichEdit6->setObjectName(QStringLiteral("RichEdit6"));

    strip_->buildStrip(TabSheet1, Panel6);
}

void Ttalk2e::buildAuxiliaryPage() {
    audience_ = std::make_unique<Audience::Service>(record(), station_.clock);
    online_ = std::make_unique<Audience::OnlineCaptions>(audience_->mirror(), station_.clock);
    online_->setNetwork(station_.web);
    online_->setHandEditing([this] { return display_->correctionMode(); });  // correction mode: the record is edited by hand
    connect(online_.get(), &Audience::OnlineCaptions::explain, this, &Ttalk2e::Log);
    auxiliary_ = new AuxiliaryPage(PageControl1, *audience_, *online_);
    PageControl1->addTab(auxiliary_, QStringLiteral("補助Ｗ"));
}

// The page's buttons open the windows, which exist once the creation table has run.
void Ttalk2e::wireAuxiliaryPage() {
    AuxiliaryPage* page = auxiliary_;
    connect(page, &AuxiliaryPage::templateClicked, this, [this] {
        Form11->show();
        PageControl1->setCurrentIndex(0);
    });
    connect(page, &AuxiliaryPage::noticesOffChanged, this, [this](bool on) {
        if (Form15) Form15->CheckBox12->setChecked(on);
    });
    connect(page, &AuxiliaryPage::templateOnTopChanged, this, [this](bool on) { setStaysOnTop(Form11.get(), on); });
    connect(page, &AuxiliaryPage::templateMonitorClicked, this, [this] { Form3->show(); });
    connect(page, &AuxiliaryPage::monitorClicked, this, [this] { Form2->show(); });
    connect(page, &AuxiliaryPage::monitorOnTopChanged, this, [this](bool on) { setStaysOnTop(Form2.get(), on); });
    connect(page, &AuxiliaryPage::contactClicked, this, [this] {
        Form6->show();
        Form6->focusInputPane();
    });
    connect(page, &AuxiliaryPage::noticeClicked, this, [this] { Form15->show(); });
    connect(page, &AuxiliaryPage::subInputClicked, this, [this] {
        display_->resetCursors();
        Form14->setGeometry(0, 0, width() * 4 / 5, Form14->firstPaneHeight() * 2 + 60);
        Form14->openFirstPage();
        Form14->show();
    });
    connect(page, &AuxiliaryPage::paletteClicked, this, [this] { Fkakunin->show(); });
    connect(page, &AuxiliaryPage::inputToPaletteChanged, this, [this](bool on) {
        if (!on) return;
        Fkakunin->hide();
        display_->setUndoPartnerLines(true);
    });
    connect(page, &AuxiliaryPage::correctionMonitorClicked, this, [this] { Fshusei_moni->show(); });
    connect(page, &AuxiliaryPage::remoteClicked, this, [this] { Fmojikara->show(); });
    connect(page, &AuxiliaryPage::waStopMonitorClicked, this, [this] {
        Form8->Memo2->clear();
        Form8->show();
    });
    connect(page, &AuxiliaryPage::fkeyMemoClicked, this, [this] {
        Form5->move(x() + 25, y() + 80);
        Form5->show();
    });
}

void Ttalk2e::buildPartnerPage() {
    auto* page = new Form::Page(PageControl1, 2);
    page->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(page, QStringLiteral("ﾊﾟｰﾄﾅｰ"));

    GroupOwnPc = page->group(0, QStringLiteral("自分のパソコン"), "GroupOwnPc");
    Form::label(GroupOwnPc, QStringLiteral("ＩＰアドレス"));
    Edit35 = Form::edit(GroupOwnPc, "Edit35", QStringLiteral("読込み失敗"));
    Form::label(GroupOwnPc, QStringLiteral("名前（初はhost名）"));
    Edit30 = Form::edit(GroupOwnPc, "Edit30", QString());
    ListBox2 = Form::place(GroupOwnPc, new QListWidget(GroupOwnPc), "ListBox2");
    ListBox2->setMaximumHeight(80);
    ListBox2->hide();
    Button39 = Form::button(GroupOwnPc, "Button39", QStringLiteral("ＩＰ再読込み"));
    QWidget* tools = Form::row(GroupOwnPc);
    Button36 = Form::button(tools, "Button36", QStringLiteral("winipcfg"));
    Button38 = Form::button(tools, "Button38", QStringLiteral("ipconfig"));
    connect(ListBox2, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!item) return;
        Edit35->setText(item->text());
        ListBox2->hide();
        Button39->show();
    });

    CheckBox22 = Form::check(page->group(0, QStringLiteral("ＬＡＮ")), "CheckBox22",
                             QStringLiteral("入力をＬＡＮに流す。"), true);
    connect(CheckBox22, &QCheckBox::toggled, this, &Ttalk2e::CheckBox22Click);

    QGroupBox* search = page->group(0, QStringLiteral("メンバー"), "GroupSearch");
    QWidget* again = Form::row(search);
    Button47 = Form::button(again, "Button47", QStringLiteral("メンバーを捜す"));
    explanatoryLabels << Form::label(again, QStringLiteral("●左ボタンを押すと、メンバーをクリアしてから、もう一度探しに行きます。"));
    QWidget* rest = Form::row(search);
    explanatoryLabels << Form::label(rest, QStringLiteral("メンバーから外れる時に右のボタン●"));
    Button53 = Form::button(rest, "Button53", QStringLiteral("お休み"));
    QWidget* fixed = Form::row(search);
    CheckBox6 = Form::check(fixed, "CheckBox6", QStringLiteral("ﾒﾝﾊﾞｰ固定  "), false);
    explanatoryLabels << Form::label(fixed, QStringLiteral("「メンバーを捜す」を無視。"));
    CheckBox7 = Form::check(search, "CheckBox7", QStringLiteral("ﾊﾟｰﾄﾅｰ固定"), false);

    QGroupBox* groups = page->group(0, QStringLiteral("入力班"), "GroupInputGroup");
    QWidget* g1 = Form::row(groups);
    RadioButton6 = Form::radio(g1, "RadioButton6", QStringLiteral("Ａ班"), true);
    RadioButton7 = Form::radio(g1, "RadioButton7", QStringLiteral("Ｂ班"), false);
    RadioButton8 = Form::radio(g1, "RadioButton8", QStringLiteral("Ｃ班"), false);
    RadioButton9 = Form::radio(g1, "RadioButton9", QStringLiteral("Ｄ班"), false);
    QWidget* g2 = Form::row(groups);
    RadioButton10 = Form::radio(g2, "RadioButton10", QStringLiteral("Ｅ班"), false);
    RadioButton11 = Form::radio(g2, "RadioButton11", QStringLiteral("Ｆ班"), false);
    RadioButton12 = Form::radio(g2, "RadioButton12", QString(), false);
    ComboBox1 = Form::place(g2, new QComboBox(g2), "ComboBox1");
    auto* groupButtons = new QButtonGroup(groups);  // the seven radio buttons sit in two rows
    for (QRadioButton* r : {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11,
                            RadioButton12})
        groupButtons->addButton(r);
    ComboBox1->addItems({QStringLiteral("Ｇ班"), QStringLiteral("Ｈ班"), QStringLiteral("Ｉ 班"), QStringLiteral("Ｊ班"),
                         QStringLiteral("Ｋ班"), QStringLiteral("Ｌ班"), QStringLiteral("Ｍ班"), QStringLiteral("Ｎ班"),
                         QStringLiteral("Ｏ班"), QStringLiteral("Ｐ班"), QStringLiteral("Ｑ班"), QStringLiteral("Ｒ班"),
                         QStringLiteral("Ｓ班"), QStringLiteral("Ｔ班"), QStringLiteral("Ｕ班"), QStringLiteral("Ｖ班"),
                         QStringLiteral("Ｗ班"), QStringLiteral("Ｘ班"), QStringLiteral("Ｙ班"), QStringLiteral("Ｚ班")});
    ComboBox1->setCurrentIndex(-1);

    GroupMembers = page->group(1, QStringLiteral("班のメンバー一覧"), "GroupMembers");
    {
        QWidget* head = Form::row(GroupMembers);
        for (const char* h : {"仲間", "名前", "ＩＰアドレス"}) Form::label(head, QString::fromUtf8(h));
    }
    struct Names {
        const char *mate, *name, *address, *request, *partner;
    };
    static constexpr Names kNames[kSlots] = {
        {"CheckBox1", "Edit36", "Edit3", "Button26", "Button22"},
        {"CheckBox2", "Edit37", "Edit13", "Button29", "Button24"},
        {"CheckBox3", "Edit38", "Edit14", "Button30", "Button25"},
        {"CheckBox4", "Edit39", "Edit15", "Button31", "Button32"},
        {"CheckBox25", "Edit81", "Edit85", "Button55", "Button59"},
        {"CheckBox26", "Edit82", "Edit86", "Button56", "Button60"},
        {"CheckBox27", "Edit83", "Edit87", "Button57", "Button61"},
        {"CheckBox28", "Edit84", "Edit88", "Button58", "Button62"},
    };
    explanatoryLabels << Form::label(GroupMembers, QStringLiteral(
                             "「仲間のチェック」を外すと、その人には入力文を送信しません。"));
    for (int i = 0; i < kSlots; ++i) {
        QWidget* r = Form::row(GroupMembers);
        MemberSlot& s = slots_[i];
        s.mate = Form::check(r, kNames[i].mate, QStringLiteral("#%1").arg(i + 1), false);
        s.name = Form::edit(r, kNames[i].name, QString(), 110);
        s.address = Form::edit(r, kNames[i].address, QString(), 120);
        s.request = Form::button(r, kNames[i].request, QStringLiteral("なってよ！"));
        s.partner = Form::button(r, kNames[i].partner, QStringLiteral("パートナー"));
        s.partner->hide();
    }
    CheckBox1 = slots_[0].mate, CheckBox2 = slots_[1].mate, CheckBox3 = slots_[2].mate, CheckBox4 = slots_[3].mate;
    CheckBox25 = slots_[4].mate, CheckBox26 = slots_[5].mate, CheckBox27 = slots_[6].mate, CheckBox28 = slots_[7].mate;
    Edit36 = slots_[0].name, Edit37 = slots_[1].name, Edit38 = slots_[2].name, Edit39 = slots_[3].name;
    Edit81 = slots_[4].name, Edit82 = slots_[5].name, Edit83 = slots_[6].name, Edit84 = slots_[7].name;
    Edit3 = slots_[0].address, Edit13 = slots_[1].address, Edit14 = slots_[2].address, Edit15 = slots_[3].address;
    Edit85 = slots_[4].address, Edit86 = slots_[5].address, Edit87 = slots_[6].address, Edit88 = slots_[7].address;
    Button26 = slots_[0].request, Button29 = slots_[1].request, Button30 = slots_[2].request;
    Button31 = slots_[3].request, Button55 = slots_[4].request, Button56 = slots_[5].request;
    Button57 = slots_[6].request, Button58 = slots_[7].request;
    Button22 = slots_[0].partner, Button24 = slots_[1].partner, Button25 = slots_[2].partner;
    Button32 = slots_[3].partner, Button59 = slots_[4].partner, Button60 = slots_[5].partner;
    Button61 = slots_[6].partner, Button62 = slots_[7].partner;

    // The team's advanced options: the channel, the sibling copy, scrambling, routed members.
    GroupRemoteOptions = page->group(1, QStringLiteral("オプション"), "GroupRemoteOptions");
    QGroupBox* channel = Form::group(GroupRemoteOptions, QStringLiteral("チャンネル"), "GroupChannel");
    ComboBox2 = Form::place(channel, new QComboBox(channel), "ComboBox2");
    for (int c = 1; c <= Net::kChannelCount; ++c) ComboBox2->addItem(QStringLiteral("%1ch").arg(c));
    ComboBox2->setCurrentIndex(0);
    Form::label(channel, QStringLiteral("↓２重起動した"));
    CheckBox60 = Form::check(channel, "CheckBox60", QStringLiteral("７ｗに表示"), false);
    QGroupBox* scramble = Form::group(GroupRemoteOptions, QStringLiteral("暗号化"), "GroupScramble");
    CheckBox42 = Form::check(scramble, "CheckBox42", QStringLiteral("通信を暗号化する。→パスワード"), false);
    Edit1 = Form::edit(scramble, "Edit1", QStringLiteral("既定の共有合言葉その一番"));
    Edit1->setMaxLength(254);
    QGroupBox* remote =
        Form::group(GroupRemoteOptions, QStringLiteral("遠隔地で入力。ＶＰＮルーター（ｲﾝﾀｰﾈｯﾄ）を使う"), "GroupRemote");
    CheckBox71 = Form::check(remote, "CheckBox71", QStringLiteral("下のﾈｯﾄﾜｰｸｱﾄﾞﾚｽを探す"), false);
    CheckBox72 = Form::check(remote, "CheckBox72", QStringLiteral("指定IPのみ探す"), false);
    Edit98 = Form::edit(remote, "Edit98", QString());
    Edit99 = Form::edit(remote, "Edit99", QString());
    Edit100 = Form::edit(remote, "Edit100", QString());
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &Ttalk2e::ComboBox2Change);
}

void Ttalk2e::buildSavePage() {
    auto* save = new Form::Page(PageControl1, 2);
    save->setObjectName(QStringLiteral("TabSheet8"));
    PageControl1->addTab(save, QStringLiteral("保存"));
    QGroupBox* text = save->group(0, QStringLiteral("表示文"), "GroupSaveDisplay");
    QWidget* saveRow = Form::row(text);
    Button7 = Form::button(saveRow, "Button7", QStringLiteral("保存"));
    Label5 = Form::label(saveRow, QStringLiteral("保存なし"), "Label5");
    CheckBox39 = Form::check(text, "CheckBox39", QStringLiteral("定期的に、または、Quelta終了時に自動保存する。"), false);
    QWidget* scrambled = Form::row(text);
    CheckBox34 = Form::check(scrambled, "CheckBox34", QStringLiteral("暗号化する。"), false);
    Edit2 = Form::edit(scrambled, "Edit2", QStringLiteral("合鍵"), 100);
    ButtonUnscramble = Form::button(text, "ButtonUnscramble", QStringLiteral("暗号化したファイルを元に戻す"));
    ButtonUnscramble->setToolTip(QStringLiteral("暗号化して保存したファイルを、上の合言葉で普通の文に戻して保存します。"));
    // Progress of a scrambled save, over the pages.
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setAutoFillBackground(true);
    Label104 = new QLabel(QStringLiteral("暗号化保存中"), Panel2);
    Label104->setObjectName(QStringLiteral("Label104"));
    Label104->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(Panel2))->addWidget(Label104);
    Panel2->hide();
    QGroupBox* periodic = save->group(0, QStringLiteral("定期的な消去と自動保存"), "GroupPeriodic");
    QWidget* r = Form::row(periodic);
    Edit92 = Form::edit(r, "Edit92", QStringLiteral("10"), 50);
    Form::label(r, QStringLiteral("分"));
    explanatoryLabels << Form::label(periodic, QStringLiteral("●０分とすると動作しません。"));
    QWidget* limits = Form::row(periodic);
    Edit91 = Form::edit(limits, "Edit91", QStringLiteral("1000"), 60);
    Form::label(limits, QStringLiteral("行"));
    Edit4 = Form::edit(limits, "Edit4", QStringLiteral("30"), 50);
    Form::label(limits, QStringLiteral("Ｋバイト"));
    QGroupBox* transcript = save->group(0, QStringLiteral("字幕ファイル（WebVTT・SubRip）"), "GroupTranscript");
    ButtonTranscript = Form::button(transcript, "ButtonTranscript", QStringLiteral("字幕ファイル保存"));
    explanatoryLabels << Form::label(transcript, QStringLiteral("●表示した行を時刻付きで保存します。録画に字幕を付ける時に使います。"));
    QGroupBox* log = save->group(0, QStringLiteral("説明ページ"), "GroupLog");
    CheckBox32 = Form::check(log, "CheckBox32", QStringLiteral("記録を説明ページに保存"), false);
    CheckBox20 = Form::check(log, "CheckBox20", QStringLiteral("入力開始時刻を説明ページに記録"), false);
    QGroupBox* settings = save->group(1, QStringLiteral("表示設定"), "GroupSettingsFile");
    QWidget* files = Form::row(settings);
    Button20 = Form::button(files, "Button20", QStringLiteral("読込"));
    Button20->setToolTip(QStringLiteral("保存してある設定を読込みます。"));
    Button21 = Form::button(files, "Button21", QStringLiteral("保存"));
    Button21->setToolTip(QStringLiteral("ウィンドの大きさ・位置、表示行数桁色などを全部保存します。"));
    Button66 = Form::button(settings, "Button66", QStringLiteral("起動時設定にする"));
    Button67 = Form::button(settings, "Button67", QStringLiteral("初期値に戻す"));
    Label67 = Form::label(settings, QStringLiteral("読み込み無し"), "Label67");
    QGroupBox* match = save->group(1, QStringLiteral("表示機と合わせる"), "GroupMatch");
    explanatoryLabels << Form::label(match, QStringLiteral("●「ワ」ボタン修正する時に表示機と行数と桁数を合わせます。"));
    Button18 = Form::button(match, "Button18", QStringLiteral("合わせる"));
    explanatoryLabels << Form::label(match, QStringLiteral("フォント大きさ、ウィンド幅、表示行数を受信します。"));
    explanatoryLabels << Form::label(match, QStringLiteral("合わせた後、ウィンド高さ変更はｏｋ。幅はダメです。"));
}

void Ttalk2e::createEndpoints() {
    auto make = [this](const Net::PortEntry& entry) { return makeEndpoint(entry, this); };
    NMUDP1 = make(Net::Ports::MainLines);
    NMUDP2 = make(Net::Ports::MainPartner);
    NMUDP3 = make(Net::Ports::MainCorrections);
    NMUDP6 = make(Net::Ports::MainSearchAnswers);
    NMUDP4 = make(Net::Ports::MainPairing);
    NMUDP7 = make(Net::Ports::MainMonitorFeed);
    NMUDP8 = make(Net::Ports::MainSearchRequests);
    NMUDP9 = make(Net::Ports::MainCommands);
    NMUDP10 = make(Net::Ports::MainLeave);

    NMUDP1->gate = [this] { return CheckBox22->isChecked(); };
    NMUDP9->gate = [this] { return CheckBox22->isChecked(); };
    NMUDP7->gate = [this] { return auxiliary_->liveTypingToMonitors(); };

    using E = Net::DatagramEndpoint;
    connect(NMUDP1, &E::received, this, &Ttalk2e::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &Ttalk2e::NMUDP2DataReceived);
    connect(NMUDP3, &E::received, this, &Ttalk2e::NMUDP3DataReceived);
    connect(NMUDP4, &E::received, this, &Ttalk2e::NMUDP4DataReceived);
    connect(NMUDP6, &E::received, this, &Ttalk2e::NMUDP6DataReceived);
    connect(NMUDP7, &E::received, this, &Ttalk2e::NMUDP7DataReceived);
    connect(NMUDP8, &E::received, this, &Ttalk2e::NMUDP8DataReceived);
    connect(NMUDP9, &E::received, this, &Ttalk2e::NMUDP9DataReceived);
    connect(NMUDP10, &E::received, this, &Ttalk2e::NMUDP10DataReceived);
}

Net::DatagramEndpoint* Ttalk2e::makeEndpoint(const Net::PortEntry& entry, QObject* owner) {
    auto* e = new Net::DatagramEndpoint(station_.network, entry, owner);
    e->siblingCopyOn = [this] { return CheckBox60->isChecked(); };
    e->unscramble = [this](const QByteArray& text) { return trafficScramblingOn() ? UnscrambleTraffic(text) : text; };
    e->bindChannel(channelIndex());
    outbox_.add(e);
    return e;
}

App::WindowContext Ttalk2e::windowContext() { return {station_, *this, *this}; }

void Ttalk2e::createAuxiliaryWindows() {
    const App::WindowContext context = windowContext();
    Form6 = std::make_unique<TForm6>(context, App::contactLinks(*this));
    CreateTemplateWindow(context);
    Form15 = std::make_unique<TForm15>(context, App::noticeLinks(*this));
    auxiliary_->setNoticesOff(Form15->CheckBox12->isChecked());
    Form2 = std::make_unique<TForm2>(context, team_, [this] {
        return TForm2::Options{auxiliary_->monitorRows(), strip_->monitorShowsEnd(), auxiliary_->monitorMarksBreaks()};
    });
    Form5 = std::make_unique<TForm5>(context);
    Form8 = std::make_unique<TForm8>(context);
    CreatePrerollMonitor(context);
    Form9 = std::make_unique<TForm9>(context);
    CreateCorrectionWindows(context);  // TForm14, TFkakunin, TFmojikara, TFshusei_moni
    Form14->setWindowTitle(subInputCaptionBase());
    setStaysOnTop(Form11.get(), auxiliary_->templateOnTop());
    setStaysOnTop(Form2.get(), auxiliary_->monitorOnTop());
    connect(Form9.get(), &TForm9::coverClicked, this, &Ttalk2e::Form9Click);
    connect(auxiliary_, &AuxiliaryPage::monitorRowsChanged, Form2.get(), &TForm2::Restack);
    wireAuxiliaryPage();
    UpdateMemoRows();
    buildSettingsTable();
}

QList<QWidget*> Ttalk2e::allWindows() const {
    QList<QWidget*> out{const_cast<Ttalk2e*>(this)};
    for (QWidget* w : std::initializer_list<QWidget*>{Form6.get(), Form11.get(), Form15.get(), Form2.get(),
                                                      Form5.get(), Form8.get(), Form3.get(), Form9.get(),
                                                      Form14.get(), Fkakunin.get(), Fmojikara.get(),
                                                      Fshusei_moni.get()})
        if (w) out << w;
    return out;
}

void Ttalk2e::setStaysOnTop(QWidget* window, bool on) {
    if (!window) return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) window->show();  // changing the flags hides a window
}

bool Ttalk2e::showMessages() const { return display_->showsMessages(); }

void Ttalk2e::Message(const QString& text) {
    if (showMessages()) station_.messages.information(text);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void Ttalk2e::FormCreate() {
    team_.resetGroupFull();
    InitialLayout();
    DetectOwnAddress();
    if (Net::CheckAddress(Edit35->text()) != 0) {
        Edit35->setText(QStringLiteral("読込み失敗"));
        Message(QStringLiteral("ＩＰアドレスの読込に失敗しました。\n他のパソコンと通信できません。"));
        return;  // no second phase: no start-up settings, never `started`
    }
    ReadOwnNameFromStartupFile();
    CheckMemberAndRemoteAddresses();
    SearchMembers();
    Timer2->start(5000);
}

void Ttalk2e::InitialLayout() {
    move(0, 0);
    resize(640, 480);
    PageControl1->setGeometry(rect());
    TabSheet1->resize(PageControl1->size());

    display_->InitialLayout();

    strip_->InitialLayout();

    Memo1->clear();
    RichEdit6->setGeometry(Panel7->rect());
}

void Ttalk2e::DetectOwnAddress() {
    const Net::HostIdentity id = station_.network.hostIdentity();
    if (id.hostName.isEmpty()) return;
    Edit30->setText(id.hostName);
    if (id.ipv4Addresses.isEmpty()) {
        Button39->hide();
        ListBox2->clear();
        ListBox2->addItem(QStringLiteral("0 またはDHCPサーバ"));
        setRed(ListBox2, true);
        ListBox2->show();
        return;
    }
    Edit35->setText(id.ipv4Addresses.first());
    ListBox2->clear();
    ListBox2->addItems(id.ipv4Addresses);
    if (ListBox2->count() > 1) {
        Button39->hide();
        setRed(ListBox2, true);
        ListBox2->show();
    }
}

bool Ttalk2e::addressListIsRed() const { return isRed(ListBox2); }

void Ttalk2e::Timer2Timer() {
    Timer2->stop();
    programFolder_ = station_.programFolder;
    display_->StartupDisplayOptions();
    display_->fitRecordPane();
    LoadStartupSettings();
    display_->RedrawDisplay();
    display_->RedrawFrameless();
    StartupPartnerRequest();
    display_->ReadScrollInterval();

    if (!team_.groupFull()) show();
    started_ = true;
    layoutOn_ = true;
    PrepareTrafficKey();
    if (splash_) splash_->close();
    show();
    raise();
    activateWindow();
    display_->DisplayAreaResized();  // fit lines and spacing now that start-up is over; focus for typing
    StartupFinished();
    ReportRescuedSaves();

    if (Edit92->text() == QLatin1String("0")) station_.messages.information(kPeriodicClearOffWarning);
    if (addressListIsRed()) {
        PageControl1->setCurrentIndex(2);
        station_.messages.information(QStringLiteral(
            "複数のＩＰアドレスが見つかりました。\n「自分のパソコン」の「赤いＩＰアドレスの一覧」から\n"
            "Ｑｕｅｌｔａで使うＩＰアドレスをクリックしてください。"));
    }
}

const QString Ttalk2e::kPeriodicClearOffWarning = QStringLiteral(
    "「起動時設定」で「保存」ページの「定期的な消去と自動保存」が\n無効（０分の指定）になっています。\n"
    "このままでは、表示文の記録が多量になってＱｕｅｌｔａの動作が\nおかしくなる可能性があります。\n"
    "「１０分」程度の数字を指定することを強く推奨します。\n\n＜具体的な不具合の事例＞\n"
    "１）表示に◆■が残るなど、表示がおかしくなる。\n２）入力するとエラーメッセージが出る。\n３）動作が遅くなる。\n\n"
    "＜このまま使う場合のアドバイス＞ \n１）初心者の方へ \n"
    "初心者だけの練習会では問題が出なくても、実際の情報保障は、\n"
    "入力速度の速い上級者と長時間入力するなど、動作がおかしくなる\n可能性があります。\n"
    "パソコンがおかしくなったら、まずこの指定を疑ってください。\n\n２）上級者の方へ\n"
    "自分のパソコンでは問題ないことを確認して、あえて「無効」を指定して\n"
    "いると思いますが、失敗の許されない現場では、念のため、休憩時間に\n"
    "Ｑｕｅｌｔａを終了し、再起動するなど予防処置を取ることを勧めます。");


// ---------------------------------------------------------------------------------------------
// Channel and port plan

int Ttalk2e::channelIndex() const { return Net::channelIndexOf(ComboBox2 ? ComboBox2->currentIndex() : 0); }

void Ttalk2e::ComboBox2Change() { ChangeChannel(); }

void Ttalk2e::ChangeChannel() {
    if (Net::CheckAddress(Edit35->text()) != 0) return;  // every port stays where it was
    team_.endPartnership();  // the cancel still goes out on the old channel
    team_.leaveForChannelChange();

    const int n = channelIndex() + 1;
    channelPrefix_ = QString::number(n) + QStringLiteral(" : ");
    setWindowTitle(mainCaptionBase());
    for (QWidget* w : allWindows())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->applyChannelCaption(n);
    if (Form14) Form14->setWindowTitle(subInputCaptionBase());

    const int c = channelIndex();
    for (Net::DatagramEndpoint* e : channelEndpoints()) e->bindChannel(c);
    SearchMembers();
}

QList<Net::DatagramEndpoint*> Ttalk2e::channelEndpoints() const {
    QList<Net::DatagramEndpoint*> out{NMUDP1, NMUDP2, NMUDP3, NMUDP6, NMUDP4, NMUDP7, NMUDP8, NMUDP9, NMUDP10};
    for (QWidget* w : allWindows())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) out += aux->channelEndpoints();
    out.removeIf([](const Net::DatagramEndpoint* e) { return !e->entry().shifted; });
    std::stable_sort(out.begin(), out.end(), [](const Net::DatagramEndpoint* a, const Net::DatagramEndpoint* b) {
        return a->basePort() < b->basePort();
    });
    return out;
}

void Ttalk2e::SendToMembers(const Net::PortEntry& port, const QByteArray& payload) { outbox_.toMembers(port, payload); }


// ---------------------------------------------------------------------------------------------
// Hot keys and the windows they bring forward

void Ttalk2e::bringToFront(QWidget* window) {
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

void Ttalk2e::HotKey(const QString& item) {
    auto ifVisible = [this](QWidget* w) {
        if (w && w->isVisible()) bringToFront(w);
    };
    if (item == QLatin1String("hkey_main")) bringToFront(this);
    else if (item == QLatin1String("hkey_fkeymemo")) ifVisible(Form5.get());
    else if (item == QLatin1String("hkeyrenraku1")) ifVisible(Form6.get());
    else if (item == QLatin1String("hekytempm1")) ifVisible(Form11.get());
    else if (item == QLatin1String("hkey8nin1")) ifVisible(Form2.get());
    else if (item == QLatin1String("hkeyinput1")) bringToFront(Form14 && Form14->isVisible() ? static_cast<QWidget*>(Form14.get()) : this);
    else if (item == QLatin1String("hkeyterop1")) ifVisible(Form15.get());
    else if (item == QLatin1String("hkeykakunin1")) ifVisible(Fkakunin.get());
    else if (item == QLatin1String("hkeymojikara1")) ifVisible(Fmojikara.get());
    // hkeyslide1 (Ctrl+L) does nothing.
}

void Ttalk2e::CheckBox22Click() {
    QPalette p = CheckBox22->palette();
    p.setColor(QPalette::WindowText,
               CheckBox22->isChecked() ? QApplication::palette().color(QPalette::WindowText) : QColor(255, 0, 0));
    CheckBox22->setPalette(p);
}

void Ttalk2e::CheckBox9Click() {
    if (display_->coverOn()) {
        Form9->cover(qcolour(colours_.cover));
        bringToFront(this);
    } else {
        Form9->hide();
    }
}

void Ttalk2e::Button8Click() {
    display_->setCover(false);
    if (auto c = station_.dialogs.chooseColor(this, qcolour(colours_.cover))) colours_.cover = Settings::fromQColor(*c);
}

void Ttalk2e::Form9Click() {
    bringToFront(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Form2.get(), Form3.get(), Form5.get(), Form6.get(), Form8.get()})
        if (w && w->isVisible()) w->raise();
}

void Ttalk2e::Button69Click() {
    const auto c = station_.dialogs.chooseColor(this, qcolour(colours_.page));
    if (!c) return;
    colours_.page = Settings::fromQColor(*c);
    PaintPages();
    hide();
    show();
}

void Ttalk2e::Button70Click() {
    const auto c = station_.dialogs.chooseColor(this, qcolour(colours_.explanation));
    if (!c) return;
    colours_.items = colours_.explanation = Settings::fromQColor(*c);
    PaintPages();
    PaintExplanations();
}

QColor Ttalk2e::qcolour(qint32 value) { return Settings::toQColor(value, QApplication::palette()); }

void Ttalk2e::PaintPages() {
    for (QWidget* w : allWindows()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, qcolour(colours_.page));
        p.setColor(QPalette::WindowText, qcolour(colours_.items));
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    PaintExplanations();
}

void Ttalk2e::PaintExplanations() {
    for (QLabel* l : explanatoryLabels) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, qcolour(colours_.explanation));
        l->setPalette(p);
    }
}

// ---------------------------------------------------------------------------------------------
// Log

void Ttalk2e::Log(const QString& line) { explanation_->append(line); }

// ---------------------------------------------------------------------------------------------
// Window events

void Ttalk2e::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PageControl1->setGeometry(rect());
    display_->WindowResized();
}

bool Ttalk2e::FormClose() {
    if (!SaveOnExit()) return false;
    LeaveOnExit();
    return true;
}

void Ttalk2e::closeEvent(QCloseEvent* event) {
    if (closeState_ == CloseState::Closing) {  // the close handler is still asking the user
        event->ignore();
        return;
    }
    if (closeState_ == CloseState::Open) {
        closeState_ = CloseState::Closing;
        if (!FormClose()) {
            closeState_ = CloseState::Open;  // the user stays, with everything as it was
            event->ignore();
            return;
        }
        closeState_ = CloseState::Closed;
    }
    event->accept();
    for (QWidget* w : allWindows())
        if (w != this) w->hide();
    emit closed();
}

void Ttalk2e::CloseUnattended() {
    unattended_ = true;
    // A box of the close handler waits for an answer that will not come: closed, the handler goes
    // on without asking and saves where it can.
    if (closeState_ == CloseState::Closing) {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        return;
    }
    close();
}

void Ttalk2e::SessionEnding() {
    unattended_ = true;
    if (closeState_ == CloseState::Open) SaveOnExit();
}

// ---------------------------------------------------------------------------------------------
// The display's operations under their own names

void Ttalk2e::Timer1Timer() { display_->Timer1Timer(); }
void Ttalk2e::RedrawDisplay() { display_->RedrawDisplay(); }
void Ttalk2e::RedrawFrameless() { display_->RedrawFrameless(); }
void Ttalk2e::RedrawCanvases() { display_->RedrawCanvases(); }
void Ttalk2e::FitToWindow() { display_->FitToWindow(); }
void Ttalk2e::CanvasClick() { display_->CanvasClick(); }
void Ttalk2e::ToggleFrameless() { display_->ToggleFrameless(); }
void Ttalk2e::SetDisplayFont(const QFont& font) { display_->SetDisplayFont(font); }
void Ttalk2e::SetTypistRows(int rows) { display_->SetTypistRows(rows); }
int Ttalk2e::typistMode() const { return display_->typistMode(); }
bool Ttalk2e::wordProcessorMode() const { return display_->wordProcessorMode(); }
bool Ttalk2e::isFrameless() const { return display_->isFrameless(); }

bool Ttalk2e::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit30 && event->type() == QEvent::FocusOut) Edit30FocusOut();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The 8-person monitor mirrors the slots' names and pairing buttons, and takes the members' feed.

void Ttalk2e::MirrorSlotName(int k) {
    if (Form2) Form2->SlotNameChanged(k, slot(k).name->text());
}

void Ttalk2e::NMUDP7DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (Form2) Form2->Feed(payload);
}

// ---------------------------------------------------------------------------------------------
// The input strip's operations under their own names

bool Ttalk2e::RichEdit1KeyDown(QKeyEvent* event) { return strip_->RichEdit1KeyDown(event); }
void Ttalk2e::NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port) {
    strip_->NMUDP2DataReceived(text, from, port);
}
void Ttalk2e::Timer3Timer() { strip_->Timer3Timer(); }
void Ttalk2e::Timer4Timer() { strip_->Timer4Timer(); }
void Ttalk2e::PaintPanes() { strip_->PaintPanes(); }
void Ttalk2e::SetInputFont(const QFont& font) { strip_->SetInputFont(font); }
void Ttalk2e::SetMonitorFont(const QFont& font) { strip_->SetMonitorFont(font); }
void Ttalk2e::PaintComposition() { strip_->PaintComposition(); }
void Ttalk2e::UpdateMemoRows() { strip_->UpdateMemoRows(); }
