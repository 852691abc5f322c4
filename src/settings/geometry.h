#pragma once
// Window sizes and places from a settings file or a partner's transfer: any number at all. They are
// taken within the screens, so that no window asks for gigabytes of picture (20000×20000 took
// 1.6 GB) and none ends up too small to use or where nobody can reach it.
#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace Settings {

// What a geometry key holds.
enum class Extent { None, Height, Width, Top, Left };

// The value within the screens: a height or width no larger than the bounding box of the screens'
// available areas and no smaller than `minimum`; a top or left that keeps at least kReachable pixels
// of the window's top-left part on that box.
int FitExtent(Extent extent, qint64 value, const QRect& screens, const QSize& minimum);
// Whether the value asks for more than the screens hold, or a place off them.
bool BeyondScreens(Extent extent, qint64 value, const QRect& screens);

inline constexpr int kReachable = 40;
inline constexpr QSize kSmallestWindow{160, 100};
inline constexpr QSize kSmallestMainWindow{320, 200};
inline constexpr QSize kSmallestPane{0, 10};

}  // namespace Settings
