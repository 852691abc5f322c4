#pragma once
// Edits of a typing pane's whole text that the main input pane and the other typing panes share.
#include <QString>

namespace Core {

// F8 with "くくる。": the opening bracket at the start of the first line (after the speaker name
// when the text begins with it) and the closing bracket at the end of the last line.
QString Bracketed(const QString& text, const QString& speaker, const QString& open, const QString& close);

// Lines joined without separators (the palette's pane as its monitor and linked palettes get it).
QString JoinedLines(const QString& text);

}  // namespace Core
