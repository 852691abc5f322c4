#pragma once
// The main window as the caption path sees it.
#include "core/caption_path.h"

#include <QList>
#include <QStringList>

namespace Testing {

class FakeCaptionHost final : public Core::CaptionHost {
public:
    Core::CaptionOptions options;
    QStringList messages, logLines;
    QList<QByteArray> clipboard, held, correctionBuffer;
    QList<std::pair<QByteArray, bool>> refills;
    QDateTime inputStart;
    int inputEnds = 0, paneResets = 0, linesEnded = 0, redraws = 0, fullRedraws = 0;

    Core::CaptionOptions captionOptions() const override { return options; }
    void message(const QString& t) override { messages << t; }
    void log(const QString& l) override { logLines << l; }
    void copyToClipboard(const QByteArray& t) override { clipboard << t; }
    QDateTime inputStartTime() const override { return inputStart; }
    void endInput() override { ++inputEnds; }
    void resetInputPane() override { ++paneResets; }
    void lineEnded() override { ++linesEnded; }
    void refillInputPane(const QByteArray& t, bool after) override { refills.append({t, after}); }
    void hold(const QByteArray& item) override { held << item; }
    QList<QByteArray> takeHeld() override { return std::exchange(held, {}); }
    void showCorrectionBuffer(const QList<QByteArray>& items) override { correctionBuffer = items; }
    void redraw() override { ++redraws; }
    void redrawBoth() override { ++fullRedraws; }
    void screenCleared() override { ++clears; }
    void correctionApplied(int superseded, int lines) override { corrections.append({superseded, lines}); }
    int clears = 0;
    QList<std::pair<int, int>> corrections;
};

}  // namespace Testing
