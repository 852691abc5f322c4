#pragma once
// What the caption path changes through the main window: the options it reads from the pages,
// the input strip it resets, the wa-stop buffer, the clipboard, the screen and the audience mirror.
#include "core/caption_path.h"

class QTextEdit;
class QWidget;
class Ttalk2e;

class MainCaptionHost final : public Core::CaptionHost {
public:
    explicit MainCaptionHost(Ttalk2e& main) : main_(main) {}
    // The hidden pane the clipboard text is laid out in, inside `parent`.
    void buildClipboardPane(QWidget* parent);

    Core::CaptionOptions captionOptions() const override;
    void message(const QString& text) override;
    void log(const QString& line) override;
    void copyToClipboard(const QByteArray& text) override;
    QDateTime inputStartTime() const override;
    void endInput() override;
    void resetInputPane() override;
    void lineEnded() override;
    void refillInputPane(const QByteArray& text, bool after) override;
    void hold(const QByteArray& item) override;
    QList<QByteArray> takeHeld() override;
    void showCorrectionBuffer(const QList<QByteArray>& items) override;
    void redraw() override;
    void redrawBoth() override;
    void screenCleared() override;
    void correctionApplied(int superseded, int lines) override;

private:
    Ttalk2e& main_;
    QTextEdit* RichEdit5 = nullptr;  // hidden clipboard pane
};
