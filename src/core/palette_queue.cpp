#include "core/palette_queue.h"

#include <utility>

namespace Core::Palette {

int Place(Panes& panes, const QByteArray& line) {
    for (int i = 0; i < kPanes - 1; ++i) {
        if (!panes[i].isEmpty()) continue;
        panes[i] = line;
        return i;
    }
    QByteArray& last = panes[kPanes - 1];
    if (last.size() + line.size() > kFoldLimit) return -1;
    last += line;  // at the end of its last line, without a separator
    return kPanes - 1;
}

bool CloseUp(Panes& panes) {
    bool moved = false;
    for (int i = 0; i < kPanes - 1; ++i) {
        if (!panes[i].isEmpty() || panes[i + 1].isEmpty()) continue;
        panes[i] = std::exchange(panes[i + 1], QByteArray());
        moved = true;
    }
    return moved;
}

}  // namespace Core::Palette
