#include "windows/prepared/correction_palette.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "ui/text_pane.h"
#include "core/pane_text.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "windows/prepared/correction_monitor.h"
#include "settings/line_file.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

namespace Wire = Net::Wire;
namespace Ports = Net::Ports;

const QString kUsage = QStringLiteral(
    "●確認・修正パレットの使い方\n"
    "入力係りは「補助Ｗ」ページの「入力をパレットに送信する」にチェックを入れます。\n"
    "入力した文は表示されずに、修正係りのパレットに届きます。\n"
    "修正係りは「確認修正ﾊﾟﾚｯﾄ表示」ボタンでこのウィンドを開きます。\n\n"
    "届いた文は上の窓から順にたまります。一番上が一番古い文です。\n"
    "Ｅｎｔｅｒ：その窓の文を表示に流す（下の文は一つずつ上に詰まります）\n"
    "Ｃｔｒｌ＋Ｅｎｔｅｒ：窓の中で改行\n"
    "Ｅｓｃ：その窓の文を捨てる\n"
    "Ｔａｂ：次の窓へ\n"
    "Ｆ９：表示した最後の文を取り消して、窓に戻す\n"
    "Ｆ１２：空行を送る\n\n"
    "６つの窓が全部ふさがると、続きの文は６番目の窓の後ろに足されます（253バイトまで）。\n"
    "「ﾊﾟﾚｯﾄ連動」で複数のパレットが同じ窓を表示します。新しい文を受けるのは「連動時の主修正者」だけです。\n"
    "修正している様子は、他のパソコンの「確認修正モニター」で見ることができます。");

QByteArray paneBytes(const QTextEdit* pane) { return Cp932::encodeCrLf(pane->toPlainText()); }

QString crLfToPane(const QByteArray& bytes) {
    QString t = Cp932::decode(bytes);
    t.replace(QLatin1String("\r\n"), QStringLiteral("\n"));
    return t;
}

}  // namespace

TFkakunin::TFkakunin(const App::WindowContext& context, App::PaletteLinks l)
    : AuxWindow(context, "TFkakunin", QStringLiteral("確認・修正パレット(ctrl+s)"),
                QStringLiteral(" :確認修正パレット(ctrl+s)"), "hkeykakunin1"),
      links(std::move(l)),
      monitorTexts_(TFshusei_moni::initialTexts()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);

    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet1->installEventFilter(this);
    static const char* kNames[] = {"RichEdit1", "RichEdit2", "RichEdit3", "RichEdit4", "RichEdit5", "RichEdit6"};
    for (int i = 0; i < 6; ++i) {
        auto* p = new TextPane(TabSheet1);
        p->setObjectName(QString::fromLatin1(kNames[i]));
        p->setAcceptRichText(false);
        p->setTabChangesFocus(false);
        p->limit = kPaneLimit;
        const int k = i + 1;
        p->onKeyPress = [this, k](QKeyEvent* e) { return PaneKeyDown(k, e); };
        App::FKeyActions& keys = fkeys_[i];
        keys = App::LinkedFKeyActions(p, links.keys, QStringLiteral("（Ｕｎｄｏ：確認修正パレット１）"));
        keys.memoOnF11 = false;  // F11 without the delete keys does nothing here
        keys.f12 = [this] { links.sendThroughInputPane(QString()); };  // an empty send: a blank line on the display
        p->onKeyRelease = [this, k](QKeyEvent* e) { PaneKeyUp(k, e); };
        connect(p, &QTextEdit::textChanged, this, [this, k] { PaneChange(k); });
        panes_[i] = p;
        look.addPane(p);
    }
    RichEdit1 = panes_[0], RichEdit2 = panes_[1], RichEdit3 = panes_[2];
    RichEdit4 = panes_[3], RichEdit5 = panes_[4], RichEdit6 = panes_[5];
    setTypingPanes({RichEdit1, RichEdit2, RichEdit3, RichEdit4, RichEdit5, RichEdit6});
    PageControl1->addTab(TabSheet1, QStringLiteral("確認・修正"));

    auto* help = new QWidget(PageControl1);
    auto* h = new QVBoxLayout(help);
    QWidget* buttons = Form::row(help);
    Button1 = Form::button(buttons, "Button1", QStringLiteral("フォント"));
    Button2 = Form::button(buttons, "Button2", QStringLiteral("背景色"));
    Button3 = Form::button(buttons, "Button3", QStringLiteral("保存"));
    static_cast<QHBoxLayout*>(buttons->layout())->addStretch(1);
    Form::label(help, QStringLiteral("Ｅｎｔｅｒ：表示に流す　Ｅｓｃ：消去　　"));
    Form::label(help, QStringLiteral("Ｆ１２：空行を送る。　Ｔａｂ：修正窓間移動　"));
    Memo1 = Form::place(help, new QTextEdit(help), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setPlainText(kUsage);
    h->setStretchFactor(Memo1, 1);
    PageControl1->addTab(help, QStringLiteral("設定・説明"));

    connect(Button1, &QPushButton::clicked, this, &TFkakunin::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFkakunin::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFkakunin::Button3Click);

    using E = Net::DatagramEndpoint;
    NMUDP3 = makeEndpoint(Ports::PaletteTraffic);
    NMUDP1 = makeEndpoint(Ports::PaletteLines);
    NMUDP2 = makeEndpoint(Ports::PaletteMonitorFeed);
    // Lines are taken while the palette is shown, and while linked only by the main corrector.
    NMUDP1->gate = [this] { return isVisible() && (!links.linked() || links.mainCorrector()); };
    // The correction-monitor feed is read only while that window is shown.
    NMUDP2->gate = [this] { return links.monitorShown(); };
    NMUDP3->gate = [this] { return links.linked(); };
    connect(NMUDP1, &E::received, this, &TFkakunin::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &TFkakunin::NMUDP2DataReceived);
    connect(NMUDP3, &E::received, this, &TFkakunin::NMUDP3DataReceived);
    move(0, 0);
    resize(410, 360);
}

Core::Palette::Panes TFkakunin::queue() const {
    Core::Palette::Panes q;
    for (int i = 0; i < 6; ++i) q[i] = paneBytes(panes_[i]);
    return q;
}

void TFkakunin::setPane(int k, const QByteArray& text) {
    TextPane* p = pane(k);
    if (paneBytes(p) == text) return;
    p->setPlainText(crLfToPane(text));
    p->moveCursor(QTextCursor::End);
}

// ---------------------------------------------------------------------------------------------
// Receivers

void TFkakunin::NMUDP1DataReceived(const QByteArray& payload, const QString& from, quint16) {
    const QByteArray text = Text::FilterText(payload);
    if (text == Wire::BlankLine()) return;  // an empty line is not held for checking
    if (links.keys.logLines())
        links.keys.log(Text::ClockText(station().clock.now().time()) + QStringLiteral(",[") + from +
                       QStringLiteral("],（確認修正パレット受信）") + Cp932::decode(text));
    Core::Palette::Panes q = queue();
    const int taken = Core::Palette::Place(q, text);
    if (taken >= 0) setPane(taken + 1, q[taken]);
}

void TFkakunin::NMUDP2DataReceived(const QByteArray& payload, const QString&, quint16) {
    const QByteArray text = Text::FilterText(payload);
    if (text.isEmpty()) return;
    const auto update = Wire::ParsePaneUpdate(text);
    if (!update) return;
    monitorTexts_[update->pane - 1] = update->text;
    links.showMonitor(monitorTexts_);
}

void TFkakunin::NMUDP3DataReceived(const QByteArray& payload, const QString&, quint16) {
    const QByteArray text = Text::FilterText(payload);
    if (text.isEmpty()) return;
    const auto update = Wire::ParsePaneUpdate(text);
    if (!update) return;
    applying_ = true;  // the write must not travel back to the palette it came from
    pane(update->pane)->clear();
    setPane(update->pane, update->text);
    applying_ = false;
}

// ---------------------------------------------------------------------------------------------
// Feeds of the monitors and of linked palettes

void TFkakunin::feedMonitor(int k, bool backspace) {
    const TextPane* p = pane(k);
    QByteArray text;
    if (!p->document()->firstBlock().text().isEmpty()) text = Cp932::encode(Core::JoinedLines(p->toPlainText()));
    else if (backspace) text = Wire::ErasedPane();
    links.outbox->toMembers(Ports::PaletteMonitorFeed, Wire::PaneUpdate(k, text));
}

void TFkakunin::feedLinkedPalettes(int k) {
    const QByteArray text = Cp932::encode(Core::JoinedLines(pane(k)->toPlainText()));
    links.outbox->toMembers(Ports::PaletteTraffic, Wire::PaneUpdate(k, text));
}

void TFkakunin::PaneChange(int k) {
    if (!links.toPalette()) feedMonitor(k, false);
    if (links.linked() && !applying_) feedLinkedPalettes(k);
}

void TFkakunin::PaneKeyUp(int k, QKeyEvent* e) {
    if (!links.toPalette()) feedMonitor(k, e->key() == Qt::Key_Backspace);
    if (links.linked() && links.linkUncommitted() && !applying_) feedLinkedPalettes(k);
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TFkakunin::PaneKeyDown(int k, QKeyEvent* e) {
    TextPane* p = pane(k);
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) p->insertLimited(QStringLiteral("\n"));
        else EnterKey(k);
        return true;
    case Qt::Key_Escape:
        EscapeKey(k);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        pane(e->key() == Qt::Key_Backtab ? (k + 4) % 6 + 1 : k % 6 + 1)->setFocus();
        return true;
    default:
        return App::FKeyDown(fkeys_[k - 1], e);  // F1 … F12 as in the main input pane (F1 reads no ruby)
    }
}

void TFkakunin::EnterKey(int k) {
    QString text = pane(k)->toPlainText();
    if (text.endsWith(u'\n')) text.chop(1);
    pane(k)->clear();
    if (!links.linked()) CloseUpQueue();  // linked palettes keep their panes in step
    links.sendThroughInputPane(text);
}

void TFkakunin::EscapeKey(int k) {
    pane(k)->clear();
    if (!links.linked()) CloseUpQueue();
}

void TFkakunin::CloseUpQueue() {
    const Core::Palette::Panes before = queue();
    Core::Palette::Panes after = before;
    if (!Core::Palette::CloseUp(after)) return;
    for (int i = 0; i < 6; ++i)
        if (after[i] != before[i]) setPane(i + 1, after[i]);
}

// ---------------------------------------------------------------------------------------------
// Page, buttons and window

void TFkakunin::LayoutPanes() {
    const int w = TabSheet1->width();
    const int h = TabSheet1->height();
    const int each = h <= 140 ? 20 : (h - 10) / 6;
    for (int i = 0; i < 6; ++i) panes_[i]->setGeometry(0, i * each, w, each);
}

bool TFkakunin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabSheet1 && event->type() == QEvent::Resize) LayoutPanes();
    return AuxWindow::eventFilter(watched, event);
}

void TFkakunin::closeEvent(QCloseEvent* event) {
    AuxWindow::closeEvent(event);
    if (links.closed) links.closed();
}

void TFkakunin::Button1Click() {
    if (auto f = station().dialogs.chooseFont(this, look.font())) look.setFont(*f);
}

void TFkakunin::Button2Click() {
    const QColor now = Settings::toQColor(look.background(), QApplication::palette());
    if (auto c = station().dialogs.chooseColor(this, now)) look.setBackground(Settings::fromQColor(*c));
}

void TFkakunin::Button3Click() {
    SaveUsageText(Memo1->toPlainText());
}

void TFkakunin::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::geometry(t, this, {739, 740, 741, 742}, u"確認修正ウィンドウのウィンドウの高さ",
                   u"確認修正ウィンドウのウィンドの幅", u"確認修正ウィンドウのウィンドの縦位置",
                   u"確認修正ウィンドウのウィンドの横位置");
    Bind::visible(t, 743, this, Kind::TrueFalse, u"eシリーズ専用の確認修正ウィンドウの表示", {});
    look.bind(t, 781, u"「確認修正パレット」のフォントの種類", 782, u"「確認修正パレット」のフォントの色", 783,
              u"「確認修正パレット」のフォントサイズ");
    look.bindBackground(t, 784, u"「確認修正パレット」背景色");
}

void TFkakunin::resetToDefaults() {
    move(0, 0);
    resize(410, 360);
    hide();
    look.reset(9);
    if (links.resetMainOptions) links.resetMainOptions();
}
