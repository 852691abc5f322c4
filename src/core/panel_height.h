#pragma once
// Heights of the panels above a window's panes (the controls of the pre-roll window, the top of
// the pre-roll monitor), as a settings file gives them. Files once held 2 pixels for the panels
// of windows that were hidden when they were saved, which squashes the controls to nothing when
// applied; a height no screen holds is no better. Such heights are not applied.

namespace Core {

inline constexpr int kMinPanelHeight = 20;    // a row of controls
inline constexpr int kMaxPanelHeight = 4096;  // taller than any screen

constexpr bool UsablePanelHeight(int height) { return height >= kMinPanelHeight && height <= kMaxPanelHeight; }

}  // namespace Core
