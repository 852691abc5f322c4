#pragma once
// The display of the main window: the record pane and the smooth screen's canvases, the
// word-processor screen, the typist modes with the input strip's geometry, the keys of
// display-only mode, and the option pages "表示１" and "表示２".
#include "core/caption_path.h"
#include "core/line_bands.h"
#include "core/scroller.h"
#include "ui/qt_fwd.h"

#include <QFont>
#include <QObject>
#include <QRect>

class Canvas;
class DockPage;
class TextPane;
class Ttalk2e;
class UpDown;

class DisplayView : public QObject {
    Q_OBJECT
public:
    DisplayView(Ttalk2e& main, Core::SmoothScroller& scroll);
    ~DisplayView() override;

    // The display area on the first page, the option pages, the frameless canvas on the window.
    void buildArea(DockPage* page);
    void buildOptionPages(QTabWidget* pages);
    void buildFramelessCanvas();
    void wire();
    // The display area: the hidden helpers of other features live in it too.
    QWidget* area() const;
    // The caption display on the screen: notices run over it.
    QRect captionArea() const;
    // The mouse cursor back to normal over the window and the display.
    void resetCursors();

    // ---- start-up ----
    void InitialLayout();
    void InitialDisplayState();
    void StartupDisplayOptions();
    void ReadScrollInterval();

    // ---- the record and the smooth screen ----
    void RecordChanged();
    void Timer1Timer();
    void RedrawDisplay();
    void RedrawFrameless();
    void RedrawCanvases();  // both in frameless mode, else Image1
    void StartScrollTimer();
    bool scrolling() const;
    void AutoFitLines();
    void LinesToSpacing();
    void SettingsApplied();
    // The record pane over the whole display area.
    void fitRecordPane();
    void WindowResized();
    void DisplayAreaResized();
    int displayWidth() const;
    int displayHeight() const;
    // Command 600: lines, spacing and steps from the window height and the display font.
    void FitFromFont();
    // Command 620: the scroll amount, with the spacing and steps it gives.
    void SetScrollAmount(int amount);
    void FitToWindow();
    void RestartSmoothScreen();

    // ---- field rules of the smooth screen ----
    void Edit8Change();
    void Edit9Change();
    void Edit11Change();
    void Edit12Change();
    void Button83Click();  // "１行づつ送る"

    // ---- word-processor screen and correction mode ----
    void Button12Click();  // "ワ" → "止" → "動" → "止" …
    void Button13Click();  // "再"
    void CheckBox85Click();
    bool correctionMode() const;
    void setCorrectionMode(bool on);
    void SetInputPaneNormal(bool normal);
    // The record pane shows the record (word-processor screen) or nothing (smooth screen).
    void ShowRecordInPane(bool show);
    // The text selected in the record pane while it shows the record.
    QString selectedRecordText() const;
    // The record pane at the record's end.
    void followRecordEnd();
    // The hidden correction buffer: emptied with the buffer, filled only while it is shown.
    void clearCorrectionBuffer();
    bool correctionBufferShown() const;
    void setCorrectionBuffer(const QString& text);

    // ---- options of the display ----
    void CheckBox8Click();
    void CheckBox50Click();
    void CheckBox37Click();
    void CheckBox84Click();
    void Button1Click();  // "フォント"
    void Button2Click();  // "背景色"
    void SetDisplayFont(const QFont& font);  // the record pane, both canvases and the correction buffer
    QFont displayFont() const;
    void PaintDisplay();  // the display's ink and paper from their values
    void setCompositionColours(const QColor& ink, const QColor& paper);
    // The options the caption path reads at the moment of use.
    void addCaptionOptions(Core::CaptionOptions& o) const;
    bool endCheckReceived() const;
    void setUndoPartnerLines(bool on);  // "Ｕｎｄｏの対象にする"  // "←ある時から改行に空行が入ってしまう不具合の時"
    bool redrawsAfterUndo() const;
    void setRedrawAfterUndo(bool on);
    // "入力文の表示位置の表示" off; whether it was on.
    bool clearPositionMarker();
    int linesField(int fallback) const;  // "表示行数"
    QString linesText() const;
    QString spacingText() const;
    void setAutoFit(bool on);
    bool showsMessages() const;  // "メッセージを表示する"
    bool coverOn() const;        // "単一色でカバー"
    void setCover(bool on);

    // ---- typist modes, the frameless screen and the keys of display-only mode ----
    int typistMode() const { return typistMode_; }  // 2 two typists, 1 one typist, 0 display only
    bool wordProcessorMode() const { return wordProcessorMode_; }
    bool isFrameless() const { return frameless_; }
    void LayoutInputStrip();
    void SetTypingMode(int mode);
    // Key 011: 0 the display alone, 1 the input pane, 2 or more the monitor pane too.
    void SetTypistRows(int rows);
    // Key 025: the word-processor screen (true) or the smooth screen.
    void SetScreenKind(bool wordProcessor);
    void Button17Click();  // "２人入力"
    void Button15Click();  // "１人で"
    void Button16Click();  // "表示用"
    void ToggleFrameless();
    void CanvasClick();
    void CheckBox68Click();
    void Edit77KeyDown(int key);
    void PageControl1Change();
    void FocusInputOrKeyCatcher();

signals:
    void coverToggled();         // "単一色でカバー"
    void coverColourClicked();   // "カバー色"
    void pageColourClicked();    // "背景色" of all windows
    void explanationColourClicked();  // "説明文色"

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintCanvas(Canvas* canvas, bool wholeCanvas);
    void applyStep(int step);
    QSize canvasSize() const;

    Ttalk2e& main_;
    Core::SmoothScroller& scroll_;
    QFrame* Panel6 = nullptr;        // display area
    Canvas* Image1 = nullptr;        // smooth screen, framed
    Canvas* Image2 = nullptr;        // smooth screen, frameless, laid directly on the window
    TextPane* RichEdit2 = nullptr;   // the record pane
    QPlainTextEdit* Memo3 = nullptr; // hidden correction buffer
    QTimer* Timer1 = nullptr;        // smooth-screen step

    // page "表示１"
    QLineEdit *Edit8 = nullptr, *Edit12 = nullptr, *Edit9 = nullptr, *Edit10 = nullptr, *Edit11 = nullptr;
    QLineEdit *Edit43 = nullptr, *Edit44 = nullptr;
    QCheckBox *CheckBox5 = nullptr, *CheckBox67 = nullptr, *CheckBox8 = nullptr, *CheckBox50 = nullptr;
    QCheckBox *CheckBox17 = nullptr, *CheckBox84 = nullptr;
    QPushButton *Button9 = nullptr, *Button1 = nullptr, *Button2 = nullptr;
    QGroupBox* GroupOneLine = nullptr;
    QPushButton* Button83 = nullptr;
    QPushButton *Button17 = nullptr, *Button15 = nullptr, *Button16 = nullptr;
    QLineEdit *Edit6 = nullptr, *Edit96 = nullptr;
    UpDown *UpDown1 = nullptr, *UpDown2 = nullptr;
    QCheckBox* CheckBox9 = nullptr;   // "単一色でカバー"
    QPushButton* Button8 = nullptr;   // "カバー色"
    // page "表示２"
    QCheckBox *CheckBox40 = nullptr, *CheckBox11 = nullptr, *CheckBox68 = nullptr, *CheckBox37 = nullptr;
    QCheckBox *CheckBox24 = nullptr, *CheckBox85 = nullptr;
    QGroupBox* GroupWindowSize = nullptr;
    QLineEdit *Edit18 = nullptr, *Edit19 = nullptr;
    QCheckBox* CheckBox19 = nullptr;  // "メッセージを表示する"
    QGroupBox* GroupPageColours = nullptr;  // hidden "ページの背景色などの変更"
    QPushButton* Button69 = nullptr;  // "背景色" of all windows
    QPushButton* Button70 = nullptr;  // "説明文色"

    int typistMode_ = 2;
    bool wordProcessorMode_ = false;
    bool frameless_ = false;
    bool savedAutoFit_ = false;
    int resizeSettle_ = 0;
    QTextDocument* paneDocument_ = nullptr;  // the record pane's own, empty, in the smooth screen
    Core::LineBands bands_;      // rendered bands of the smooth screen
    bool stepPending_ = false;   // a step chosen mid-line, applied when the line is done
};
