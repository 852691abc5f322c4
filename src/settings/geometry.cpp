#include "settings/geometry.h"

#include <algorithm>
#include <climits>

namespace Settings {

int FitExtent(Extent extent, qint64 value, const QRect& screens, const QSize& minimum) {
    switch (extent) {
    case Extent::Height: return int(std::clamp<qint64>(value, std::min(minimum.height(), screens.height()), screens.height()));
    case Extent::Width: return int(std::clamp<qint64>(value, std::min(minimum.width(), screens.width()), screens.width()));
    case Extent::Top: return int(std::clamp<qint64>(value, screens.top(), std::max(screens.top(), screens.bottom() - kReachable)));
    case Extent::Left: return int(std::clamp<qint64>(value, screens.left(), std::max(screens.left(), screens.right() - kReachable)));
    case Extent::None: break;
    }
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

bool BeyondScreens(Extent extent, qint64 value, const QRect& screens) {
    return extent != Extent::None && FitExtent(extent, value, screens, QSize(0, 0)) != value;
}

}  // namespace Settings
