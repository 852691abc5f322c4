#include "windows/prepared/subinput_window.h"

#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "core/live_typing.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "text/cp932.h"
#include "text/kana.h"
#include "text/text_filter.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

namespace Wire = Net::Wire;

const QString kHelp = QStringLiteral(
    "・フォントの指定は、「表示１」の「モニター部、入力部」で行います。\n"
    "・Ｅｎｔｅｒ：表示に流す、Ｃｔｒｌ＋Ｅｎｔｅｒ：入力部内で改行\n"
    "・ESC：消去、Ctrl+Z：消去取消");
const QString kMemo = QStringLiteral(
    "メモ帳です。ここに書いた文はどこにも送られません。\n"
    "保存したい時は、Ctrl+Cでコピーして、他のソフトに貼り付けてください。\n"
    "Ctrl+Tabで「入力」ページと「メモ」ページを切り替えます。\n"
    "「入力」ページでは、Tabで上の入力部と下の入力部を移動します。");
const QString kMarkerOff = QStringLiteral("「表示１」ページの「入力文の表示位置の表示」のチェックを外しました。");
const QString kWrapOn =
    QStringLiteral("「表示の右端で折り返さない。」のチェックを\n入れる必要があるので、チェックを入れました。");
const QString kComma = QStringLiteral("「本文」と「ルビ」には半角のカンマ「,」は使えません。");

bool isErase(int key) { return key == Qt::Key_Backspace || key == Qt::Key_Escape; }
bool isCaretKey(int k) {
    return k == Qt::Key_End || k == Qt::Key_Home || k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up ||
           k == Qt::Key_Down;
}

QSplitter* markerRow(QWidget* parent, const char* splitterName, const char* panelName, QFrame*& panel,
                     const QColor& handle) {
    auto* s = new QSplitter(Qt::Horizontal, parent);
    s->setObjectName(QString::fromLatin1(splitterName));
    s->setChildrenCollapsible(false);
    s->setHandleWidth(4);
    s->setFixedHeight(6);
    s->setStyleSheet(QStringLiteral("QSplitter::handle { background: %1; }").arg(handle.name()));
    panel = new QFrame(s);
    panel->setObjectName(QString::fromLatin1(panelName));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setMinimumWidth(1);
    auto* rest = new QWidget(s);
    rest->setMinimumWidth(1);
    s->setStretchFactor(1, 1);
    return s;
}

}  // namespace

TForm14::TForm14(const App::WindowContext& context, App::SubInputLinks l)
    : AuxWindow(context, "TForm14", QStringLiteral("サブ入力ウィンド(ctrl+i)"), QString(), "hkeyinput1"),
      links(std::move(l)) {
    PageControl1 = addPageControl();

    // page "入力": a marker row over each pane
    Panel1 = new QWidget(PageControl1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    auto* v = new QVBoxLayout(Panel1);
    v->setContentsMargins(2, 2, 2, 2);
    Splitter3 = new QSplitter(Qt::Vertical, Panel1);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    Splitter3->setChildrenCollapsible(false);
    v->addWidget(Splitter3);
    const QColor green(0, 128, 0), olive(128, 128, 0);
    for (int p = 1; p <= 2; ++p) {
        auto* block = new QWidget(Splitter3);
        auto* b = new QVBoxLayout(block);
        b->setContentsMargins(0, 0, 0, 0);
        b->setSpacing(1);
        if (p == 1) Splitter1 = markerRow(block, "Splitter1", "Panel2", Panel2, green);
        else Splitter2 = markerRow(block, "Splitter2", "Panel3", Panel3, olive);
        b->addWidget(p == 1 ? Splitter1 : Splitter2);
        QSplitter* marker = p == 1 ? Splitter1 : Splitter2;
        connect(marker, &QSplitter::splitterMoved, this, [this, marker](int pos) { markerWidth(marker) = pos; });
        auto* pane = new TextPane(block);
        pane->setObjectName(p == 1 ? QStringLiteral("RichEdit1") : QStringLiteral("RichEdit2"));
        pane->setAcceptRichText(false);
        pane->limit = kPaneLimit;
        pane->setMinimumHeight(4);
        pane->onKeyPress = [this, p](QKeyEvent* e) { return PaneKeyDown(p, e); };
        App::FKeyActions& keys = fkeys_[p - 1];
        keys = App::LinkedFKeyActions(pane, links.keys, p == 1 ? QStringLiteral("（Ｕｎｄｏ：サブ入力Ｗ１）")
                                                               : QStringLiteral("（Ｕｎｄｏ：サブ入力Ｗ２）"));
        keys.readingOn = [this] {
            const App::SubInputLinks::Reading reading = links.reading();
            return reading.brackets || reading.ruby;
        };
        keys.insertReading = [this, p] { InsertReading(p); };
        keys.f12 = [this, p] { F12Key(p); };
        pane->onKeyRelease = [this, p](QKeyEvent* e) { PaneKeyUp(p, e); };
        pane->onInputMethod = [this, p](const QInputMethodEvent* e) { PaneComposition(p, e); };
        pane->onMousePress = [this, p] {
            if (links.reading().brackets || links.reading().ruby)
                captures_[p - 1].wordEnd = this->pane(p)->textCursor().position();
        };
        connect(pane, &QTextEdit::textChanged, this, [this, p] { PaneChange(p); });
        b->addWidget(pane, 1);
        (p == 1 ? RichEdit1 : RichEdit2) = pane;
        look.addPane(pane);
    }
    RichEdit1->setPlaceholderText(kHelp);  // shown while the pane is empty, never sent
    setTypingPanes({RichEdit1, RichEdit2});
    Splitter3->setStretchFactor(0, 0);  // the first pane keeps its height; the second takes the rest
    Splitter3->setStretchFactor(1, 1);
    connect(Splitter3, &QSplitter::splitterMoved, this, [this] {
        paneHeight1_ = RichEdit1->height();
        paneHeight2_ = RichEdit2->height();
    });
    PageControl1->addTab(Panel1, QStringLiteral("入力"));

    RichEdit3 = new TextPane(PageControl1);
    RichEdit3->setObjectName(QStringLiteral("RichEdit3"));
    RichEdit3->setAcceptRichText(false);
    RichEdit3->limit = kMemoLimit;
    RichEdit3->setPlaceholderText(kMemo);
    RichEdit3->onKeyPress = [this](QKeyEvent* e) {
        if (e->key() != Qt::Key_Tab || !(e->modifiers() & Qt::ControlModifier)) return false;
        PageControl1->setCurrentIndex(0);
        return true;
    };
    PageControl1->addTab(RichEdit3, QStringLiteral("メモ"));

    // page "ルビ送信": the options of the send path, and ruby to send (scrolled, so that the window
    // can be as low as its panes)
    auto* scroll = new QScrollArea(PageControl1);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* ruby = new QWidget(scroll);
    new QVBoxLayout(ruby);
    QWidget* width = Form::row(ruby);
    CheckBox45 = Form::check(width, "CheckBox45", QStringLiteral("桁数（半角での文字数）"), false);
    Edit20 = Form::edit(width, "Edit20", QStringLiteral("20"), 50);
    UpDown14 = Form::place(width, new UpDown(width, "UpDown14", Edit20, 0, 9999), nullptr);
    static_cast<QHBoxLayout*>(width->layout())->addStretch(1);
    CheckBox37 = Form::check(ruby, "CheckBox37", QStringLiteral("表示の右端で折り返さない。"), false);
    QGroupBox* send = Form::group(ruby, QStringLiteral("ルビを送る（本文の前にルビを付けて、班全員の表示に送ります）"),
                                  "GroupRubySend");
    for (int i = 0; i < 3; ++i) {
        QWidget* r = Form::row(send);
        Form::label(r, QStringLiteral("本文"));
        rubyRows[i].base = Form::edit(r, QStringLiteral("EditBase%1").arg(i + 1).toLatin1().constData(), QString());
        Form::label(r, QStringLiteral("ルビ"));
        rubyRows[i].reading = Form::edit(r, QStringLiteral("EditRuby%1").arg(i + 1).toLatin1().constData(), QString());
        rubyRows[i].send = Form::button(r, QStringLiteral("ButtonRuby%1").arg(i + 1).toLatin1().constData(),
                                        QStringLiteral("送信%1").arg(i + 1));
        connect(rubyRows[i].send, &QPushButton::clicked, this,
                [this, i] { SendRuby(rubyRows[i].base->text(), rubyRows[i].reading->text()); });
    }
    Form::label(send, QStringLiteral("受け取る側は「補助Ｗ」の「ルビ送信」の「表示・送受信する。」にチェックが必要です。"));
    ruby->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    scroll->setWidget(ruby);
    PageControl1->addTab(scroll, QStringLiteral("ルビ送信"));

    connect(CheckBox37, &QCheckBox::toggled, this, &TForm14::CheckBox37Click);
    connect(CheckBox45, &QCheckBox::toggled, this, &TForm14::CheckBox45Click);

    NMUDP1 = makeEndpoint(Net::Ports::SubInput);
    NMUDP1->gate = [this] { return links.rubyExchange(); };  // only while ruby is exchanged
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm14::NMUDP1DataReceived);
    look.reset(11);
    setPaneHeights(63, 63);
}

std::optional<int> TForm14::fixedWidth() const {
    if (!CheckBox45->isChecked()) return std::nullopt;
    return Form::intOf(Edit20, 20);
}

bool TForm14::displayWraps() const { return !CheckBox37->isChecked(); }

int TForm14::firstPaneHeight() const { return paneHeight1_; }

void TForm14::openFirstPage() { PageControl1->setCurrentIndex(0); }

void TForm14::setPaneHeights(int first, int second) {
    paneHeight1_ = qMax(4, first);
    paneHeight2_ = qMax(4, second);
    const int marker = Splitter1->height() + 1;
    Splitter3->setSizes({paneHeight1_ + marker, paneHeight2_ + marker});
}

void TForm14::setMarkerWidth(QSplitter* s, int width) {
    markerWidth(s) = width;
    const int total = qMax(s->width(), width + 8);
    s->setSizes({qMax(1, width), qMax(1, total - width)});
}

void TForm14::resizeEvent(QResizeEvent* event) {
    AuxWindow::resizeEvent(event);
    for (QSplitter* s : {Splitter1, Splitter2}) setMarkerWidth(s, markerWidth(s));
}

void TForm14::SetStripColour(const QColor& colour) {
    for (QWidget* w : stripPanels()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, colour);
        w->setPalette(p);
    }
}

// ---------------------------------------------------------------------------------------------
// Keys of a pane: those of the main input pane, applied to this pane

bool TForm14::PaneKeyDown(int p, QKeyEvent* e) {
    links.keyPressed();
    TextPane* t = pane(p);
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const App::SubInputLinks::Reading reading = links.reading();
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) {
            t->insertLimited(QStringLiteral("\n"));
            if (reading.brackets || reading.ruby) captures_[p - 1].wordEnd += 2;
        } else {
            EnterKey(p);
        }
        return true;
    case Qt::Key_Escape:
        EscapeKey(p);
        return true;
    case Qt::Key_Tab:
        if (ctrl) PageControl1->setCurrentIndex(1);
        else pane(3 - p)->setFocus();
        return true;
    default:
        // F1 … F12 as in the main input pane; any other key is the pane's own (Ctrl+Z brings an
        // erased text back).
        return App::FKeyDown(fkeys_[p - 1], e);
    }
}

void TForm14::clearCapture(int p) {
    reading_.clear();
    captures_[p - 1] = {};
}

void TForm14::speakerIntoEmptyPane(TextPane* t) {
    const QString speaker = links.speakerName();
    if (speaker.isEmpty() || !t->document()->firstBlock().text().isEmpty()) return;
    QTextCursor c(t->document());
    t->insertLimitedAt(c, speaker);
    t->setTextCursor(c);
}

void TForm14::EnterKey(int p) {
    TextPane* t = pane(p);
    const App::SubInputLinks::Reading reading = links.reading();
    if (reading.brackets || reading.ruby) clearCapture(p);
    QTextCursor c = t->textCursor();
    const bool beforeCaret = links.caretSend();
    QString text = t->toPlainText();
    if (beforeCaret) text = text.left(c.position());
    if (links.keys.sendLine(Cp932::encodeCrLf(text)) != 0) return;  // refused: the pane keeps it
    if (beforeCaret) {
        c.setPosition(0, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    } else {
        t->clear();
    }
    captures_[p - 1] = {};
    speakerIntoEmptyPane(t);
}

void TForm14::EscapeKey(int p) {
    TextPane* t = pane(p);
    QTextCursor c(t->document());
    c.select(QTextCursor::Document);
    const QString erased = c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    c.removeSelectedText();  // through the pane's undo, so Ctrl+Z brings it back
    station().clipboard.setText(erased);
    links.erased();
    const App::SubInputLinks::Reading reading = links.reading();
    if (reading.brackets || reading.ruby) clearCapture(p);
}

void TForm14::F12Key(int p) {
    TextPane* t = pane(p);
    const App::SubInputLinks::Reading reading = links.reading();
    if (reading.brackets || reading.ruby) clearCapture(p);
    const int caret = t->textCursor().position();
    const QString whole = t->toPlainText();
    const QString before = whole.left(caret);
    const QString after = whole.mid(caret);
    const bool blankAfter = links.blankAfter();
    auto send = [this](const QString& text) { links.keys.sendLine(Cp932::encodeCrLf(text)); };
    t->clear();
    send(QString());  // a blank line on the display
    if (links.caretSend()) {
        send(before);
        if (blankAfter) send(QString());
        t->setLimitedText(after);
        t->moveCursor(QTextCursor::Start);
    } else {
        send(whole);
        if (blankAfter) send(QString());
    }
    speakerIntoEmptyPane(t);
    if (links.keys.logLines())
        links.keys.log(Text::ClockText(station().clock.now().time()) +
                       (blankAfter ? QStringLiteral(",[自分],（前後空行Ｆ１２）") : QStringLiteral(",[自分],（Ｆ１２）")));
}

// ---------------------------------------------------------------------------------------------
// The reading of the input method (ruby), per pane

void TForm14::PaneComposition(int p, const QInputMethodEvent* e) {
    const App::SubInputLinks::Reading reading = links.reading();
    if (!reading.brackets && !reading.ruby) return;
    const QString preedit = e->preeditString();
    if (!preedit.isEmpty()) {
        composing_ = true;
        if (Text::IsKanaOnly(preedit)) lastKanaPreedit_ = preedit;
    }
    if (!e->commitString().isEmpty()) {
        const QString r = Text::IsKanaOnly(e->commitString()) && lastKanaPreedit_.isEmpty() ? e->commitString()
                                                                                             : lastKanaPreedit_;
        lastKanaPreedit_.clear();
        if (!r.isEmpty() && r != previousReading_) {
            previousReading_ = r;
            reading_ = r;
            Capture& c = captures_[p - 1];
            c.wordStart = c.wordEnd;
            c.wordEnd = pane(p)->textCursor().selectionStart();
        }
    }
    if (preedit.isEmpty()) composing_ = false;
}

void TForm14::InsertReading(int p) {
    if (reading_.isEmpty()) return;
    composing_ = false;
    TextPane* t = pane(p);
    const App::SubInputLinks::Reading o = links.reading();
    const QString half = Text::ToHalfWidthKatakana(reading_);
    QString r = half;
    if (o.script == 2) r = Text::ToFullWidth(half);
    else if (o.script == 3) r = Text::ToHiragana(Text::ToFullWidth(half));
    Capture& c = captures_[p - 1];
    if (o.brackets) {
        t->insertLimited(o.open + r + o.close);
    } else {
        const int caret = t->textCursor().position();
        QTextCursor at(t->document());
        at.setPosition(qBound(0, c.wordStart, t->document()->characterCount() - 1));
        const int before = at.position();
        t->insertLimitedAt(at, QStringLiteral("`r") + r + QStringLiteral("`s"));
        const int inserted = at.position() - before;
        QTextCursor k = t->textCursor();
        k.setPosition(qMin(caret + inserted, t->document()->characterCount() - 1));
        t->setTextCursor(k);
    }
    reading_.clear();
    c.wordStart = c.wordEnd;
    c.wordEnd = t->textCursor().position();
}

// ---------------------------------------------------------------------------------------------
// Live typing and the automatic send

void TForm14::PaneKeyUp(int p, QKeyEvent* e) {
    const App::SubInputLinks::Reading reading = links.reading();
    if (reading.brackets || reading.ruby) {
        if (e->key() == Qt::Key_Henkan) composing_ = true;
        else if (isCaretKey(e->key()) && !composing_) captures_[p - 1].wordEnd = pane(p)->textCursor().position();
    }
    const TextPane* t = pane(p);
    Core::LiveTyping live;
    live.setPane(t->shownText());  // a composition in progress included
    live.erased = isErase(e->key());
    live.toPartner = links.hasPartner();
    live.toMonitors = links.monitorFeed();
    live.ownAddress = links.ownAddress();
    Core::SendLiveTyping(*links.outbox, live);
}

void TForm14::PaneChange(int p) {
    if (inChange_) return;
    inChange_ = true;
    TextPane* t = pane(p);
    const App::SubInputLinks::Reading reading = links.reading();
    if (reading.brackets || reading.ruby) captures_[p - 1].wordEnd = t->textCursor().position();
    const QString text = t->toPlainText();
    const qsizetype bytes = Cp932::encodeCrLf(text).size();
    const int limit = links.countLimit();
    if (links.countColour()) {
        links.stripRed(bytes >= limit);
        SetStripColour(bytes >= limit ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Button));
    }
    if (!links.refilledByUndo() && links.countSend() && bytes >= limit) {
        t->clear();
        links.keys.sendLine(Cp932::encodeCrLf(text));
    }
    inChange_ = false;
}

// ---------------------------------------------------------------------------------------------
// Options of the send path and the display

void TForm14::CheckBox37Click() {
    if (CheckBox37->isChecked()) {
        links.setDisplayWrap(false);
        return;
    }
    links.setDisplayWrap(true);
    CheckBox45->setChecked(false);
    links.setRubyExchange(false);
}

void TForm14::CheckBox45Click() {
    if (!CheckBox45->isChecked()) {
        links.setRubyExchange(false);
        return;
    }
    if (links.clearPositionMarker()) links.keys.message(kMarkerOff);
    if (!CheckBox37->isChecked()) {
        CheckBox37->setChecked(true);
        links.keys.message(kWrapOn);
    }
}

void TForm14::RubyExchangeChanged(bool on) {
    CheckBox37->setChecked(on);
    CheckBox45->setChecked(on);
}

// ---------------------------------------------------------------------------------------------
// Ruby

void TForm14::SendRuby(const QString& base, const QString& reading) {
    if (base.isEmpty() || reading.isEmpty()) return;
    if (base.contains(u',') || reading.contains(u',')) {
        links.keys.message(kComma);
        return;
    }
    links.annotateDisplay(base, reading);
    links.outbox->toMembersAndSibling(Net::Ports::SubInput, Net::SiblingPorts::SubInput,
                                      Wire::RubyAnnotation(Cp932::encode(base), Cp932::encode(reading)));
}

void TForm14::NMUDP1DataReceived(const QByteArray& text, const QString&, quint16) {
    links.outbox->toSibling(Net::Ports::SubInput, Net::SiblingPorts::SubInput, text);
    const Wire::RubyMsg ruby = Wire::ParseRubyAnnotation(text);
    if (ruby.base.isEmpty()) return;  // a base that is nowhere changes nothing
    links.annotateDisplay(Cp932::decode(ruby.base), Cp932::decode(ruby.reading));
}

// ---------------------------------------------------------------------------------------------
// Settings

void TForm14::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::geometry(t, this, {252, 251, 249, 250}, u"入力ウィンド高さ", u"入力ウィンド横幅", u"入力ウィンド縦位置",
                   u"入力ウィンド横位置");
    Bind::number(t, 253, u"入力枠１高さ", [this] { return paneHeight1_; },
                 [this](int v) { setPaneHeights(v, paneHeight2_); });
    Bind::number(t, 254, u"入力枠2高さ", [this] { return paneHeight2_; },
                 [this](int v) { setPaneHeights(paneHeight1_, v); });
    Settings::Entry shown;
    shown.key = 255;
    shown.kind = Kind::OnOff;
    shown.comment = Bind::comment(u"入力ウィンド表示");
    shown.commentOff = Bind::comment(u"入力ウィンド非表示");
    shown.read = [this] { return Settings::onOff(isVisible()); };
    shown.apply = [this](QByteArrayView v) {
        const bool on = Settings::isOn(v);
        if (on) links.resetCursors();
        setVisible(on);
    };
    t.add(std::move(shown));
    Bind::number(t, 256, u"入力ウィンドスライドマーカー1位置", [this] { return markerWidths_[0]; },
                 [this](int v) { setMarkerWidth(Splitter1, v); });
    Bind::number(t, 257, u"入力ウィンドスライドマーカー2位置", [this] { return markerWidths_[1]; },
                 [this](int v) { setMarkerWidth(Splitter2, v); });
}

void TForm14::resetToDefaults() {
    look.reset(11);
    for (TextPane* t : {RichEdit1, RichEdit2}) {
        t->compositionText = QColor(0, 0, 255);
        t->compositionBackground = QColor(255, 255, 255);
    }
    move(238, 372);
    resize(544, 153);
    setPaneHeights(63, 63);
    setMarkerWidth(Splitter1, 200);
    setMarkerWidth(Splitter2, 200);
    hide();
}
