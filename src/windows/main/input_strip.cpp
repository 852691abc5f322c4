#include "windows/main/input_strip.h"
#include "windows/main/saving.h"

#include "windows/main/dock_page.h"
#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "windows/main/main_window.h"
#include "windows/main/member_monitor.h"
#include "windows/main/strip_alarm.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "core/live_typing.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/prepared/subinput_window.h"
#include "text/cp932.h"
#include "text/kana.h"
#include "text/text_filter.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>

namespace {

using Form::intOf;

bool isErase(int key) { return key == Qt::Key_Backspace || key == Qt::Key_Escape; }

const QString kBracketHelp = QStringLiteral(
    "下のカッコ枠で指定した文字で囲んで、「入力した読み」を入力部に挿入します。\n\n"
    "＜使い方＞\n１）漢字に変換して確定します。\n２）Ｆ１キーを押すと、その読みがカッコで囲まれてカーソルの位置に入ります。\n\n"
    "読みの文字は「半ｶﾀｶﾅ」「カタカナ」「ひらがな」から選べます。");
const QString kRubyHelp = QStringLiteral(
    " 「入力した読み」をルビ記号「‘ｒ」「‘ｓ」で囲い、変換した語の前に挿入します。\n\n"
    "＜使い方＞\n１）漢字に変換して確定します。\n２）Ｆ１キーを押すと、その語の前に「‘ｒ読み‘ｓ」が入ります。\n\n"
    "ルビは７ｗなどの表示機でルビとして表示されます。表示部では幅を取りません。");
const QString kDelClsHelp = QStringLiteral(
    "「表示２」ページの「Ｕｎｄｏの表示方法」の「描画する」のチェックを外しました。\n"
    "チェックを入れておくとＦ１１キーを使った後にＵｎｄｏすると\n表示が一気に最下段まで下がるためです。");

}  // namespace

InputStrip::InputStrip(Ttalk2e& main) : QObject(nullptr), main_(main) {}

void InputStrip::buildStrip(DockPage* page, QWidget* area) {
    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    page->setBottom(Panel1);

    Edit77 = new QLineEdit(area);
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

void InputStrip::buildTimers() {
    for (QTimer** t : {&Timer3, &Timer4}) {
        *t = new QTimer(&main_);
        (*t)->setSingleShot(true);
    }
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(15000);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(500);
    connect(Timer3, &QTimer::timeout, this, &InputStrip::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &InputStrip::Timer4Timer);
}

void InputStrip::buildPages(QTabWidget* pages) {
    // Each caption stays beside its field however wide the page grows: the row ends in a stretch.
    auto endRow = [](QWidget* r) { static_cast<QHBoxLayout*>(r->layout())->addStretch(1); };
    auto field = [endRow](QWidget* parent, const char* name, const QString& caption, const QString& value, int width = 60) {
        QWidget* r = Form::row(parent);
        if (!caption.isEmpty()) Form::label(r, caption);
        QLineEdit* e = Form::edit(r, name, value, width);
        endRow(r);
        return e;
    };
    auto* input1 = new Form::Page(pages, 2);
    input1->setObjectName(QStringLiteral("TabSheet6"));
    pages->addTab(input1, QStringLiteral("入力１"));
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
    endRow(seconds);

    QGroupBox* length = input1->group(0, QStringLiteral("入力文字数の指定"), "GroupLengthLimit");
    CheckBox51 = Form::check(length, "CheckBox51", QStringLiteral("赤表示する。"), false);
    CheckBox54 = Form::check(length, "CheckBox54", QStringLiteral("自動的にEnterし、表示"), false);
    QWidget* bytes = Form::row(length);
    Edit21 = Form::edit(bytes, "Edit21", QStringLiteral("40"), 50);
    UpDown5 = Form::place(bytes, new UpDown(bytes, "UpDown5", Edit21, 1, 254), nullptr);
    Form::label(bytes, QStringLiteral("字（半角）"));
    endRow(bytes);

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
    endRow(limitRow);

    QGroupBox* keys = input1->group(1, QStringLiteral("Ｆキー"), "GroupFKeys");
    CheckBox43 = Form::check(keys, "CheckBox43", QStringLiteral("くくる。"), false);
    QWidget* b1 = Form::row(keys);
    Form::label(b1, QStringLiteral("Ｆ８"));
    Edit78 = Form::edit(b1, "Edit78", QStringLiteral("「"), 40);
    Edit79 = Form::edit(b1, "Edit79", QStringLiteral("」"), 40);
    endRow(b1);
    QWidget* b2 = Form::row(keys);
    Form::label(b2, QStringLiteral("Shift+Ｆ８"));
    Edit5 = Form::edit(b2, "Edit5", QStringLiteral("♪"), 40);
    Edit7 = Form::edit(b2, "Edit7", QStringLiteral("♪"), 40);
    endRow(b2);
    CheckBox52 = Form::check(keys, "CheckBox52", QStringLiteral("Ｆ７キーを訂正キーにする。"), false);
    QWidget* f7 = Form::row(keys);
    Edit94 = Form::edit(f7, "Edit94", QStringLiteral("訂正：↑の「"), 110);
    Edit95 = Form::edit(f7, "Edit95", QStringLiteral("」は「」です。"), 110);
    endRow(f7);
    CheckBox47 = Form::check(keys, "CheckBox47", QStringLiteral("Ｄｅｌキー/Clsキーにする。"), false);

    auto* input2 = new Form::Page(pages, 2);
    input2->setObjectName(QStringLiteral("TabSheet7"));
    pages->addTab(input2, QStringLiteral("入力２"));
    QGroupBox* ruby = input2->group(0, QStringLiteral("入力読み（ルビ）"), "GroupReading");
    CheckBox58 = Form::check(ruby, "CheckBox58", QStringLiteral("下の文字で入力読みを囲う"), false);
    QWidget* around = Form::row(ruby);
    Edit22 = Form::edit(around, "Edit22", QStringLiteral("（"), 40);
    Edit23 = Form::edit(around, "Edit23", QStringLiteral("）"), 40);
    endRow(around);
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
    Edit68 = field(monitor, "Edit68", QStringLiteral("表示時間"), Ttalk2e::builtValue("Edit68"));
    QGroupBox* how = input2->group(1, QStringLiteral("モニターの表示方法"), "GroupMonitorCaret");
    CheckBox55 = Form::check(how, "CheckBox55", QStringLiteral("モニター部"), false);
    CheckBox56 = Form::check(how, "CheckBox56", QStringLiteral("８人モニター"), false);
}

void InputStrip::InitialLayout() {
    Edit77->hide();
    Button14->hide();
    RichEdit27->setGeometry(50, RichEdit27->y(), 750, RichEdit27->height());
    // A hint shown while the pane is empty, never text a typist could send by typing after it.
    RichEdit1->setPlaceholderText(QStringLiteral(
        "入力部　（Enter：表示に流す、Ctrl+Enter：入力部内で改行、ESC：消去、Ctrl+Z：消去取消）"));
    RichEdit27->setPlainText(QStringLiteral("モニター部"));
    RichEdit1->resize(main_.display().displayWidth(), RichEdit1->height());
    RichEdit27->resize(main_.display().displayWidth() - 50, RichEdit27->height());
    main_.display().LayoutInputStrip();
}

void InputStrip::focusInputPane() { RichEdit1->setFocus(); }
void InputStrip::focusKeyCatcher() { Edit77->setFocus(); }
QString InputStrip::screenButtonText() const { return Button12->text(); }

void InputStrip::armTimeLimit() {
    if ((CheckBox15->isChecked() || CheckBox23->isChecked()) && !Timer3->isActive())
        Timer3->start(intOf(Edit16, 15) * 1000);
}

void InputStrip::cancelTimeLimit() {
    if (!CheckBox15->isChecked() && !CheckBox23->isChecked()) return;
    Timer3->stop();
    SetStripColour(StripColour::Normal);
}

bool InputStrip::sendsBeforeCaret() const { return CheckBox53->isChecked(); }
bool InputStrip::blankAfterF12() const { return CheckBox13->isChecked(); }
QString InputStrip::speakerName() const { return Edit31->text(); }

App::SubInputLinks::Reading InputStrip::readingOptions() const {
    return App::SubInputLinks::Reading{CheckBox58->isChecked(), CheckBox59->isChecked(), Edit22->text(), Edit23->text(),
                                       RadioButton1->isChecked() ? 1 : RadioButton2->isChecked() ? 2 : 3};
}

bool InputStrip::countColours() const { return CheckBox51->isChecked(); }
bool InputStrip::countSends() const { return CheckBox54->isChecked(); }
int InputStrip::countLimit() const { return intOf(Edit21, 40); }
bool InputStrip::delClsKeys() const { return CheckBox47->isChecked(); }

std::optional<QString> InputStrip::correctionTemplate() const {
    if (!CheckBox52->isChecked()) return std::nullopt;
    QString selected = main_.display().selectedRecordText();
    selected.remove(QChar::ParagraphSeparator).remove(u'\r').remove(u'\n');
    selected = Cp932::decode(Cp932::leftSafe(Cp932::encode(selected), 253));
    return Edit94->text() + selected + Edit95->text();
}

std::optional<App::PaneKeyLinks::Brackets> InputStrip::brackets(bool shift) const {
    if (!CheckBox43->isChecked()) return std::nullopt;
    return App::PaneKeyLinks::Brackets{Edit31->text(), shift ? Edit5->text() : Edit78->text(),
                                       shift ? Edit7->text() : Edit79->text()};
}

bool InputStrip::copiesSent() const { return CheckBox41->isChecked(); }
bool InputStrip::monitorShowsEnd() const { return CheckBox56->isChecked(); }
bool InputStrip::rateShown() const { return CheckBox44->isChecked(); }
void InputStrip::setRateShown(bool on) { CheckBox44->setChecked(on); }
bool InputStrip::rateLogged() const { return CheckBox45->isChecked(); }
void InputStrip::setRateLogged(bool on) { CheckBox45->setChecked(on); }
bool InputStrip::rateWarns() const { return CheckBox62->isChecked(); }
void InputStrip::setRateWarns(bool on) { CheckBox62->setChecked(on); }
int InputStrip::rateLimit() const { return intOf(Edit24, 100); }

void InputStrip::wire() {
    RichEdit1->onKeyPress = [this](QKeyEvent* e) { return RichEdit1KeyDown(e); };
    fkeys_.insertMemo = [this](int fkey) { InsertMemoText(fkey); };
    fkeys_.readingOn = [this] { return rubyOn(); };
    fkeys_.insertReading = [this] { InsertReading(); };
    fkeys_.correctionTemplate = [this] { return CorrectionTemplateFromRecord(); };
    fkeys_.brackets = [this](bool shift) {
        if (!CheckBox43->isChecked()) return false;
        BracketInput(shift);
        return true;
    };
    fkeys_.undo = [this](bool shift) { main_.UndoToInput(shift); };
    fkeys_.delClsKeys = [this] { return CheckBox47->isChecked(); };
    fkeys_.deleteKey = [this](bool shift) { main_.DeleteOrClearKey(shift); };
    fkeys_.f12 = [this] { F12Key(); };
    RichEdit1->onKeyRelease = [this](QKeyEvent* e) { RichEdit1KeyUp(e); };
    RichEdit1->onInputMethod = [this](const QInputMethodEvent* e) { RichEdit1Composition(e); };
    RichEdit1->onMousePress = [this] {
        if (rubyOn()) wordEnd_ = RichEdit1->textCursor().position();
    };
    RichEdit27->onMousePress = [this] { RichEdit1->setFocus(); };
    connect(RichEdit1, &QTextEdit::textChanged, this, &InputStrip::RichEdit1Change);
    connect(Button3, &QPushButton::clicked, this, &InputStrip::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &InputStrip::Button4Click);
    connect(Button27, &QPushButton::clicked, this, &InputStrip::Button27Click);
    connect(Button34, &QPushButton::clicked, this, &InputStrip::Button34Click);
    connect(CheckBox47, &QCheckBox::toggled, this, &InputStrip::CheckBox47Click);
    connect(CheckBox58, &QCheckBox::toggled, this, &InputStrip::CheckBox58Click);
    connect(CheckBox59, &QCheckBox::toggled, this, &InputStrip::CheckBox59Click);
    connect(CheckBox15, &QCheckBox::toggled, this, [this](bool on) {
        if (on) return;
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    });
    connect(CheckBox51, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) SetStripColour(StripColour::Normal);
    });
    connect(Edit68, &QLineEdit::textChanged, this, &InputStrip::Edit68Change);
    // The F-key memo shows which keys are taken by these options.
    for (QCheckBox* c : {CheckBox52, CheckBox43, CheckBox47, CheckBox58, CheckBox59})
        connect(c, &QCheckBox::toggled, this, &InputStrip::UpdateMemoRows);
    connect(CheckBox35, &QCheckBox::toggled, this, &InputStrip::CheckBox35Click);
    connect(CheckBox36, &QCheckBox::toggled, this, &InputStrip::CheckBox36Click);
    connect(Button14, &QPushButton::clicked, this, &InputStrip::SendCorrection);
    // The typing rate is the main window's: the options only say what it shows.
    connect(CheckBox44, &QCheckBox::toggled, this, [this] { main_.saving().CheckBox44Click(); });
    connect(CheckBox45, &QCheckBox::toggled, this, [this] { main_.saving().CheckBox45Click(); });
    connect(CheckBox62, &QCheckBox::toggled, this, [this] { main_.saving().CheckBox62Click(); });
}

void InputStrip::UpdateMemoRows() {
    if (main_.fkeyMemo())
        main_.fkeyMemo()->UpdateRows({rubyOn(), CheckBox52->isChecked(), CheckBox43->isChecked(), CheckBox47->isChecked()});
}

bool InputStrip::rubyOn() const { return CheckBox58->isChecked() || CheckBox59->isChecked(); }

void InputStrip::ClearRubyCapture() {
    readingText_.clear();
    wordStart_ = 0;
    wordEnd_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Keys

bool InputStrip::RichEdit1KeyDown(QKeyEvent* e) {
    if ((CheckBox15->isChecked() || CheckBox23->isChecked()) && !Timer3->isActive())
        Timer3->start(intOf(Edit16, 15) * 1000);
    if (main_.logsInputStart() && !inputStarted_) markInputStart(main_.station().clock.now());
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) {
            RichEdit1->insertLimited(QStringLiteral("\n"));  // a line break inside the pane
            if (rubyOn()) wordEnd_ += 2;
        } else {
            EnterKey();
        }
        return true;
    case Qt::Key_Escape:
        EscapeKey();
        return true;
    default:
        // F1 … F12; any other key is the pane's own (Ctrl+Z brings an erased text back).
        return App::FKeyDown(fkeys_, e);
    }
}

void InputStrip::EnterKey() {
    if (!main_.display().scrolling()) {
        main_.display().ReadScrollInterval();
        main_.display().StartScrollTimer();
    }
    if (main_.display().correctionMode()) {
        main_.display().setCorrectionMode(false);  // the display takes the held texts
        Button12->setText(QStringLiteral("止"));
        main_.display().SetInputPaneNormal(true);
    }
    if (rubyOn()) ClearRubyCapture();
    SendInputPane();
}

void InputStrip::EscapeKey() {
    QTextCursor c(RichEdit1->document());
    c.select(QTextCursor::Document);
    const QString erased = c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    c.removeSelectedText();  // through the pane's undo, so Ctrl+Z brings it back
    main_.station().clipboard.setText(erased);
    if (CheckBox15->isChecked() || CheckBox23->isChecked()) {
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    }
    inputStarted_ = false;
    if (rubyOn()) ClearRubyCapture();
}

void InputStrip::SendInputPane() {
    if (CheckBox53->isChecked()) {
        QTextCursor c = RichEdit1->textCursor();
        const int caret = c.position();
        c.setPosition(0);
        c.setPosition(caret, QTextCursor::KeepAnchor);
        RichEdit1->setTextCursor(c);
        main_.SendInputPaneLine(Cp932::encodeCrLf(c.selectedText()));
    } else {
        main_.SendInputPaneLine(Cp932::encodeCrLf(RichEdit1->toPlainText()));
    }
}

void InputStrip::F12Key() {
    if (rubyOn()) ClearRubyCapture();
    QTextCursor c = RichEdit1->textCursor();
    const QString whole = RichEdit1->toPlainText();
    const QString before = whole.left(c.position());
    const QString after = whole.mid(c.position());
    RichEdit1->clear();
    SendInputPane();  // an empty send: a blank line on the display
    auto putWithCaret = [this](const QString& text, bool caretAtEnd) {
        RichEdit1->setLimitedText(text);
        QTextCursor k(RichEdit1->document());
        k.movePosition(caretAtEnd ? QTextCursor::End : QTextCursor::Start);
        RichEdit1->setTextCursor(k);
    };
    if (CheckBox53->isChecked()) {
        putWithCaret(before, true);
        SendInputPane();
        if (CheckBox13->isChecked()) {
            RichEdit1->clear();
            SendInputPane();
        }
        putWithCaret(after, false);
    } else {
        putWithCaret(whole, true);
        SendInputPane();
        if (CheckBox13->isChecked()) {
            RichEdit1->clear();
            SendInputPane();
        }
    }
    if (RichEdit1->document()->firstBlock().text().isEmpty() && !Edit31->text().isEmpty()) {
        QTextCursor k(RichEdit1->document());
        RichEdit1->insertLimitedAt(k, Edit31->text());
    }
}

void InputStrip::BracketInput(bool shift) {
    const QString speaker = Edit31->text();
    const QString open = shift ? Edit5->text() : Edit78->text();
    const QString close = shift ? Edit7->text() : Edit79->text();
    QTextDocument* doc = RichEdit1->document();
    QTextCursor c(doc);
    c.setPosition(0);
    c.setPosition(qMin<int>(int(speaker.size()), doc->characterCount() - 1), QTextCursor::KeepAnchor);
    c.beginEditBlock();
    if (!speaker.isEmpty() && c.selectedText() == speaker) {
        RichEdit1->insertLimitedAt(c, speaker + open);
    } else {
        c.setPosition(0);
        RichEdit1->insertLimitedAt(c, open);
    }
    QTextCursor last(doc->lastBlock());
    last.movePosition(QTextCursor::EndOfBlock);
    RichEdit1->insertLimitedAt(last, close);
    c.endEditBlock();
}

bool InputStrip::CorrectionTemplateFromRecord() {
    const std::optional<QString> text = correctionTemplate();
    if (!text) return false;
    RichEdit1->setLimitedText(*text);
    return true;
}

void InputStrip::InsertMemoText(int fkey) {
    if (!main_.fkeyMemo()) return;
    const QString phrase = main_.fkeyMemo()->phrase(fkey);
    if (main_.fkeyMemo()->clearsPane(fkey)) {
        RichEdit1->setLimitedText(phrase);
    } else {
        RichEdit1->insertLimited(phrase);
    }
}

// ---------------------------------------------------------------------------------------------
// The reading of the input method (ruby)

void InputStrip::RichEdit1Composition(const QInputMethodEvent* e) {
    if (!rubyOn()) return;
    const QString preedit = e->preeditString();
    if (!preedit.isEmpty()) {
        composing_ = true;
        if (Text::IsKanaOnly(preedit)) lastKanaPreedit_ = preedit;  // still the reading being typed
    }
    if (!e->commitString().isEmpty()) {
        const QString reading = Text::IsKanaOnly(e->commitString()) && lastKanaPreedit_.isEmpty()
                                    ? e->commitString()
                                    : lastKanaPreedit_;
        lastKanaPreedit_.clear();
        if (!reading.isEmpty() && reading != previousReading_) {
            previousReading_ = reading;
            readingText_ = reading;
            wordStart_ = wordEnd_;
            wordEnd_ = RichEdit1->textCursor().selectionStart();
        }
    }
    if (preedit.isEmpty()) composing_ = false;
}

void InputStrip::InsertReading() {
    if (readingText_.isEmpty()) return;
    composing_ = false;
    // The reading as the input methods of the other stations deliver it: half-width katakana.
    const QString half = Text::ToHalfWidthKatakana(readingText_);
    QString reading = half;
    if (RadioButton2->isChecked()) reading = Text::ToFullWidth(half);
    else if (RadioButton3->isChecked()) reading = Text::ToHiragana(Text::ToFullWidth(half));
    if (CheckBox58->isChecked()) {
        RichEdit1->insertLimited(Edit22->text() + reading + Edit23->text());
    } else if (CheckBox59->isChecked()) {
        const int caret = RichEdit1->textCursor().position();
        QTextCursor at(RichEdit1->document());
        at.setPosition(qBound(0, wordStart_, RichEdit1->document()->characterCount() - 1));
        const int before = at.position();
        RichEdit1->insertLimitedAt(at, QStringLiteral("`r") + reading + QStringLiteral("`s"));
        const int inserted = at.position() - before;  // less when the pane had no room for all of it
        QTextCursor c = RichEdit1->textCursor();
        c.setPosition(qMin(caret + inserted, RichEdit1->document()->characterCount() - 1));
        RichEdit1->setTextCursor(c);
    }
    readingText_.clear();
    wordStart_ = wordEnd_;
    wordEnd_ = RichEdit1->textCursor().position();
}

void InputStrip::RichEdit1KeyUp(QKeyEvent* e) {
    if (rubyOn()) {
        const int k = e->key();
        if (k == Qt::Key_Henkan) composing_ = true;
        else if ((k == Qt::Key_End || k == Qt::Key_Home || k == Qt::Key_Left || k == Qt::Key_Right ||
                  k == Qt::Key_Up || k == Qt::Key_Down) &&
                 !composing_)
            wordEnd_ = RichEdit1->textCursor().position();
    }
    SendLiveTyping(e->key());
}

// ---------------------------------------------------------------------------------------------
// Automatic sends

void InputStrip::RichEdit1Change() {
    if (inPaneChange_) return;
    inPaneChange_ = true;
    if ((CheckBox15->isChecked() || CheckBox23->isChecked()) && !Timer3->isActive())
        Timer3->start(intOf(Edit16, 15) * 1000);
    if (rubyOn()) wordEnd_ = RichEdit1->textCursor().position();
    const QString text = RichEdit1->toPlainText();
    const qsizetype bytes = Cp932::encodeCrLf(text).size();
    const int limit = intOf(Edit21, 40);
    if (CheckBox51->isChecked()) SetStripColour(bytes >= limit ? StripColour::Red : StripColour::Normal);
    if (!main_.caption().refilledByUndo() && CheckBox54->isChecked() && bytes >= limit) {
        RichEdit1->clear();
        main_.SendInputPaneLine(Cp932::encodeCrLf(text));  // the whole pane, whatever the caret option says
    } else if (!main_.caption().refilledByUndo() && CheckBox61->isChecked()) {
        static const QString kStops[] = {QStringLiteral("。"), QStringLiteral("、"), QStringLiteral("？"),
                                          QStringLiteral("?"), QStringLiteral("."), QStringLiteral(",")};
        for (const QString& stop : kStops)
            if (text.contains(stop)) {
                SendInputPane();
                break;
            }
    }
    inPaneChange_ = false;
}

void InputStrip::Timer3Timer() {
    Timer3->stop();
    SetStripColour(StripColour::Red);
    if (!CheckBox23->isChecked()) return;
    QTextEdit* pane = focusedTypingPane();
    if (!pane) {
        main_.SendLine(QByteArray());  // no typing pane has the keyboard: the time is marked with an empty line
        return;
    }
    const QString text = pane->toPlainText();
    main_.station().clipboard.setText(text);
    pane->clear();
    if (pane == RichEdit1) main_.SendInputPaneLine(Cp932::encodeCrLf(text));
    else main_.SendLine(Cp932::encodeCrLf(text));
}

// Only a pane that really has the keyboard counts: a window keeps its focus widget while another
// window (the F-key memo, say) is the one being typed in.
QTextEdit* InputStrip::focusedTypingPane() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return nullptr;
    if (focus == RichEdit1) return RichEdit1;
    if (main_.subInputWindow() && focus == main_.subInputWindow()->pane(1)) return main_.subInputWindow()->pane(1);
    if (main_.subInputWindow() && focus == main_.subInputWindow()->pane(2)) return main_.subInputWindow()->pane(2);
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Live typing

void InputStrip::SendLiveTyping(int key) {
    Core::LiveTyping t;
    t.setPane(RichEdit1->shownText());  // a composition in progress included
    t.erased = isErase(key);
    t.toPartner = main_.hasPartner();
    t.toMonitors = main_.auxiliaryPage().liveTypingToMonitors();
    t.ownAddress = main_.ownAddress();
    Core::SendLiveTyping(main_.outbox(), t);
}

void InputStrip::NMUDP2DataReceived(const QByteArray& payload, const QString& from, quint16) {
    QByteArray text = payload;
    if (CheckBox57->isChecked()) text.replace("\r\n", Cp932::encode(QStringLiteral("■")));
    switch (Net::Wire::ClassifyPartnerText(text)) {
    case Net::Wire::PartnerText::Empty:
        RichEdit27->clear();
        break;
    case Net::Wire::PartnerText::Erased:
        RichEdit27->setPlainText(Edit66->text());
        Timer4->start(clearNoticeMillis());
        break;
    case Net::Wire::PartnerText::Settings:
        main_.SettingsTransferReceived(text, from);
        break;
    case Net::Wire::PartnerText::Text:
        RichEdit27->setPlainText(Cp932::decode(text));
        if (CheckBox55->isChecked()) RichEdit27->moveCursor(QTextCursor::End);
        break;
    }
}

void InputStrip::Timer4Timer() {
    Timer4->stop();
    RichEdit27->clear();
}

void InputStrip::Edit68Change() {
    if (Edit68->text().isEmpty()) {
        Edit68->setText(Ttalk2e::builtValue("Edit68"));
        return;
    }
    Timer4->start(clearNoticeMillis());
}

// How long the monitor pane shows the clearing message: the field's number, else the built one.
int InputStrip::clearNoticeMillis() const { return intOf(Edit68, Ttalk2e::builtValue("Edit68").toInt()); }

// ---------------------------------------------------------------------------------------------
// Options

void InputStrip::CheckBox47Click() {
    if (!CheckBox47->isChecked() || !main_.display().redrawsAfterUndo()) return;
    main_.display().setRedrawAfterUndo(false);
    if (main_.isStarted()) main_.Message(kDelClsHelp);
}

void InputStrip::CheckBox58Click() {
    if (!CheckBox58->isChecked()) return;
    CheckBox59->setChecked(false);
    if (main_.isStarted()) main_.Message(kBracketHelp);
}

void InputStrip::CheckBox59Click() {
    if (!CheckBox59->isChecked()) return;
    CheckBox58->setChecked(false);
    if (main_.isStarted()) main_.Message(kRubyHelp);
}

void InputStrip::Button3Click() {
    const auto f = main_.station().dialogs.chooseFont(&main_, RichEdit1->font());
    if (!f) return;
    SetInputFont(*f);
    SetMonitorFont(*f);
}

void InputStrip::SetInputFont(const QFont& font) {
    RichEdit1->setFont(font);
    if (main_.subInputWindow())
        for (QTextEdit* pane : {main_.subInputWindow()->pane(1), main_.subInputWindow()->pane(2)}) pane->setFont(font);
    main_.display().LayoutInputStrip();
}

void InputStrip::SetMonitorFont(const QFont& font) {
    RichEdit27->setFont(font);
    main_.display().LayoutInputStrip();
}

void InputStrip::Button4Click() {
    const auto c = main_.station().dialogs.chooseColor(&main_, main_.inputPaneColour());
    if (!c) return;
    main_.colours().inputPaper = main_.colours().monitorPaper = Settings::fromQColor(*c);
    PaintPanes();
}

// The input panes take their colour; the partner's monitor pane a shade of it while the two are
// the same, so the two panes of the strip never read as one box.
void InputStrip::PaintPanes() {
    auto paint = [](QTextEdit* pane, const QColor& paper, const QColor& ink) {
        QPalette p = pane->palette();
        p.setColor(QPalette::Base, paper);
        p.setColor(QPalette::Text, ink);
        pane->setPalette(p);
    };
    const QColor input = Ttalk2e::qcolour(main_.colours().inputPaper);
    const QColor monitor =
        main_.colours().monitorPaper == main_.colours().inputPaper ? MonitorShade(input) : Ttalk2e::qcolour(main_.colours().monitorPaper);
    // Over the typing-rate limit the input panes turn yellow; the monitor pane keeps its shade.
    const QColor typing = main_.rateWarning() ? QColor(Qt::yellow) : input;
    paint(RichEdit1, typing, Ttalk2e::qcolour(main_.colours().inputInk));
    paint(RichEdit27, monitor, Ttalk2e::qcolour(main_.colours().monitorInk));
    if (main_.subInputWindow())
        for (QTextEdit* pane : {main_.subInputWindow()->pane(1), main_.subInputWindow()->pane(2)}) paint(pane, typing, Ttalk2e::qcolour(main_.colours().inputInk));
}

QColor InputStrip::MonitorShade(const QColor& colour) {
    const QColor tint(190, 205, 228);
    auto mix = [](int a, int b) { return (a * 7 + b * 3) / 10; };
    return QColor(mix(colour.red(), tint.red()), mix(colour.green(), tint.green()), mix(colour.blue(), tint.blue()));
}

void InputStrip::Button27Click() {
    if (const auto c = main_.station().dialogs.chooseColor(&main_, Ttalk2e::qcolour(main_.colours().compositionInk))) {
        main_.colours().compositionInk = Settings::fromQColor(*c);
        PaintComposition();
    }
}

void InputStrip::Button34Click() {
    if (const auto c = main_.station().dialogs.chooseColor(&main_, Ttalk2e::qcolour(main_.colours().compositionPaper))) {
        main_.colours().compositionPaper = Settings::fromQColor(*c);
        PaintComposition();
    }
}

void InputStrip::PaintComposition() {
    RichEdit1->compositionText = Ttalk2e::qcolour(main_.colours().compositionInk);
    RichEdit1->compositionBackground = Ttalk2e::qcolour(main_.colours().compositionPaper);
    main_.display().setCompositionColours(Ttalk2e::qcolour(main_.colours().compositionInk), Ttalk2e::qcolour(main_.colours().compositionPaper));
}

QList<QWidget*> InputStrip::stripPanels() const {
    QList<QWidget*> panels{Panel1, Panel22, Panel23};
    if (main_.subInputWindow()) panels << main_.subInputWindow()->stripPanels();
    return panels;
}

// ---------------------------------------------------------------------------------------------
// The caption path and the other typing panes

void InputStrip::SendCorrection() {
    if (Button12->text() == QStringLiteral("動")) {
        Button12->setText(QStringLiteral("止"));
        main_.display().setCorrectionMode(false);  // the held texts reach the record first
        main_.display().SetInputPaneNormal(true);
    }
    main_.caption().sendCorrection();
    RichEdit1->setFocus();
}

void InputStrip::markInputStart(const QDateTime& time) {
    inputStarted_ = true;
    inputStartTime_ = time;
}

void InputStrip::resetInputPane() {
    if (CheckBox53->isChecked()) {
        QTextCursor c = RichEdit1->textCursor();
        c.removeSelectedText();
    } else {
        RichEdit1->clear();
    }
    if (RichEdit1->document()->firstBlock().text().isEmpty() && !Edit31->text().isEmpty()) {
        QTextCursor c(RichEdit1->document());
        RichEdit1->insertLimitedAt(c, Edit31->text());
        RichEdit1->setTextCursor(c);
    }
}

void InputStrip::lineEnded() {
    if (CheckBox15->isChecked() || CheckBox23->isChecked()) {
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    }
    inputStarted_ = false;
}

void InputStrip::refillInputPane(const QByteArray& taken, bool after) {
    const bool blank = taken == Net::Wire::BlankLine();
    const QString t = blank ? QString() : Cp932::decode(taken);
    QTextDocument* pane = RichEdit1->document();
    QTextCursor first(pane);  // the front of the first line
    QTextCursor last(pane);
    last.movePosition(QTextCursor::End);
    QTextCursor& at = after ? last : first;
    if (CheckBox35->isChecked() && pane->isEmpty()) {
        RichEdit1->setLimitedText(t);
    } else if (CheckBox35->isChecked() && !CheckBox36->isChecked()) {
        RichEdit1->insertLimitedAt(at, after ? u'\n' + t : t + u'\n');  // a line of its own
    } else if (CheckBox35->isChecked()) {
        RichEdit1->insertLimitedAt(at, t.isEmpty() ? QStringLiteral("\n") : t);
    } else if (!blank) {
        QTextCursor endOfFirst(pane->firstBlock());
        endOfFirst.movePosition(QTextCursor::EndOfBlock);
        RichEdit1->insertLimitedAt(after ? endOfFirst : first, t);
    }
}

void InputStrip::SetStripColour(StripColour colour) {
    const QColor c = colour == StripColour::Red      ? QColor(255, 0, 0)
                     : colour == StripColour::Yellow ? QColor(255, 255, 0)
                                                     : QApplication::palette().color(QPalette::Button);
    for (QWidget* w : stripPanels()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    // The panels show only a thin edge around the panes: a thick frame over the strip makes the
    // warning impossible to miss.
    stripAlarm_->setColour(colour == StripColour::Normal ? QColor() : c);
    stripColour_ = colour;
}

void InputStrip::CheckBox35Click() {
    if (!CheckBox35->isChecked()) CheckBox36->setChecked(false);
}

void InputStrip::CheckBox36Click() {
    if (!CheckBox36->isChecked() || CheckBox35->isChecked()) return;
    CheckBox36->setChecked(false);
    main_.Message(QStringLiteral(
        "「入力部内で改行する」のチェックを入れてください。\n"
        "「入力部内で改行」せずに、単に「空行のみ改行」だけで使う場合は、チェックは必要ありません。"));
}

void InputStrip::UndoToPane(QTextEdit* pane, bool after, const QString& tag) {
    // The input pane's refill rules, applied to `pane`: its text stands in the input pane for the
    // undo, while the input pane's own text waits aside. No automatic send may see the swap.
    const QSignalBlocker quiet(RichEdit1);
    const QString own = RichEdit1->toPlainText();
    const int ownCaret = RichEdit1->textCursor().position();
    RichEdit1->setLimitedText(pane->toPlainText());
    const bool logging = main_.logsLines();
    main_.setLogsLines(false);  // the entry names the pane, not the input pane
    main_.UndoToInput(after);
    main_.setLogsLines(logging);
    if (logging) main_.Log(Text::ClockText(main_.station().clock.now().time()) + QStringLiteral(",[自分],") + tag);
    const QString refilled = RichEdit1->toPlainText();
    if (auto* limited = qobject_cast<TextPane*>(pane)) limited->setLimitedText(refilled);
    else pane->setPlainText(refilled);
    RichEdit1->setLimitedText(own);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(qMin(ownCaret, RichEdit1->document()->characterCount() - 1));
    RichEdit1->setTextCursor(c);
}

QString InputStrip::UndoForPreroll() {
    // The undo refills the input pane by its own rules; the typist's text there waits aside
    // meanwhile, and no automatic send may see the swap.
    const QSignalBlocker quiet(RichEdit1);
    const QString own = RichEdit1->toPlainText();
    const int ownCaret = RichEdit1->textCursor().position();
    RichEdit1->clear();
    main_.UndoToInput(false);
    QString taken = RichEdit1->toPlainText();
    taken.remove(u'\n');  // the lines joined without separators
    RichEdit1->setLimitedText(own);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(qMin(ownCaret, RichEdit1->document()->characterCount() - 1));
    RichEdit1->setTextCursor(c);
    return taken;
}

void InputStrip::SendThroughInputPane(const QString& text) {
    // What the typist has written in the input pane waits aside while the palette's text passes
    // through it, and is back afterwards. Both are written as a whole, not typed: the automatic
    // sends of a change do not fire.
    const QString own = RichEdit1->toPlainText();
    const int ownCaret = RichEdit1->textCursor().position();
    {
        const QSignalBlocker quiet(RichEdit1);
        RichEdit1->setLimitedText(text);
    }
    SendInputPane();
    const QSignalBlocker quiet(RichEdit1);
    RichEdit1->setLimitedText(own);
    QTextCursor c = RichEdit1->textCursor();
    c.setPosition(qMin(ownCaret, RichEdit1->document()->characterCount() - 1));
    RichEdit1->setTextCursor(c);
}

