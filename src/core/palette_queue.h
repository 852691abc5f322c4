#pragma once
// The correction palette's queue: six panes of pending lines, the oldest in pane 1. Arriving lines
// take the first empty pane of 1 … 5; beyond that they are folded into pane 6 while it stays within
// its 253 bytes. Discarding or sending a pane closes the gap.
#include <QByteArray>
#include <array>

namespace Core::Palette {

inline constexpr int kPanes = 6;
inline constexpr qsizetype kFoldLimit = 253;

// Each pane's text in code page 932, its lines joined by CR LF; empty when the pane has no lines.
using Panes = std::array<QByteArray, kPanes>;

// Puts an arriving line into the queue; the index of the pane that took it, or -1 when it was
// dropped (panes 1 … 5 occupied and pane 6 would pass its limit).
int Place(Panes& panes, const QByteArray& line);

// One pass from pane 1 to pane 5: an empty pane takes the text of the pane below it, which is
// emptied. Each waiting line moves up by one pane at most, so a single gap closes completely.
// Returns whether anything moved.
bool CloseUp(Panes& panes);

}  // namespace Core::Palette
