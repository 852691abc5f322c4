#pragma once
// Display settings that another PC sends (a transfer: "$set$" lines closed by "$end$"). The lines
// wait in a bounded buffer until the end mark; before they are applied, the ones that would take
// the station away from its typist are held back, each with the reason for the explanation page:
// a transfer does not move the station to another channel or input group (where the team's lines
// never reach it), does not make the caption text the colour of its background, and does not make
// a window larger than the screens or put it off them.
#include "settings/key_table.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

namespace Settings {

class TransferBuffer {
public:
    // A settings file has some 700 lines; a transfer that never ends keeps its newest lines.
    static constexpr qsizetype kMaxLines = 2000;

    // Takes one transfer line (with its "$set$" prefix). At the end mark, the buffered lines without
    // their prefix, to be applied; nothing otherwise.
    std::optional<QList<QByteArray>> take(const QByteArray& text);
    qsizetype size() const { return qsizetype(lines_.size()); }

private:
    std::deque<QByteArray> lines_;
};

// What the station is now, as the screening needs it.
struct StationNow {
    int channel = 0;             // channel index
    int group = 1;
    qint32 displayInk = 0;       // Windows colour values
    qint32 displayPaper = 0;
    QRect screens;               // the bounding box of the screens' available areas
    // The colour a Windows colour value shows as (system colours are negative), as 0xRRGGBB.
    std::function<quint32(qint32)> shown;
};

struct HeldBack {
    QByteArray line;
    QString reason;
};

struct Screened {
    QList<QByteArray> lines;  // to apply
    QList<HeldBack> held;     // not applied
};

// The keys the screening reads.
inline constexpr int kChannelKey = 801;
inline constexpr int kGroupKey = 802;
inline constexpr int kDisplayInkKey = 8;
inline constexpr int kDisplayPaperKey = 10;

Screened ScreenTransfer(const KeyTable& table, const QList<QByteArray>& lines, const StationNow& now);

}  // namespace Settings
