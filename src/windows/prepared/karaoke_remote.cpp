#include "windows/prepared/karaoke_remote.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "ui/updown.h"
#include "core/karaoke.h"
#include "net/datagram_endpoint.h"
#include "net/outbox.h"
#include "settings/line_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

namespace Ports = Net::Ports;
namespace Karaoke = Core::Karaoke;

const QString kNoPartner = QStringLiteral("パートナーが指名されていません。");
const QString kRefused =
    QStringLiteral("「カラオケ送信リモコン」は、パートナーに送信します。\nパートナーが指名されていません。");
const QString kCharKaraokeHelp = QStringLiteral(
    "バックコート＋英字で挿入された画は色が変わりません。\n変化色は、従来のカラオケの様な「加算」ではなく直接塗ります。\n"
    "背景に白以外を指定したり、背景画を指定することができます。");
const QString kKaraokeHelp = QStringLiteral(
    "指定した色は、元の文字色に「加算」されます。\n「加算」は、絵の具を混ぜるのではなく光線のそれです。\n\n"
    "元が黒ならば、指定した色がそのまま出ます。\n元が白の場合は、どの様な色を加算しても白のままです。\n\n"
    "元の文字色は、黒を推奨します。\nまた、背景色は、白の固定です。\n\n変更した色はスライドバーを動かすと反映します。\n");
const QString kExplanation = QStringLiteral(
    "●カラオケ・送信リモコンの使い方\n"
    "パートナーの表示用パソコン（７ｗ）の画面を見ながら、今の行の色変わりを進めます。\n"
    "このパソコン自身は色変わりを表示しません。送信するだけです。\n\n"
    "１）「色変わりを」で「文字ｶﾗに送信」か「ｶﾗｵｹに送信」を選びます。\n"
    "２）パートナーがまだリモコンを受け付けていない時は、その方式の「on」を押します。\n"
    "３）→で進む、←で戻る、Shift＋→で速く進む、Shift＋←で速く戻る、↓で次の行、↑で前の行です。\n"
    "　　マウスよりも、Shiftと矢印キーでの操作をお勧めします。\n\n"
    "「ｶﾗｵｹ」にすると、パートナーの背景は白に固定されます。\n"
    "パートナー側では、メッセージを表示しない設定にしておいてください。");

QByteArray line(QStringView text) { return Cp932::encode(text); }

}  // namespace

TFmojikara::TFmojikara(const App::WindowContext& context, App::RemoteLinks l)
    : AuxWindow(context, "TFmojikara", QStringLiteral("カラオケ・送信リモコン(ctrl+k)"),
                QStringLiteral(" :カラオケ・送信リモコン(ctrl+k)"), "hkeymojikara1"),
      links(std::move(l)) {
    PageControl1 = addPageControl();

    auto* remote = new QWidget(PageControl1);
    auto* rv = new QVBoxLayout(remote);
    rv->setContentsMargins(2, 2, 2, 2);
    Panel1 = Form::place(remote, new QWidget(remote), "Panel1");
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(4);

    QGroupBox* to = Form::group(Panel1, QStringLiteral("色変わりを"));
    CheckBox59 = Form::check(to, "CheckBox59", QStringLiteral("文字ｶﾗに送信"), false);
    CheckBox1 = Form::check(to, "CheckBox1", QStringLiteral("ｶﾗｵｹに送信"), false);

    QGroupBox* colours = Form::group(Panel1, QStringLiteral("変化色"));
    Button1 = Form::button(colours, "Button1", QStringLiteral("文字ｶﾗ"));
    Button2 = Form::button(colours, "Button2", QStringLiteral("ｶﾗｵｹ"));

    QGroupBox* charOnOff = Form::group(Panel1, QStringLiteral("文字ｶﾗ"));
    Button3 = Form::button(charOnOff, "Button3", QStringLiteral("on"));
    Button4 = Form::button(charOnOff, "Button4", QStringLiteral("off"));
    QGroupBox* karaokeOnOff = Form::group(Panel1, QStringLiteral("ｶﾗｵｹ"));
    Button5 = Form::button(karaokeOnOff, "Button5", QStringLiteral("on"));
    Button6 = Form::button(karaokeOnOff, "Button6", QStringLiteral("off"));

    GroupBox2 = Form::group(Panel1, QStringLiteral("桁数"), "GroupBox2");
    QWidget* maxRow = Form::row(GroupBox2);
    Form::label(maxRow, QStringLiteral("最大"));
    Edit4 = Form::edit(maxRow, "Edit4", QStringLiteral("20"), 44);
    UpDown4 = Form::place(maxRow, new UpDown(maxRow, "UpDown4", Edit4, 1, 1000), nullptr);
    QWidget* reachedRow = Form::row(GroupBox2);
    Form::label(reachedRow, QStringLiteral("色変え桁"));
    Edit5 = Form::edit(reachedRow, "Edit5", QStringLiteral("0"), 44);
    Edit5->setReadOnly(true);
    Edit5->setFocusPolicy(Qt::NoFocus);

    QGroupBox* steps = Form::group(Panel1, QStringLiteral("移動桁／量(%)"));
    QWidget* stepRow = Form::row(steps);
    Form::label(stepRow, QStringLiteral("←/→"));
    Edit2 = Form::edit(stepRow, "Edit2", QStringLiteral("1"), 36);
    UpDown1 = Form::place(stepRow, new UpDown(stepRow, "UpDown1", Edit2, 1, 1000), nullptr);
    QWidget* fastRow = Form::row(steps);
    Form::label(fastRow, QStringLiteral("Shift +"));
    Edit3 = Form::edit(fastRow, "Edit3", QStringLiteral("2"), 36);
    UpDown2 = Form::place(fastRow, new UpDown(fastRow, "UpDown2", Edit3, 1, 1000), nullptr);
    top->addStretch(1);
    for (QLabel* l : Panel1->findChildren<QLabel*>()) l->setWordWrap(false);
    Panel1->setFixedHeight(90);

    Form::label(remote, QStringLiteral("●→:進む、←:戻る、Shift+→:速く進む、Shift+←:速く戻る、↓:次行、↑:前行"));
    Form::label(remote, QStringLiteral("矢印キーでの操作を推奨"));
    TrackBar1 = Form::place(remote, new QSlider(Qt::Horizontal, remote), "TrackBar1");
    TrackBar1->setRange(0, Karaoke::kMaximum);
    TrackBar1->setPageStep(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(10);
    TrackBar1->setFocusPolicy(Qt::StrongFocus);
    TrackBar1->installEventFilter(this);
    rv->addStretch(1);
    PageControl1->addTab(remote, QStringLiteral("リモコン"));

    auto* help = new QWidget(PageControl1);
    auto* hv = new QVBoxLayout(help);
    Memo1 = Form::place(help, new QTextEdit(help), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setPlainText(kExplanation);
    Button7 = Form::button(help, "Button7", QStringLiteral("保存"));
    hv->setStretchFactor(Memo1, 1);
    PageControl1->addTab(help, QStringLiteral("説明"));

    connect(TrackBar1, &QSlider::valueChanged, this, &TFmojikara::TrackBar1Change);
    connect(CheckBox59, &QCheckBox::toggled, this, &TFmojikara::CheckBox59Click);
    connect(CheckBox1, &QCheckBox::toggled, this, &TFmojikara::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TFmojikara::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFmojikara::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFmojikara::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFmojikara::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TFmojikara::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFmojikara::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TFmojikara::Button7Click);
    // A step of 0 or less typed in becomes 1.
    for (QLineEdit* e : {Edit2, Edit3})
        connect(e, &QLineEdit::textChanged, this, [e](const QString& t) {
            bool ok = false;
            if (t.trimmed().toInt(&ok) <= 0 && ok) e->setText(QStringLiteral("1"));
        });
    connect(Edit4, &QLineEdit::textChanged, this, [this] {
        Edit5->setText(QString::number(Karaoke::ColumnReached(TrackBar1->value(), Form::intOf(Edit4, 20))));
    });

    // Design default 6716; the channel moves it only while one of the two modes is chosen.
    NMUDP1 = makeEndpoint(Ports::RemoteCharKaraoke, [this] { return CheckBox59->isChecked() || CheckBox1->isChecked(); });
    resize(kDefaultSize);
    if (links.home) AuxWindow::move(links.home());
}

int TFmojikara::step(QLineEdit* field) const {
    bool ok = false;
    const int v = field->text().trimmed().toInt(&ok);
    return Karaoke::StepValue(ok ? std::optional<int>(v) : std::nullopt);
}

// ---------------------------------------------------------------------------------------------
// The slider

void TFmojikara::TrackBar1Change() {
    const int position = TrackBar1->value();
    Edit5->setText(QString::number(Karaoke::ColumnReached(position, Form::intOf(Edit4, 20))));
    SendCommand(QByteArray::number(position));
    if (const auto next = Karaoke::WrapAfter(position)) {
        QApplication::beep();
        TrackBar1->setValue(*next);  // a change of its own, which sends the new position
    }
}

void TFmojikara::stepSlider(int direction, bool fast) {
    const int delta = Karaoke::StepPercent(step(fast ? Edit3 : Edit2), Form::intOf(Edit4, 20));
    TrackBar1->setValue(TrackBar1->value() + direction * delta);
}

bool TFmojikara::TrackBar1KeyDown(QKeyEvent* e) {
    if (e->modifiers() & Qt::AltModifier) return false;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Right: stepSlider(+1, shift); return true;
    case Qt::Key_Left: stepSlider(-1, shift); return true;
    case Qt::Key_Down:
        TrackBar1->setValue(1);
        SendCommand(Net::Wire::KaraokeNext());
        return true;
    case Qt::Key_Up:
        TrackBar1->setValue(1);
        SendCommand(Net::Wire::KaraokePrevious());
        return true;
    default:
        return false;
    }
}

bool TFmojikara::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TrackBar1 && event->type() == QEvent::KeyPress && TrackBar1KeyDown(static_cast<QKeyEvent*>(event)))
        return true;
    return AuxWindow::eventFilter(watched, event);
}

// The arrow keys work at once: whenever the window becomes active, the slider has the focus.
bool TFmojikara::event(QEvent* e) {
    const bool handled = AuxWindow::event(e);
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FocusSlider();
    return handled;
}

void TFmojikara::FocusSlider() {
    if (PageControl1->currentIndex() == 0) TrackBar1->setFocus();
}

void TFmojikara::SendCommand(const QByteArray& command) {
    const bool karaoke = CheckBox1->isChecked();
    if (!karaoke && !CheckBox59->isChecked()) return;
    if (!links.hasPartner()) return;
    const Net::PortEntry& entry = karaoke ? Ports::RemoteKaraoke : Ports::RemoteCharKaraoke;
    links.outbox->toPartner(entry, command);
    if (const auto wire = links.outbox->wire(entry, command))
        links.outbox->toSibling(entry, karaoke ? Net::SiblingPorts::Karaoke : Net::SiblingPorts::CharKaraoke, *wire);
}

// ---------------------------------------------------------------------------------------------
// Modes

void TFmojikara::modeChanged(QCheckBox* box, QCheckBox* other, const Net::PortEntry& entry) {
    if (!box->isChecked()) return;
    if (!links.hasPartner() && links.started()) {
        box->setChecked(false);
        links.message(kRefused);
        FocusSlider();
        return;
    }
    other->setChecked(false);
    GroupBox2->setVisible(box == CheckBox59);
    NMUDP1->setEntry(entry);
    NMUDP1->bindChannel(links.channelIndex());
    links.registerEndpoint(NMUDP1);
    FocusSlider();
}

void TFmojikara::CheckBox59Click() { modeChanged(CheckBox59, CheckBox1, Ports::RemoteCharKaraoke); }
void TFmojikara::CheckBox1Click() { modeChanged(CheckBox1, CheckBox59, Ports::RemoteKaraoke); }

// ---------------------------------------------------------------------------------------------
// Display-settings blocks to the partner

void TFmojikara::sendBlock(const QList<QByteArray>& lines) {
    for (const QByteArray& l : Net::Wire::SettingsTransfer(lines)) links.sendSettingsLine(l);
}

void TFmojikara::chooseColour(const QString& help, int key, const QString& comment, QCheckBox* mode) {
    const QColor now = Settings::toQColor(colour, QApplication::palette());
    const auto c = station().dialogs.chooseColor(this, now);
    if (!c) return;
    colour = Settings::fromQColor(*c);
    links.message(help);
    mode->setChecked(true);
    sendBlock({QByteArray::number(key) + ':' + QByteArray::number(colour) + ':' + line(comment),
               line(u"619:true:再描画")});
    FocusSlider();
}

void TFmojikara::Button1Click() {
    chooseColour(kCharKaraokeHelp, 450, QStringLiteral("「文字カラオケ」ウインドの変化色"), CheckBox59);
}
void TFmojikara::Button2Click() {
    chooseColour(kKaraokeHelp, 184, QStringLiteral("「文字カラオケ」ウインドの変化色"), CheckBox1);
}

void TFmojikara::Button3Click() {
    if (!links.hasPartner()) links.message(kNoPartner);
    sendBlock({line(u"441:true:「文字カラオケ」ウインドの「自分の色を変える」のチェック"),
               line(u"443:true:「文字カラオケ」ウインドの「受信する」のチェック")});
    FocusSlider();
}

void TFmojikara::Button4Click() {
    if (!links.hasPartner()) links.message(kNoPartner);
    sendBlock({line(u"441:false:「文字カラオケ」ウインドの「自分の色を変える」のチェック"),
               line(u"443:false:「文字カラオケ」ウインドの「受信する」のチェック")});
    FocusSlider();
}

void TFmojikara::Button5Click() {
    if (!links.hasPartner()) links.message(kNoPartner);
    sendBlock({line(u"174:on:「色変わり」表示する"), line(u"176:on:「色変わり」受信する")});
    FocusSlider();
}

void TFmojikara::Button6Click() {
    if (!links.hasPartner()) links.message(kNoPartner);
    sendBlock({line(u"174:off:「色変わり」表示しない"), line(u"176:off:「色変わり」受信しない")});
    FocusSlider();
}

void TFmojikara::Button7Click() {
    SaveUsageText(Memo1->toPlainText());
}

// ---------------------------------------------------------------------------------------------
// Settings

// clang-format off
Settings::Rows<TFmojikara> TFmojikara::settingRows() {
    using T = TFmojikara;
    using enum Settings::Kind;
    static const Settings::Row<TFmojikara> rows[] = {
        {.key = 444, .control = "Edit2", .kind = Int, .comment = u"キー移動量", .design = u"1"},
        {.key = 445, .control = "Edit3", .kind = Int, .comment = u"シフト移動量", .design = u"2"},
        {.key = 446, .control = "Edit4", .kind = Int, .comment = u"右端の桁", .design = u"20", .step = &T::resetPlace},
        {.key = 764, .control = "CheckBox59", .kind = TrueFalse, .comment = u"「カラオケ送信リモコン」ウインドの「パートナーに送信」のチェック",
         .design = u"false"},
        {.key = 765, .control = "CheckBox1", .kind = TrueFalse, .comment = u"「カラオケ送信リモコン」ウインドの「カラオケに送信」のチェック",
         .design = u"false", .step = &T::resetPanel},
    };
    return rows;
}
// clang-format on

void TFmojikara::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::rows(t, this, settingRows());
    Bind::geometry(t, this, {763, 762, 760, 761}, u"「カラオケ送信リモコン」の縦長さ", u"「カラオケ送信リモコン」の横幅",
                   u"「カラオケ送信リモコン」の縦位置", u"「カラオケ送信リモコン」の横位置");
    Bind::visible(t, 769, this, Kind::TrueFalse, u"「カラオケ送信リモコン」ウインドの表示有無", {});
    Bind::number(t, 770, u"「カラオケ送信リモコン」の上部パネル高さ", [this] { return Panel1->height(); },
                 [this](int v) { Panel1->setFixedHeight(qMax(2, v)); });
    Bind::colour(t, 771, u"「カラオケ送信リモコン」ウインドの変化色", [this] { return colour; },
                 [this](qint32 v) { colour = v; });
}

void TFmojikara::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TFmojikara::resetPlace() {
    if (links.home) AuxWindow::move(links.home());
    resize(kDefaultSize);
}

void TFmojikara::resetPanel() {
    hide();
    Panel1->setFixedHeight(90);
    colour = Settings::Colour::kRed;
}
