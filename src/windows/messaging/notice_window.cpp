#include "windows/messaging/notice_window.h"

#include "ui/canvas.h"
#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "ui/settings_binders.h"
#include "ui/station.h"
#include "ui/updown.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "settings/values.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QValidator>

namespace {

namespace Notice = Core::Notice;
namespace Place = Core::NoticePlacement;
using Core::NoticeBox;

constexpr int kTextLimit = 1000;  // bytes a person may type into the notice text
// The hint of the empty text field. Files written before it was a hint hold it as the text: read
// back, it is the empty text again, or a typist who clicked into the field would send it along.
const QString kTextHint = QStringLiteral("ここにお知らせを入力します。（最大５００文字）");
// The notice is refused whole: receivers given the other lines would show their previous notice.
const QString kManyColons = QStringLiteral(
    "テロップ文の半角カンマの数が多すぎます。\n設定付きのテロップは、「テンプレート前ロール」の「テロップ」ページの\n"
    "「カンマで区切った設定も送信する。」のチェックを入れてください。\n\n"
    "テロップ文に半角の「:」が多すぎても送れません。\nこのテロップは送信しませんでした。");
const QString kNoPartner = QStringLiteral("パートナーが指名されていません。");

// Typing, pasting and converting stop at a number of code page 932 bytes; texts set by the
// program (a received notice, the settings) are not cut.
class ByteLimit final : public QValidator {
public:
    ByteLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& input, int&) const override {
        return Cp932::byteLength(input) <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

QWidget* labelled(QWidget* parent, const QString& caption) {
    QWidget* r = Form::row(parent);
    Form::place(r, new QLabel(caption, r), nullptr);
    return r;
}

void stretch(QWidget* row) { static_cast<QHBoxLayout*>(row->layout())->addStretch(1); }

}  // namespace

TForm15::TForm15(const App::WindowContext& context, App::NoticeLinks links)
    : AuxWindow(context, "TForm15", QStringLiteral("お知らせ(ctrl+o)"), QStringLiteral(" : お知らせ(ctrl+o)"),
                "hkeyterop1"),
      links_(std::move(links)),
      fontColourValue_(Settings::Colour::kWindowText) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    Image2 = new Canvas(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->installEventFilter(this);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* send = new QWidget(PageControl1);
    send->setObjectName(QStringLiteral("TabSheet1"));
    auto* settings = new QWidget(PageControl1);
    settings->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(send, QStringLiteral("送信"));
    PageControl1->addTab(settings, QStringLiteral("設定"));
    buildSendPage(send);
    buildSettingsPage(settings);

    Edit77 = new QLineEdit(this);
    Edit77->setObjectName(QStringLiteral("Edit77"));
    Edit77->setGeometry(0, 0, 0, 0);  // zero size: it only catches F1
    Edit77->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TForm15::Timer1Timer);

    tickerFont_ = QFont(Fonts::gothic());
    Fonts::setPoints(tickerFont_, 36);
    wireHandlers();

    NMUDP1 = makeEndpoint(Net::Ports::Notice);
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm15::NMUDP1DataReceived);

    const QRect display = links_.displayArea ? links_.displayArea() : QRect();
    setGeometry(0, Place::kFrame, display.width() > 0 ? display.width() : 640, Place::kDefaultHeight - Place::kFrame);
    remembered_ = Place::Remembered(box());
    passes_.start(Form::intOf(Edit4));
    refill();
}

TForm15::~TForm15() = default;

void TForm15::buildSendPage(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    GroupSend = Form::group(page, QStringLiteral("お知らせ（テロップ）"), "GroupSend");
    Edit1 = Form::edit(GroupSend, "Edit1", QString());
    Edit1->setPlaceholderText(kTextHint);
    Edit1->setAttribute(Qt::WA_InputMethodEnabled);
    setTypingPanes({Edit1});
    Edit1->setValidator(new ByteLimit(kTextLimit, Edit1));
    QWidget* r = Form::row(GroupSend);
    Button5 = Form::button(r, "Button5", QStringLiteral("送信"));
    Button6 = Form::button(r, "Button6", QStringLiteral("停止送信"));
    Button1 = Form::button(r, "Button1", QStringLiteral("表示"));
    Button2 = Form::button(r, "Button2", QStringLiteral("表示停止"));
    Button7 = Form::button(r, "Button7", QStringLiteral("前ロールにする"));
    stretch(r);
    QGroupBox* receive = Form::group(page, QStringLiteral("受信"), "GroupReceive");
    CheckBox12 = Form::check(receive, "CheckBox12", QStringLiteral("テロップを受信しない"), true);
    CheckBox13 = Form::check(receive, "CheckBox13", QStringLiteral("設定を受信しない"), false);
    v->addStretch(1);
}

// Placement and look side by side, the end actions below them in two columns: the page fits a
// window as wide as the main window's default.
void TForm15::buildSettingsPage(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    QWidget* top = Form::row(page);
    static_cast<QHBoxLayout*>(top->layout())->setSpacing(6);
    auto number = [](QWidget* row, const char* name, const QString& text) { return Form::edit(row, name, text, 48); };
    auto updown = [](QWidget* row, const char* name, QLineEdit* e, int min, int max, int inc = 1) {
        return Form::place(row, new UpDown(row, name, e, min, max, inc), nullptr);
    };

    QGroupBox* place = Form::group(top, QStringLiteral("位置(*1)"), "GroupPlace");
    CheckBox4 = Form::check(place, "CheckBox4", QStringLiteral("表示上部に同じ幅で重ねて表示する"), true);
    CheckBox14 = Form::check(place, "CheckBox14", QStringLiteral("表示下部に同じ幅で重ねて表示する"), false);
    CheckBox3 = Form::check(place, "CheckBox3", QStringLiteral("高さを文字大きさで自動調整する。"), true);
    QWidget* r = labelled(place, QStringLiteral("高さ"));
    Edit5 = number(r, "Edit5", QStringLiteral("100"));
    UpDown4 = updown(r, "UpDown4", Edit5, 1, 9999, 10);
    Form::place(r, new QLabel(QStringLiteral("幅"), r), nullptr);
    Edit6 = number(r, "Edit6", QStringLiteral("640"));
    UpDown5 = updown(r, "UpDown5", Edit6, 1, 9999, 10);
    stretch(r);
    r = labelled(place, QStringLiteral("縦"));
    Edit7 = number(r, "Edit7", QStringLiteral("0"));
    UpDown6 = updown(r, "UpDown6", Edit7, -999, 9999, 10);
    Form::place(r, new QLabel(QStringLiteral("横"), r), nullptr);
    Edit8 = number(r, "Edit8", QStringLiteral("0"));
    UpDown7 = updown(r, "UpDown7", Edit8, -999, 9999, 10);
    stretch(r);
    r = labelled(place, QStringLiteral("増分"));
    Edit9 = number(r, "Edit9", QStringLiteral("10"));
    UpDown8 = updown(r, "UpDown8", Edit9, 1, 999);
    stretch(r);
    CheckBox6 = Form::check(place, "CheckBox6", QStringLiteral("ﾊﾟｰﾄﾅに連続送信"), false);
    static_cast<QVBoxLayout*>(place->layout())->addStretch(1);

    QGroupBox* look = Form::group(top, QStringLiteral("基本設定"), "GroupLook");
    CheckBox7 = Form::check(look, "CheckBox7", QStringLiteral("この枠内の基本設定も送信する"), true);
    r = labelled(look, QStringLiteral("スクロール間隔(ms)"));
    Edit2 = number(r, "Edit2", QStringLiteral("50"));
    UpDown1 = updown(r, "UpDown1", Edit2, 0, 1000, 5);
    stretch(r);
    r = labelled(look, QStringLiteral("移動量(ドット)"));
    Edit3 = number(r, "Edit3", QStringLiteral("3"));
    UpDown2 = updown(r, "UpDown2", Edit3, 0, 9999);
    stretch(r);
    CheckBox11 = Form::check(look, "CheckBox11", QStringLiteral("スクロールを左端で止める"), false);
    r = Form::row(look);
    CheckBox1 = Form::check(r, "CheckBox1", QStringLiteral("繰り返す"), false);
    Edit4 = number(r, "Edit4", QStringLiteral("0"));
    UpDown3 = updown(r, "UpDown3", Edit4, 0, 9999);
    Form::place(r, new QLabel(QStringLiteral("回（０は無限）"), r), nullptr);
    stretch(r);
    CheckBox2 = Form::check(look, "CheckBox2", QStringLiteral("前面に表示"), true);
    r = Form::row(look);
    Button3 = Form::button(r, "Button3", QStringLiteral("フォント"));
    Button4 = Form::button(r, "Button4", QStringLiteral("背景色"));
    stretch(r);
    static_cast<QVBoxLayout*>(look->layout())->addStretch(1);

    stretch(top);

    auto* end = new QGroupBox(QStringLiteral("終了時(*2)"), page);
    end->setObjectName(QStringLiteral("GroupEnd"));
    auto* grid = new QGridLayout(end);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(2);
    grid->setHorizontalSpacing(12);
    CheckBox5 = new QCheckBox(QStringLiteral("テロップウィンドを消す(*2)"), end);
    CheckBox8 = new QCheckBox(QStringLiteral("設定画面を表示する(*2)"), end);
    CheckBox9 = new QCheckBox(QStringLiteral("上(*1)で指定した位置に移動する"), end);
    CheckBox10 = new QCheckBox(QStringLiteral("その時、高さを初期値に戻す"), end);
    const char* names[] = {"CheckBox5", "CheckBox8", "CheckBox9", "CheckBox10"};
    QCheckBox* boxes[] = {CheckBox5, CheckBox8, CheckBox9, CheckBox10};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setObjectName(QString::fromLatin1(names[i]));
        boxes[i]->setChecked(true);
        grid->addWidget(boxes[i], i / 2, i % 2);
    }
    grid->setColumnStretch(2, 1);
    v->addWidget(end);
    v->addStretch(1);
}

void TForm15::wireHandlers() {
    connect(Button5, &QPushButton::clicked, this, &TForm15::SendNotice);
    connect(Button6, &QPushButton::clicked, this, &TForm15::SendNoticeStop);
    connect(Button1, &QPushButton::clicked, this, &TForm15::ShowNotice);
    connect(Button2, &QPushButton::clicked, this, &TForm15::StopNotice);
    connect(Button7, &QPushButton::clicked, this, &TForm15::NoticeToPreroll);
    connect(Button3, &QPushButton::clicked, this, &TForm15::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm15::Button4Click);

    // The switches answer the setters too (a toggle, not only a click): the settings rely on it.
    connect(CheckBox6, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) return;
        if (!links_.hasPartner || !links_.hasPartner()) {
            CheckBox6->setChecked(false);
            if (links_.message) links_.message(kNoPartner);
            return;
        }
        CheckBox4->setChecked(false);
        CheckBox14->setChecked(false);
        CheckBox3->setChecked(false);
    });
    connect(CheckBox4, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            CheckBox14->setChecked(false);
            CheckBox6->setChecked(false);
        } else if (!CheckBox14->isChecked()) {
            CheckBox9->setChecked(false);
        }
    });
    connect(CheckBox14, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            CheckBox4->setChecked(false);
            CheckBox6->setChecked(false);
        } else if (!CheckBox4->isChecked()) {
            CheckBox9->setChecked(false);
        }
    });
    connect(CheckBox3, &QCheckBox::toggled, this, [this](bool on) {
        if (on) CheckBox6->setChecked(false);
    });
    // A ticker that stops at the left edge stays where it is when it ends.
    connect(CheckBox11, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) return;
        CheckBox5->setChecked(false);
        CheckBox9->setChecked(false);
        CheckBox10->setChecked(false);
        CheckBox8->setChecked(false);
    });
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm15::setStaysOnTop);
    connect(CheckBox12, &QCheckBox::toggled, this, [this](bool on) {
        if (links_.receiveOffChanged) links_.receiveOffChanged(on);
    });
    connect(Edit9, &QLineEdit::textChanged, this, [this] {
        const int step = Form::intOf(Edit9, 1);
        for (UpDown* u : {UpDown4, UpDown5, UpDown6, UpDown7}) u->setIncrement(step);
    });
    for (QLineEdit* e : {Edit5, Edit6, Edit7, Edit8})
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (CheckBox6->isChecked()) sendFollow();
        });
}

// ---------------------------------------------------------------------------------------------
// Placement: the window as the notice sees it, with a border of kFrame pixels above the strip
// while the pages are shown.

NoticeBox TForm15::box() const {
    const QRect g = geometry();
    if (pagesVisible_) return {g.x(), g.y() - Place::kFrame, g.width(), g.height() + Place::kFrame};
    return {g.x(), g.y(), g.width(), g.height()};
}

void TForm15::setBox(const NoticeBox& b, bool pages) {
    if (pages != pagesVisible_) setPages(pages);
    const int frame = pages ? Place::kFrame : 0;
    setGeometry(b.left, b.top + frame, qMax(1, b.width), qMax(1, b.height - frame));
}

// The least box height, border included, at which both pages show every control whole.
int TForm15::pagesHeight() const { return PageControl1->minimumSizeHint().height() + Place::kFrame; }

void TForm15::setPages(bool pages) {
    pagesVisible_ = pages;
    PageControl1->setVisible(pages);
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, !pages);
    if (wasVisible) show();  // changing the flags hides a window
}

void TForm15::setStaysOnTop(bool on) {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) show();
}

void TForm15::resizeEvent(QResizeEvent* event) {
    AuxWindow::resizeEvent(event);
    Image2->setGeometry(rect());
    PageControl1->setGeometry(rect());
    Image2->resetPicture(size(), backgroundColour());
    if (shownAt_) drawAt(*shownAt_);
}

// ---------------------------------------------------------------------------------------------
// The strip

QColor TForm15::backgroundColour() const { return Settings::toQColor(backgroundValue_, palette()); }
QColor TForm15::textColour() const { return Settings::toQColor(fontColourValue_, palette()); }

void TForm15::setTickerFont(const QFont& font) {
    tickerFont_ = font;
    if (!Timer1->isActive()) refill();
}

void TForm15::prepareStrip() {
    // The strip is the window's size; a window never shown has had no resize yet.
    if (Image2->picture().size() != size()) {
        Image2->setGeometry(rect());
        Image2->resetPicture(size(), backgroundColour());
    }
    strip_.setText(Edit1->text());
    strip_.setFont(tickerFont_);
    strip_.setColours(textColour(), backgroundColour());
}

void TForm15::refill() {
    prepareStrip();
    strip_.fill(Image2->picture());
    shownAt_.reset();
    Image2->update();
}

void TForm15::drawAt(int x) {
    prepareStrip();
    strip_.draw(Image2->picture(), x);
    shownAt_ = x;
    Image2->update();
}

void TForm15::Timer1Timer() {
    prepareStrip();
    Core::TickerPasses::Options o;
    o.stripWidth = width();
    o.textWidth = strip_.textWidth();
    o.step = Form::intOf(Edit3, 0);
    o.stopAtLeft = CheckBox11->isChecked();
    o.repeat = CheckBox1->isChecked();
    o.loops = Form::intOf(Edit4, 0);
    const auto r = passes_.tick(o);
    switch (r.step) {
    case Core::TickerPasses::Step::Draw: drawAt(r.x); break;
    case Core::TickerPasses::Step::NextPass: break;
    case Core::TickerPasses::Step::Ended:
        Timer1->stop();
        endActions();
        break;
    }
}

void TForm15::ShowNotice() {
    Place::ShowOptions o;
    o.autoHeight = CheckBox3->isChecked();
    o.overTop = CheckBox4->isChecked();
    o.underBottom = CheckBox14->isChecked();
    o.fontPoints = Fonts::points(tickerFont_);
    const QRect display = links_.displayArea ? links_.displayArea() : QRect();
    if (display.isEmpty()) o.overTop = o.underBottom = false;  // no display to lay the strip over
    const Place::Shown shown = Place::Show(box(), pagesVisible_, o, display);
    remembered_ = shown.remembered;
    setBox(shown.box, false);
    show();
    raise();
    Edit77->setFocus();
    passes_.start(Form::intOf(Edit4, 0));
    const int interval = Form::intOf(Edit2, 0);
    if (interval > 0) Timer1->start(interval);
    else Timer1->stop();  // an interval of 0 is a stopped clock
}

void TForm15::endActions() {
    Place::EndOptions o;
    o.hide = CheckBox5->isChecked();
    o.pagesBack = CheckBox8->isChecked();
    o.moveBack = CheckBox9->isChecked();
    o.resetHeight = CheckBox10->isChecked();
    o.pagesHeight = pagesHeight();
    const Place::Ended e = Place::End(box(), pagesVisible_, remembered_, o);
    if (e.hidden) hide();
    else drawAt(0);  // the text stays readable at the left edge
    setBox(e.box, e.pages);
}

void TForm15::StopNotice() {
    Timer1->stop();
    passes_.rewind();
    endActions();
    refill();
}

void TForm15::Edit77KeyDown(int key) {
    if (key != Qt::Key_F1) return;
    if (pagesVisible_) {
        setBox(Place::F1(box(), true), false);
    } else {
        Timer1->stop();
        refill();
        setBox(Place::F1(box(), false, pagesHeight()), true);
    }
}

void TForm15::moveStrip(const QPoint& p) {
    int dx = 0, dy = 0;
    if (p.x() < 10) dx = -2;
    else if (p.x() > 20) dx = 2;
    if (p.y() < 10) dy = -2;
    else if (p.y() > 20) dy = 2;
    if (dx || dy) move(x() + dx, y() + dy);
}

bool TForm15::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit77 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F1) {
            Edit77KeyDown(key);
            return true;
        }
    }
    if (watched == Image2 && event->type() == QEvent::MouseMove) {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (m->buttons() & Qt::LeftButton) moveStrip(m->position().toPoint());
    }
    return AuxWindow::eventFilter(watched, event);
}

void TForm15::Button3Click() {
    if (const auto f = station().dialogs.chooseFont(this, tickerFont_)) setTickerFont(*f);
}

void TForm15::Button4Click() {
    const auto c = station().dialogs.chooseColor(this, backgroundColour());
    if (!c) return;
    backgroundValue_ = Settings::fromQColor(*c);
    refill();
}

// ---------------------------------------------------------------------------------------------
// Sending

Notice::Options TForm15::options() const {
    Notice::Options o;
    o.height = Cp932::encode(Edit5->text());
    o.width = Cp932::encode(Edit6->text());
    o.top = Cp932::encode(Edit7->text());
    o.left = Cp932::encode(Edit8->text());
    o.text = Cp932::encode(Edit1->text());
    o.hideAtEnd = CheckBox5->isChecked();
    o.overTop = CheckBox4->isChecked();
    o.moveBack = CheckBox9->isChecked();
    o.pagesBack = CheckBox8->isChecked();
    o.stopAtLeft = CheckBox11->isChecked();
    o.autoHeight = CheckBox3->isChecked();
    o.resetHeight = CheckBox10->isChecked();
    o.underBottom = CheckBox14->isChecked();
    o.sendLook = CheckBox7->isChecked();
    Notice::Look& k = o.look;
    k.loop = CheckBox1->isChecked();
    k.onTop = CheckBox2->isChecked();
    k.loops = Cp932::encode(Edit4->text());
    k.interval = Cp932::encode(Edit2->text());
    k.step = Cp932::encode(Edit3->text());
    k.fontName = Cp932::encode(tickerFont_.family());
    k.fontColour = fontColourValue_;
    k.fontSize = Fonts::points(tickerFont_);
    k.background = backgroundValue_;
    k.bold = tickerFont_.bold();
    k.italic = tickerFont_.italic();
    k.underline = tickerFont_.underline();
    return o;
}

void TForm15::logLine(const QString& who, const QString& tag) {
    if (links_.logOn && links_.logOn() && links_.log)
        links_.log(Text::ClockText(station().clock.now().time()) + QStringLiteral(",[") + who + QStringLiteral("],") + tag);
}

// Every line must reach the partners whole: a line whose datagram (scrambled, when scrambling is
// on) would not fit the receivers' limit stops the whole notice before anything is sent.
bool TForm15::sendable(const QList<QByteArray>& lines) {
    for (const QByteArray& line : lines) {
        const auto wire = links_.outbox.wire(Net::Ports::Notice, line);
        if (wire && wire->size() <= Notice::kMaxDatagram) continue;
        station().messages.information(
            QStringLiteral("お知らせの文が長すぎるため、送信しませんでした。\n"
                           "文は%1バイトです。１回で送れるデータは%2バイトまでで、通信を暗号化している時は\n"
                           "暗号化した後の長さで数えます（文はおよそ750バイトまで）。\n"
                           "文を短くしてから、もう一度送信してください。")
                .arg(Cp932::byteLength(Edit1->text()))
                .arg(Notice::kMaxDatagram));
        return false;
    }
    return true;
}

void TForm15::sendOne(const QByteArray& line) {
    links_.outbox.toMembersAndSibling(Net::Ports::Notice, Net::SiblingPorts::Notice, line);
}

// Everything is checked before the first datagram leaves, and the whole sequence goes out without
// a box in between: a box's own event loop would let other traffic and keys into the sequence.
bool TForm15::SendNotice() {
    QList<QByteArray> lines = Notice::Lines(options());
    lines << Notice::ShowLine();
    const bool anyColons = links_.sendCommaSettings && links_.sendCommaSettings();
    if (!anyColons && Notice::FirstLineOverColons(lines) >= 0) {
        if (links_.message) links_.message(kManyColons);
        return false;
    }
    if (!sendable(lines)) return false;
    logLine(QStringLiteral("自分"), QStringLiteral("（テロップ）") + Edit1->text());
    for (const QByteArray& line : lines) sendOne(line);
    sendOne(Notice::End());
    return true;
}

void TForm15::SendNoticeStop() {
    logLine(QStringLiteral("自分"), QStringLiteral("（テロップ停止）"));
    Edit1->clear();
    QList<QByteArray> lines = Notice::Lines(options());
    lines << Notice::StopLine();
    if (!sendable(lines)) return;
    for (const QByteArray& line : lines) sendOne(line);
    sendOne(Notice::End());
}

// "ﾊﾟｰﾄﾅに連続送信": the partner's ticker follows the given geometry as it is typed.
void TForm15::sendFollow() {
    QList<QByteArray> lines = Notice::FollowLines(options());
    lines << Notice::End();
    for (const QByteArray& line : lines) {
        links_.outbox.toPartner(Net::Ports::Notice, line);
        if (const auto wire = links_.outbox.wire(Net::Ports::Notice, line))
            links_.outbox.toSibling(Net::Ports::Notice, Net::SiblingPorts::Notice, *wire);
    }
}

QString TForm15::NoticeLine() const { return Cp932::decode(Notice::CommaLine(options())); }

void TForm15::NoticeToPreroll() {
    if (links_.appendToPreroll) links_.appendToPreroll(NoticeLine());
}

// ---------------------------------------------------------------------------------------------
// Receiving and applying

void TForm15::NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16) {
    // The sibling display gets every notice, also those this station does not show.
    links_.outbox.toSibling(Net::Ports::Notice, Net::SiblingPorts::Notice, text);
    if (CheckBox12->isChecked()) return;
    const auto batch = collector_.add(text);
    if (!batch) return;
    logLine(from, QStringLiteral("（テロップ操作受信）"));
    const Notice::Plan plan = Notice::PlanReceived(*batch, CheckBox13->isChecked());
    if (!plan.headerOk) return;
    show();
    applyItems(plan, false);
}

void TForm15::ApplyNoticeLine(const QString& line) {
    show();
    applyItems(Notice::PlanCommaLine(Cp932::encode(line)), true);
    if (links_.rollStopsAtLeft && links_.rollStopsAtLeft()) {
        CheckBox11->setChecked(true);
        CheckBox9->setChecked(false);
        CheckBox5->setChecked(false);
        CheckBox8->setChecked(false);
    }
}

void TForm15::applyItems(const Notice::Plan& plan, bool fromCommaLine) {
    for (const Notice::Item& item : plan.items) applyItem(item, fromCommaLine);
    // A value that is not a number stops the lines after it, and the application says so.
    if (plan.end == Notice::Plan::End::NotANumber)
        station().messages.information(QStringLiteral("お知らせの設定に数字でない値があったため、その行から後を適用しませんでした。\n") +
                                       Cp932::decode(plan.stoppedAt));
}

void TForm15::applyItem(const Notice::Item& item, bool fromCommaLine) {
    const QByteArray& v = item.value;
    const int n = Settings::intValue(v);
    auto check = [&v](QCheckBox* box) { box->setChecked(Settings::isTrue(v)); };
    auto setGeometryPart = [this, n](int NoticeBox::*part) {
        NoticeBox b = box();
        b.*part = n;
        setBox(b, pagesVisible_);
    };
    switch (item.key) {
    case Notice::Height: fromCommaLine ? Edit5->setText(Cp932::decode(v)) : setGeometryPart(&NoticeBox::height); break;
    case Notice::Width: fromCommaLine ? Edit6->setText(Cp932::decode(v)) : setGeometryPart(&NoticeBox::width); break;
    case Notice::Top: fromCommaLine ? Edit7->setText(Cp932::decode(v)) : setGeometryPart(&NoticeBox::top); break;
    case Notice::Left: fromCommaLine ? Edit8->setText(Cp932::decode(v)) : setGeometryPart(&NoticeBox::left); break;
    case Notice::Text: Edit1->setText(Cp932::decode(v)); break;
    case Notice::HideAtEnd: check(CheckBox5); break;
    case Notice::Loop: check(CheckBox1); break;
    case Notice::OnTop: check(CheckBox2); break;
    case Notice::Loops: Edit4->setText(Cp932::decode(v)); break;
    case Notice::Interval: Edit2->setText(Cp932::decode(v)); break;
    case Notice::Step: Edit3->setText(Cp932::decode(v)); break;
    case Notice::FontName: {
        QFont f = tickerFont_;
        f.setFamily(Cp932::decode(v));
        setTickerFont(f);
        break;
    }
    case Notice::FontColour:
        fontColourValue_ = n;
        if (!Timer1->isActive()) refill();
        break;
    case Notice::FontSize: {
        QFont f = tickerFont_;
        Fonts::setPoints(f, n);
        setTickerFont(f);
        break;
    }
    case Notice::Background:
        backgroundValue_ = n;
        if (!Timer1->isActive()) refill();
        break;
    case Notice::Bold: {
        QFont f = tickerFont_;
        f.setBold(Settings::fontStyleSet(Settings::FontStyle::Bold, v));
        setTickerFont(f);
        break;
    }
    case Notice::Italic: {
        QFont f = tickerFont_;
        f.setItalic(Settings::fontStyleSet(Settings::FontStyle::Italic, v));
        setTickerFont(f);
        break;
    }
    case Notice::Underline: {
        QFont f = tickerFont_;
        f.setUnderline(Settings::fontStyleSet(Settings::FontStyle::Underline, v));
        setTickerFont(f);
        break;
    }
    case Notice::OverTop: check(CheckBox4); break;
    case Notice::MoveBack: check(CheckBox9); break;
    case Notice::PagesBack: check(CheckBox8); break;
    case Notice::StopAtLeft: check(CheckBox11); break;
    case Notice::AutoHeight: check(CheckBox3); break;
    case Notice::ResetHeight: check(CheckBox10); break;
    case Notice::UnderBottom: check(CheckBox14); break;
    case Notice::Show:
        logLine(QStringLiteral("受信（上参照）"), QStringLiteral("（テロップ表示）") + Edit1->text());
        ShowNotice();
        break;
    case Notice::Stop:
        logLine(QStringLiteral("受信（上参照）"), QStringLiteral("（テロップ停止）"));
        StopNotice();
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Settings

// clang-format off
Settings::Rows<TForm15> TForm15::settingRows() {
    using T = TForm15;
    using enum Settings::Kind;
    static const Settings::Row<TForm15> rows[] = {
        {.step = &T::stopTicker},
        {.key = 258, .control = "CheckBox7", .kind = TrueFalse, .comment = u"お知らせＷの設定も送信する", .commentOff = u"お知らせＷの設定も送信しない",
         .design = u"true", .step = &T::hide},
        {.key = 267, .control = "CheckBox12", .kind = TrueFalse, .comment = u"お知らせＷを受信しない", .commentOff = u"お知らせＷを受信する",
         .design = u"true"},
        {.key = 268, .control = "CheckBox13", .kind = TrueFalse, .comment = u"お知らせＷを設定受信しない", .commentOff = u"お知らせＷを設定受信する",
         .design = u"false"},
        {.control = "CheckBox6", .kind = TrueFalse, .design = u"false", .step = &T::resetPlace},  // "ﾊﾟｰﾄﾅに連続送信", no key
        {.key = 505, .control = "CheckBox5", .kind = TrueFalse, .comment = u"お知らせＷの終了時消す", .commentOff = u"お知らせＷの終了時消さない",
         .design = u"true"},
        {.key = 506, .control = "CheckBox1", .kind = TrueFalse, .comment = u"お知らせＷのloopする", .commentOff = u"お知らせＷのloopしない",
         .design = u"false"},
        {.key = 507, .control = "CheckBox2", .kind = TrueFalse, .comment = u"お知らせＷの前面表示する", .commentOff = u"お知らせＷの前面表示しない",
         .design = u"true"},
        {.control = "Edit4", .kind = Int, .design = u"0"},  // key 508 reads the up-down
        {.key = 509, .control = "Edit2", .kind = Int, .comment = u"お知らせＷのスクロール間隔", .design = u"50"},
        {.key = 510, .control = "Edit3", .kind = Int, .comment = u"お知らせＷのスクロール移動量", .design = u"3", .step = &T::resetLook},
        {.key = 518, .control = "CheckBox4", .kind = TrueFalse, .comment = u"お知らせＷのメインウィンドの上に表示",
         .commentOff = u"お知らせＷのメインウィンドの上ではない", .design = u"true"},
        {.key = 519, .control = "CheckBox9", .kind = TrueFalse, .comment = u"お知らせＷの表示後元位置に戻る",
         .commentOff = u"お知らせＷの表示後そ元位置に戻らない", .design = u"true"},
        {.key = 520, .control = "CheckBox8", .kind = TrueFalse, .comment = u"お知らせＷの表示後設定画面に戻る",
         .commentOff = u"お知らせＷの表示後設定画面に戻らない", .design = u"true"},
        {.key = 521, .control = "CheckBox11", .kind = TrueFalse, .comment = u"お知らせＷの左端で止める", .commentOff = u"お知らせＷの左端で止めない",
         .design = u"false"},
        {.key = 522, .control = "CheckBox3", .kind = TrueFalse, .comment = u"お知らせＷの表示高さの自動設定する",
         .commentOff = u"お知らせＷの表示高さの自動設定しない", .design = u"true"},
        {.key = 523, .control = "CheckBox10", .kind = TrueFalse, .comment = u"お知らせＷの戻った時に高さを初期値にする",
         .commentOff = u"お知らせＷの戻った時に高さを初期値にしない", .design = u"true"},
        {.key = 524, .control = "CheckBox14", .kind = TrueFalse, .comment = u"お知らせＷのメインウィンドの下に表示",
         .commentOff = u"お知らせＷのメインウィンドの下ではない", .design = u"false", .kept = true},
        {.key = 525, .control = "Edit5", .kind = Text, .comment = u"お知らせＷのウィンドウの指定高さ", .design = u"100"},
        {.key = 526, .control = "Edit6", .kind = Text, .comment = u"お知らせＷのウィンドの指定幅", .design = u"640"},
        {.key = 527, .control = "Edit7", .kind = Text, .comment = u"お知らせＷのウィンドの指定縦位置", .design = u"0"},
        {.key = 528, .control = "Edit8", .kind = Text, .comment = u"お知らせＷのウィンドの指定横位置", .design = u"0"},
        {.key = 529, .control = "Edit9", .kind = Text, .comment = u"お知らせＷのウィンドの増分", .design = u"10"},
    };
    return rows;
}
// clang-format on

void TForm15::addSettings(Settings::KeyTable& t) {
    using Settings::FontStyle;
    using Settings::Kind;
    Bind::rows(t, this, settingRows());
    auto get = [this] { return tickerFont_; };
    auto set = [this](const QFont& f) { setTickerFont(f); };
    Bind::visible(t, 260, this, Kind::TrueFalse, u"お知らせＷの表示", u"お知らせＷの非表示");
    auto geometryKey = [&](int key, QStringView text, int NoticeBox::*part) {
        Bind::number(t, key, text, [this, part] { return box().*part; },
                     [this, part](int v) {
                         NoticeBox b = box();
                         b.*part = v;
                         setBox(b, pagesVisible_);
                     });
    };
    geometryKey(500, u"お知らせＷのウィンドウの高さ", &NoticeBox::height);
    geometryKey(501, u"お知らせＷのウィンドの幅", &NoticeBox::width);
    geometryKey(502, u"お知らせＷのウィンドの縦位置", &NoticeBox::top);
    geometryKey(503, u"お知らせＷのウィンドの横位置", &NoticeBox::left);
    Settings::Entry text;
    text.key = 504;
    text.kind = Kind::Text;
    text.comment = Bind::comment(u"お知らせＷの表示文字列");
    text.read = [this] { return Cp932::encode(Edit1->text()); };
    text.apply = [this](QByteArrayView v) {
        const QString value = Cp932::decode(v);
        Edit1->setText(value == kTextHint ? QString() : value);
    };
    t.add(std::move(text));
    Bind::number(t, 508, u"お知らせＷのループ", [this] { return UpDown3->position(); },
                 [this](int v) { Edit4->setText(QString::number(v)); });
    Bind::fontName(t, 511, u"お知らせＷの表示のフォントの種類", get, set);
    Bind::colour(t, 512, u"お知らせＷの表示のフォントの色", [this] { return fontColourValue_; },
                 [this](qint32 v) {
                     fontColourValue_ = v;
                     if (!Timer1->isActive()) refill();
                 });
    Bind::fontSize(t, 513, u"お知らせＷの表示のフォントサイズ", get, set);
    Bind::colour(t, 514, u"お知らせＷの背景色", [this] { return backgroundValue_; },
                 [this](qint32 v) {
                     backgroundValue_ = v;
                     refill();
                 });
    Bind::fontStyle(t, 515, FontStyle::Bold, u"お知らせＷの表示部のフォントスタイル：ｂｏｌｄ", {}, get, set);
    Bind::fontStyle(t, 516, FontStyle::Italic, u"お知らせＷの表示部のフォントスタイル：Ｉｔａｌｉｃ", {}, get, set);
    Bind::fontStyle(t, 517, FontStyle::Underline, u"お知らせＷの表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ", {}, get, set);
}

void TForm15::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm15::stopTicker() {
    Timer1->stop();
    passes_.rewind();
}

void TForm15::resetPlace() {
    setBox({0, 0, 640, Place::kDefaultHeight}, true);
    Edit1->clear();
}

void TForm15::resetLook() {
    QFont f(Fonts::gothic());
    Fonts::setPoints(f, 36);
    tickerFont_ = f;
    fontColourValue_ = Settings::Colour::kWindowText;
    backgroundValue_ = Settings::Colour::kWhite;
    refill();
}

bool TForm15::refusesNotices() const { return CheckBox12->isChecked(); }
void TForm15::setRefusesNotices(bool on) { CheckBox12->setChecked(on); }
void TForm15::setNoticeText(const QString& text) { Edit1->setText(text); }
void TForm15::setStopsAtLeftEdge(bool on) { CheckBox11->setChecked(on); }
void TForm15::setHidesAtEnd(bool on) { CheckBox5->setChecked(on); }
void TForm15::setShowsPagesAtEnd(bool on) { CheckBox8->setChecked(on); }
void TForm15::setMovesAtEnd(bool on) { CheckBox9->setChecked(on); }
