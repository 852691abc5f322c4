#include "windows/main/display_view.h"

#include "ui/canvas.h"
#include "windows/main/dock_page.h"
#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "windows/main/main_window.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "windows/main/wastop_monitor.h"
#include "windows/prepared/subinput_window.h"
#include "text/cp932.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/input_strip.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

using Form::intOf;

void setNumber(QLineEdit* e, int v) { e->setText(QString::number(v)); }

// The line count and spacing fields come from typists, settings files and partners' transfers: any
// number. The screen's arithmetic takes them within what a screen can hold, so nothing overflows.
int linesOf(const QLineEdit* e, int fallback) {
    return std::clamp(intOf(e, fallback), -1, Core::SmoothScroller::kMostVisibleLines);
}
constexpr int kMostSpacing = 10000;
int spacingOf(const QLineEdit* e, int fallback) { return std::clamp(intOf(e, fallback), 0, kMostSpacing); }


int screenHeight(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->size().height() : 768;
}

}  // namespace

DisplayView::DisplayView(Ttalk2e& main, Core::SmoothScroller& scroll) : QObject(nullptr), main_(main), scroll_(scroll) {}

DisplayView::~DisplayView() {
    if (RichEdit2) RichEdit2->setDocument(paneDocument_);  // the record's document goes before the pane does
}

void DisplayView::buildArea(DockPage* page) {
    Panel6 = new QFrame(page);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    page->setFill(Panel6);

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
    paneDocument_ = new QTextDocument(&main_);  // not the pane's own, which it deletes when swapped
    RichEdit2->setDocument(paneDocument_);
    QTextDocument* record = main_.record().document();
    record->setDocumentMargin(Ttalk2e::kRecordMargin);
    record->setDefaultFont(RichEdit2->font());
    pane->limit = Ttalk2e::kRecordLimit;
    pane->bytes = [this] { return main_.record().byteLength(); };
    {
        QPalette p = RichEdit2->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        RichEdit2->setPalette(p);
    }

    Memo3 = new QPlainTextEdit(Panel6);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->hide();
}

void DisplayView::buildOptionPages(QTabWidget* pages) {
    auto* display1 = new Form::Page(pages, 2);
    display1->setObjectName(QStringLiteral("TabSheet4"));
    pages->addTab(display1, QStringLiteral("表示１"));

    // Each caption stays beside its field however wide the page grows: the row ends in a stretch.
    auto endRow = [](QWidget* r) { static_cast<QHBoxLayout*>(r->layout())->addStretch(1); };
    QGroupBox* smooth = display1->group(0, QStringLiteral("スムーズ画面"), "GroupSmooth");
    // Runs of fields line up in a form: captions in one column, their fields beside them.
    auto fields = [](QWidget* group) {
        auto* box = new QWidget(group);
        group->layout()->addWidget(box);
        auto* form = new QFormLayout(box);
        form->setContentsMargins(0, 0, 0, 0);
        form->setVerticalSpacing(2);
        form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        return form;
    };
    auto field = [](QFormLayout* form, const char* name, const QString& caption, const QString& value) {
        QLineEdit* e = Form::edit(nullptr, name, value, 60);
        form->addRow(new QLabel(caption), e);
        return e;
    };
    QFormLayout* scrolling = fields(smooth);
    Edit8 = field(scrolling, "Edit8", QStringLiteral("表示行数"), QStringLiteral("6"));
    Edit12 = field(scrolling, "Edit12", QStringLiteral("行間"), QStringLiteral("60"));
    Edit9 = field(scrolling, "Edit9", QStringLiteral("ｽｸﾛｰﾙ・移動量"), QStringLiteral("2"));
    Edit10 = field(scrolling, "Edit10", QStringLiteral("１行の移動回数"), QStringLiteral("30"));
    Edit11 = field(scrolling, "Edit11", QStringLiteral("ｽｸﾛｰﾙ・間隔"), QStringLiteral("30"));
    CheckBox67 = Form::check(smooth, "CheckBox67", QStringLiteral("行数・行間・移動量を自動調整"), true);
    Button9 = Form::button(smooth, "Button9", QStringLiteral("行数から行間を計算"));
    CheckBox5 = Form::check(smooth, "CheckBox5", QStringLiteral("スクロール速度自動加速"), false);
    QFormLayout* acceleration = fields(smooth);
    Edit43 = field(acceleration, "Edit43", QStringLiteral("加速する行数"), QStringLiteral("5"));
    Edit44 = field(acceleration, "Edit44", QStringLiteral("加速の倍率"), QStringLiteral("2"));
    CheckBox84 = Form::check(smooth, "CheckBox84", QStringLiteral("静止型表示（１入力を画面上に一気に表示します。）"), false);
    GroupOneLine = Form::group(smooth, QStringLiteral("１行づつ"), "GroupOneLine");
    Button83 = Form::button(GroupOneLine, "Button83", QStringLiteral("１行づつ送る"));
    GroupOneLine->hide();

    // The long captions share the first column; the second stays as narrow as its buttons.
    QGroupBox* breaks = display1->group(0, QStringLiteral("改行"), "GroupBreaks");
    CheckBox8 = Form::check(breaks, "CheckBox8", QStringLiteral("空行のみ改行"), false);
    CheckBox17 = Form::check(breaks, "CheckBox17", QStringLiteral("←ある時から改行に空行が入ってしまう不具合の時"), false);

    QGroupBox* look = display1->group(1, QStringLiteral("表示部"), "GroupDisplayLook");
    QWidget* lookRow = Form::row(look);
    Button1 = Form::button(lookRow, "Button1", QStringLiteral("フォント"));
    Button2 = Form::button(lookRow, "Button2", QStringLiteral("背景色"));
    endRow(lookRow);

    QGroupBox* marker = display1->group(1, QStringLiteral("入力文の表示位置の表示"), "GroupMarker");
    CheckBox50 = Form::check(marker, "CheckBox50", QStringLiteral("表示する。"), false);

    QGroupBox* typists = display1->group(1, QStringLiteral("入力人数は？"), "GroupTypists");
    QWidget* modes = Form::row(typists);
    Button17 = Form::button(modes, "Button17", QStringLiteral("２人入力"));
    Button15 = Form::button(modes, "Button15", QStringLiteral("１人で"));
    Button16 = Form::button(modes, "Button16", QStringLiteral("表示用"));
    endRow(modes);
    QWidget* monitorRows = Form::row(typists);
    Form::label(monitorRows, QStringLiteral("モニター部の行数"));
    Edit6 = Form::edit(monitorRows, "Edit6", QStringLiteral("1"), 40);
    UpDown1 = Form::place(monitorRows, new UpDown(monitorRows, "UpDown1", Edit6, 0, 99), nullptr);
    endRow(monitorRows);
    QWidget* inputRows = Form::row(typists);
    Form::label(inputRows, QStringLiteral("入力部の行数"));
    Edit96 = Form::edit(inputRows, "Edit96", QStringLiteral("1"), 40);
    UpDown2 = Form::place(inputRows, new UpDown(inputRows, "UpDown2", Edit96, 0, 99), nullptr);
    endRow(inputRows);

    QGroupBox* cover = display1->group(1, QStringLiteral("デスクトップをカバーする"), "GroupCover");
    CheckBox9 = Form::check(cover, "CheckBox9", QStringLiteral("単一色でカバー"), false);
    Button8 = Form::button(cover, "Button8", QStringLiteral("カバー色"));
    connect(CheckBox9, &QCheckBox::toggled, this, &DisplayView::coverToggled);
    connect(Button8, &QPushButton::clicked, this, &DisplayView::coverColourClicked);

    auto* display2 = new Form::Page(pages, 2);
    display2->setObjectName(QStringLiteral("TabSheet5"));
    pages->addTab(display2, QStringLiteral("表示２"));
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
    QFormLayout* windowSize = fields(GroupWindowSize);
    Edit18 = field(windowSize, "Edit18", QStringLiteral("幅"), QStringLiteral("640"));
    Edit19 = field(windowSize, "Edit19", QStringLiteral("高さ"), QStringLiteral("480"));
    GroupWindowSize->hide();

    QGroupBox* messages = display2->group(1, QStringLiteral("メッセージ"), "GroupMessages");
    CheckBox19 = Form::check(messages, "CheckBox19", QStringLiteral("メッセージを表示する"), true);
    GroupPageColours = display2->group(1, QStringLiteral("ページの背景色などの変更"), "GroupPageColours");
    Button69 = Form::button(GroupPageColours, "Button69", QStringLiteral("背景色"));
    Button70 = Form::button(GroupPageColours, "Button70", QStringLiteral("説明文色"));
    GroupPageColours->hide();
    connect(Button69, &QPushButton::clicked, this, &DisplayView::pageColourClicked);
    connect(Button70, &QPushButton::clicked, this, &DisplayView::explanationColourClicked);
}

void DisplayView::buildFramelessCanvas() {
    Image2 = new Canvas(&main_);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->hide();
    Timer1 = new QTimer(&main_);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(30);
    connect(Timer1, &QTimer::timeout, this, &DisplayView::Timer1Timer);
}

QWidget* DisplayView::area() const { return Panel6; }

QRect DisplayView::captionArea() const {
    const QWidget* area = frameless_ ? static_cast<const QWidget*>(Image2) : static_cast<const QWidget*>(Panel6);
    if (!area) return {};
    return QRect(area->mapToGlobal(QPoint(0, 0)), area->size());
}

void DisplayView::resetCursors() {
    main_.unsetCursor();
    Panel6->unsetCursor();
}

void DisplayView::InitialLayout() {
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
}

QSize DisplayView::canvasSize() const {
    const QScreen* s = main_.screen() ? main_.screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = s ? s->size() : QSize(1024, 768);
    return screenSize + QSize(20, 20);
}

// ---------------------------------------------------------------------------------------------
// What other features read and change

bool DisplayView::scrolling() const { return Timer1->isActive(); }
bool DisplayView::correctionMode() const { return CheckBox85->isChecked(); }
void DisplayView::setCorrectionMode(bool on) { CheckBox85->setChecked(on); }

QString DisplayView::selectedRecordText() const {
    return RichEdit2->document() == main_.record().document() ? RichEdit2->textCursor().selectedText() : QString();
}

void DisplayView::followRecordEnd() { RichEdit2->moveCursor(QTextCursor::End); }

void DisplayView::clearCorrectionBuffer() {
    if (!Memo3->document()->isEmpty()) Memo3->clear();
}

bool DisplayView::correctionBufferShown() const { return Memo3->isVisible(); }
void DisplayView::setCorrectionBuffer(const QString& text) { Memo3->setPlainText(text); }
QFont DisplayView::displayFont() const { return RichEdit2->font(); }

void DisplayView::setCompositionColours(const QColor& ink, const QColor& paper) {
    RichEdit2->compositionText = ink;
    RichEdit2->compositionBackground = paper;
}

void DisplayView::addCaptionOptions(Core::CaptionOptions& o) const {
    o.copyReceived = CheckBox24->isChecked();
    o.display = {CheckBox50->isChecked(), CheckBox8->isChecked()};
    o.endCheckReceived = CheckBox17->isChecked();
    o.undoPartnerLines = CheckBox11->isChecked();
    o.redrawAfterUndo = CheckBox40->isChecked();
    o.correctionMode = CheckBox85->isChecked();
    o.wordProcessor = wordProcessorMode_;
}

bool DisplayView::endCheckReceived() const { return CheckBox17->isChecked(); }
void DisplayView::setUndoPartnerLines(bool on) { CheckBox11->setChecked(on); }
bool DisplayView::redrawsAfterUndo() const { return CheckBox40->isChecked(); }
void DisplayView::setRedrawAfterUndo(bool on) { CheckBox40->setChecked(on); }

bool DisplayView::clearPositionMarker() {
    const bool was = CheckBox50->isChecked();
    CheckBox50->setChecked(false);
    return was;
}

int DisplayView::linesField(int fallback) const { return intOf(Edit8, fallback); }
QString DisplayView::linesText() const { return Edit8->text(); }
QString DisplayView::spacingText() const { return Edit12->text(); }
void DisplayView::setAutoFit(bool on) { CheckBox67->setChecked(on); }
bool DisplayView::showsMessages() const { return CheckBox19->isChecked(); }
bool DisplayView::coverOn() const { return CheckBox9->isChecked(); }
void DisplayView::setCover(bool on) { CheckBox9->setChecked(on); }

// ---------------------------------------------------------------------------------------------
// Set-up

void DisplayView::InitialDisplayState() {
    scroll_.jumpToEnd(main_.record().lineCount());
    scroll_.visibleLines = linesOf(Edit8, 6);
    scroll_.correctionLines = scroll_.visibleLines;
    scroll_.lineSpacing = spacingOf(Edit12, 60);
    scroll_.scrollStep = intOf(Edit9, 2);
    scroll_.stepsPerLine = qMax(1, intOf(Edit10, 30));
    scroll_.accelerateAfter = intOf(Edit43, 5);
    scroll_.accelerationFactor = intOf(Edit44, 2);
    scroll_.baseStep = scroll_.scrollStep;
    scroll_.latch();
    AutoFitLines();
    typistMode_ = 2;
    wordProcessorMode_ = false;
    main_.ResetUndoState();
}

void DisplayView::wire() {
    main_.record().setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    connect(&main_.displayLog(), &Core::DisplayLog::changed, this, &DisplayView::RecordChanged);

    connect(Edit8, &QLineEdit::textChanged, this, &DisplayView::Edit8Change);
    connect(Edit9, &QLineEdit::textChanged, this, &DisplayView::Edit9Change);
    connect(Edit11, &QLineEdit::textChanged, this, &DisplayView::Edit11Change);
    connect(Edit12, &QLineEdit::textChanged, this, &DisplayView::Edit12Change);
    connect(Button83, &QPushButton::clicked, this, &DisplayView::Button83Click);
    connect(Button9, &QPushButton::clicked, this, [this] {
        CheckBox67->setChecked(false);
        LinesToSpacing();
    });
    connect(CheckBox67, &QCheckBox::toggled, this, [this](bool on) {
        if (on) AutoFitLines();
    });
    connect(main_.strip().Button12, &QPushButton::clicked, this, &DisplayView::Button12Click);
    connect(main_.strip().Button13, &QPushButton::clicked, this, &DisplayView::Button13Click);
    connect(CheckBox85, &QCheckBox::toggled, this, &DisplayView::CheckBox85Click);
    connect(CheckBox8, &QCheckBox::toggled, this, &DisplayView::CheckBox8Click);
    connect(CheckBox50, &QCheckBox::toggled, this, &DisplayView::CheckBox50Click);
    connect(CheckBox37, &QCheckBox::toggled, this, &DisplayView::CheckBox37Click);
    connect(CheckBox84, &QCheckBox::toggled, this, &DisplayView::CheckBox84Click);
    connect(Button1, &QPushButton::clicked, this, &DisplayView::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DisplayView::Button2Click);
    connect(Button17, &QPushButton::clicked, this, &DisplayView::Button17Click);
    connect(Button15, &QPushButton::clicked, this, &DisplayView::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &DisplayView::Button16Click);
    connect(Edit6, &QLineEdit::textChanged, this, &DisplayView::LayoutInputStrip);
    connect(Edit96, &QLineEdit::textChanged, this, &DisplayView::LayoutInputStrip);
    connect(CheckBox68, &QCheckBox::toggled, this, &DisplayView::CheckBox68Click);
    connect(Image1, &Canvas::clicked, this, &DisplayView::CanvasClick);
    connect(Image2, &Canvas::clicked, this, &DisplayView::CanvasClick);
    connect(main_.pages(), &QTabWidget::currentChanged, this, &DisplayView::PageControl1Change);
    connect(Edit18, &QLineEdit::returnPressed, this, [this] { main_.resize(intOf(Edit18, main_.width()), main_.height()); });
    connect(Edit19, &QLineEdit::returnPressed, this, [this] { main_.resize(main_.width(), intOf(Edit19, main_.height())); });
    RichEdit2->onKeyPress = [this](QKeyEvent* e) {
        if (e->key() != Qt::Key_F7) return false;
        if (main_.strip().CorrectionTemplateFromRecord()) main_.strip().RichEdit1->setFocus();
        return true;
    };
    main_.strip().Edit77->installEventFilter(this);
    Panel6->installEventFilter(this);
}

void DisplayView::StartupDisplayOptions() { CheckBox5->setChecked(true); }

void DisplayView::ReadScrollInterval() { scroll_.scrollInterval = intOf(Edit11, scroll_.scrollInterval); }

bool DisplayView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == main_.strip().Edit77 && event->type() == QEvent::KeyPress) {
        Edit77KeyDown(static_cast<QKeyEvent*>(event)->key());
        return true;  // the key catcher swallows every key
    }
    if (watched == Panel6 && event->type() == QEvent::Resize) DisplayAreaResized();
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The record: what every change of it does to the screen

void DisplayView::RecordChanged() {
    const Core::Record& rec = main_.record();
    if (CheckBox37->isChecked()) main_.pages()->setTabText(0, QString::number(rec.byteLength()) + QStringLiteral("Byte"));
    const int lines = rec.lineCount();
    if (CheckBox84->isChecked()) {
        scroll_.visibleLines = lines - scroll_.shownLine;  // the whole new input fills the screen at once
        scroll_.shownLine = lines;
    }
    if (wordProcessorMode_) {
        scroll_.shownLine = lines;
        return;
    }
    if (CheckBox5->isChecked()) {
        const int after = intOf(Edit43, scroll_.accelerateAfter);
        if (!scroll_.accelerating && after < scroll_.lineCount - scroll_.shownLine) {
            scroll_.accelerating = true;
            setNumber(Edit9, scroll_.baseStep * intOf(Edit44, scroll_.accelerationFactor));
        }
        if (scroll_.accelerating && scroll_.shownLine >= scroll_.lineCount) {
            scroll_.accelerating = false;
            setNumber(Edit9, scroll_.baseStep);
        }
    }
    if (!Timer1->isActive()) {
        if (CheckBox8->isChecked()) RedrawCanvases();
        StartScrollTimer();
    }
    scroll_.lineCount = lines;
}

// ---------------------------------------------------------------------------------------------
// The smooth screen

int DisplayView::displayWidth() const { return Panel6->width(); }
int DisplayView::displayHeight() const { return Panel6->height(); }

void DisplayView::StartScrollTimer() { Timer1->start(scroll_.scrollInterval); }

void DisplayView::paintCanvas(Canvas* canvas, bool wholeCanvas) {
    QImage& img = canvas->picture();
    if (img.isNull()) return;
    const QColor paper = RichEdit2->palette().color(QPalette::Base);
    const QColor ink = RichEdit2->palette().color(QPalette::Text);
    const QFont& font = RichEdit2->font();
    const auto placed = scroll_.placement();
    const int spacing = qMax(1, scroll_.latchedSpacing);
    const int band = qMin(img.height(), (scroll_.visibleLines + 2) * spacing);
    const int fillBottom = wholeCanvas ? img.height() : qMin(img.height(), qMax(band, canvas->paintedBottom));
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRect(0, 0, img.width(), fillBottom), paper);
    // Line i of the screen and the bands below the last line that its descenders still reach.
    const int reach = Core::LineBands::reachOf(font, spacing);
    QStringList texts;
    texts.reserve(int(placed.size()));
    for (const Core::SmoothScroller::Placed& line : placed) texts << main_.record().displayLine(line.line);
    const int top = placed.empty() ? 0 : placed.front().y;
    const int firstLine = placed.empty() ? 0 : placed.front().line;
    int bottom = 0;
    bands_.beginFrame(font, ink, paper, Ttalk2e::kTextLeft, img.width(), spacing);
    for (int i = 0; i < int(texts.size()) + reach; ++i) {
        const int y = top + i * spacing;
        if (y >= img.height()) break;
        if (y + spacing <= 0) continue;
        bool any = false;
        for (int j = qMax(0, i - reach); j <= i && j < texts.size() && !any; ++j) any = !texts[j].isEmpty();
        if (!any) continue;
        const Core::LineBands::Band b = bands_.band(firstLine + i, texts, i, reach);
        const QImage& image = *b.image;
        if (b.ownWidth == image.width()) {
            p.drawImage(QPoint(0, y), image);  // the line is the widest: one copy
        } else {
            if (b.overlapRows > 0) p.drawImage(QPoint(0, y), image, QRect(0, 0, image.width(), b.overlapRows));
            if (b.ownWidth > 0)
                p.drawImage(QPoint(0, y + b.overlapRows), image,
                            QRect(0, b.overlapRows, b.ownWidth, image.height() - b.overlapRows));
        }
        bottom = qMax(bottom, y + spacing);
    }
    p.end();
    bands_.endFrame();
    canvas->paintedBottom = qMin(img.height(), qMax(bottom, band));
    canvas->update(QRect(0, 0, img.width(), fillBottom));
}

void DisplayView::Timer1Timer() {
    if (scroll_.stepCounter == 0) {
        if (stepPending_) {
            stepPending_ = false;
            Edit9Change();  // the step chosen during the last line takes effect now
        }
        scroll_.latch();
    }
    paintCanvas(frameless_ ? Image2 : Image1, false);
    if (scroll_.advance()) {
        if (!Timer1->isActive() || Timer1->interval() != scroll_.scrollInterval) Timer1->start(scroll_.scrollInterval);
    } else {
        Timer1->stop();
    }
}

void DisplayView::RedrawDisplay() {
    Timer1->stop();
    scroll_.stepCounter = 0;
    scroll_.latch();
    paintCanvas(Image1, true);
}

void DisplayView::RedrawFrameless() {
    Timer1->stop();
    scroll_.stepCounter = 0;
    scroll_.latch();
    paintCanvas(Image2, true);
}

void DisplayView::RedrawCanvases() {
    if (frameless_) {
        RedrawDisplay();
        RedrawFrameless();
    } else {
        RedrawDisplay();
    }
}

// ---------------------------------------------------------------------------------------------
// Field rules

void DisplayView::Edit8Change() {
    if (Edit8->text().isEmpty()) return;
    scroll_.visibleLines = linesOf(Edit8, scroll_.visibleLines);
    scroll_.correctionLines = scroll_.visibleLines;
}

void DisplayView::Edit12Change() {
    if (Edit12->text().isEmpty()) return;
    scroll_.lineSpacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.stepsPerLine = qMax(1, scroll_.lineSpacing / qMax(1, scroll_.scrollStep));
    setNumber(Edit10, scroll_.stepsPerLine);
}

void DisplayView::Edit11Change() {
    if (Edit11->text().isEmpty()) return;
    scroll_.scrollInterval = intOf(Edit11, scroll_.scrollInterval);
}

void DisplayView::applyStep(int step) {
    if (CheckBox67->isChecked() && main_.layoutOn()) AutoFitLines();
    int spacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.scrollStep = step;
    scroll_.stepsPerLine = spacing / step;
    if (scroll_.stepsPerLine == 0) {
        scroll_.stepsPerLine = 1;
        spacing = step;
        scroll_.lineSpacing = spacing;
        setNumber(Edit12, spacing);
        setNumber(Edit10, 1);
    } else {
        setNumber(Edit10, scroll_.stepsPerLine);
    }
}

void DisplayView::Edit9Change() {
    if (Edit9->text().isEmpty()) return;
    const int step = intOf(Edit9, 0);
    if (step <= 0) {
        Edit9->setText(QStringLiteral("1"));  // the rule runs again with 1
        return;
    }
    const int spacing = spacingOf(Edit12, scroll_.lineSpacing);
    if (step >= spacing) {
        scroll_.scrollStep = spacing;
        setNumber(Edit9, spacing);
        scroll_.lineSpacing = spacing;
        scroll_.stepsPerLine = 1;
        setNumber(Edit10, 1);
    } else if (scroll_.stepCounter == 0) {
        applyStep(step);
    } else {
        // Mid-line the latched step keeps the motion even; the new one starts with the next line.
        stepPending_ = true;
        return;
    }
    if (!scroll_.accelerating) scroll_.baseStep = scroll_.scrollStep;
}

void DisplayView::Button83Click() {
    setNumber(Edit9, spacingOf(Edit12, scroll_.lineSpacing));
    scroll_.stepsPerLine = 1;
}

void DisplayView::AutoFitLines() {
    if (!CheckBox67->isChecked() || !main_.layoutOn()) return;
    RichEdit2->setGeometry(0, RichEdit2->y(), displayWidth(), displayHeight());
    const int pixels = Fonts::points(RichEdit2->font()) * 96 / 72;
    if (pixels <= 0) return;
    setNumber(Edit8, displayHeight() / pixels);
    setNumber(Edit12, pixels);
    scroll_.stepsPerLine = qMax(1, pixels / qMax(1, scroll_.scrollStep));
    setNumber(Edit10, scroll_.stepsPerLine);
    RedrawCanvases();
}

void DisplayView::LinesToSpacing() {
    const int lines = qMax(1, scroll_.visibleLines);
    int spacing = displayHeight() / lines;
    setNumber(Edit12, spacing);
    if (scroll_.scrollStep >= spacing && spacing > 0) setNumber(Edit9, spacing);
    const int step = qMax(1, scroll_.scrollStep);
    scroll_.stepsPerLine = qMax(1, spacing / step);
    setNumber(Edit10, scroll_.stepsPerLine);
    if (CheckBox67->isChecked()) setNumber(Edit12, scroll_.stepsPerLine * step);
    // Back to the smooth screen, as after "再".
    wordProcessorMode_ = false;
    ShowRecordInPane(false);
    main_.strip().Button12->setText(QStringLiteral("ワ"));
    CheckBox85->setChecked(false);
    SetInputPaneNormal(true);
    scroll_.accelerating = false;
    setNumber(Edit9, scroll_.baseStep);
    RichEdit2->move(0, screenHeight(&main_) + 20);
    scroll_.jumpToEnd(main_.record().lineCount());
    RedrawCanvases();
    LayoutInputStrip();
}

void DisplayView::fitRecordPane() { RichEdit2->setGeometry(0, RichEdit2->y(), Panel6->width(), Panel6->height()); }

void DisplayView::SettingsApplied() {
    fitRecordPane();
    DisplayAreaResized();
}

// ---------------------------------------------------------------------------------------------
// Window resize

void DisplayView::WindowResized() {
    Image2->setGeometry(main_.rect());
    main_.pages()->setCurrentIndex(0);
    Image1->resize(main_.size());
    Image2->resize(main_.size());
    if (resizeSettle_ > 0) {
        --resizeSettle_;  // the frameless switch is still settling
        return;
    }
    setNumber(Edit19, main_.height());
    setNumber(Edit18, main_.width());
    DisplayAreaResized();
}

void DisplayView::DisplayAreaResized() {
    if (resizeSettle_ > 0) return;
    const int W = displayWidth();
    const int H = displayHeight();
    // The record wraps exactly where the canvas lines end, unless the sub-input window's
    // "表示の右端で折り返さない。" keeps every record line one display line.
    const int textWidth = qMax(40, W - 2 * Ttalk2e::kTextLeft - 4);
    const bool wraps = !main_.subInputWindow() || main_.subInputWindow()->displayWraps();
    RichEdit2->setLineWrapMode(wraps ? QTextEdit::FixedPixelWidth : QTextEdit::NoWrap);
    RichEdit2->setLineWrapColumnOrWidth(textWidth + 2 * Ttalk2e::kRecordMargin);
    main_.record().setWrap(RichEdit2->font(), wraps ? textWidth : 1 << 20);
    if (wordProcessorMode_) RichEdit2->setGeometry(0, 0, W, H);
    else RichEdit2->setGeometry(0, screenHeight(&main_) + 20, W, H);
    const int inset = wordProcessorMode_ ? 75 : 50;
    if (typistMode_ == 2) main_.strip().RichEdit27->resize(W - inset, main_.strip().RichEdit27->height());
    else if (typistMode_ == 1) main_.strip().RichEdit1->setGeometry(inset, main_.strip().RichEdit1->y(), W - inset, main_.strip().RichEdit1->height());
    if (typistMode_ == 2) main_.strip().RichEdit1->resize(W, main_.strip().RichEdit1->height());
    Memo3->resize(W, H);
    if (main_.layoutOn()) {
        AutoFitLines();
        RedrawDisplay();
        RedrawFrameless();
        if (main_.pages()->currentIndex() == 0) FocusInputOrKeyCatcher();
    }
    scroll_.lineCount = main_.record().lineCount();
    scroll_.shownLine = scroll_.lineCount;
}

// ---------------------------------------------------------------------------------------------
// Word-processor screen and correction mode

void DisplayView::SetInputPaneNormal(bool normal) {
    QPalette p = main_.strip().RichEdit1->palette();
    p.setColor(QPalette::Base, normal ? main_.inputPaneColour() : QColor(255, 0, 0));
    main_.strip().RichEdit1->setPalette(p);
    main_.strip().RichEdit1->setFocusPolicy(normal ? Qt::StrongFocus : Qt::ClickFocus);
}

void DisplayView::ShowRecordInPane(bool show) {
    QTextDocument* doc = main_.record().document();
    if (show == (RichEdit2->document() == doc)) return;
    if (show) {
        main_.record().setFullLayout(true);
        doc->setDefaultFont(RichEdit2->font());
        RichEdit2->setDocument(doc);
        RichEdit2->moveCursor(QTextCursor::End);
        RichEdit2->ensureCursorVisible();
    } else {
        RichEdit2->setDocument(paneDocument_);
        main_.record().setFullLayout(false);
    }
}

void DisplayView::Button12Click() {
    const QString state = main_.strip().Button12->text();
    const int W = displayWidth();
    if (state == QStringLiteral("ワ")) {
        wordProcessorMode_ = true;
        Timer1->stop();
        ShowRecordInPane(true);
        RichEdit2->setGeometry(0, 0, W, displayHeight());
        RichEdit2->setFocusPolicy(Qt::StrongFocus);
        main_.strip().Button14->show();
        main_.strip().RichEdit27->setGeometry(75, main_.strip().RichEdit27->y(), W - 75, main_.strip().RichEdit27->height());
        if (typistMode_ == 1) main_.strip().RichEdit1->setGeometry(75, main_.strip().RichEdit1->y(), W - 75, main_.strip().RichEdit1->height());
        main_.strip().Button12->setText(QStringLiteral("止"));
        main_.strip().RichEdit1->setFocus();
    } else if (state == QStringLiteral("止")) {
        main_.strip().Button12->setText(QStringLiteral("動"));
        CheckBox85->setChecked(true);
        SetInputPaneNormal(false);
        RichEdit2->setFocus();
    } else {
        main_.strip().Button12->setText(QStringLiteral("止"));
        CheckBox85->setChecked(false);
        SetInputPaneNormal(true);
        main_.strip().RichEdit1->setFocus();
    }
}

void DisplayView::Button13Click() {
    wordProcessorMode_ = false;
    ShowRecordInPane(false);
    main_.strip().Button12->setText(QStringLiteral("ワ"));
    CheckBox85->setChecked(false);
    SetInputPaneNormal(true);
    if (scroll_.accelerating) {
        scroll_.accelerating = false;
        setNumber(Edit9, scroll_.baseStep);
    }
    RichEdit2->setGeometry(0, screenHeight(&main_) + 20, displayWidth(), displayHeight());
    scroll_.jumpToEnd(main_.record().lineCount());
    RedrawCanvases();
    RichEdit2->setFocusPolicy(Qt::ClickFocus);
    main_.strip().Button14->hide();
    const int W = displayWidth();
    main_.strip().RichEdit27->setGeometry(50, main_.strip().RichEdit27->y(), W - 50, main_.strip().RichEdit27->height());
    main_.strip().RichEdit1->move(typistMode_ == 1 ? 50 : 0, main_.strip().RichEdit1->y());
}

void DisplayView::CheckBox85Click() {
    if (CheckBox85->isChecked()) {
        if (main_.wastopMonitor()) main_.wastopMonitor()->clearMemo();  // a fresh buffer for what arrives while editing
    } else {
        main_.FlushCorrectionBuffer();
    }
}


// ---------------------------------------------------------------------------------------------
// Options of the display

void DisplayView::CheckBox8Click() {
    if (!CheckBox8->isChecked()) return;
    CheckBox84->setChecked(false);
    if (scroll_.lineCount < 20) {
        main_.record().addLine(QStringLiteral("＜空行のみ改行のための行追加しました＞") + QString(20, u'\n'));
        main_.displayLog().setUndoInProgress(false);
        scroll_.jumpToEnd(main_.record().lineCount());
        RedrawDisplay();
        RedrawFrameless();
    }
}

void DisplayView::CheckBox50Click() {
    if (!CheckBox50->isChecked()) return;
    if (main_.auxiliaryPage().rubyExchange() || (main_.subInputWindow() && main_.subInputWindow()->fixedWidth())) {
        CheckBox50->setChecked(false);
        main_.Message(QStringLiteral(
            "「補助Ｗ」ページの「ルビ送信」のチェック、\nまたは、「サブ入力ウィンド」の「ルビ送信」ページの「桁数」のチェックが入っています。\n"
            "「表示位置の表示」と同時に使えません。"));
        return;
    }
    CheckBox84->setChecked(false);
}

void DisplayView::CheckBox37Click() {
    main_.pages()->setTabText(0, CheckBox37->isChecked()
                                    ? QString::number(main_.record().byteLength()) + QStringLiteral("Byte")
                                    : QStringLiteral("表示・入力"));
}

void DisplayView::CheckBox84Click() {
    if (CheckBox84->isChecked()) {
        CheckBox8->setChecked(false);
        CheckBox50->setChecked(false);
        return;
    }
    scroll_.visibleLines = linesOf(Edit8, scroll_.visibleLines);
    scroll_.lineSpacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.scrollStep = intOf(Edit9, scroll_.scrollStep);
    scroll_.stepsPerLine = qMax(1, intOf(Edit10, scroll_.stepsPerLine));
}

void DisplayView::Button1Click() {
    const auto f = main_.station().dialogs.chooseFont(&main_, RichEdit2->font());
    if (!f) return;
    SetDisplayFont(*f);
    main_.pages()->setCurrentIndex(0);
    FocusInputOrKeyCatcher();
}

void DisplayView::SetDisplayFont(const QFont& f) {
    RichEdit2->setFont(f);
    main_.record().document()->setDefaultFont(f);
    Image1->setFont(f);
    Image2->setFont(f);
    Memo3->setFont(f);
    main_.record().setWrap(f, main_.record().wrapWidth());
    AutoFitLines();
}

void DisplayView::Button2Click() {
    const auto c = main_.station().dialogs.chooseColor(&main_, Ttalk2e::qcolour(main_.colours().displayPaper));
    if (!c) return;
    main_.colours().displayPaper = Settings::fromQColor(*c);
    PaintDisplay();
    main_.pages()->setCurrentIndex(0);
    FocusInputOrKeyCatcher();
}

void DisplayView::PaintDisplay() {
    QPalette p = RichEdit2->palette();
    p.setColor(QPalette::Base, Ttalk2e::qcolour(main_.colours().displayPaper));
    p.setColor(QPalette::Text, Ttalk2e::qcolour(main_.colours().displayInk));
    RichEdit2->setPalette(p);
    Image1->fill(Ttalk2e::qcolour(main_.colours().displayPaper));
    Image2->fill(Ttalk2e::qcolour(main_.colours().displayPaper));
    RedrawCanvases();
}

// ---------------------------------------------------------------------------------------------
// Typist modes and the input strip

void DisplayView::LayoutInputStrip() {
    // The font height as a negative pixel height, as the strip's formula takes it.
    const int fontHeight = -QFontInfo(main_.strip().RichEdit1->font()).pixelSize();
    const int h = (-fontHeight * 96) / 72 + 4;
    const int m = qMax(0, intOf(Edit6, 1));
    const int n = qMax(0, intOf(Edit96, 1));
    const int t = 3;
    const int W = displayWidth();
    main_.strip().RichEdit1->resize(main_.strip().RichEdit1->width(), h * n);
    main_.strip().RichEdit27->resize(main_.strip().RichEdit27->width(), h * m);
    const int buttonHeight = typistMode_ == 1 ? h * n + t : h * m + t;
    main_.strip().Button13->setGeometry(0, 0, 25, buttonHeight);
    main_.strip().Button12->setGeometry(25, 0, 25, buttonHeight);
    main_.strip().Button14->setGeometry(50, 0, 25, buttonHeight);
    if (wordProcessorMode_) RichEdit2->resize(RichEdit2->width(), displayHeight());
    if (typistMode_ == 2) {
        main_.strip().Panel1->resize(main_.strip().Panel1->width(), h * (m + n) + t);
        main_.strip().RichEdit1->setGeometry(0, h * m + t, W, h * n);
        const int inset = wordProcessorMode_ ? 75 : 50;
        main_.strip().RichEdit27->setGeometry(inset, t, W - inset, h * m);
        main_.strip().RichEdit27->show();
        main_.strip().Panel1->show();
        main_.strip().Edit77->hide();
    } else if (typistMode_ == 1) {
        main_.strip().Panel1->resize(main_.strip().Panel1->width(), h * n + t);
        main_.strip().RichEdit27->hide();
        main_.strip().Panel1->show();
        main_.strip().Edit77->hide();
        const int inset = wordProcessorMode_ ? 75 : 50;
        main_.strip().RichEdit1->setGeometry(inset, t, W - inset, h * n);
        if (wordProcessorMode_) RichEdit2->setFocusPolicy(Qt::StrongFocus);
    } else {
        main_.strip().Edit77->show();
        main_.strip().Edit77->setFocus();
        RichEdit2->setFocusPolicy(Qt::ClickFocus);
        main_.strip().Panel1->hide();
    }
    main_.displayInputPage()->relayout();  // the display area takes what the strip leaves
    if (wordProcessorMode_) {
        RichEdit2->setGeometry(0, 0, displayWidth(), displayHeight());
        RichEdit2->setFocusPolicy(Qt::StrongFocus);
    } else {
        RichEdit2->setGeometry(0, screenHeight(&main_) + 20, displayWidth(), displayHeight());
    }
    Memo3->resize(displayWidth(), displayHeight());
    const int inset = wordProcessorMode_ ? 75 : 50;
    main_.strip().Panel22->setGeometry(0, 0, inset, main_.strip().Panel1->height());
    main_.strip().Panel23->setGeometry(inset, 0, qMax(main_.strip().Panel23->minimumWidth(), W - inset), main_.strip().Panel1->height());
    main_.strip().Panel22->lower();
    main_.strip().Panel23->lower();
}

// "２人入力" and "１人で".
void DisplayView::SetTypingMode(int mode) {
    typistMode_ = mode;
    LayoutInputStrip();
    main_.pages()->setCurrentIndex(0);
    RichEdit2->resize(displayWidth(), displayHeight());
    Memo3->resize(displayWidth(), displayHeight());
    AutoFitLines();
    LayoutInputStrip();
    Panel6->unsetCursor();
    main_.unsetCursor();
    main_.pages()->setCurrentIndex(0);
}

void DisplayView::SetTypistRows(int rows) {
    if (rows <= 0) {
        typistMode_ = 0;
        LayoutInputStrip();
        return;
    }
    SetTypingMode(rows == 1 ? 1 : 2);
}

void DisplayView::SetScreenKind(bool wordProcessor) {
    if (wordProcessor && main_.strip().Button12->text() == QStringLiteral("ワ")) Button12Click();
    else if (!wordProcessor && wordProcessorMode_) Button13Click();
}

void DisplayView::Button17Click() { SetTypingMode(2); }
void DisplayView::Button15Click() { SetTypingMode(1); }

void DisplayView::Button16Click() {
    typistMode_ = 0;
    Panel6->setCursor(Qt::BlankCursor);
    main_.setCursor(Qt::BlankCursor);
    LayoutInputStrip();
    main_.pages()->setCurrentIndex(0);
    main_.Message(QStringLiteral(
        "表示専用（「０人」）にしたのでスムーズ画面上ではマウスカーソルが消えるようになります。「１人」「２人」に戻せば、元通り現れます。\n\n"
        "「表示２」ページの「マウスカーソルの非表示」のチェックを入れた場合は、クリックするたびに「標準」「指」「消える」という順に変化します。\n\n"
        "＜Ｆキーの機能＞\nＦ１：タグとキャプション部が消えます。（枠なし表示）\nＦ２：再描画します。（「再」ボタン）\n"
        "Ｆ３：表示専用画面の大きさに合わせた行数・行間に自動調整します。"));
}

void DisplayView::FocusInputOrKeyCatcher() {
    if (typistMode_ == 0) main_.strip().Edit77->setFocus();
    else main_.strip().RichEdit1->setFocus();
}

void DisplayView::PageControl1Change() {
    if (main_.pages()->currentIndex() == 0) FocusInputOrKeyCatcher();
}

// ---------------------------------------------------------------------------------------------
// Display-only mode: F1, F2, F3 and the mouse cursor

void DisplayView::Edit77KeyDown(int key) {
    if (key == Qt::Key_F1) {
        if (main_.pages()->isVisible())
            main_.Message(QStringLiteral(
                "タグを消します。タグを表示させる（戻る）には、Ｆ１キーを押します。\n\n＜Ｆキーの機能＞\n"
                "Ｆ１：タグとキャプション部が現れます。\nＦ２：再描画します。（「再」ボタン）\n"
                "Ｆ３：表示専用画面の大きさに合わせた行数・行間に自動調整します。\n\n"
                "★★「枠無し」画面の表示調整は、ｗシリーズの「設定送信」ウィンドで行ってください。★★"));
        ToggleFrameless();
    } else if (key == Qt::Key_F2) {
        RestartSmoothScreen();
    } else if (key == Qt::Key_F3) {
        FitToWindow();
    }
}

void DisplayView::ToggleFrameless() {
    if (wordProcessorMode_) {
        main_.Message(QStringLiteral("ワープロ画面の時は、「枠なし」にできません。"));
        return;
    }
    resizeSettle_ = 2;
    const QRect g = main_.geometry();
    if (!main_.pages()->isHidden()) {
        main_.pages()->hide();
        Image1->hide();
        Image2->setGeometry(main_.rect());
        Image2->show();
        Image2->raise();
        frameless_ = true;
        CheckBox50->setChecked(false);
        Timer1->stop();
        scroll_.stepCounter = 0;
        main_.setWindowFlag(Qt::FramelessWindowHint, true);
        savedAutoFit_ = CheckBox67->isChecked();
        CheckBox67->setChecked(false);
        RedrawDisplay();
        RedrawFrameless();
    } else {
        main_.pages()->show();
        Image1->show();
        Image2->hide();
        frameless_ = false;
        main_.setWindowFlag(Qt::FramelessWindowHint, false);
        RichEdit2->setGeometry(0, 0, displayWidth(), displayHeight());
        RichEdit2->move(0, screenHeight(&main_) + 20);
        Timer1->stop();
        scroll_.stepCounter = 0;
        CheckBox67->setChecked(savedAutoFit_);
        RedrawDisplay();
    }
    main_.setGeometry(g);
    main_.show();  // a change of the window flags hides the window
    main_.strip().Edit77->setFocus();
}

void DisplayView::RestartSmoothScreen() {
    wordProcessorMode_ = false;
    ShowRecordInPane(false);
    scroll_.accelerating = false;
    setNumber(Edit9, scroll_.baseStep);
    RichEdit2->setGeometry(0, screenHeight(&main_) + 20, displayWidth(), displayHeight());
    scroll_.jumpToEnd(main_.record().lineCount());
    RedrawDisplay();
    RedrawFrameless();
    RichEdit2->setFocusPolicy(Qt::ClickFocus);
    main_.strip().Button14->hide();
    const int W = displayWidth();
    main_.strip().RichEdit27->setGeometry(50, main_.strip().RichEdit27->y(), 750, main_.strip().RichEdit27->height());
    main_.strip().RichEdit27->setGeometry(50, main_.strip().RichEdit27->y(), W - 50, main_.strip().RichEdit27->height());
    main_.strip().RichEdit1->move(typistMode_ == 1 ? 50 : 0, main_.strip().RichEdit1->y());
}

void DisplayView::FitToWindow() {
    if (!CheckBox67->isChecked() && !savedAutoFit_) {
        main_.Message(QStringLiteral("「表示１」ページの「行間を自動調整する」のチェックが入ってません。"));
        return;
    }
    const int H = main_.height();
    const int s = qMax(1, Fonts::points(RichEdit2->font()));
    const int step = qMax(1, scroll_.scrollStep);
    int lines = H / (2 * s);
    int spacing = H / (lines + 1);
    const int steps = spacing / step;
    spacing = steps * step;
    if (frameless_) ++lines;
    setNumber(Edit8, lines);
    setNumber(Edit12, spacing);
    setNumber(Edit10, steps);
    scroll_.stepsPerLine = qMax(1, steps);
    scroll_.jumpToEnd(main_.record().lineCount());
    RedrawDisplay();
    RedrawFrameless();
}

void DisplayView::FitFromFont() {
    const int amount = qMax(1, scroll_.baseStep);
    setNumber(Edit9, amount);
    const int size = qMax(1, Fonts::points(RichEdit2->font()));
    int lines = qMax(1, main_.height() / (2 * size));
    int spacing = main_.height() / (lines + 1);
    const int steps = qMax(1, spacing / amount);
    spacing = amount * steps;
    if (frameless_) ++lines;
    setNumber(Edit8, lines);
    setNumber(Edit12, spacing);
    setNumber(Edit10, steps);
    scroll_.stepsPerLine = steps;
    scroll_.jumpToEnd(main_.record().lineCount());
    RedrawCanvases();
}

void DisplayView::SetScrollAmount(int amount) {
    amount = qMax(1, amount);
    const int spacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.scrollStep = amount;
    scroll_.lineSpacing = spacing;
    scroll_.stepsPerLine = qMax(1, spacing / amount);
    scroll_.baseStep = amount;
    setNumber(Edit9, amount);
}

void DisplayView::CanvasClick() {
    if (!CheckBox68->isChecked()) return;
    const Qt::CursorShape now = Panel6->cursor().shape();
    Qt::CursorShape next = Qt::ArrowCursor;
    if (now == Qt::BlankCursor) next = Qt::ArrowCursor;
    else if (now == Qt::ArrowCursor) next = Qt::PointingHandCursor;
    else if (now == Qt::PointingHandCursor) next = Qt::BlankCursor;
    Panel6->setCursor(next);
    main_.setCursor(next);
}

void DisplayView::CheckBox68Click() {
    if (CheckBox68->isChecked()) return;
    Panel6->setCursor(Qt::ArrowCursor);
    main_.setCursor(Qt::ArrowCursor);
}
