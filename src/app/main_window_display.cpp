// The display of the main window: the record, the smooth screen, the word-processor screen, the
// typist modes with the input strip's geometry, and the keys of display-only mode.
#include "app/main_window.h"

#include "app/canvas.h"
#include "app/dock_page.h"
#include "app/fonts.h"
#include "app/form_builder.h"
#include "app/text_pane.h"
#include "app/updown.h"
#include "app/wastop_monitor.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"
#include "windows/main/auxiliary_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
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

// ---------------------------------------------------------------------------------------------
// Set-up

void Ttalk2e::InitialDisplayState() {
    scroll_.jumpToEnd(record().lineCount());
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
    ResetUndoState();
}

void Ttalk2e::wireDisplay() {
    record().setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    connect(&log_, &Core::DisplayLog::changed, this, &Ttalk2e::RecordChanged);

    connect(Edit8, &QLineEdit::textChanged, this, &Ttalk2e::Edit8Change);
    connect(Edit9, &QLineEdit::textChanged, this, &Ttalk2e::Edit9Change);
    connect(Edit11, &QLineEdit::textChanged, this, &Ttalk2e::Edit11Change);
    connect(Edit12, &QLineEdit::textChanged, this, &Ttalk2e::Edit12Change);
    connect(Button83, &QPushButton::clicked, this, &Ttalk2e::Button83Click);
    connect(Button9, &QPushButton::clicked, this, [this] {
        CheckBox67->setChecked(false);
        LinesToSpacing();
    });
    connect(CheckBox67, &QCheckBox::toggled, this, [this](bool on) {
        if (on) AutoFitLines();
    });
    connect(Button12, &QPushButton::clicked, this, &Ttalk2e::Button12Click);
    connect(Button13, &QPushButton::clicked, this, &Ttalk2e::Button13Click);
    connect(CheckBox85, &QCheckBox::toggled, this, &Ttalk2e::CheckBox85Click);
    connect(CheckBox8, &QCheckBox::toggled, this, &Ttalk2e::CheckBox8Click);
    connect(CheckBox50, &QCheckBox::toggled, this, &Ttalk2e::CheckBox50Click);
    connect(CheckBox37, &QCheckBox::toggled, this, &Ttalk2e::CheckBox37Click);
    connect(CheckBox84, &QCheckBox::toggled, this, &Ttalk2e::CheckBox84Click);
    connect(Button1, &QPushButton::clicked, this, &Ttalk2e::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Ttalk2e::Button2Click);
    connect(Button17, &QPushButton::clicked, this, &Ttalk2e::Button17Click);
    connect(Button15, &QPushButton::clicked, this, &Ttalk2e::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &Ttalk2e::Button16Click);
    connect(Edit6, &QLineEdit::textChanged, this, &Ttalk2e::LayoutInputStrip);
    connect(Edit96, &QLineEdit::textChanged, this, &Ttalk2e::LayoutInputStrip);
    connect(CheckBox68, &QCheckBox::toggled, this, &Ttalk2e::CheckBox68Click);
    connect(Image1, &Canvas::clicked, this, &Ttalk2e::CanvasClick);
    connect(Image2, &Canvas::clicked, this, &Ttalk2e::CanvasClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &Ttalk2e::PageControl1Change);
    connect(Edit18, &QLineEdit::returnPressed, this, [this] { resize(intOf(Edit18, width()), height()); });
    connect(Edit19, &QLineEdit::returnPressed, this, [this] { resize(width(), intOf(Edit19, height())); });
    RichEdit2->onKeyPress = [this](QKeyEvent* e) {
        if (e->key() != Qt::Key_F7) return false;
        if (CorrectionTemplateFromRecord()) RichEdit1->setFocus();
        return true;
    };
    Edit77->installEventFilter(this);
    Panel6->installEventFilter(this);
}

void Ttalk2e::StartupDisplayOptions() { CheckBox5->setChecked(true); }

void Ttalk2e::ReadScrollInterval() { scroll_.scrollInterval = intOf(Edit11, scroll_.scrollInterval); }

bool Ttalk2e::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit77 && event->type() == QEvent::KeyPress) {
        Edit77KeyDown(static_cast<QKeyEvent*>(event)->key());
        return true;  // the key catcher swallows every key
    }
    if (watched == Panel6 && event->type() == QEvent::Resize) DisplayAreaResized();
    if (watched == Edit30 && event->type() == QEvent::FocusOut) Edit30FocusOut();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The record: what every change of it does to the screen

void Ttalk2e::RecordChanged() {
    const Core::Record& rec = record();
    if (CheckBox37->isChecked()) PageControl1->setTabText(0, QString::number(rec.byteLength()) + QStringLiteral("Byte"));
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

int Ttalk2e::displayWidth() const { return Panel6->width(); }
int Ttalk2e::displayHeight() const { return Panel6->height(); }

void Ttalk2e::StartScrollTimer() { Timer1->start(scroll_.scrollInterval); }

void Ttalk2e::paintCanvas(Canvas* canvas, bool wholeCanvas) {
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
    for (const Core::SmoothScroller::Placed& line : placed) texts << record().displayLine(line.line);
    const int top = placed.empty() ? 0 : placed.front().y;
    const int firstLine = placed.empty() ? 0 : placed.front().line;
    int bottom = 0;
    bands_.beginFrame(font, ink, paper, kTextLeft, img.width(), spacing);
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

void Ttalk2e::Timer1Timer() {
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

void Ttalk2e::RedrawDisplay() {
    Timer1->stop();
    scroll_.stepCounter = 0;
    scroll_.latch();
    paintCanvas(Image1, true);
}

void Ttalk2e::RedrawFrameless() {
    Timer1->stop();
    scroll_.stepCounter = 0;
    scroll_.latch();
    paintCanvas(Image2, true);
}

void Ttalk2e::RedrawCanvases() {
    if (frameless_) {
        RedrawDisplay();
        RedrawFrameless();
    } else {
        RedrawDisplay();
    }
}

// ---------------------------------------------------------------------------------------------
// Field rules

void Ttalk2e::Edit8Change() {
    if (Edit8->text().isEmpty()) return;
    scroll_.visibleLines = linesOf(Edit8, scroll_.visibleLines);
    scroll_.correctionLines = scroll_.visibleLines;
}

void Ttalk2e::Edit12Change() {
    if (Edit12->text().isEmpty()) return;
    scroll_.lineSpacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.stepsPerLine = qMax(1, scroll_.lineSpacing / qMax(1, scroll_.scrollStep));
    setNumber(Edit10, scroll_.stepsPerLine);
}

void Ttalk2e::Edit11Change() {
    if (Edit11->text().isEmpty()) return;
    scroll_.scrollInterval = intOf(Edit11, scroll_.scrollInterval);
}

void Ttalk2e::applyStep(int step) {
    if (CheckBox67->isChecked() && layoutOn_) AutoFitLines();
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

void Ttalk2e::Edit9Change() {
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

void Ttalk2e::Button83Click() {
    setNumber(Edit9, spacingOf(Edit12, scroll_.lineSpacing));
    scroll_.stepsPerLine = 1;
}

void Ttalk2e::AutoFitLines() {
    if (!CheckBox67->isChecked() || !layoutOn_) return;
    RichEdit2->setGeometry(0, RichEdit2->y(), displayWidth(), displayHeight());
    const int pixels = Fonts::points(RichEdit2->font()) * 96 / 72;
    if (pixels <= 0) return;
    setNumber(Edit8, displayHeight() / pixels);
    setNumber(Edit12, pixels);
    scroll_.stepsPerLine = qMax(1, pixels / qMax(1, scroll_.scrollStep));
    setNumber(Edit10, scroll_.stepsPerLine);
    RedrawCanvases();
}

void Ttalk2e::LinesToSpacing() {
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
    Button12->setText(QStringLiteral("ワ"));
    CheckBox85->setChecked(false);
    SetInputPaneNormal(true);
    scroll_.accelerating = false;
    setNumber(Edit9, scroll_.baseStep);
    RichEdit2->move(0, screenHeight(this) + 20);
    scroll_.jumpToEnd(record().lineCount());
    RedrawCanvases();
    LayoutInputStrip();
}

void Ttalk2e::SettingsApplied() {
    RichEdit2->setGeometry(0, RichEdit2->y(), Panel6->width(), Panel6->height());
    DisplayAreaResized();
}

// ---------------------------------------------------------------------------------------------
// Window resize

void Ttalk2e::WindowResized() {
    PageControl1->setCurrentIndex(0);
    Image1->resize(size());
    Image2->resize(size());
    if (resizeSettle_ > 0) {
        --resizeSettle_;  // the frameless switch is still settling
        return;
    }
    setNumber(Edit19, height());
    setNumber(Edit18, width());
    DisplayAreaResized();
}

void Ttalk2e::DisplayAreaResized() {
    if (resizeSettle_ > 0) return;
    const int W = displayWidth();
    const int H = displayHeight();
    // The record wraps exactly where the canvas lines end, unless the sub-input window's
    // "表示の右端で折り返さない。" keeps every record line one display line.
    const int textWidth = qMax(40, W - 2 * kTextLeft - 4);
    const bool wraps = !Form14 || Form14->displayWraps();
    RichEdit2->setLineWrapMode(wraps ? QTextEdit::FixedPixelWidth : QTextEdit::NoWrap);
    RichEdit2->setLineWrapColumnOrWidth(textWidth + 2 * kRecordMargin);
    record().setWrap(RichEdit2->font(), wraps ? textWidth : 1 << 20);
    if (wordProcessorMode_) RichEdit2->setGeometry(0, 0, W, H);
    else RichEdit2->setGeometry(0, screenHeight(this) + 20, W, H);
    const int inset = wordProcessorMode_ ? 75 : 50;
    if (typistMode_ == 2) RichEdit27->resize(W - inset, RichEdit27->height());
    else if (typistMode_ == 1) RichEdit1->setGeometry(inset, RichEdit1->y(), W - inset, RichEdit1->height());
    if (typistMode_ == 2) RichEdit1->resize(W, RichEdit1->height());
    Memo3->resize(W, H);
    if (layoutOn_) {
        AutoFitLines();
        RedrawDisplay();
        RedrawFrameless();
        if (PageControl1->currentIndex() == 0) FocusInputOrKeyCatcher();
    }
    scroll_.lineCount = record().lineCount();
    scroll_.shownLine = scroll_.lineCount;
}

// ---------------------------------------------------------------------------------------------
// Word-processor screen and correction mode

void Ttalk2e::SetInputPaneNormal(bool normal) {
    QPalette p = RichEdit1->palette();
    p.setColor(QPalette::Base, normal ? inputPaneColour() : QColor(255, 0, 0));
    RichEdit1->setPalette(p);
    RichEdit1->setFocusPolicy(normal ? Qt::StrongFocus : Qt::ClickFocus);
}

void Ttalk2e::ShowRecordInPane(bool show) {
    QTextDocument* doc = record().document();
    if (show == (RichEdit2->document() == doc)) return;
    if (show) {
        record().setFullLayout(true);
        doc->setDefaultFont(RichEdit2->font());
        RichEdit2->setDocument(doc);
        RichEdit2->moveCursor(QTextCursor::End);
        RichEdit2->ensureCursorVisible();
    } else {
        RichEdit2->setDocument(paneDocument_);
        record().setFullLayout(false);
    }
}

void Ttalk2e::Button12Click() {
    const QString state = Button12->text();
    const int W = displayWidth();
    if (state == QStringLiteral("ワ")) {
        wordProcessorMode_ = true;
        Timer1->stop();
        ShowRecordInPane(true);
        RichEdit2->setGeometry(0, 0, W, displayHeight());
        RichEdit2->setFocusPolicy(Qt::StrongFocus);
        Button14->show();
        RichEdit27->setGeometry(75, RichEdit27->y(), W - 75, RichEdit27->height());
        if (typistMode_ == 1) RichEdit1->setGeometry(75, RichEdit1->y(), W - 75, RichEdit1->height());
        Button12->setText(QStringLiteral("止"));
        RichEdit1->setFocus();
    } else if (state == QStringLiteral("止")) {
        Button12->setText(QStringLiteral("動"));
        CheckBox85->setChecked(true);
        SetInputPaneNormal(false);
        RichEdit2->setFocus();
    } else {
        Button12->setText(QStringLiteral("止"));
        CheckBox85->setChecked(false);
        SetInputPaneNormal(true);
        RichEdit1->setFocus();
    }
}

void Ttalk2e::Button13Click() {
    wordProcessorMode_ = false;
    ShowRecordInPane(false);
    Button12->setText(QStringLiteral("ワ"));
    CheckBox85->setChecked(false);
    SetInputPaneNormal(true);
    if (scroll_.accelerating) {
        scroll_.accelerating = false;
        setNumber(Edit9, scroll_.baseStep);
    }
    RichEdit2->setGeometry(0, screenHeight(this) + 20, displayWidth(), displayHeight());
    scroll_.jumpToEnd(record().lineCount());
    RedrawCanvases();
    RichEdit2->setFocusPolicy(Qt::ClickFocus);
    Button14->hide();
    const int W = displayWidth();
    RichEdit27->setGeometry(50, RichEdit27->y(), W - 50, RichEdit27->height());
    RichEdit1->move(typistMode_ == 1 ? 50 : 0, RichEdit1->y());
}

void Ttalk2e::CheckBox85Click() {
    if (CheckBox85->isChecked()) {
        if (Form8) Form8->Memo2->clear();  // a fresh buffer for what arrives while editing
    } else {
        FlushCorrectionBuffer();
    }
}


// ---------------------------------------------------------------------------------------------
// Options of the display

void Ttalk2e::CheckBox8Click() {
    if (!CheckBox8->isChecked()) return;
    CheckBox84->setChecked(false);
    if (scroll_.lineCount < 20) {
        record().addLine(QStringLiteral("＜空行のみ改行のための行追加しました＞") + QString(20, u'\n'));
        log_.setUndoInProgress(false);
        scroll_.jumpToEnd(record().lineCount());
        RedrawDisplay();
        RedrawFrameless();
    }
}

void Ttalk2e::CheckBox50Click() {
    if (!CheckBox50->isChecked()) return;
    if (auxiliary_->rubyExchange() || (Form14 && Form14->fixedWidth())) {
        CheckBox50->setChecked(false);
        Message(QStringLiteral(
            "「補助Ｗ」ページの「ルビ送信」のチェック、\nまたは、「サブ入力ウィンド」の「ルビ送信」ページの「桁数」のチェックが入っています。\n"
            "「表示位置の表示」と同時に使えません。"));
        return;
    }
    CheckBox84->setChecked(false);
}

void Ttalk2e::CheckBox37Click() {
    PageControl1->setTabText(0, CheckBox37->isChecked()
                                    ? QString::number(record().byteLength()) + QStringLiteral("Byte")
                                    : QStringLiteral("表示・入力"));
}

void Ttalk2e::CheckBox84Click() {
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

void Ttalk2e::Button1Click() {
    const auto f = station_.dialogs.chooseFont(this, RichEdit2->font());
    if (!f) return;
    SetDisplayFont(*f);
    PageControl1->setCurrentIndex(0);
    FocusInputOrKeyCatcher();
}

void Ttalk2e::SetDisplayFont(const QFont& f) {
    RichEdit2->setFont(f);
    record().document()->setDefaultFont(f);
    Image1->setFont(f);
    Image2->setFont(f);
    Memo3->setFont(f);
    record().setWrap(f, record().wrapWidth());
    AutoFitLines();
}

void Ttalk2e::Button2Click() {
    const auto c = station_.dialogs.chooseColor(this, qcolour(colours_.displayPaper));
    if (!c) return;
    colours_.displayPaper = Settings::fromQColor(*c);
    PaintDisplay();
    PageControl1->setCurrentIndex(0);
    FocusInputOrKeyCatcher();
}

void Ttalk2e::PaintDisplay() {
    QPalette p = RichEdit2->palette();
    p.setColor(QPalette::Base, qcolour(colours_.displayPaper));
    p.setColor(QPalette::Text, qcolour(colours_.displayInk));
    RichEdit2->setPalette(p);
    Image1->fill(qcolour(colours_.displayPaper));
    Image2->fill(qcolour(colours_.displayPaper));
    RedrawCanvases();
}

// ---------------------------------------------------------------------------------------------
// Typist modes and the input strip

void Ttalk2e::LayoutInputStrip() {
    // The font height as a negative pixel height, as the strip's formula takes it.
    const int fontHeight = -QFontInfo(RichEdit1->font()).pixelSize();
    const int h = (-fontHeight * 96) / 72 + 4;
    const int m = qMax(0, intOf(Edit6, 1));
    const int n = qMax(0, intOf(Edit96, 1));
    const int t = 3;
    const int W = displayWidth();
    RichEdit1->resize(RichEdit1->width(), h * n);
    RichEdit27->resize(RichEdit27->width(), h * m);
    const int buttonHeight = typistMode_ == 1 ? h * n + t : h * m + t;
    Button13->setGeometry(0, 0, 25, buttonHeight);
    Button12->setGeometry(25, 0, 25, buttonHeight);
    Button14->setGeometry(50, 0, 25, buttonHeight);
    if (wordProcessorMode_) RichEdit2->resize(RichEdit2->width(), displayHeight());
    if (typistMode_ == 2) {
        Panel1->resize(Panel1->width(), h * (m + n) + t);
        RichEdit1->setGeometry(0, h * m + t, W, h * n);
        const int inset = wordProcessorMode_ ? 75 : 50;
        RichEdit27->setGeometry(inset, t, W - inset, h * m);
        RichEdit27->show();
        Panel1->show();
        Edit77->hide();
    } else if (typistMode_ == 1) {
        Panel1->resize(Panel1->width(), h * n + t);
        RichEdit27->hide();
        Panel1->show();
        Edit77->hide();
        const int inset = wordProcessorMode_ ? 75 : 50;
        RichEdit1->setGeometry(inset, t, W - inset, h * n);
        if (wordProcessorMode_) RichEdit2->setFocusPolicy(Qt::StrongFocus);
    } else {
        Edit77->show();
        Edit77->setFocus();
        RichEdit2->setFocusPolicy(Qt::ClickFocus);
        Panel1->hide();
    }
    TabSheet1->relayout();  // the display area takes what the strip leaves
    if (wordProcessorMode_) {
        RichEdit2->setGeometry(0, 0, displayWidth(), displayHeight());
        RichEdit2->setFocusPolicy(Qt::StrongFocus);
    } else {
        RichEdit2->setGeometry(0, screenHeight(this) + 20, displayWidth(), displayHeight());
    }
    Memo3->resize(displayWidth(), displayHeight());
    const int inset = wordProcessorMode_ ? 75 : 50;
    Panel22->setGeometry(0, 0, inset, Panel1->height());
    Panel23->setGeometry(inset, 0, qMax(Panel23->minimumWidth(), W - inset), Panel1->height());
    Panel22->lower();
    Panel23->lower();
}

// "２人入力" and "１人で".
void Ttalk2e::SetTypingMode(int mode) {
    typistMode_ = mode;
    LayoutInputStrip();
    PageControl1->setCurrentIndex(0);
    RichEdit2->resize(displayWidth(), displayHeight());
    Memo3->resize(displayWidth(), displayHeight());
    AutoFitLines();
    LayoutInputStrip();
    Panel6->unsetCursor();
    unsetCursor();
    PageControl1->setCurrentIndex(0);
}

void Ttalk2e::SetTypistRows(int rows) {
    if (rows <= 0) {
        typistMode_ = 0;
        LayoutInputStrip();
        return;
    }
    SetTypingMode(rows == 1 ? 1 : 2);
}

void Ttalk2e::SetScreenKind(bool wordProcessor) {
    if (wordProcessor && Button12->text() == QStringLiteral("ワ")) Button12Click();
    else if (!wordProcessor && wordProcessorMode_) Button13Click();
}

void Ttalk2e::Button17Click() { SetTypingMode(2); }
void Ttalk2e::Button15Click() { SetTypingMode(1); }

void Ttalk2e::Button16Click() {
    typistMode_ = 0;
    Panel6->setCursor(Qt::BlankCursor);
    setCursor(Qt::BlankCursor);
    LayoutInputStrip();
    PageControl1->setCurrentIndex(0);
    Message(QStringLiteral(
        "表示専用（「０人」）にしたのでスムーズ画面上ではマウスカーソルが消えるようになります。「１人」「２人」に戻せば、元通り現れます。\n\n"
        "「表示２」ページの「マウスカーソルの非表示」のチェックを入れた場合は、クリックするたびに「標準」「指」「消える」という順に変化します。\n\n"
        "＜Ｆキーの機能＞\nＦ１：タグとキャプション部が消えます。（枠なし表示）\nＦ２：再描画します。（「再」ボタン）\n"
        "Ｆ３：表示専用画面の大きさに合わせた行数・行間に自動調整します。"));
}

void Ttalk2e::FocusInputOrKeyCatcher() {
    if (typistMode_ == 0) Edit77->setFocus();
    else RichEdit1->setFocus();
}

void Ttalk2e::PageControl1Change() {
    if (PageControl1->currentIndex() == 0) FocusInputOrKeyCatcher();
}

// ---------------------------------------------------------------------------------------------
// Display-only mode: F1, F2, F3 and the mouse cursor

void Ttalk2e::Edit77KeyDown(int key) {
    if (key == Qt::Key_F1) {
        if (PageControl1->isVisible())
            Message(QStringLiteral(
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

void Ttalk2e::ToggleFrameless() {
    if (wordProcessorMode_) {
        Message(QStringLiteral("ワープロ画面の時は、「枠なし」にできません。"));
        return;
    }
    resizeSettle_ = 2;
    const QRect g = geometry();
    if (!PageControl1->isHidden()) {
        PageControl1->hide();
        Image1->hide();
        Image2->setGeometry(rect());
        Image2->show();
        Image2->raise();
        frameless_ = true;
        CheckBox50->setChecked(false);
        Timer1->stop();
        scroll_.stepCounter = 0;
        setWindowFlag(Qt::FramelessWindowHint, true);
        savedAutoFit_ = CheckBox67->isChecked();
        CheckBox67->setChecked(false);
        RedrawDisplay();
        RedrawFrameless();
    } else {
        PageControl1->show();
        Image1->show();
        Image2->hide();
        frameless_ = false;
        setWindowFlag(Qt::FramelessWindowHint, false);
        RichEdit2->setGeometry(0, 0, displayWidth(), displayHeight());
        RichEdit2->move(0, screenHeight(this) + 20);
        Timer1->stop();
        scroll_.stepCounter = 0;
        CheckBox67->setChecked(savedAutoFit_);
        RedrawDisplay();
    }
    setGeometry(g);
    show();  // a change of the window flags hides the window
    Edit77->setFocus();
}

void Ttalk2e::RestartSmoothScreen() {
    wordProcessorMode_ = false;
    ShowRecordInPane(false);
    scroll_.accelerating = false;
    setNumber(Edit9, scroll_.baseStep);
    RichEdit2->setGeometry(0, screenHeight(this) + 20, displayWidth(), displayHeight());
    scroll_.jumpToEnd(record().lineCount());
    RedrawDisplay();
    RedrawFrameless();
    RichEdit2->setFocusPolicy(Qt::ClickFocus);
    Button14->hide();
    const int W = displayWidth();
    RichEdit27->setGeometry(50, RichEdit27->y(), 750, RichEdit27->height());
    RichEdit27->setGeometry(50, RichEdit27->y(), W - 50, RichEdit27->height());
    RichEdit1->move(typistMode_ == 1 ? 50 : 0, RichEdit1->y());
}

void Ttalk2e::FitToWindow() {
    if (!CheckBox67->isChecked() && !savedAutoFit_) {
        Message(QStringLiteral("「表示１」ページの「行間を自動調整する」のチェックが入ってません。"));
        return;
    }
    const int H = height();
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
    scroll_.jumpToEnd(record().lineCount());
    RedrawDisplay();
    RedrawFrameless();
}

void Ttalk2e::FitFromFont() {
    const int amount = qMax(1, scroll_.baseStep);
    setNumber(Edit9, amount);
    const int size = qMax(1, Fonts::points(RichEdit2->font()));
    int lines = qMax(1, height() / (2 * size));
    int spacing = height() / (lines + 1);
    const int steps = qMax(1, spacing / amount);
    spacing = amount * steps;
    if (frameless_) ++lines;
    setNumber(Edit8, lines);
    setNumber(Edit12, spacing);
    setNumber(Edit10, steps);
    scroll_.stepsPerLine = steps;
    scroll_.jumpToEnd(record().lineCount());
    RedrawCanvases();
}

void Ttalk2e::SetScrollAmount(int amount) {
    amount = qMax(1, amount);
    const int spacing = spacingOf(Edit12, scroll_.lineSpacing);
    scroll_.scrollStep = amount;
    scroll_.lineSpacing = spacing;
    scroll_.stepsPerLine = qMax(1, spacing / amount);
    scroll_.baseStep = amount;
    setNumber(Edit9, amount);
}

void Ttalk2e::CanvasClick() {
    if (!CheckBox68->isChecked()) return;
    const Qt::CursorShape now = Panel6->cursor().shape();
    Qt::CursorShape next = Qt::ArrowCursor;
    if (now == Qt::BlankCursor) next = Qt::ArrowCursor;
    else if (now == Qt::ArrowCursor) next = Qt::PointingHandCursor;
    else if (now == Qt::PointingHandCursor) next = Qt::BlankCursor;
    Panel6->setCursor(next);
    setCursor(next);
}

void Ttalk2e::CheckBox68Click() {
    if (CheckBox68->isChecked()) return;
    Panel6->setCursor(Qt::ArrowCursor);
    setCursor(Qt::ArrowCursor);
}
