#include "settings/transfer.h"

#include "net/caption_protocol.h"
#include "settings/geometry.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace Settings {

std::optional<QList<QByteArray>> TransferBuffer::take(const QByteArray& text) {
    namespace Wire = Net::Wire;
    if (text != Wire::SettingsEnd()) {
        if (qsizetype(lines_.size()) >= kMaxLines) lines_.pop_front();
        lines_.push_back(text);
        return std::nullopt;
    }
    QList<QByteArray> lines;
    lines.reserve(qsizetype(lines_.size()));
    for (const QByteArray& l : lines_) lines << l.mid(Wire::SettingsStart().size());
    lines_.clear();
    return lines;
}

Screened ScreenTransfer(const KeyTable& table, const QList<QByteArray>& lines, const StationNow& now) {
    Screened out;
    // The colours the display would end with: a later line of a key wins, as in applying.
    qint32 ink = now.displayInk, paper = now.displayPaper;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const auto [key, value] = splitRecord(lines[i]);
        if (key == kDisplayInkKey && toInt(value)) ink = *toInt(value);
        if (key == kDisplayPaperKey && toInt(value)) paper = *toInt(value);
    }
    const bool captionsHidden =
        (ink != now.displayInk || paper != now.displayPaper) && now.shown && now.shown(ink) == now.shown(paper);

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (i == 0) {  // the header (whatever it is: applying checks it)
            out.lines << line;
            continue;
        }
        const auto [key, value] = splitRecord(line);
        const std::optional<qint32> number = toInt(value);
        QString reason;
        if (key == kChannelKey && number && *number != now.channel) {
            reason = QStringLiteral("チャンネルを変える設定は受け付けません（「ﾊﾟｰﾄﾅｰ」ページで変えてください）");
        } else if (key == kGroupKey && number && *number != now.group) {
            reason = QStringLiteral("入力班を変える設定は受け付けません（「ﾊﾟｰﾄﾅｰ」ページで変えてください）");
        } else if (key == kChannelKey || key == kGroupKey) {
            continue;  // the channel or group it is in already: nothing to change, no team to rebuild
        } else if (captionsHidden && (key == kDisplayInkKey || key == kDisplayPaperKey)) {
            reason = QStringLiteral("表示部の文字色と背景色が同じになり、字幕が見えなくなるため受け付けません");
        } else if (key) {
            const Entry* e = table.find(*key);
            if (e && e->extent != Extent::None && number && BeyondScreens(e->extent, *number, now.screens))
                reason = QStringLiteral("画面に収まらない大きさ・位置のため受け付けません");
        }
        if (reason.isEmpty()) out.lines << line;
        else out.held.append({line, reason});
    }
    return out;
}

}  // namespace Settings
