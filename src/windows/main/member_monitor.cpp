#include "windows/main/member_monitor.h"

#include "ui/fonts.h"
#include "ui/settings_binders.h"
#include "ui/station.h"
#include "net/caption_protocol.h"
#include "net/team.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// A column of the monitor: rows are placed in it by hand, so it says how wide it would like to be.
class Column : public QWidget {
public:
    Column(QWidget* parent, int preferred) : QWidget(parent), preferred_(preferred) {}
    QSize sizeHint() const override { return {preferred_, 100}; }

private:
    int preferred_;
};

const char* const kNames[] = {"Edit36", "Edit37", "Edit38", "Edit39", "Edit81", "Edit82", "Edit83", "Edit84"};
}  // namespace

TForm2::TForm2(const App::WindowContext& context, Net::Team& team, std::function<Options()> options)
    : AuxWindow(context, "TForm2", QStringLiteral("８人モニター(ctrl+8)"), QStringLiteral(" : ８人モニター(ctrl+8)"),
                "hkey8nin1"),
      team_(team), options_(std::move(options)) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(560, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    layout->addWidget(ScrollBox1);
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    ScrollBox1->setWidget(Splitter1);
    auto column = [this](const char* name, int width) {
        auto* w = new Column(Splitter1, width);
        w->setObjectName(QString::fromLatin1(name));
        w->setMinimumWidth(2);  // a column never vanishes
        w->resize(width, w->height());
        w->installEventFilter(this);
        return w;
    };
    Panel3 = column("Panel3", 64);
    Panel1 = column("Panel1", 90);
    Panel2 = column("Panel2", 400);
    Splitter1->setSizes({64, 90, 400});
    Splitter1->setStretchFactor(2, 1);

    for (int k = 1; k <= kRows; ++k) {
        Row& r = row(k);
        r.request = new QPushButton(QStringLiteral("な%1").arg(k), Panel3);
        r.request->setObjectName(QStringLiteral("Button%1").arg(2 * k + 1));
        r.partner = new QPushButton(QStringLiteral("パ"), Panel3);
        r.partner->setObjectName(QStringLiteral("Button%1").arg(2 * k + 2));
        r.partner->hide();
        r.name = new QLineEdit(Panel1);
        r.name->setObjectName(QString::fromLatin1(kNames[k - 1]));
        r.name->setReadOnly(true);
        r.pane = new QTextEdit(Panel2);
        r.pane->setObjectName(QStringLiteral("RichEdit%1").arg(k));
        r.pane->setReadOnly(true);
        r.pane->setAcceptRichText(false);
        r.pane->document()->setDocumentMargin(1);
        r.pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        r.pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        r.name->installEventFilter(this);
        r.pane->viewport()->installEventFilter(this);
        // A right click picks the colour of the field; no edit menu may open on top of that.
        for (QWidget* w : std::initializer_list<QWidget*>{r.name, r.pane, r.pane->viewport()})
            w->setContextMenuPolicy(Qt::PreventContextMenu);
        for (QPushButton* b : {r.request, r.partner}) b->setFocusPolicy(Qt::NoFocus);
        connect(r.request, &QPushButton::clicked, this, [this, k] { team_.requestPartner(k); });
        connect(r.partner, &QPushButton::clicked, this, [this, k] { team_.cancelPartner(k); });
    }
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(12);
    row(1).pane->setFont(f);

    Button1 = new QPushButton(QStringLiteral("フォント"), Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("背景色"), Panel2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1 = new QLabel(QStringLiteral("●枠を左クリックして、次に移動先の枠をクリックすると位置が入れ替わります。"), Panel2);
    Label2 = new QLabel(QStringLiteral("●右クリックすると単独に色の指定ができます。"), Panel2);
    CheckBox1 = new QCheckBox(QStringLiteral("「●消去●」「$改行$」を表示しない。"), Panel2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Label3 = new QLabel(QStringLiteral("←移動可"), Panel2);
    CheckBox2 = new QCheckBox(QStringLiteral("自動的に上から入力順に表示する。"), Panel2);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    for (QLabel* l : {Label1, Label2}) l->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, CheckBox1, Label3, CheckBox2}) w->adjustSize();
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm2::CheckBox2Click);
    Restack();
}

bool TForm2::isIdle(const QString& t) {
    return t.isEmpty() || t == Cp932::decode(Net::Wire::ErasedPane()) || t == Cp932::decode(Net::Wire::BlankLine()) ||
           t == QLatin1String(" ");
}

QList<int> TForm2::rowOrder() const {
    QList<int> order{1, 2, 3, 4, 5, 6, 7, 8};
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return rows_[a - 1].top < rows_[b - 1].top; });
    return order;
}

void TForm2::placeRow(int k, int top) {
    Row& r = row(k);
    r.top = top;
    r.name->setGeometry(0, top, Panel1->width(), rowHeight_);
    r.pane->setGeometry(0, top, Panel2->width(), rowHeight_);
    const int half = Panel3->width() / 2;
    r.request->setGeometry(0, top, half, qMin(rowHeight_, 28));
    r.partner->setGeometry(half, top, Panel3->width() - half, qMin(rowHeight_, 28));
}

void TForm2::placeButtons() {
    for (int k = 1; k <= kRows; ++k) placeRow(k, row(k).top);
    placeFooter();
}

void TForm2::Restack() {
    const QFont font = row(1).pane->font();
    for (Row& r : rows_) {
        r.pane->setFont(font);
        r.name->setFont(font);
    }
    const int lines = qBound(1, options_().linesPerRow, 9);
    // A font size from a settings file may be anything; beyond this no row fits a screen anyway,
    // and the row positions must stay inside int.
    const int size = qBound(1, Fonts::points(font), 1000);
    rowHeight_ = lines * size * 2 + 2;
    positions_.clear();
    for (int k = 1; k <= kRows; ++k) {
        const int top = (k - 1) * (rowHeight_ + 4);
        placeRow(k, top);
        positions_ << top;
        row(k).idle = true;
    }
    selected_ = 0;
    for (int k = 1; k <= kRows; ++k) {
        Row& r = row(k);
        r.name->show();
        r.pane->show();
        SyncButtons(k, partner_[k - 1]);
    }
    placeFooter();
}

// The buttons and hints below the rows; the hints wrap at the column's width, so none is cut.
void TForm2::placeFooter() {
    const int below = 7 * (rowHeight_ + 4) + rowHeight_ + 4;
    const int width = qMax(120, Panel2->width() - 4);
    Button1->move(0, below);
    Button2->move(Button1->width() + 4, below);
    int y = below + Button1->height() + 4;
    for (QLabel* l : {Label1, Label2}) {
        l->setGeometry(0, y, width, l->heightForWidth(width));
        y += l->height() + 4;
    }
    CheckBox1->move(0, y);
    Label3->move(CheckBox1->width() + 8, CheckBox1->y());
    CheckBox2->move(0, CheckBox1->y() + CheckBox1->height() + 2);
    Splitter1->setMinimumHeight(CheckBox2->y() + CheckBox2->height() + 8);
}

void TForm2::SyncButtons(int k, bool partner) {
    if (k < 1 || k > kRows) return;
    partner_[k - 1] = partner;
    if (selected_ == k) return;  // a row picked for a swap shows nothing until it is placed
    row(k).request->setVisible(!partner);
    row(k).partner->setVisible(partner);
}

void TForm2::SlotNameChanged(int k, const QString& name) {
    row(k).name->setText(name);
    setPaneText(k, QString());
}

void TForm2::setPaneText(int k, const QString& text) {
    row(k).pane->setPlainText(text);  // the whole pane in one operation
    if (options_().caretAtEnd) {
        QTextCursor c = row(k).pane->textCursor();
        c.movePosition(QTextCursor::End);
        row(k).pane->setTextCursor(c);
    }
    paneChanged(k);
}

void TForm2::Feed(const QByteArray& payload) {
    QByteArray bytes = payload;
    if (options_().breaksAsSquare) bytes.replace("\r\n", Cp932::encode(QStringLiteral("■")));
    const Net::Wire::PrefixedText parts = Net::Wire::SplitAtFirstComma(bytes);
    const QString address = Cp932::decode(parts.prefix);
    QString text = Cp932::decode(parts.text);
    if (CheckBox1->isChecked() && (parts.text == Net::Wire::ErasedPane() || parts.text == Net::Wire::BlankLine()))
        text = QStringLiteral(" ");
    const Net::SlotViews members = team_.slotViews();
    for (int k = 1; k <= kRows; ++k) {
        if (members[k - 1].address != address) continue;
        setPaneText(k, text);
        return;  // the first slot with that address; the mate flag is not consulted
    }
}

void TForm2::paneChanged(int k) {
    if (!CheckBox2->isChecked()) return;
    Row& r = row(k);
    if (r.idle) {
        r.idle = false;
        reorder();
    } else if (isIdle(r.pane->toPlainText())) {
        r.idle = true;
        reorder();
    }
}

void TForm2::reorder() {
    const QList<int> walk = rowOrder();  // rows by their current place, top to bottom
    QList<int> active, idle;
    for (int k : walk) (isIdle(row(k).pane->toPlainText()) ? idle : active) << k;
    const QList<int> order = active + idle;
    for (int place = 0; place < order.size(); ++place) placeRow(order[place], positions_.value(place));
}

void TForm2::RowClicked(int k) {
    if (CheckBox2->isChecked()) return;
    Row& r = row(k);
    if (selected_ == 0) {
        for (QWidget* w : std::initializer_list<QWidget*>{r.name, r.pane, r.request, r.partner}) w->hide();
        selected_ = k;
        selectedTop_ = r.top;
        return;
    }
    const int picked = selected_;
    const int clickedTop = r.top;
    selected_ = 0;
    placeRow(picked, clickedTop);
    row(picked).name->show();
    row(picked).pane->show();
    SyncButtons(picked, partner_[picked - 1]);
    placeRow(k, selectedTop_);
}

void TForm2::CancelSwap() {
    if (selected_ == 0) return;
    const int k = selected_;
    selected_ = 0;
    row(k).name->show();
    row(k).pane->show();
    SyncButtons(k, partner_[k - 1]);
}

void TForm2::CheckBox2Click() {
    if (CheckBox2->isChecked() && selected_ != 0) {
        const QSignalBlocker block(CheckBox2);
        CheckBox2->setChecked(false);  // not while a swap is pending
        CancelSwap();
    }
    Restack();
}

void TForm2::Button1Click() {
    if (const auto f = station().dialogs.chooseFont(this, row(1).pane->font())) SetRowFont(*f);
}

void TForm2::SetRowFont(const QFont& font) {
    row(1).pane->setFont(font);
    Restack();
}

void TForm2::Button2Click() {
    const auto c = station().dialogs.chooseColor(this, row(1).pane->palette().color(QPalette::Base));
    if (!c) return;
    paper_ = Settings::fromQColor(*c);
    PaintRows();
}

void TForm2::PaintRows() {
    const QColor paper = Settings::toQColor(paper_, palette()), ink = Settings::toQColor(ink_, palette());
    for (Row& r : rows_)
        for (QWidget* w : std::initializer_list<QWidget*>{r.name, r.pane}) {
            QPalette p = w->palette();
            p.setColor(QPalette::Base, paper);
            p.setColor(QPalette::Text, ink);
            w->setPalette(p);
        }
}

int TForm2::column(int index) const { return Splitter1->sizes().value(index); }

void TForm2::setColumn(int index, int width) {
    QList<int> sizes = Splitter1->sizes();
    if (index >= sizes.size()) return;
    sizes[index] = qMax(2, width);
    Splitter1->setSizes(sizes);
}

// clang-format off
Settings::Rows<TForm2> TForm2::settingRows() {
    using T = TForm2;
    using enum Settings::Kind;
    static const Settings::Row<TForm2> rows[] = {
        {.step = &T::resetFrame},
        {.key = 273, .control = "CheckBox1", .kind = TrueFalse, .comment = u"８人モニターで●消去●、$改行$を表示しない",
         .commentOff = u"８人モニターで●消去●、$改行$を表示する", .design = u"false"},
        {.key = 800, .control = "CheckBox2", .kind = TrueFalse, .comment = u"８人モニターの自動的に上から入力するのチェックあり",
         .commentOff = u"８人モニターの自動的に上から入力するのチェックなし", .design = u"false", .step = &T::resetFont},
    };
    return rows;
}
// clang-format on

void TForm2::addSettings(Settings::KeyTable& t) {
    using Settings::FontStyle;
    Bind::rows(t, this, settingRows());
    auto font = [this] { return row(1).pane->font(); };
    auto setFont = [this](const QFont& f) { SetRowFont(f); };
    Bind::fontStyle(t, 114, FontStyle::Bold, u"８人モニターのフォントスタイル：bold", {}, font, setFont);
    Bind::fontStyle(t, 115, FontStyle::Italic, u"８人モニターのフォントスタイル：Italic", {}, font, setFont);
    Bind::fontStyle(t, 116, FontStyle::Underline, u"８人モニターのフォントスタイル：UnderLine", {}, font, setFont);
    Bind::fontName(t, 117, u"８人モニターのフォント名", font, setFont);
    Bind::colour(t, 118, u"８人モニターのフォント色", [this] { return ink_; }, [this](qint32 v) {
        ink_ = v;
        PaintRows();
    });
    Bind::fontSize(t, 119, u"８人モニターのフォントサイズ", font, setFont);
    Bind::colour(t, 120, u"８人モニターの背景色", [this] { return paper_; }, [this](qint32 v) {
        paper_ = v;
        PaintRows();
    });
    Bind::word(t, 121, this, u"８人モニター表示", u"８人モニター非表示", u"初期化時間のため先頭に書く（バグ対策）");
    Bind::geometry(t, this, {122, 123, 124, 125}, u"８人モニターの高さ", u"８人モニターの幅", u"８人モニターの縦位置",
                   u"８人モニターの横位置");
    Bind::number(t, 167, u"８人モニターの名前枠の幅", [this] { return column(1); }, [this](int v) { setColumn(1, v); });
    Bind::number(t, 710, u"人モニターのパートナーボタンのパネルの幅", [this] { return column(0); },
                 [this](int v) { setColumn(0, v); });
}

void TForm2::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm2::resetFrame() {
    ink_ = Settings::Colour::kWindowText;
    paper_ = Settings::Colour::kWindow;
    PaintRows();
    hide();
    move(0, 0);
    resize(433, 285);
    setColumn(1, 65);
    setColumn(0, 40);
}

void TForm2::resetFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    Fonts::setPoints(f, 9);
    SetRowFont(f);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == Panel1 || watched == Panel2 || watched == Panel3)) {
        placeButtons();  // the rows follow their column's width
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress) return AuxWindow::eventFilter(watched, event);
    const auto* m = static_cast<QMouseEvent*>(event);
    if (watched == Panel1 || watched == Panel2) {
        CancelSwap();  // a click on empty panel space
        return false;
    }
    for (int k = 1; k <= kRows; ++k) {
        Row& r = row(k);
        QWidget* hit = watched == r.name ? static_cast<QWidget*>(r.name)
                       : watched == r.pane->viewport() ? static_cast<QWidget*>(r.pane)
                                                       : nullptr;
        if (!hit) continue;
        if (m->button() == Qt::RightButton) {
            QPalette p = hit->palette();
            if (const auto c = station().dialogs.chooseColor(this, p.color(QPalette::Base))) {
                p.setColor(QPalette::Base, *c);
                hit->setPalette(p);  // this control alone, not stored
            }
            return true;
        }
        if (m->button() == Qt::LeftButton) {
            RowClicked(k);
            return true;
        }
    }
    return AuxWindow::eventFilter(watched, event);
}

void TForm2::resizeEvent(QResizeEvent* event) {
    AuxWindow::resizeEvent(event);
    placeButtons();
}
