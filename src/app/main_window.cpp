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
#include "windows/main/partner_page.h"
#include "windows/main/saving.h"
#include "windows/main/settings_transfer.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
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


// The partner page's ways to the rest of the station.
PartnerPage::Links partnerLinks(Ttalk2e& main) {
    return {
        .station = main.station(),
        .outbox = main.outbox(),
        .message = [&main](const QString& text) { main.Message(text); },
        .log = [&main](const QString& line) { main.Log(line); },
        .logRepeated = [&main](const QString& kind, const std::function<QString()>& line) { main.LogRepeated(kind, line); },
        .showMessages = [&main] { return main.showMessages(); },
        .started = [&main] { return main.isStarted(); },
        .ownAddressChanged = [&main](const QString& address) { main.AudiencePanel->setOwnAddress(address); },
        .slotNameChanged = [&main](int k, const QString& name) {
            if (main.Form2) main.Form2->SlotNameChanged(k, name);
        },
        .pairingButtonsShown = [&main](int k, bool partner) {
            if (main.Form2) main.Form2->SyncButtons(k, partner);
        },
        .setCaptions = [&main](const QString& caption, const QString& subInput) {
            main.setWindowTitle(caption);
            if (main.Form14) main.Form14->setWindowTitle(subInput);
        },
        .showPage = [&main] { main.PageControl1->setCurrentIndex(2); },
        .changeChannel = [&main] { main.ChangeChannel(); },
        .readOwnName = [&main] { main.ReadOwnNameFromStartupFile(); },
    };
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction: the form itself, then its creation step.

Ttalk2e::Ttalk2e(App::Station& station, TForm12* splash)
    : QWidget(nullptr), station_(station), splash_(splash), programFolder_(station.programFolder) {
    setObjectName(QStringLiteral("talk2e"));
    setWindowTitle(PartnerPage::kMainCaption);
    windows_.add(this, "hkey_main");

    transfer_ = std::make_unique<SettingsTransfer>(*this);
    saving_ = std::make_unique<Saving>(*this);
    partner_ = std::make_unique<PartnerPage>(partnerLinks(*this), this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    buildDisplayPage();
    buildAuxiliaryPage();
    partner_->build(PageControl1, explanatoryLabels);
    buildDisplayOptionPages();
    buildInputPages();
    buildSavePage();
    buildExplanationPage();

    Image2 = new Canvas(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->hide();

    Timer1 = namedTimer(this, "Timer1", 30, false);
    Timer2 = namedTimer(this, "Timer2", 5000, true);
    Timer3 = namedTimer(this, "Timer3", 15000, true);
    Timer4 = namedTimer(this, "Timer4", 500, true);
    connect(Timer1, &QTimer::timeout, this, &Ttalk2e::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &Ttalk2e::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &Ttalk2e::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &Ttalk2e::Timer4Timer);

    outbox_.members = [this] { return partner_->team().memberAddresses(); };
    outbox_.partner = [this] { return partner_->team().partnerAddress(); };
    outbox_.siblingOn = [this] { return partner_->siblingOn(); };
    createEndpoints();
    hotKeys_ = new HotKeyMenu(*this, *this);
    wireDisplay();
    partner_->wire();
    wireLines();
    wireInput();
    wireSettings();
    partner_->wireOptions();
    saving_->wire();

    FormCreate();
}

Ttalk2e::~Ttalk2e() {
    delete AudiencePanel;  // they hold the service and the poster, which go with the members
    delete OnlinePanel;
    RichEdit2->setDocument(paneDocument_);  // the record's document goes before the pane does
}

void Ttalk2e::buildDisplayPage() {
    TabSheet1 = new DockPage(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("表示・入力"));

    Panel6 = new QFrame(TabSheet1);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel1 = new QFrame(TabSheet1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    TabSheet1->setFill(Panel6);
    TabSheet1->setBottom(Panel1);

    Image1 = new Canvas(Panel6);
    Image1->setObjectName(QStringLiteral("Image1"));

    auto* pane = new TextPane(Panel6);
    RichEdit2 = pane;
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setFont(Fonts::gothicPixels(48));
    RichEdit2->setAcceptRichText(false);
    RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit2->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    RichEdit2->setLineWrapMode(QTextEdit::FixedPixelWidth);
    RichEdit2->setFocusPolicy(Qt::ClickFocus);
    // The record has a document of its own; the pane shows it in the word-processor screen.
    paneDocument_ = new QTextDocument(this);  // not the pane's own, which it deletes when swapped
    RichEdit2->setDocument(paneDocument_);
    recordDocument_->setDocumentMargin(kRecordMargin);
    recordDocument_->setDefaultFont(RichEdit2->font());
    pane->limit = kRecordLimit;
    pane->bytes = [this] { return record().byteLength(); };
    {
        QPalette p = RichEdit2->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        RichEdit2->setPalette(p);
    }

    Memo3 = new QPlainTextEdit(Panel6);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->hide();
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

    Edit77 = new QLineEdit(Panel6);
    Edit77->setObjectName(QStringLiteral("Edit77"));
    Edit77->setGeometry(0, 0, 0, 0);  // zero width: it only catches keys
    Edit77->hide();

    Panel22 = new QFrame(Panel1);  // behind the buttons
    Panel22->setObjectName(QStringLiteral("Panel22"));
    Panel22->setMinimumWidth(50);
    Panel23 = new QFrame(Panel1);  // behind the panes
    Panel23->setObjectName(QStringLiteral("Panel23"));
    Panel23->setMinimumWidth(20);
    Button13 = new QPushButton(QStringLiteral("再"), Panel1);
    Button13->setObjectName(QStringLiteral("Button13"));
    Button12 = new QPushButton(QStringLiteral("ワ"), Panel1);
    Button12->setObjectName(QStringLiteral("Button12"));
    Button14 = new QPushButton(QStringLiteral("送"), Panel1);
    Button14->setObjectName(QStringLiteral("Button14"));
    for (QPushButton* b : {Button13, Button12, Button14}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }

    const QFont paneFont = Fonts::gothicPixels(15);
    RichEdit27 = new TextPane(Panel1);
    RichEdit27->setObjectName(QStringLiteral("RichEdit27"));
    RichEdit1 = new TextPane(Panel1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    for (TextPane* pane : {RichEdit27, RichEdit1}) {
        pane->limit = 254;
        pane->setFont(paneFont);
        pane->setFrameShape(QFrame::NoFrame);
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->document()->setDocumentMargin(1);
        pane->setAcceptRichText(false);
    }
    RichEdit27->setReadOnly(true);
    // The partner's pane sits on the own pane; a frame and a shade of their colour tell them apart.
    RichEdit27->setFrameStyle(QFrame::Box | QFrame::Plain);
    RichEdit27->setLineWidth(1);
    {
        QPalette p = RichEdit27->palette();
        p.setColor(QPalette::WindowText, QColor(128, 128, 128));
        RichEdit27->setPalette(p);
    }
    PaintPanes();
    stripAlarm_ = new StripAlarm(Panel1);
}

void Ttalk2e::buildAuxiliaryPage() {
    auto* page = new Form::Page(PageControl1, 2);
    page->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(page, QStringLiteral("補助Ｗ"));

    QGroupBox* tmpl = page->group(0, QStringLiteral("テンプレート・前ロール"));
    ButtonTemplate = Form::button(tmpl, "ButtonTemplate", QStringLiteral("テンプレート前ロール"));
    CheckBox10 = Form::check(tmpl, "CheckBox10", QStringLiteral("常に前面にする。"), true);
    ButtonTemplateMonitor = Form::button(tmpl, "ButtonTemplateMonitor", QStringLiteral("ﾃﾝﾌﾟﾚｰﾄ前ﾛｰﾙﾓﾆﾀｰ"));
    CheckBox48 = Form::check(tmpl, "CheckBox48", QStringLiteral("モニターの行数を２倍"), false);

    QGroupBox* monitor = page->group(0, QStringLiteral("８人モニター"), "GroupMonitor8");
    Button45 = Form::button(monitor, "Button45", QStringLiteral("モニター表示"));
    CheckBox14 = Form::check(monitor, "CheckBox14", QStringLiteral("常に前面にする"), true);
    CheckBox12 = Form::check(monitor, "CheckBox12", QStringLiteral("通信ｏｎ（送信する）"), true);
    QWidget* rows = Form::row(monitor);
    Form::label(rows, QStringLiteral("行数"));
    Edit20 = Form::edit(rows, "Edit20", QStringLiteral("1"), 40);
    UpDown4 = Form::place(rows, new UpDown(rows, "UpDown4", Edit20, 1, 9), nullptr);
    CheckBox49 = Form::check(monitor, "CheckBox49", QStringLiteral("改行を「■」で表示"), true);

    QGroupBox* msg = page->group(0, QStringLiteral("連絡・お知らせ"));
    ButtonContact = Form::button(msg, "ButtonContact", QStringLiteral("連絡窓表示"));
    ButtonNotice = Form::button(msg, "ButtonNotice", QStringLiteral("テロップ表示"));
    Button52 = Form::button(msg, "Button52", QStringLiteral("Ｆキー・メモ表示"));
    CheckBox16 = Form::check(msg, "CheckBox16", QStringLiteral("  お知らせ（テロップ）を受信しない。"), false);

    QGroupBox* sub = page->group(1, QStringLiteral("サブ入力"));
    ButtonSubInput = Form::button(sub, "ButtonSubInput", QStringLiteral("サブ入力Ｗ"));

    QGroupBox* palette = page->group(1, QStringLiteral("確認修正パレット"));
    ButtonPalette = Form::button(palette, "ButtonPalette", QStringLiteral("確認修正ﾊﾟﾚｯﾄ表示"));
    CheckBox21 = Form::check(palette, "CheckBox21", QStringLiteral("入力をパレットに送信する"), false);
    CheckBox30 = Form::check(palette, "CheckBox30", QStringLiteral("ﾊﾟﾚｯﾄ連動"), false);
    CheckBox31 = Form::check(palette, "CheckBox31", QStringLiteral("連動時の主修正者"), false);
    ButtonCorrectionMonitor = Form::button(palette, "ButtonCorrectionMonitor", QStringLiteral("ﾓﾆﾀｰ"));

    QGroupBox* ruby = page->group(1, QStringLiteral("ルビ送信"), "GroupRuby");
    CheckBox46 = Form::check(ruby, "CheckBox46", QStringLiteral("表示・送受信する。"), false);

    QGroupBox* remote = page->group(1, QStringLiteral("カラオケ"));
    ButtonRemote = Form::button(remote, "ButtonRemote", QStringLiteral("カラオケ・送信リモコン"));

    audience_ = std::make_unique<Audience::Service>(record(), station_.clock);
    AudiencePanel = page->add(1, new Audience::AudiencePanel(*audience_));
    AudiencePanel->setObjectName(QStringLiteral("AudiencePanel"));
    online_ = std::make_unique<Audience::OnlineCaptions>(audience_->mirror(), station_.clock);
    online_->setNetwork(station_.web);
    online_->setHandEditing([this] { return CheckBox85->isChecked(); });  // correction mode: the record is edited by hand
    connect(online_.get(), &Audience::OnlineCaptions::explain, this, &Ttalk2e::Log);
    OnlinePanel = page->add(1, new Audience::OnlinePanel(*online_));

    GroupWaStop = page->group(1, QStringLiteral("ワ停止モニター"), "GroupWaStop");
    Button5 = Form::button(GroupWaStop, "Button5", QStringLiteral("モニター表示"));
    GroupWaStop->hide();

    connect(ButtonTemplate, &QPushButton::clicked, this, [this] {
        Form11->show();
        PageControl1->setCurrentIndex(0);
    });
    // The notice window's "テロップを受信しない" shows here too, and can be switched from here.
    connect(CheckBox16, &QCheckBox::toggled, this, [this](bool on) {
        if (Form15) Form15->setRefusesNotices(on);
    });
    connect(CheckBox10, &QCheckBox::toggled, this, [this](bool on) { setStaysOnTop(Form11.get(), on); });
    connect(ButtonTemplateMonitor, &QPushButton::clicked, this, [this] { Form3->show(); });
    connect(Button45, &QPushButton::clicked, this, [this] {
        Form2->show();
        CheckBox12->setChecked(true);
    });
    connect(CheckBox14, &QCheckBox::toggled, this, [this](bool on) { setStaysOnTop(Form2.get(), on); });
    connect(ButtonContact, &QPushButton::clicked, this, [this] {
        Form6->show();
        Form6->focusInputPane();
    });
    connect(ButtonNotice, &QPushButton::clicked, this, [this] { Form15->show(); });
    connect(ButtonSubInput, &QPushButton::clicked, this, [this] {
        unsetCursor();
        Panel6->unsetCursor();
        Form14->setGeometry(0, 0, width() * 4 / 5, Form14->firstPaneHeight() * 2 + 60);
        Form14->openFirstPage();
        Form14->show();
    });
    connect(ButtonPalette, &QPushButton::clicked, this, [this] {
        CheckBox21->setChecked(false);
        CheckBox21->hide();
        Fkakunin->show();
    });
    connect(ButtonCorrectionMonitor, &QPushButton::clicked, this, [this] { Fshusei_moni->show(); });
    connect(ButtonRemote, &QPushButton::clicked, this, [this] { Fmojikara->show(); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        Form8->clearMemo();
        Form8->show();
    });
    connect(Button52, &QPushButton::clicked, this, [this] {
        Form5->move(x() + 25, y() + 80);
        Form5->show();
    });
}

void Ttalk2e::buildDisplayOptionPages() {
    auto* display1 = new Form::Page(PageControl1, 2);
    display1->setObjectName(QStringLiteral("TabSheet4"));
    PageControl1->addTab(display1, QStringLiteral("表示１"));

    QGroupBox* smooth = display1->group(0, QStringLiteral("スムーズ画面"), "GroupSmooth");
    auto field = [](QWidget* parent, const char* name, const QString& caption, const QString& value) {
        QWidget* r = Form::row(parent);
        Form::label(r, caption);
        return Form::edit(r, name, value, 60);
    };
    Edit8 = field(smooth, "Edit8", QStringLiteral("表示行数"), QStringLiteral("6"));
    Edit12 = field(smooth, "Edit12", QStringLiteral("行間"), QStringLiteral("60"));
    Edit9 = field(smooth, "Edit9", QStringLiteral("ｽｸﾛｰﾙ・移動量"), QStringLiteral("2"));
    Edit10 = field(smooth, "Edit10", QStringLiteral("１行の移動回数"), QStringLiteral("30"));
    Edit11 = field(smooth, "Edit11", QStringLiteral("ｽｸﾛｰﾙ・間隔"), QStringLiteral("30"));
    CheckBox67 = Form::check(smooth, "CheckBox67", QStringLiteral("行数・行間・移動量を自動調整"), true);
    Button9 = Form::button(smooth, "Button9", QStringLiteral("行数から行間を計算"));
    CheckBox5 = Form::check(smooth, "CheckBox5", QStringLiteral("スクロール速度自動加速"), false);
    Edit43 = field(smooth, "Edit43", QStringLiteral("加速する行数"), QStringLiteral("5"));
    Edit44 = field(smooth, "Edit44", QStringLiteral("加速の倍率"), QStringLiteral("2"));
    CheckBox84 = Form::check(smooth, "CheckBox84", QStringLiteral("静止型表示（１入力を画面上に一気に表示します。）"), false);
    GroupOneLine = Form::group(smooth, QStringLiteral("１行づつ"), "GroupOneLine");
    Button83 = Form::button(GroupOneLine, "Button83", QStringLiteral("１行づつ送る"));
    GroupOneLine->hide();

    QGroupBox* look = display1->group(0, QStringLiteral("表示部"), "GroupDisplayLook");
    QWidget* lookRow = Form::row(look);
    Button1 = Form::button(lookRow, "Button1", QStringLiteral("フォント"));
    Button2 = Form::button(lookRow, "Button2", QStringLiteral("背景色"));

    QGroupBox* breaks = display1->group(1, QStringLiteral("改行"), "GroupBreaks");
    CheckBox8 = Form::check(breaks, "CheckBox8", QStringLiteral("空行のみ改行"), false);
    CheckBox17 = Form::check(breaks, "CheckBox17", QStringLiteral("←ある時から改行に空行が入ってしまう不具合の時"), false);
    QGroupBox* marker = display1->group(1, QStringLiteral("入力文の表示位置の表示"), "GroupMarker");
    CheckBox50 = Form::check(marker, "CheckBox50", QStringLiteral("表示する。"), false);

    QGroupBox* typists = display1->group(1, QStringLiteral("入力人数は？"), "GroupTypists");
    QWidget* modes = Form::row(typists);
    Button17 = Form::button(modes, "Button17", QStringLiteral("２人入力"));
    Button15 = Form::button(modes, "Button15", QStringLiteral("１人で"));
    Button16 = Form::button(modes, "Button16", QStringLiteral("表示用"));
    QWidget* monitorRows = Form::row(typists);
    Form::label(monitorRows, QStringLiteral("モニター部の行数"));
    Edit6 = Form::edit(monitorRows, "Edit6", QStringLiteral("1"), 40);
    UpDown1 = Form::place(monitorRows, new UpDown(monitorRows, "UpDown1", Edit6, 0, 99), nullptr);
    QWidget* inputRows = Form::row(typists);
    Form::label(inputRows, QStringLiteral("入力部の行数"));
    Edit96 = Form::edit(inputRows, "Edit96", QStringLiteral("1"), 40);
    UpDown2 = Form::place(inputRows, new UpDown(inputRows, "UpDown2", Edit96, 0, 99), nullptr);

    QGroupBox* cover = display1->group(1, QStringLiteral("デスクトップをカバーする"), "GroupCover");
    CheckBox9 = Form::check(cover, "CheckBox9", QStringLiteral("単一色でカバー"), false);
    Button8 = Form::button(cover, "Button8", QStringLiteral("カバー色"));
    connect(CheckBox9, &QCheckBox::toggled, this, &Ttalk2e::CheckBox9Click);
    connect(Button8, &QPushButton::clicked, this, &Ttalk2e::Button8Click);

    auto* display2 = new Form::Page(PageControl1, 2);
    display2->setObjectName(QStringLiteral("TabSheet5"));
    PageControl1->addTab(display2, QStringLiteral("表示２"));
    QGroupBox* undo = display2->group(0, QStringLiteral("Ｕｎｄｏの表示方法"), "GroupUndoDisplay");
    CheckBox40 = Form::check(undo, "CheckBox40", QStringLiteral("再描画する（従来と同じ）"), true);
    QGroupBox* undoTarget = display2->group(0, QStringLiteral("Ｕｎｄｏの対象"), "GroupUndoTarget");
    CheckBox11 = Form::check(undoTarget, "CheckBox11", QStringLiteral("Ｕｎｄｏの対象にする"), true);
    QGroupBox* cursor = display2->group(0, QStringLiteral("マウスカーソルの非表示"), "GroupCursor");
    CheckBox68 = Form::check(cursor, "CheckBox68", QStringLiteral("クリックすると消える"), false);
    QGroupBox* recordGroup = display2->group(0, QStringLiteral("記録"), "GroupRecord");
    CheckBox37 = Form::check(recordGroup, "CheckBox37", QStringLiteral("「表示・入力」ｔａｂに記録量を表示する。"), false);
    CheckBox24 = Form::check(recordGroup, "CheckBox24", QStringLiteral("受信文をコピー"), false);
    CheckBox85 = Form::check(recordGroup, "CheckBox85", QStringLiteral("修正モードの入り切り"), false);
    CheckBox85->hide();
    GroupWindowSize = display2->group(0, QStringLiteral("ウィンドの大きさ"), "GroupWindowSize");
    Edit18 = field(GroupWindowSize, "Edit18", QStringLiteral("幅"), QStringLiteral("640"));
    Edit19 = field(GroupWindowSize, "Edit19", QStringLiteral("高さ"), QStringLiteral("480"));
    GroupWindowSize->hide();

    QGroupBox* messages = display2->group(1, QStringLiteral("メッセージ"), "GroupMessages");
    CheckBox19 = Form::check(messages, "CheckBox19", QStringLiteral("メッセージを表示する"), true);
    GroupPageColours = display2->group(1, QStringLiteral("ページの背景色などの変更"), "GroupPageColours");
    Button69 = Form::button(GroupPageColours, "Button69", QStringLiteral("背景色"));
    Button70 = Form::button(GroupPageColours, "Button70", QStringLiteral("説明文色"));
    GroupPageColours->hide();
    connect(Button69, &QPushButton::clicked, this, &Ttalk2e::Button69Click);
    connect(Button70, &QPushButton::clicked, this, &Ttalk2e::Button70Click);
}

void Ttalk2e::buildInputPages() {
    auto field = [](QWidget* parent, const char* name, const QString& caption, const QString& value, int width = 60) {
        QWidget* r = Form::row(parent);
        if (!caption.isEmpty()) Form::label(r, caption);
        return Form::edit(r, name, value, width);
    };
    auto* input1 = new Form::Page(PageControl1, 2);
    input1->setObjectName(QStringLiteral("TabSheet6"));
    PageControl1->addTab(input1, QStringLiteral("入力１"));
    QGroupBox* send = input1->group(0, QStringLiteral("送信"), "GroupSend");
    CheckBox53 = Form::check(send, "CheckBox53", QStringLiteral("カーソルより前の文を送る。"), false);
    Edit31 = field(send, "Edit31", QStringLiteral("発言者名"), QString(), 120);
    CheckBox13 = Form::check(send, "CheckBox13", QStringLiteral("F12で後ろにも空行を入れる"), false);

    QGroupBox* time = input1->group(0, QStringLiteral("入力時間の指定"), "GroupTimeLimit");
    CheckBox15 = Form::check(time, "CheckBox15", QStringLiteral("赤表示する"), false);
    CheckBox23 = Form::check(time, "CheckBox23", QStringLiteral("自動的にEnterし、表示する"), false);
    QWidget* seconds = Form::row(time);
    Edit16 = Form::edit(seconds, "Edit16", QStringLiteral("15"), 50);
    UpDown3 = Form::place(seconds, new UpDown(seconds, "UpDown3", Edit16, 1, 9999), nullptr);
    Form::label(seconds, QStringLiteral("秒"));

    QGroupBox* length = input1->group(0, QStringLiteral("入力文字数の指定"), "GroupLengthLimit");
    CheckBox51 = Form::check(length, "CheckBox51", QStringLiteral("赤表示する。"), false);
    CheckBox54 = Form::check(length, "CheckBox54", QStringLiteral("自動的にEnterし、表示"), false);
    QWidget* bytes = Form::row(length);
    Edit21 = Form::edit(bytes, "Edit21", QStringLiteral("40"), 50);
    UpDown5 = Form::place(bytes, new UpDown(bytes, "UpDown5", Edit21, 1, 254), nullptr);
    Form::label(bytes, QStringLiteral("字（半角）"));

    QGroupBox* punct = input1->group(0, QStringLiteral("句読点で送る"), "GroupPunctuation");
    CheckBox61 = Form::check(punct, "CheckBox61", QStringLiteral("自動的にEnterし表示する。"), false);

    QGroupBox* rate = input1->group(1, QStringLiteral("１分間の表示文字数の表示と警告"), "GroupTypingRate");
    CheckBox44 = Form::check(rate, "CheckBox44", QStringLiteral("一分間の文字数表示"), false);
    CheckBox45 = Form::check(rate, "CheckBox45", QStringLiteral("説明ページに文字数追記"), false);
    QWidget* limitRow = Form::row(rate);
    CheckBox62 = Form::check(limitRow, "CheckBox62", QStringLiteral("黄で警告する"), false);
    Edit24 = Form::edit(limitRow, "Edit24", QStringLiteral("100"), 50);
    UpDown6 = Form::place(limitRow, new UpDown(limitRow, "UpDown6", Edit24, 0, 9999), nullptr);
    Form::label(limitRow, QStringLiteral("文字／分"));

    QGroupBox* keys = input1->group(1, QStringLiteral("Ｆキー"), "GroupFKeys");
    CheckBox43 = Form::check(keys, "CheckBox43", QStringLiteral("くくる。"), false);
    QWidget* b1 = Form::row(keys);
    Form::label(b1, QStringLiteral("Ｆ８"));
    Edit78 = Form::edit(b1, "Edit78", QStringLiteral("「"), 40);
    Edit79 = Form::edit(b1, "Edit79", QStringLiteral("」"), 40);
    QWidget* b2 = Form::row(keys);
    Form::label(b2, QStringLiteral("Shift+Ｆ８"));
    Edit5 = Form::edit(b2, "Edit5", QStringLiteral("♪"), 40);
    Edit7 = Form::edit(b2, "Edit7", QStringLiteral("♪"), 40);
    CheckBox52 = Form::check(keys, "CheckBox52", QStringLiteral("Ｆ７キーを訂正キーにする。"), false);
    QWidget* f7 = Form::row(keys);
    Edit94 = Form::edit(f7, "Edit94", QStringLiteral("訂正：↑の「"), 110);
    Edit95 = Form::edit(f7, "Edit95", QStringLiteral("」は「」です。"), 110);
    CheckBox47 = Form::check(keys, "CheckBox47", QStringLiteral("Ｄｅｌキー/Clsキーにする。"), false);

    auto* input2 = new Form::Page(PageControl1, 2);
    input2->setObjectName(QStringLiteral("TabSheet7"));
    PageControl1->addTab(input2, QStringLiteral("入力２"));
    QGroupBox* ruby = input2->group(0, QStringLiteral("入力読み（ルビ）"), "GroupReading");
    CheckBox58 = Form::check(ruby, "CheckBox58", QStringLiteral("下の文字で入力読みを囲う"), false);
    QWidget* around = Form::row(ruby);
    Edit22 = Form::edit(around, "Edit22", QStringLiteral("（"), 40);
    Edit23 = Form::edit(around, "Edit23", QStringLiteral("）"), 40);
    CheckBox59 = Form::check(ruby, "CheckBox59", QStringLiteral("ルビにする（`r`sで囲う）"), false);
    QWidget* scripts = Form::row(ruby);
    RadioButton1 = Form::radio(scripts, "RadioButton1", QStringLiteral("半ｶﾀｶﾅ"), false);
    RadioButton2 = Form::radio(scripts, "RadioButton2", QStringLiteral("カタカナ"), false);
    RadioButton3 = Form::radio(scripts, "RadioButton3", QStringLiteral("ひらがな"), true);
    QGroupBox* f9 = input2->group(0, QStringLiteral("Ｆ９（Ｕｎｄｏ）"), "GroupF9");
    CheckBox35 = Form::check(f9, "CheckBox35", QStringLiteral("入力部内で改行する。"), false);
    CheckBox36 = Form::check(f9, "CheckBox36", QStringLiteral("「空行のみ改行」を指定した時"), false);
    QGroupBox* copy = input2->group(0, QStringLiteral("コピー"), "GroupCopy");
    CheckBox41 = Form::check(copy, "CheckBox41", QStringLiteral("入力文をコピー"), false);

    QGroupBox* panes = input2->group(1, QStringLiteral("モニター部＆入力部"), "GroupPanes");
    QWidget* look = Form::row(panes);
    Button3 = Form::button(look, "Button3", QStringLiteral("フォント"));
    Button4 = Form::button(look, "Button4", QStringLiteral("背景色"));
    QGroupBox* ime = input2->group(1, QStringLiteral("漢字変換色"), "GroupConversionColours");
    QWidget* imeRow = Form::row(ime);
    Button27 = Form::button(imeRow, "Button27", QStringLiteral("文字色"));
    Button34 = Form::button(imeRow, "Button34", QStringLiteral("背景色"));
    QGroupBox* monitor = input2->group(1, QStringLiteral("モニター部"), "GroupMonitorPane");
    CheckBox57 = Form::check(monitor, "CheckBox57", QStringLiteral("改行を■で表示する。"), false);
    Edit66 = field(monitor, "Edit66", QStringLiteral("入力途中クリア時メッセージ"), QStringLiteral("・"));
    Edit68 = field(monitor, "Edit68", QStringLiteral("表示時間"), builtValue("Edit68"));
    QGroupBox* how = input2->group(1, QStringLiteral("モニターの表示方法"), "GroupMonitorCaret");
    CheckBox55 = Form::check(how, "CheckBox55", QStringLiteral("モニター部"), false);
    CheckBox56 = Form::check(how, "CheckBox56", QStringLiteral("８人モニター"), false);
}

void Ttalk2e::buildSavePage() {
    auto* save = new Form::Page(PageControl1, 2);
    save->setObjectName(QStringLiteral("TabSheet8"));
    PageControl1->addTab(save, QStringLiteral("保存"));
    saving_->buildSaveGroups(save);
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
    transfer_->addMatchButton(match);
    explanatoryLabels << Form::label(match, QStringLiteral("フォント大きさ、ウィンド幅、表示行数を受信します。"));
    explanatoryLabels << Form::label(match, QStringLiteral("合わせた後、ウィンド高さ変更はｏｋ。幅はダメです。"));
}

void Ttalk2e::buildExplanationPage() {
    auto* page = new QWidget(PageControl1);
    page->setObjectName(QStringLiteral("TabSheet9"));
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    RichEdit3 = new QTextEdit(page);
    RichEdit3->setObjectName(QStringLiteral("RichEdit3"));
    RichEdit3->setAcceptRichText(false);
    RichEdit3->document()->setMaximumBlockCount(kExplanationLines);  // the oldest lines go
    v->addWidget(RichEdit3, 1);
    QWidget* row = Form::row(page);
    v->addWidget(row);
    saving_->addExplanationSaveButton(row);
    static_cast<QHBoxLayout*>(row->layout())->addStretch(1);
    PageControl1->addTab(page, QStringLiteral("説明"));
}

void Ttalk2e::createEndpoints() {
    auto make = [this](const Net::PortEntry& entry) { return makeEndpoint(entry, this, {}); };
    NMUDP1 = make(Net::Ports::MainLines);
    NMUDP2 = make(Net::Ports::MainPartner);
    NMUDP3 = make(Net::Ports::MainCorrections);
    NMUDP6 = make(Net::Ports::MainSearchAnswers);
    NMUDP4 = make(Net::Ports::MainPairing);
    NMUDP7 = make(Net::Ports::MainMonitorFeed);
    NMUDP8 = make(Net::Ports::MainSearchRequests);
    NMUDP9 = make(Net::Ports::MainCommands);
    NMUDP10 = make(Net::Ports::MainLeave);

    NMUDP1->gate = [this] { return partner_->lanOn(); };
    NMUDP9->gate = [this] { return partner_->lanOn(); };
    NMUDP7->gate = [this] { return CheckBox12->isChecked(); };

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

Net::DatagramEndpoint* Ttalk2e::makeEndpoint(const Net::PortEntry& entry, QObject* owner,
                                             std::function<bool()> followsChannel) {
    auto* e = new Net::DatagramEndpoint(station_.network, entry, owner);
    e->siblingCopyOn = [this] { return partner_->siblingOn(); };
    e->unscramble = [this](const QByteArray& text) { return partner_->trafficScramblingOn() ? partner_->UnscrambleTraffic(text) : text; };
    e->bindChannel(channelIndex());
    outbox_.add(e);
    endpoints_.add(e, std::move(followsChannel));
    return e;
}

App::WindowContext Ttalk2e::windowContext() { return {station_, *this, *this, windows_}; }

void Ttalk2e::createAuxiliaryWindows() {
    const App::WindowContext context = windowContext();
    Form6 = std::make_unique<TForm6>(context, App::contactLinks(*this));
    CreateTemplateWindow(context);
    Form15 = std::make_unique<TForm15>(context, App::noticeLinks(*this));
    CheckBox16->setChecked(Form15->refusesNotices());
    Form2 = std::make_unique<TForm2>(context, partner_->team(), [this] {
        bool ok = false;
        const int rows = Edit20->text().toInt(&ok);
        return TForm2::Options{ok ? rows : 1, CheckBox56->isChecked(), CheckBox49->isChecked()};
    });
    Form5 = std::make_unique<TForm5>(context);
    Form8 = std::make_unique<TForm8>(context);
    CreatePrerollMonitor(context);
    Form9 = std::make_unique<TForm9>(context);
    CreateCorrectionWindows(context);  // TForm14, TFkakunin, TFmojikara, TFshusei_moni
    Form14->setWindowTitle(subInputCaptionBase());
    setStaysOnTop(Form11.get(), CheckBox10->isChecked());
    setStaysOnTop(Form2.get(), CheckBox14->isChecked());
    connect(Form9.get(), &TForm9::coverClicked, this, &Ttalk2e::Form9Click);
    connect(Edit20, &QLineEdit::textChanged, Form2.get(), &TForm2::Restack);
    UpdateMemoRows();
    buildSettingsTable();
}

void Ttalk2e::setStaysOnTop(QWidget* window, bool on) {
    if (!window) return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) window->show();  // changing the flags hides a window
}

bool Ttalk2e::showMessages() const { return CheckBox19->isChecked(); }

void Ttalk2e::Message(const QString& text) {
    if (showMessages()) station_.messages.information(text);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void Ttalk2e::FormCreate() {
    team().resetGroupFull();
    InitialLayout();
    DetectOwnAddress();
    if (!partner_->CheckOwnAddress()) {
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

    const QSize cs = canvasSize();
    const QColor bg = RichEdit2->palette().color(QPalette::Base);
    for (Canvas* c : {Image1, Image2}) {
        c->resetPicture(cs, bg);
        c->setFont(RichEdit2->font());
    }
    Memo3->setFont(RichEdit2->font());
    Memo3->resize(Panel6->width(), Memo3->height());
    Memo3->clear();

    InitialDisplayState();

    Edit77->hide();
    Button14->hide();
    RichEdit27->setGeometry(50, RichEdit27->y(), 750, RichEdit27->height());
    // A hint shown while the pane is empty, never text a typist could send by typing after it.
    RichEdit1->setPlaceholderText(QStringLiteral(
        "入力部　（Enter：表示に流す、Ctrl+Enter：入力部内で改行、ESC：消去、Ctrl+Z：消去取消）"));
    RichEdit27->setPlainText(QStringLiteral("モニター部"));
    RichEdit1->resize(Panel6->width(), RichEdit1->height());
    RichEdit27->resize(Panel6->width() - 50, RichEdit27->height());
    LayoutInputStrip();

    Memo1->clear();
    RichEdit6->setGeometry(Panel7->rect());
}

QSize Ttalk2e::canvasSize() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = s ? s->size() : QSize(1024, 768);
    return screenSize + QSize(20, 20);
}

void Ttalk2e::Timer2Timer() {
    Timer2->stop();
    programFolder_ = station_.programFolder;
    StartupDisplayOptions();
    RichEdit2->setGeometry(0, RichEdit2->y(), Panel6->width(), Panel6->height());
    LoadStartupSettings();
    RedrawDisplay();
    RedrawFrameless();
    StartupPartnerRequest();
    ReadScrollInterval();

    if (!groupFull()) show();
    started_ = true;
    layoutOn_ = true;
    PrepareTrafficKey();
    if (splash_) splash_->close();
    show();
    raise();
    activateWindow();
    DisplayAreaResized();  // fit lines and spacing now that start-up is over; focus for typing
    StartupFinished();
    saving_->ReportRescuedSaves();

    saving_->WarnIfPeriodicClearOff();
    if (addressListIsRed()) {
        PageControl1->setCurrentIndex(2);
        station_.messages.information(QStringLiteral(
            "複数のＩＰアドレスが見つかりました。\n「自分のパソコン」の「赤いＩＰアドレスの一覧」から\n"
            "Ｑｕｅｌｔａで使うＩＰアドレスをクリックしてください。"));
    }
}



// ---------------------------------------------------------------------------------------------
// Channel and port plan

void Ttalk2e::ChangeChannel() {
    if (Net::CheckAddress(ownAddress()) != 0) return;  // every port stays where it was
    team().endPartnership();  // the cancel still goes out on the old channel
    team().leaveForChannelChange();

    const int n = channelIndex() + 1;
    partner_->setChannelPrefix(n);
    setWindowTitle(mainCaptionBase());
    for (QWidget* w : windows_.all())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->applyChannelCaption(n);
    if (Form14) Form14->setWindowTitle(subInputCaptionBase());

    const int c = channelIndex();
    endpoints_.bindChannel(c);
    SearchMembers();
}

// ---------------------------------------------------------------------------------------------
// The page "ﾊﾟｰﾄﾅｰ": its team and the steps of start-up, closing and receiving it takes

Net::Team& Ttalk2e::team() { return partner_->team(); }
bool Ttalk2e::hasPartner() const { return partner_->team().hasPartner(); }
int Ttalk2e::partnerSlot() const { return partner_->team().partnerSlot(); }
bool Ttalk2e::groupFull() const { return partner_->team().groupFull(); }
int Ttalk2e::channelIndex() const { return partner_->channelIndex(); }
int Ttalk2e::groupNumber() const { return partner_->groupNumber(); }
QString Ttalk2e::ownAddress() const { return partner_->ownAddress(); }
int Ttalk2e::trafficKey() const { return partner_->trafficKey(); }
QString Ttalk2e::mainCaptionBase() const { return partner_->mainCaptionBase(); }
QString Ttalk2e::subInputCaptionBase() const { return partner_->subInputCaptionBase(); }
bool Ttalk2e::addressListIsRed() const { return partner_->addressListIsRed(); }
void Ttalk2e::DetectOwnAddress() { partner_->DetectOwnAddress(); }
void Ttalk2e::CheckMemberAndRemoteAddresses() { partner_->CheckMemberAndRemoteAddresses(); }
void Ttalk2e::SearchMembers() { team().searchMembers(); }
void Ttalk2e::StartupPartnerRequest() { team().startupPartnerRequest(); }
void Ttalk2e::PrepareTrafficKey() { partner_->Edit1Change(); }
void Ttalk2e::StartupFinished() { partner_->StartupFinished(); }
void Ttalk2e::LeaveOnExit() { team().leaveOnExit(); }

void Ttalk2e::NMUDP8DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().searchRequestReceived(payload, from);
}
void Ttalk2e::NMUDP6DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().searchAnswerReceived(payload, from);
}
void Ttalk2e::NMUDP4DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().pairingReceived(payload, from);
}
void Ttalk2e::NMUDP10DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().leaveReceived(payload, from);
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
    // The window of the item, only while it is shown (the main window always); hkeyslide1 (Ctrl+L)
    // has none and does nothing.
    QWidget* w = windows_.withHotKey(item);
    if (w && (w == this || w->isVisible())) bringToFront(w);
    else if (item == QLatin1String("hkeyinput1")) bringToFront(this);  // no sub-input window: the main one
}

void Ttalk2e::CheckBox9Click() {
    if (CheckBox9->isChecked()) {
        Form9->cover(qcolour(colours_.cover));
        bringToFront(this);
    } else {
        Form9->hide();
    }
}

void Ttalk2e::Button8Click() {
    CheckBox9->setChecked(false);
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
    for (QWidget* w : windows_.all()) {
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

bool Ttalk2e::SendSettingsLine(const QByteArray& text) { return transfer_->SendSettingsLine(text); }

void Ttalk2e::SettingsTransferReceived(const QByteArray& text, const QString& from) {
    transfer_->SettingsTransferReceived(text, from);
}

void Ttalk2e::PeriodicClear() { saving_->PeriodicClear(); }
const Core::TypingRate& Ttalk2e::typingRate() const { return saving_->typingRate(); }
bool Ttalk2e::rateWarning() const { return saving_->rateWarning(); }

void Ttalk2e::RecordHeadChanged() {
    scroll_.jumpToEnd(record().lineCount());
    DisplayAreaResized();
}

// ---------------------------------------------------------------------------------------------
// Log

void Ttalk2e::Log(const QString& line) { RichEdit3->append(line); }

// ---------------------------------------------------------------------------------------------
// Window events

void Ttalk2e::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PageControl1->setGeometry(rect());
    Image2->setGeometry(rect());
    WindowResized();
}

bool Ttalk2e::SaveOnExit() { return saving_->SaveOnExit(); }

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
    for (QWidget* w : windows_.all())
        if (w != this) w->hide();
    emit closed();
}

void Ttalk2e::CloseUnattended() {
    saving_->setUnattended();
    // A box of the close handler waits for an answer that will not come: closed, the handler goes
    // on without asking and saves where it can.
    if (closeState_ == CloseState::Closing) {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        return;
    }
    close();
}

void Ttalk2e::SessionEnding() {
    saving_->setUnattended();
    if (closeState_ == CloseState::Open) SaveOnExit();
}
