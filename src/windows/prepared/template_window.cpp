#include "windows/prepared/template_window.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "ui/updown.h"
#include "core/panel_height.h"
#include "core/preroll.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "windows/prepared/preroll_pane.h"
#include "settings/line_file.h"
#include "text/cp932.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

namespace Wire = Net::Wire;
namespace Ports = Net::Ports;
namespace Preroll = Core::Preroll;
using App::MonitorPart;

const QString kFileName = QStringLiteral("テンプレート前ロール.txt");
const QString kFilter = QStringLiteral("テキスト (*.txt);;全てのファイル (*.*)");
constexpr qsizetype kSizeWarning = 20000;
constexpr int kSliceMs = 8;  // an appending load returns to the events this often

const QString kHelp9 = QStringLiteral(
    "「班全員に送信」のチェックを入れると、前ロール１，２，３で\n前ロールのカーソル位置の前２行と後５行を入力班全員に送信します。\n\n"
    "行数は「補助Ｗ」ページの「前ロール」の「モニターの行数を２倍」\nのチェックを入れると前４行と後１０行になります。\n\n"
    "＜注意＞\n受信の指定はありません。\n「テンプレート前ロールモニター」を表示すれば\n送られて来た前ロールを自動的に表示します。 ");
const QString kHelp11 = QStringLiteral(
    "「パートナーのみ」のチェックを入れると、前ロール１，２，３で\n前ロールのカーソル位置の前２行と後５行をパートナーに送信します。\n\n"
    "行数は「補助Ｗ」ページの「前ロール」の「モニターの行数を２倍」\nのチェックを入れると前４行と後１０行になります。\n\n"
    "＜注意＞\n受信の指定はありません。\n「テンプレート前ロールモニター」を表示すれば\n送られて来た前ロールを自動的に表示します。 ");
const QString kHelp10 = QStringLiteral(
    "「自分に表示」のチェックを入れると、前ロール１，２，３で\n前ロールのカーソル位置の前２行と後５行を\n"
    "自分の「テンプレート前ロールモニター」に表示します。\n\n"
    "行数は「補助Ｗ」ページの「前ロール」の「モニターの行数を２倍」\nのチェックを入れると前４行と後１０行になります。\n\n"
    "＜注意＞\nこの機能は、他の人にどのように表示されているか確認するためです。");
const QString kHelp19 = QStringLiteral(
    "「送」(送信)のチェックを入れて、下のロールを指定すると、\n入力班全員にカーソル位置の行番を送信します。\n\n"
    "＜注意＞\n「モニターに送信」の様に送信先は選べません。 ");
const QString kHelp20 = QStringLiteral(
    "「受」(受信)のチェックを入れて、下のロールを指定すると、\n送信されて来た行番に前ロールをスクロールします。\n\n"
    "表示していない前ロールを指定した場合は、スクロールしません。\n行番号を表示しておくと、どこを流しているか判り易いと思います。\n"
    "表示する行を連動するだけですから、修正などは反映されません。\n修正を見るためにモニターも表示すると良いと思います。 ");
const QString kHelp23 = QStringLiteral(
    "テロップ文の後に、半角のカンマで区切った設定を送信します。\nテロップ文に半角のカンマは使えません。\n"
    "テロップ文に半角のカンマを入れたい時は、チェックを外してください。\n\n"
    "設定付きテロップ前ロールは、「お知らせ」ウィンドの「送信」ページの\n「前ロールにする」で作ります。");

QFrame* separator(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::VLine);
    if (parent->layout()) parent->layout()->addWidget(f);
    return f;
}

QPushButton* small(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* b = Form::button(parent, name, caption);
    b->setFixedWidth(qMax(24, b->fontMetrics().horizontalAdvance(caption) + 12));
    return b;
}

}  // namespace

const QString TForm11::kFirstRollText = QStringLiteral(
    "テンプレート前ロールウィンドは、用意した文を１行ずつ表示に流すためのウィンドです。\n"
    "<-　コメント行\n"
    "<-　先頭が半角の「<-」の行はコメント行です。Ｆ１キーでは送られず、飛ばされます。\n"
    "カーソルのある行を、Ｆ１キーで表示に送ります。カーソルは次の行に進みます。\n"
    "「ｶｰｿﾙより前を送る。」にチェックを入れると、カーソルより前の部分だけを送ります。\n"
    "「送った部分は消す。」にチェックを入れると、送った文は前ロールから消えます。\n"
    "Ｆ９キーで表示した最後の行を取り消し（Ｕｎｄｏ）、Ｆ１２キーで空行を送ります。\n"
    "ここに文を書き込むか、「前ロールの読み込み」でテキストファイルを読み込んでください。\n");

const QString TForm11::kSizeMessage = QStringLiteral(
    "読み込んだ前ロールは、　%1Ｋバイトです。\n\n正常なパソコンなら１０００Ｋバイト以上の前ロールを読み込んでも問題ありません。\n"
    "もし、自分のパソコンに自信が持てない時は、念のため２０Ｋバイトくらいにしてください。 \n\n"
    "前ロールで編集追加できる文章量は最大６４０Ｋバイト（９５，９８，Ｍｅ）、１．２８Ｍバイト（２０００，ＸＰ）です。 \n"
    "読み込む場合は、メモリーの容量が許せば、最大値を超えた大きさの文章を読み込むことができます。\n"
    "最大値を超えた文章を読み込んだ場合は、手入力でも編集追加できるようになります。\n\n"
    "パソコンを長時間使用したり、他のソフトを使ったりすると、リソースやメモリーが不足して\n"
    "文字化けしたり、前ロールの一部が欠落するなど、動作がおかしくなる場合があります。\n"
    "あなたのパソコンで問題が無いか、事前に、本番と同じ操作・時間でチェックする事をお勧めします。\n"
    "もし不具合が出た場合は、Ｑｕｅｌｔａ以外のソフトを使わない、Ｗｉｎｄｏｓを定期的に再起動するなどしてください。\n"
    "「めもりーくりーなー」などの「メモリー確保ソフト」を使用することもお勧めします。");

TForm11::TForm11(const App::WindowContext& context, App::TemplateLinks l)
    : AuxWindow(context, "TForm11", QStringLiteral("テンプレート・前ロール(ctrl+n)"),
                QStringLiteral(" : テンプレート・前ロール(ctrl+n)"), "hekytempm1"),
      links(std::move(l)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { topHeight_ = Splitter1->sizes().value(0); });
    layout->addWidget(Splitter1);

    // ---- the top area: the left part beside the option pages
    Panel3 = new QWidget(Splitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setMinimumHeight(2);
    auto* top = new QHBoxLayout(Panel3);
    top->setContentsMargins(0, 0, 0, 0);
    Splitter3 = new QSplitter(Qt::Horizontal, Panel3);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    Splitter3->setChildrenCollapsible(false);
    connect(Splitter3, &QSplitter::splitterMoved, this, [this](int pos) { leftWidth_ = pos; });
    top->addWidget(Splitter3);

    auto* leftScroll = new QScrollArea(Splitter3);
    leftScroll->setWidgetResizable(true);
    leftScroll->setFrameShape(QFrame::NoFrame);
    leftScroll->setMinimumWidth(2);
    Panel1 = new QWidget(leftScroll);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    leftScroll->setWidget(Panel1);
    auto* left = new QVBoxLayout(Panel1);
    left->setContentsMargins(3, 1, 3, 1);
    left->setSpacing(1);
    // Six compact rows: the top area stays low and leaves the pre-rolls most of the window.
    QFont compact = Panel1->font();
    compact.setPixelSize(11);
    Panel1->setFont(compact);
    Form::label(Panel1, QStringLiteral("●Ｆ１キー：送信　Ｆ９：Ｕｎｄｏ　Ｆ１２：空行　"));
    Form::label(Panel1, QStringLiteral("先頭が半角「<-」はコメント行"));
    QWidget* files = Form::row(Panel1);
    Form::label(files, QStringLiteral("前ロールの読み込み"));
    Button36 = small(files, "Button36", QStringLiteral("１"));
    Button48 = small(files, "Button48", QStringLiteral("２"));
    Button49 = small(files, "Button49", QStringLiteral("３"));
    CheckBox1 = Form::check(files, "CheckBox1", QStringLiteral("追加"), false);
    separator(files);
    Form::label(files, QStringLiteral("保存"));
    Button1 = small(files, "Button1", QStringLiteral("1"));
    Button4 = small(files, "Button4", QStringLiteral("2"));
    Button5 = small(files, "Button5", QStringLiteral("3"));
    static_cast<QHBoxLayout*>(files->layout())->addStretch(1);
    QWidget* view = Form::row(Panel1);
    Form::label(view, QStringLiteral("表示する前ロールは？"));
    RadioButton1 = Form::radio(view, "RadioButton1", QStringLiteral("１"), true);
    RadioButton2 = Form::radio(view, "RadioButton2", QStringLiteral("２"), false);
    RadioButton3 = Form::radio(view, "RadioButton3", QStringLiteral("３"), false);
    RadioButton4 = Form::radio(view, "RadioButton4", QStringLiteral("１２"), false);
    RadioButton5 = Form::radio(view, "RadioButton5", QStringLiteral("１２３"), false);
    static_cast<QHBoxLayout*>(view->layout())->addStretch(1);
    QWidget* sending = Form::row(Panel1);
    Form::label(sending, QStringLiteral("消去"));
    Button6 = small(sending, "Button6", QStringLiteral("1"));
    Button7 = small(sending, "Button7", QStringLiteral("2"));
    Button8 = small(sending, "Button8", QStringLiteral("3"));
    separator(sending);
    CheckBox3 = Form::check(sending, "CheckBox3", QStringLiteral("ｶｰｿﾙより前を送る。"), false);
    CheckBox2 = Form::check(sending, "CheckBox2", QStringLiteral("送った部分は消す。"), false);
    static_cast<QHBoxLayout*>(sending->layout())->addStretch(1);
    QWidget* sending2 = Form::row(Panel1);
    CheckBox22 = Form::check(sending2, "CheckBox22", QStringLiteral("消文を前行に追加"), false);
    Form::label(sending2, QStringLiteral("進める桁数"));
    Edit1 = Form::edit(sending2, "Edit1", QStringLiteral("1"), 32);
    separator(sending2);
    Button2 = small(sending2, "Button2", QStringLiteral("フォント"));
    Button3 = small(sending2, "Button3", QStringLiteral("背景色"));
    static_cast<QHBoxLayout*>(sending2->layout())->addStretch(1);
    for (QWidget* w : Panel1->findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w)) w->setFixedHeight(18);
        if (auto* l = qobject_cast<QLabel*>(w)) l->setWordWrap(false);
    }
    left->addStretch(1);

    PageControl1 = new QTabWidget(Splitter3);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setMinimumWidth(2);
    auto* telop = new QWidget(PageControl1);
    new QVBoxLayout(telop);
    telop->layout()->setSpacing(1);
    QWidget* rolls = Form::row(telop);
    Form::label(rolls, QStringLiteral("送信する前ロール"));
    CheckBox6 = Form::check(rolls, "CheckBox6", QStringLiteral("１"), false);
    CheckBox7 = Form::check(rolls, "CheckBox7", QStringLiteral("２"), false);
    CheckBox8 = Form::check(rolls, "CheckBox8", QStringLiteral("３"), false);
    static_cast<QHBoxLayout*>(rolls->layout())->addStretch(1);
    QWidget* where = Form::row(telop);
    CheckBox4 = Form::check(where, "CheckBox4", QStringLiteral("LAN流す"), true);
    CheckBox5 = Form::check(where, "CheckBox5", QStringLiteral("自分に表示"), true);
    Button9 = small(where, "Button9", QStringLiteral("表示消去"));
    static_cast<QHBoxLayout*>(where->layout())->addStretch(1);
    CheckBox13 = Form::check(telop, "CheckBox13", QStringLiteral("表示を左端で止める。"), false);
    CheckBox23 = Form::check(telop, "CheckBox23", QStringLiteral("カンマで区切った設定も送信する。"), false);
    Form::label(telop, QStringLiteral("最大500字可。設定は「お知らせ」ウィンドで指定。"));
    static_cast<QVBoxLayout*>(telop->layout())->addStretch(1);
    PageControl1->addTab(telop, QStringLiteral("テロップ"));

    auto* monitor = new QWidget(PageControl1);
    new QVBoxLayout(monitor);
    monitor->layout()->setSpacing(1);
    // Each heading stands on its own line above its switches, as "前ロール連動" does: beside them
    // it would take the width the third switch needs.
    Form::label(monitor, QStringLiteral("モニターに送信"));
    QWidget* feed = Form::row(monitor);
    CheckBox9 = Form::check(feed, "CheckBox9", QStringLiteral("班全員に送信"), false);
    CheckBox11 = Form::check(feed, "CheckBox11", QStringLiteral("ﾊﾟｰﾄﾅｰのみ"), false);
    CheckBox10 = Form::check(feed, "CheckBox10", QStringLiteral("自分に表示"), false);
    static_cast<QHBoxLayout*>(feed->layout())->addStretch(1);
    Form::label(monitor, QStringLiteral("前ロール連動"));
    QWidget* sendLink = Form::row(monitor);
    CheckBox19 = Form::check(sendLink, "CheckBox19", QStringLiteral("送"), false);
    RadioButton9 = Form::radio(sendLink, "RadioButton9", QStringLiteral("ﾛｰﾙ1"), false);
    RadioButton10 = Form::radio(sendLink, "RadioButton10", QStringLiteral("ﾛｰﾙ2"), false);
    RadioButton11 = Form::radio(sendLink, "RadioButton11", QStringLiteral("ﾛｰﾙ3"), false);
    static_cast<QHBoxLayout*>(sendLink->layout())->addStretch(1);
    QWidget* takeLink = Form::row(monitor);
    CheckBox20 = Form::check(takeLink, "CheckBox20", QStringLiteral("受"), false);
    RadioButton12 = Form::radio(takeLink, "RadioButton12", QStringLiteral("ﾛｰﾙ1"), false);
    RadioButton13 = Form::radio(takeLink, "RadioButton13", QStringLiteral("ﾛｰﾙ2"), false);
    RadioButton14 = Form::radio(takeLink, "RadioButton14", QStringLiteral("ﾛｰﾙ3"), false);
    static_cast<QHBoxLayout*>(takeLink->layout())->addStretch(1);
    static_cast<QVBoxLayout*>(monitor->layout())->addStretch(1);
    PageControl1->addTab(monitor, QStringLiteral("モニター・連動"));

    auto* settings = new QWidget(PageControl1);
    new QVBoxLayout(settings);
    QWidget* speed = Form::row(settings);
    Form::label(speed, QStringLiteral("ｽｸﾛｰﾙ速度"));
    Edit3 = Form::edit(speed, "Edit3", QStringLiteral("2"), 40);
    UpDown2 = Form::place(speed, new UpDown(speed, "UpDown2", Edit3, 1, 9999), nullptr);
    Form::label(speed, QStringLiteral("移動量を変更"));
    static_cast<QHBoxLayout*>(speed->layout())->addStretch(1);
    CheckBox17 = Form::check(settings, "CheckBox17", QStringLiteral("「`@」行まで表示"), false);
    static_cast<QVBoxLayout*>(settings->layout())->addStretch(1);
    PageControl1->addTab(settings, QStringLiteral("設定送2"));

    // Each radio row is a choice of its own.
    auto* viewGroup = new QButtonGroup(this);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5}) viewGroup->addButton(r);
    auto* sendGroup = new QButtonGroup(this);
    for (QRadioButton* r : {RadioButton9, RadioButton10, RadioButton11}) sendGroup->addButton(r);
    auto* takeGroup = new QButtonGroup(this);
    for (QRadioButton* r : {RadioButton12, RadioButton13, RadioButton14}) takeGroup->addButton(r);

    // ---- the pre-rolls
    Splitter2 = new QSplitter(Qt::Horizontal, Splitter1);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setChildrenCollapsible(false);
    static const char* kPanes[] = {"RichEdit1", "RichEdit2", "RichEdit3"};
    for (int n = 1; n <= 3; ++n) {
        auto* p = new PrerollPane(Splitter2);
        p->setObjectName(QString::fromLatin1(kPanes[n - 1]));
        p->onKeyPress = [this, n](QKeyEvent* e) { return PaneKeyDown(n, e); };
        p->onKeyRelease = [this, n](QKeyEvent* e) { PaneKeyUp(n, e); };
        look.addPane(p);
        (n == 1 ? RichEdit1 : n == 2 ? RichEdit2 : RichEdit3) = p;
    }
    // Hints shown while a pre-roll is empty: F1 must never send the usage note to the displays.
    RichEdit1->setPlaceholderText(kFirstRollText);
    RichEdit2->setPlaceholderText(QStringLiteral("これは、前ロール２です。"));
    RichEdit3->setPlaceholderText(QStringLiteral("これは、前ロール３です。"));
    setTypingPanes({RichEdit1, RichEdit2, RichEdit3});
    Splitter1->setStretchFactor(1, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(0);
    connect(Timer1, &QTimer::timeout, this, &TForm11::Timer1Timer);

    // ---- handlers
    connect(Button36, &QPushButton::clicked, this, [this] { LoadRoll(1); });
    connect(Button48, &QPushButton::clicked, this, [this] { LoadRoll(2); });
    connect(Button49, &QPushButton::clicked, this, [this] { LoadRoll(3); });
    connect(Button1, &QPushButton::clicked, this, [this] { SaveRoll(1); });
    connect(Button4, &QPushButton::clicked, this, [this] { SaveRoll(2); });
    connect(Button5, &QPushButton::clicked, this, [this] { SaveRoll(3); });
    connect(Button6, &QPushButton::clicked, this, [this] { RichEdit1->clear(); FocusShownRoll(); });
    connect(Button7, &QPushButton::clicked, this, [this] { RichEdit2->clear(); FocusShownRoll(); });
    connect(Button8, &QPushButton::clicked, this, [this] { RichEdit3->clear(); FocusShownRoll(); });
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (!on) return;
            SetView();
            FocusShownRoll();
        });
    connect(Button2, &QPushButton::clicked, this, &TForm11::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm11::Button3Click);
    connect(Button9, &QPushButton::clicked, this, &TForm11::Button9Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm11::Edit1Change);
    connect(Edit3, &QLineEdit::textChanged, this, &TForm11::Edit3Change);
    connect(CheckBox22, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) return;
        CheckBox2->setChecked(true);
        CheckBox3->setChecked(true);
    });
    connect(CheckBox9, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) return;
        CheckBox11->setChecked(false);
        if (links.started()) links.message(kHelp9);
    });
    connect(CheckBox11, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) return;
        CheckBox9->setChecked(false);
        if (links.started()) links.message(kHelp11);
    });
    connect(CheckBox10, &QCheckBox::toggled, this, [this](bool on) {
        if (on && links.started()) links.message(kHelp10);
    });
    connect(CheckBox19, &QCheckBox::toggled, this, [this](bool on) {
        if (on) links.message(kHelp19);
    });
    connect(CheckBox20, &QCheckBox::toggled, this, [this](bool on) {
        if (on) links.message(kHelp20);
    });
    connect(CheckBox23, &QCheckBox::toggled, this, [this](bool on) {
        if (on && links.started()) links.message(kHelp23);
    });
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8,
                         CheckBox13, CheckBox22, CheckBox23})
        connect(c, &QCheckBox::clicked, this, &TForm11::FocusShownRoll);

    using E = Net::DatagramEndpoint;
    NMUDP1 = makeEndpoint(Ports::Template1);
    NMUDP2 = makeEndpoint(Ports::Template2);
    NMUDP5 = makeEndpoint(Ports::TemplateLink);
    NMUDP5->gate = [this] { return isVisible() && CheckBox20->isChecked(); };
    connect(NMUDP1, &E::received, this, &TForm11::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &TForm11::NMUDP2DataReceived);
    connect(NMUDP5, &E::received, this, &TForm11::NMUDP5DataReceived);

    placeAtDefaults();
    SetView();
}

// The window opens wide enough for the left part and the option pages side by side; the top area
// takes the height of the taller of the two, the left part its own width, so that no row is cut
// or hidden behind a scroll bar.
void TForm11::placeAtDefaults() {
    move(0, 40);
    resize(kDefaultSize);
    setTopHeight(defaultTopHeight());
    setLeftWidth(defaultLeftWidth());
}

int TForm11::defaultTopHeight() const {
    return std::max({kDesignTopHeight, Panel1->sizeHint().height(), PageControl1->sizeHint().height()});
}

int TForm11::defaultLeftWidth() const { return qMax(kDesignLeftWidth, Panel1->sizeHint().width()); }

TForm11::~TForm11() = default;

PrerollPane* TForm11::pane(int n) const { return n == 1 ? RichEdit1 : n == 2 ? RichEdit2 : RichEdit3; }

bool TForm11::telopMode(int n) const { return (n == 1 ? CheckBox6 : n == 2 ? CheckBox7 : CheckBox8)->isChecked(); }

bool TForm11::shows(int n) const {
    switch (n) {
    case 1: return RadioButton1->isChecked() || RadioButton4->isChecked() || RadioButton5->isChecked();
    case 2: return RadioButton2->isChecked() || RadioButton4->isChecked() || RadioButton5->isChecked();
    case 3: return RadioButton3->isChecked() || RadioButton5->isChecked();
    }
    return false;
}

bool TForm11::rollsToSlideEnd() const { return CheckBox17->isChecked(); }

bool TForm11::sendsCommaSettings() const { return CheckBox23->isChecked(); }

bool TForm11::stopsTelopAtLeftEdge() const { return CheckBox13->isChecked(); }

int TForm11::advance() const { return qMax(0, Form::intOf(Edit1, 0)); }

// ---------------------------------------------------------------------------------------------
// Keys of a pre-roll

bool TForm11::PaneKeyDown(int n, QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_F1:
        F1Key(n);
        return true;
    case Qt::Key_F9:
        if (!telopMode(n)) F9Key(n);
        return true;
    case Qt::Key_F11:
        if (links.delClsKeys()) links.deleteKey(shift);
        return true;
    case Qt::Key_F12:
        if (!telopMode(n)) F12Key(n);
        return true;
    default:
        return false;
    }
}

void TForm11::PaneKeyUp(int n, QKeyEvent*) {
    FeedMonitors(n);
    SendLinkage(n);
}

void TForm11::F1Key(int n) {
    PrerollPane* p = pane(n);
    p->setFocus();
    p->ensureCursorVisible();
    const Preroll::SendOptions o{CheckBox3->isChecked(), CheckBox2->isChecked(), CheckBox22->isChecked(), advance()};
    const bool telop = telopMode(n);
    auto send = [&](const QByteArray& text) {
        if (telop) return SendTelop(Cp932::decode(text));
        links.stampInputStart();
        return links.sendLine(text) == 0;
    };
    const Preroll::F1Result r = Preroll::SendCaretLine(*p->document(), p->textCursor().position(), o, send);
    if (r.taken == Preroll::Taken::TooLong) {
        links.message(Preroll::TooLongWarning());
        return;
    }
    if (r.taken == Preroll::Taken::Refused) return;  // said by the send path; the line waits to be mended
    QTextCursor c(p->document());
    c.setPosition(r.caret.anchor);
    c.setPosition(r.caret.position, QTextCursor::KeepAnchor);
    p->setTextCursor(c);
    if (r.scrollLine) p->verticalScrollBar()->setValue(p->verticalScrollBar()->value() + 1);
    p->ensureCursorVisible();
}

void TForm11::F9Key(int n) {
    const QString taken = links.undoForPreroll();
    if (!CheckBox2->isChecked() || taken.isEmpty()) return;
    PrerollPane* p = pane(n);
    QTextCursor c = p->textCursor();
    const int caret = c.position();
    c.clearSelection();
    c.insertText(taken);
    c.setPosition(caret);  // the caret keeps its place; the text lands after it
    p->setTextCursor(c);
}

void TForm11::F12Key(int) {
    links.stampInputStart();
    links.sendLine(QByteArray());
}

bool TForm11::SendTelop(const QString& text) {
    return links.showTelop({text, CheckBox23->isChecked(), CheckBox13->isChecked(), CheckBox4->isChecked(),
                            CheckBox5->isChecked()});
}

void TForm11::Button9Click() {
    links.clearTelop(CheckBox4->isChecked(), CheckBox5->isChecked());
    FocusShownRoll();
}

// ---------------------------------------------------------------------------------------------
// The monitor feed and the linkage

void TForm11::FeedMonitors(int n) {
    const PrerollPane* p = pane(n);
    const int line = Preroll::LineAt(*p->document(), p->textCursor().position());
    const bool own = CheckBox10->isChecked();
    const bool toPartner = CheckBox11->isChecked();
    const bool toMembers = CheckBox9->isChecked();
    if (!own && !toPartner && !toMembers) return;
    const Preroll::MonitorLines lines = Preroll::MonitorFeed(*p->document(), line, links.doubledMonitor());
    Net::Outbox& out = *links.outbox;
    const bool partner = toPartner && links.hasPartner();
    auto send = [&](const Net::PortEntry& port, const QByteArray& text) {
        if (partner) out.toPartner(port, text);
        else if (toMembers) out.toMembers(port, text);
    };
    auto feed = [&](MonitorPart part, const Net::PortEntry& port, const QList<QByteArray>& texts) {
        if (own) links.monitorClear(part);
        send(port, Wire::MonitorClear());
        for (const QByteArray& t : texts) {
            if (own) links.monitorAppend(part, t);
            send(port, Wire::MonitorLine(t));
        }
    };
    feed(MonitorPart::Lower, Ports::Template1, lines.lower);
    feed(MonitorPart::Upper, Ports::Template2, lines.upper);
}

void TForm11::SendLinkage(int n) {
    if (!CheckBox19->isChecked()) return;
    const QRadioButton* chosen = n == 1 ? RadioButton9 : n == 2 ? RadioButton10 : RadioButton11;
    if (!chosen->isChecked()) return;
    const PrerollPane* p = pane(n);
    links.outbox->toMembers(Ports::TemplateLink, Wire::LinkLine(Preroll::LineAt(*p->document(), p->textCursor().position())));
}

void TForm11::NMUDP1DataReceived(const QByteArray& text, const QString&, quint16) {
    links.monitorReceived(MonitorPart::Lower, text);
}

void TForm11::NMUDP2DataReceived(const QByteArray& text, const QString&, quint16) {
    links.monitorReceived(MonitorPart::Upper, text);
}

void TForm11::NMUDP5DataReceived(const QByteArray& text, const QString&, quint16) {
    const auto line = Wire::ParseLinkLine(text);
    if (!line) return;
    const int n = RadioButton12->isChecked() ? 1 : RadioButton13->isChecked() ? 2 : RadioButton14->isChecked() ? 3 : 0;
    if (n == 0 || !shows(n)) return;
    PrerollPane* p = pane(n);
    QTextCursor c(p->document());
    c.setPosition(Preroll::LineStart(*p->document(), *line));
    p->setTextCursor(c);
    p->ensureCursorVisible();
}

// ---------------------------------------------------------------------------------------------
// Files

void TForm11::LoadRoll(int n) {
    const QString path = station().dialogs.openFileName(this, station().programFolder + kFileName, kFilter);
    if (path.isEmpty()) return;
    if (appender_) {  // a load still appending ends where it is
        Timer1->stop();
        appender_.reset();
        loaded(appendingRoll_);
    }
    (n == 1 ? RadioButton1 : n == 2 ? RadioButton2 : RadioButton3)->setChecked(true);
    SetView();
    PrerollPane* p = pane(n);
    p->setFocus();
    QString error;
    const auto bytes = Settings::readLines(path, &error);
    if (!bytes) {
        station().messages.information(QStringLiteral("前ロールを読み込めませんでした。\n") + path + u'\n' + error);
        return;
    }
    QList<QString> lines;
    lines.reserve(bytes->size());
    for (const QByteArray& b : *bytes) lines << Cp932::decode(b);
    if (!CheckBox1->isChecked()) {
        p->setPlainText(lines.join(u'\n'));
        loaded(n);
        return;
    }
    // Appended in slices: the window keeps taking keys and datagrams while a large file comes in.
    appender_ = std::make_unique<Preroll::Appender>(*p->document(), std::move(lines));
    appendingRoll_ = n;
    Timer1->start();
}

void TForm11::Timer1Timer() {
    if (!appender_) {
        Timer1->stop();
        return;
    }
    if (appender_->step(kSliceMs)) return;
    Timer1->stop();
    appender_.reset();
    loaded(appendingRoll_);
}

void TForm11::loaded(int n) {
    PrerollPane* p = pane(n);
    const qsizetype bytes = Preroll::ByteLength(*p->document());
    p->limit = qMax(PrerollPane::kLimit, bytes);  // what was loaded can be edited on
    if (bytes >= kSizeWarning) links.message(kSizeMessage.arg(bytes / 1024));
}

void TForm11::SaveRoll(int n) {
    QString path = station().dialogs.saveFileName(this, station().programFolder + kFileName, kFilter);
    FocusShownRoll();
    if (path.isEmpty()) return;
    if (!path.contains(u'.')) path += QStringLiteral(".txt");
    QList<QByteArray> lines;
    for (QTextBlock b = pane(n)->document()->firstBlock(); b.isValid(); b = b.next()) lines << Cp932::encode(b.text());
    QString error;
    if (!Settings::writeLines(path, lines, &error))
        station().messages.information(QStringLiteral("前ロールを保存できませんでした。\n") + path + u'\n' + error);
}

void TForm11::AppendToFirstRoll(const QString& line) {
    QTextCursor c(RichEdit1->document());
    c.movePosition(QTextCursor::End);
    c.insertText(RichEdit1->document()->lastBlock().text().isEmpty() ? line : u'\n' + line);
}

// ---------------------------------------------------------------------------------------------
// View, options and buttons

void TForm11::SetView() {
    for (int n = 1; n <= 3; ++n) pane(n)->setVisible(shows(n));
    const int shown = int(shows(1)) + int(shows(2)) + int(shows(3));
    const int each = qMax(4, Splitter2->width() / qMax(1, shown));
    Splitter2->setSizes({shows(1) ? each : 0, shows(2) ? each : 0, shows(3) ? each : 0});
}

QWidget* TForm11::mainPane() const {
    QWidget* last = AuxWindow::mainPane();
    if (last && last->isVisibleTo(this)) return last;
    return pane(RadioButton2->isChecked() ? 2 : RadioButton3->isChecked() ? 3 : 1);
}

void TForm11::FocusShownRoll() {
    if (!isVisible()) return;
    mainPane()->setFocus();
}

void TForm11::setTopHeight(int height) {
    topHeight_ = qMax(2, height);
    const QList<int> s = Splitter1->sizes();
    // What the parts share is the window less the handle: a larger sum would be scaled down
    // and take pixels off the top area.
    const int total = qMax(s.value(0) + s.value(1), this->height() - Splitter1->handleWidth());
    Splitter1->setSizes({qMax(2, height), qMax(4, total - height)});
}

void TForm11::setLeftWidth(int width) {
    leftWidth_ = width;
    const QList<int> s = Splitter3->sizes();
    const int total = qMax(s.value(0) + s.value(1), this->width() - Splitter3->handleWidth());
    Splitter3->setSizes({qMax(2, width), qMax(2, total - width)});
}

void TForm11::resizeEvent(QResizeEvent* event) {
    AuxWindow::resizeEvent(event);
    setLeftWidth(leftWidth_);
}

void TForm11::Button2Click() {
    if (auto f = station().dialogs.chooseFont(this, look.font())) look.setFont(*f);
    FocusShownRoll();
}

void TForm11::Button3Click() {
    const QColor now = Settings::toQColor(look.background(), QApplication::palette());
    if (auto c = station().dialogs.chooseColor(this, now)) look.setBackground(Settings::fromQColor(*c));
    FocusShownRoll();
}

void TForm11::Edit1Change() {
    bool ok = false;
    const int v = Edit1->text().trimmed().toInt(&ok);
    if (Edit1->text().isEmpty() || (ok && v < 0)) Edit1->setText(QStringLiteral("0"));
}

void TForm11::Edit3Change() {
    if (Edit3->text().isEmpty()) {
        Edit3->setText(QStringLiteral("1"));
        return;
    }
    if (!links.started()) return;
    const QByteArray value = Cp932::encode(Edit3->text());
    for (const QByteArray& l : Wire::SettingsTransfer({"620:" + value + Cp932::encode(u":スクロール速度即変更")}))
        links.sendSettingsLine(l);
}

// ---------------------------------------------------------------------------------------------
// Settings

// clang-format off
Settings::Rows<TForm11> TForm11::settingRows() {
    using T = TForm11;
    using enum Settings::Kind;
    static const Settings::Row<TForm11> rows[] = {
        {.step = &T::resetFrame},
        {.key = 234, .control = "CheckBox1", .kind = OnOff, .comment = u"テンプレート前ロール読込追加", .commentOff = u"テンプレート前ロール読込追加なし",
         .design = u"off"},
        {.key = 235, .control = "CheckBox2", .kind = OnOff, .comment = u"テンプレート前ロール送った部分は消す",
         .commentOff = u"テンプレート前ロール送った部分を消さない", .design = u"off"},
        {.key = 236, .control = "CheckBox3", .kind = OnOff, .comment = u"テンプレート前ロールカーソルより前を送る",
         .commentOff = u"テンプレート前ロールカーソル前を送るはなし", .design = u"off"},
        {.key = 237, .control = "Edit1", .kind = Text, .comment = u"テンプレート前ロール自動で進める量", .design = u"1"},
        {.control = "CheckBox6", .kind = OnOff, .design = u"off"},
        {.control = "CheckBox7", .kind = OnOff, .design = u"off"},
        {.control = "CheckBox8", .kind = OnOff, .design = u"off"},
        {.control = "CheckBox4", .kind = OnOff, .design = u"on"},
        {.control = "CheckBox5", .kind = OnOff, .design = u"on"},
        {.control = "CheckBox13", .kind = OnOff, .design = u"off"},
        {.key = 787, .control = "CheckBox9", .kind = TrueFalse, .comment = u"「テンプモニターに送信」の「班全員に送信」のチェック", .design = u"false"},
        {.key = 789, .control = "CheckBox10", .kind = TrueFalse, .comment = u"「テンプモニターに送信」の「自分に表示」のチェック", .design = u"false"},
        {.key = 788, .control = "CheckBox11", .kind = TrueFalse, .comment = u"「テンプモニターに送信」の「パートナーのみ」のチェック", .design = u"false"},
        {.control = "RadioButton1", .kind = TrueFalse, .design = u"true"},
        {.key = 859, .control = "CheckBox22", .kind = OnOff, .comment = u"テンプレート前ロール送った消文字を前行追加",
         .commentOff = u"テンプレート前ロール送った部分を消文字を前行追加", .design = u"off"},
        {.key = 860, .control = "CheckBox23", .kind = TrueFalse, .comment = u"カンマで区切った設定も送信する。", .design = u"false"},
    };
    return rows;
}
// clang-format on

void TForm11::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::rows(t, this, settingRows());
    Bind::geometry(t, this, {224, 223, 221, 222}, u"テンプレート前ロールウィンド高さ", u"テンプレート前ロールウィンド横幅",
                   u"テンプレート前ロールウィンド縦位置", u"テンプレート前ロールウィンド横位置");
    // The heights as set or last shown: a hidden window's panels have no real height.
    auto applyTop = [this](int v) {
        if (Core::UsablePanelHeight(v)) setTopHeight(v);
    };
    Bind::number(t, 225, u"テンプレート前ロールウィンド上部操作部高さ", [this] { return topHeight_; }, applyTop);
    Bind::visible(t, 226, this, Kind::OnOff, u"テンプレート前ロールウィンド表示", u"テンプレート前ロールウィンド表示ない");
    look.bind(t, 227, u"テンプレート前ロールのフォントの種類", 228, u"テンプレート前ロールのフォントの色", 229,
              u"テンプレート前ロールのフォントサイズ");
    look.bindStyles(t, 230, u"テンプレート前ロールのフォントスタイル：bold", 231,
                    u"テンプレート前ロールのフォントスタイル：Italic", 232,
                    u"テンプレート前ロールのフォントスタイル：UnderLine");
    look.bindBackground(t, 233, u"テンプレート前ロールの背景色");
    Bind::number(t, 711, u"テンプレート前ロールウィンドの上のパネル高さ", [this] { return topHeight_; }, applyTop);
    Bind::number(t, 712, u"テンプレート前ロールウィンドの上の左のパネルの幅",
                 [this] { return leftWidth_; }, [this](int v) { setLeftWidth(v); });
}

void TForm11::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm11::resetFrame() {
    if (links.setOnTop) links.setOnTop(true);
    placeAtDefaults();
    hide();
    look.reset(9);
}
