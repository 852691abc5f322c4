#include "windows/messaging/contact_window.h"

#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "ui/settings_binders.h"
#include "ui/station.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "core/contact_text.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "settings/line_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kMinPanel = 2;  // a splitter never leaves a panel lower than this
// The window opens wide enough for the settings' button row and tall enough for every settings row
// above a few history lines and the input part.
constexpr QSize kDefaultSize{280, 340};
constexpr int kDefaultPanel1 = 38;
constexpr int kInputLimit = 254;
constexpr int kHistoryLimit = 655360;
const QString kSelf = QStringLiteral("自分");
const QString kTooLong = QStringLiteral(
    "連絡文が長すぎるため、送信しませんでした。\n"
    "発信者名と文を合わせて%1バイトです。１回で送れるデータは%2バイトまでで、通信を暗号化している時は\n"
    "暗号化した後の長さで数えます。\n"
    "発信者名か文を短くしてから、もう一度送信してください。");

}  // namespace

TForm6::TForm6(const App::WindowContext& context, App::ContactLinks links)
    : AuxWindow(context, "TForm6", QStringLiteral("連絡(ctrl+r)"), QStringLiteral(" : 連絡(ctrl+r)"), "hkeyrenraku1"),
      links_(std::move(links)) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter = new QSplitter(Qt::Vertical, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setChildrenCollapsible(false);
    Splitter->setHandleWidth(4);
    layout->addWidget(Splitter);

    Panel3 = new QFrame(Splitter);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setMinimumHeight(kMinPanel);
    Panel3->installEventFilter(this);
    buildSettingsPanel();

    RichEdit2 = new QTextEdit(Splitter);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setAcceptRichText(false);
    RichEdit2->setReadOnly(true);
    RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit2->setMinimumHeight(kMinPanel);

    Panel1 = new QFrame(Splitter);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumHeight(kMinPanel);
    auto* inputLayout = new QVBoxLayout(Panel1);
    inputLayout->setContentsMargins(0, 0, 0, 0);
    RichEdit1 = new TextPane(Panel1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setMinimumHeight(kMinPanel);
    RichEdit1->limit = kInputLimit;
    RichEdit1->setAttribute(Qt::WA_InputMethodEnabled);
    RichEdit1->onKeyPress = [this](QKeyEvent* e) {
        if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) return false;
        SendContactLine(true);
        return true;
    };
    inputLayout->addWidget(RichEdit1);

    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setStretchFactor(2, 0);
    connect(Splitter, &QSplitter::splitterMoved, this, [this] {
        const QList<int> s = Splitter->sizes();
        panel3Height_ = s.value(0);
        panel1Height_ = s.value(2);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TForm6::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2, &QTimer::timeout, this, &TForm6::Timer2Timer);

    font_ = QFont(Fonts::gothic());
    Fonts::setPoints(font_, 12);
    setPaneFont(font_);
    paintPanes(normalColour());

    NMUDP1 = makeEndpoint(Net::Ports::Contact);
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm6::NMUDP1DataReceived);

    placeAtDefaults();
}

TForm6::~TForm6() = default;

// At the screen's top-left corner, the frame included: under a window manager the title bar stays
// on the screen.
void TForm6::placeAtDefaults() {
    move(0, 0);
    resize(kDefaultSize);
    panel1Height_ = kDefaultPanel1;
    panel3Height_ = defaultPanel3Height();
    layoutPanels();
}

int TForm6::defaultPanel3Height() const { return settingsContent_->sizeHint().height(); }

void TForm6::buildSettingsPanel() {
    // The panel opens showing every row; dragged lower than that, it cuts its content from below
    // (the content keeps its own height) rather than squashing the rows.
    settingsContent_ = new QWidget(Panel3);
    auto* v = new QVBoxLayout(settingsContent_);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);
    QWidget* r = Form::row(settingsContent_);
    Button1 = Form::button(r, "Button1", QStringLiteral("保存"));
    Button2 = Form::button(r, "Button2", QStringLiteral("ﾌｫﾝﾄ"));
    Button3 = Form::button(r, "Button3", QStringLiteral("背景色"));
    Button4 = Form::button(r, "Button4", QStringLiteral("受信時背景色"));
    for (QPushButton* b : {Button1, Button2, Button3, Button4}) Form::narrowToCaption(b);
    static_cast<QHBoxLayout*>(r->layout())->addStretch(1);
    r = Form::row(settingsContent_);
    Form::place(r, new QLabel(QStringLiteral("発信者名"), r), nullptr);
    Edit1 = Form::edit(r, "Edit1", QString());
    Edit1->setAttribute(Qt::WA_InputMethodEnabled);
    CheckBox1 = Form::check(r, "CheckBox1", QStringLiteral("全員送信"), false);
    CheckBox6 = Form::check(settingsContent_, "CheckBox6", QStringLiteral("連絡文に時刻表示"), false);
    r = Form::row(settingsContent_);
    CheckBox2 = Form::check(r, "CheckBox2", QStringLiteral("定時連絡"), false);
    Edit2 = Form::edit(r, "Edit2", QStringLiteral("5"), 40);
    UpDown1 = Form::place(r, new UpDown(r, "UpDown1", Edit2, 1, 999), nullptr);
    Form::place(r, new QLabel(QStringLiteral("分毎"), r), nullptr);
    static_cast<QHBoxLayout*>(r->layout())->addStretch(1);
    r = Form::row(settingsContent_);
    Form::place(r, new QLabel(QStringLiteral("連絡文"), r), nullptr);
    Edit3 = Form::edit(r, "Edit3", QStringLiteral("交代です！"));
    r = Form::row(settingsContent_);
    CheckBox3 = Form::check(r, "CheckBox3", QStringLiteral("30秒前に予告する。"), true);
    Edit4 = Form::edit(r, "Edit4", QStringLiteral("３０秒前です。"));
    r = Form::row(settingsContent_);
    CheckBox4 = Form::check(r, "CheckBox4", QStringLiteral("ＬＡＮに流す"), false);
    CheckBox5 = Form::check(r, "CheckBox5", QStringLiteral("定時連絡に時刻表示"), true);
    Label3 = Form::label(settingsContent_, Core::ScheduleStoppedText(), "Label3");
    CheckBox7 = Form::check(settingsContent_, "CheckBox7", QStringLiteral("Quelta終了時に自動保存する。"), false);
    Edit71 = new QLineEdit(settingsContent_);
    Edit71->setObjectName(QStringLiteral("Edit71"));
    Edit71->hide();

    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm6::CheckBox2Click);
    connect(Edit2, &QLineEdit::textChanged, this, &TForm6::Edit2Change);
}

// ---------------------------------------------------------------------------------------------
// Layout

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel3 && event->type() == QEvent::Resize) {
        const QLayout* l = settingsContent_->layout();
        const int w = Panel3->width();
        settingsContent_->setGeometry(0, 0, w, l->hasHeightForWidth() ? l->totalHeightForWidth(w) : l->totalSizeHint().height());
    }
    return AuxWindow::eventFilter(watched, event);
}

void TForm6::resizeEvent(QResizeEvent* event) {
    AuxWindow::resizeEvent(event);
    layoutPanels();
}

// The settings panel and the input part keep their heights; the history takes the rest.
void TForm6::layoutPanels() {
    const int total = Splitter->height() - 2 * Splitter->handleWidth();
    const int top = qMax(kMinPanel, panel3Height_), bottom = qMax(kMinPanel, panel1Height_);
    Splitter->setSizes({top, qMax(kMinPanel, total - top - bottom), bottom});
}

void TForm6::setPanel1Height(int h) {
    panel1Height_ = qMax(kMinPanel, h);
    layoutPanels();
}

void TForm6::setPanel3Height(int h) {
    panel3Height_ = qMax(kMinPanel, h);
    layoutPanels();
}

bool TForm6::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) focusInputPane();
    return AuxWindow::event(event);
}

void TForm6::closeEvent(QCloseEvent* event) {
    CheckBox2->setChecked(false);  // closing the window stops the schedule
    AuxWindow::closeEvent(event);
}

void TForm6::focusInputPane() { RichEdit1->setFocus(); }

// ---------------------------------------------------------------------------------------------
// Colours and font

QColor TForm6::colourOf(qint32 value) const { return Settings::toQColor(value, palette()); }
QColor TForm6::normalColour() const { return colourOf(normalValue_); }
QColor TForm6::signalColour() const { return colourOf(signalValue_); }
bool TForm6::signalling() const { return Timer1->isActive(); }

void TForm6::paintPanes(const QColor& background) {
    for (QTextEdit* pane : {static_cast<QTextEdit*>(RichEdit1), RichEdit2}) {
        QPalette p = pane->palette();
        p.setColor(QPalette::Base, background);
        p.setColor(QPalette::Text, colourOf(fontColourValue_));
        pane->setPalette(p);
    }
}

void TForm6::setPaneFont(const QFont& font) {
    font_ = font;
    RichEdit1->setFont(font);
    RichEdit2->setFont(font);
}

void TForm6::Button2Click() {
    if (const auto f = station().dialogs.chooseFont(this, font_)) setPaneFont(*f);
}

void TForm6::Button3Click() {
    const auto c = station().dialogs.chooseColor(this, normalColour());
    if (!c) return;
    normalValue_ = Settings::fromQColor(*c);
    paintPanes(normalColour());
}

// The signal colour is shown at once and goes back after two seconds, so it can be judged.
void TForm6::Button4Click() {
    const auto c = station().dialogs.chooseColor(this, signalColour());
    if (!c) return;
    signalValue_ = Settings::fromQColor(*c);
    signal();
}

void TForm6::signal() {
    paintPanes(signalColour());
    Timer1->start(2000);
}

void TForm6::Timer1Timer() {
    Timer1->stop();
    paintPanes(normalColour());
}

// ---------------------------------------------------------------------------------------------
// Sending and receiving

void TForm6::appendHistory(const QString& text, const QTime& time) {
    const QString line = CheckBox6->isChecked() ? Core::Contact::HistoryStamp(time) + text : text;
    if (RichEdit2->document()->characterCount() + line.size() > kHistoryLimit) return;  // the pane is full
    QTextCursor c(RichEdit2->document());
    c.movePosition(QTextCursor::End);
    if (historyHasLines_) c.insertBlock();
    c.insertText(line);
    historyHasLines_ = true;
    RichEdit2->verticalScrollBar()->setValue(RichEdit2->verticalScrollBar()->maximum());
}

int TForm6::historyLineCount() const { return historyHasLines_ ? RichEdit2->document()->blockCount() : 0; }

bool TForm6::SendContactLine(bool send) {
    const QByteArray text = Core::Contact::Compose(Edit1->text(), RichEdit1->toPlainText());
    const QByteArray wire = Core::Contact::OnTheWire(text);
    // Every receiver drops a datagram at its limit (scrambled, while scrambling is on): such a line
    // would reach nobody, yet stand in the own history as sent.
    if (send && !links_.outbox.wire(Net::Ports::Contact, wire)) {
        station().messages.information(kTooLong.arg(text.size()).arg(Net::Ports::Contact.maxBytes - 1));
        return false;
    }
    const QTime time = station().clock.now().time();
    if (links_.logOn && links_.logOn() && links_.log)
        links_.log(Core::Contact::LogLine(time, kSelf, Cp932::decode(text)));
    // A broadcast comes back to this station like every other receipt.
    if (!CheckBox1->isChecked()) appendHistory(Cp932::decode(text), time);
    if (send) {
        if (CheckBox1->isChecked()) broadcast(wire);
        else links_.outbox.toMembers(Net::Ports::Contact, wire);
    }
    RichEdit1->clear();
    return true;
}

void TForm6::broadcast(const QByteArray& wire) {
    using Core::Contact::Broadcast;
    const Broadcast b = Core::Contact::BroadcastFor(links_.ownAddress ? links_.ownAddress() : QString());
    if (b.kind != Broadcast::Kind::Address) {
        if (links_.message) links_.message(QStringLiteral("自分のＩＰアドレスが間違っています。"));
        return;
    }
    Edit71->setText(b.address);
    links_.outbox.toHost(Net::Ports::Contact, b.address, wire);
}

void TForm6::NMUDP1DataReceived(const QByteArray& payload, const QString& from, quint16) {
    const QString text = Cp932::decode(Core::Contact::Received(payload));
    const QTime time = station().clock.now().time();
    if (links_.logOn && links_.logOn() && links_.log) links_.log(Core::Contact::LogLine(time, from, text));
    appendHistory(text, time);
    signal();
}

// ---------------------------------------------------------------------------------------------
// Scheduled notices

void TForm6::CheckBox2Click() {
    if (CheckBox2->isChecked()) {
        schedule_.start(station().clock.now(), Core::IntervalMinutes(Edit2->text()));
        Timer2->start(1000);
    } else {
        Timer2->stop();
        schedule_.stop();
        Label3->setText(Core::ScheduleStoppedText());
    }
}

// The notice goes in front of whatever the typist has begun, and the whole pane is sent.
void TForm6::insertNotice(const QString& text, const QTime& time) {
    const QString pane = RichEdit1->toPlainText();
    QStringList lines = pane.isEmpty() ? QStringList() : pane.split(u'\n');
    lines.prepend(text);
    if (CheckBox5->isChecked()) lines.append(Core::NoticeTimeLine(time));
    RichEdit1->setPlainText(lines.join(u'\n'));
}

void TForm6::Timer2Timer() {
    const QDateTime now = station().clock.now();
    const Core::ContactSchedule::Tick t =
        schedule_.tick(now, Core::IntervalMinutes(Edit2->text()), CheckBox3->isChecked());
    // A notice that cannot be sent leaves the pane as the typist had it.
    auto post = [this, &now](const QString& notice) {
        const QString typed = RichEdit1->toPlainText();
        insertNotice(notice, now.time());
        if (!SendContactLine(CheckBox4->isChecked())) RichEdit1->setPlainText(typed);
    };
    if (t.notice) {
        signal();
        post(Edit3->text());
    }
    if (t.advance) {
        post(Edit4->text());
        signal();
    }
    if (!schedule_.running()) return;
    // Without an interval nothing is due, and the label says so instead of counting below zero.
    Label3->setText(Core::IntervalMinutes(Edit2->text()) < 1 ? Core::ScheduleStoppedText()
                                                             : Core::RemainingText(schedule_.remainingMs(now)));
}

void TForm6::Edit2Change() {
    if (inEdit2_) return;
    if (const auto fixed = Core::CorrectedInterval(Edit2->text())) {
        inEdit2_ = true;
        Edit2->setText(*fixed);
        inEdit2_ = false;
    }
    schedule_.restart(station().clock.now(), Core::IntervalMinutes(Edit2->text()));
}

// ---------------------------------------------------------------------------------------------
// Saving the history

void TForm6::Button1Click() {
    const QDateTime now = station().clock.now();
    QString path = station().dialogs.saveFileName(this, station().programFolder + Core::Contact::HistoryFileName(now),
                                                  QStringLiteral("連絡文.txt(*.txt);;全てのファイル(*.*)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    QString error;
    if (!Settings::writeLines(path, Core::Contact::HistoryLines(RichEdit2->toPlainText(), historyHasLines_), &error)) {
        station().messages.information(QStringLiteral("連絡文を保存できませんでした。\n") + path + u'\n' + error +
                                       QStringLiteral("\n連絡文は消去せずに、そのまま残しています。"));
        return;
    }
    RichEdit2->clear();
    historyHasLines_ = false;
    RichEdit1->setFocus();
}

std::optional<QList<QByteArray>> TForm6::HistoryAtExit() const {
    if (!CheckBox7->isChecked() || historyLineCount() < 1) return std::nullopt;
    return Core::Contact::HistoryLines(RichEdit2->toPlainText(), true);
}

bool TForm6::SaveHistoryAtExit(QString* error) {
    const auto lines = HistoryAtExit();
    if (!lines) return true;
    const QString path = station().programFolder + Core::Contact::HistoryFileName(station().clock.now());
    return Settings::writeLines(path, *lines, error);
}

// ---------------------------------------------------------------------------------------------
// Settings

// clang-format off
Settings::Rows<TForm6> TForm6::settingRows() {
    using T = TForm6;
    using enum Settings::Kind;
    static const Settings::Row<TForm6> rows[] = {
        {.step = &T::resetLook},
        {.key = 191, .control = "Edit1", .kind = Text, .comment = u"連絡窓の送信者名", .design = u""},
        {.key = 703, .control = "CheckBox5", .kind = TrueFalse, .comment = u"連絡窓の定時連絡に時刻表示のチェック", .design = u"true"},
        {.key = 704, .control = "CheckBox3", .kind = TrueFalse, .comment = u"連絡窓の定時連絡の30秒前に流すチェック", .design = u"true"},
        {.key = 705, .control = "CheckBox4", .kind = TrueFalse, .comment = u"連絡窓の定時連絡のＬＡＮに流すチェック", .design = u"false"},
        {.key = 706, .control = "Edit2", .kind = Int, .comment = u"連絡窓の定時連絡の時間指定", .design = u"5"},
        {.key = 707, .control = "Edit3", .kind = Text, .comment = u"連絡窓の定時連絡文", .design = u"交代です！"},
        {.key = 708, .control = "Edit4", .kind = Text, .comment = u"連絡窓の定時連絡予告文", .design = u"３０秒前です。"},
        {.control = "CheckBox2", .kind = TrueFalse, .design = u"false"},  // key 709 is always written "false"
        {.key = 786, .control = "CheckBox6", .kind = TrueFalse, .comment = u"「連絡窓」の「連絡文に時刻表示」のチェック", .design = u"false"},
        {.key = 857, .control = "CheckBox7", .kind = TrueFalse, .comment = u"連絡窓の「Quelta終了時に自動保存する」のチェック", .design = u"false"},
    };
    return rows;
}
// clang-format on

void TForm6::addSettings(Settings::KeyTable& t) {
    using Settings::FontStyle;
    using Settings::Kind;
    Bind::rows(t, this, settingRows());
    auto get = [this] { return font_; };
    auto set = [this](const QFont& f) { setPaneFont(f); };
    Bind::fontStyle(t, 147, FontStyle::Bold, u"連絡窓のフォントスタイル：ｂｏｌｄ", u"連絡窓のフォントスタイル：！ｂｏｌｄ", get, set);
    Bind::fontStyle(t, 148, FontStyle::Italic, u"連絡窓のフォントスタイル：Ｉｔａｌｉｃ",
                    u"連絡窓のフォントスタイル：！Ｉｔａｌｉｃ", get, set);
    Bind::fontStyle(t, 149, FontStyle::Underline, u"連絡窓のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
                    u"連絡窓のフォントスタイル：！ＵｎｄｅｒＬｉｎｅ", get, set);
    Bind::colour(t, 150, u"連絡窓の背景色", [this] { return normalValue_; },
                 [this](qint32 v) {
                     normalValue_ = v;
                     paintPanes(signalling() ? signalColour() : normalColour());
                 });
    Bind::colour(t, 151, u"連絡窓の連絡受信時の背景色", [this] { return signalValue_; },
                 [this](qint32 v) { signalValue_ = v; });
    Bind::visible(t, 152, this, Kind::OnOff, u"連絡窓表示", u"連絡窓非表示");
    Bind::fontName(t, 153, u"連絡窓のフォント名", get, set);
    Bind::colour(t, 154, u"連絡窓のフォント色", [this] { return fontColourValue_; },
                 [this](qint32 v) {
                     fontColourValue_ = v;
                     paintPanes(signalling() ? signalColour() : normalColour());
                 });
    Bind::fontSize(t, 155, u"連絡窓のフォントサイズ", get, set);
    Bind::geometry(t, this, {156, 157, 158, 159}, u"連絡窓の高さ", u"連絡窓の幅", u"連絡窓の縦位置", u"連絡窓の横位置");
    Bind::number(t, 160, u"連絡窓の入力部の高さ", [this] { return panel1Height_; }, [this](int v) { setPanel1Height(v); });
    Bind::number(t, 702, u"連絡窓の設定パネルの高さ", [this] { return panel3Height_; }, [this](int v) { setPanel3Height(v); });
    // Written as "false" whatever the box says, so a file never starts a schedule by itself.
    Settings::Entry schedule;
    schedule.key = 709;
    schedule.kind = Kind::TrueFalse;
    schedule.comment = Bind::comment(u"連絡窓の定時連絡（流す）のチェック");
    schedule.read = [] { return Settings::trueFalse(false); };
    schedule.apply = [this](QByteArrayView v) { CheckBox2->setChecked(Settings::isTrue(v)); };
    t.add(std::move(schedule));
}

void TForm6::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm6::resetLook() {
    QFont f(Fonts::gothic());
    Fonts::setPoints(f, 12);
    setPaneFont(f);
    normalValue_ = Settings::Colour::kWindow;
    signalValue_ = Settings::Colour::kRed;
    fontColourValue_ = Settings::Colour::kBlack;
    Timer1->stop();
    paintPanes(normalColour());
    hide();
    placeAtDefaults();
}
