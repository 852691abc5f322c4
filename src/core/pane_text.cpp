#include "core/pane_text.h"

namespace Core {

QString Bracketed(const QString& text, const QString& speaker, const QString& open, const QString& close) {
    if (!speaker.isEmpty() && text.startsWith(speaker)) return speaker + open + text.mid(speaker.size()) + close;
    return open + text + close;
}

QString JoinedLines(const QString& text) {
    QString out = text;
    out.remove(u'\n').remove(u'\r').remove(QChar::ParagraphSeparator);
    return out;
}

}  // namespace Core
