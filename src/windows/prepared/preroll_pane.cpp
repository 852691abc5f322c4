#include "windows/prepared/preroll_pane.h"

#include "core/preroll.h"
#include "text/cp932.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

PrerollPane::PrerollPane(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMinimumWidth(4);
}

// Cheap while the pane is far below its limit: a character takes at most two bytes.
bool PrerollPane::hasRoomFor(qsizetype bytes) const {
    const qsizetype bound = 2 * qsizetype(document()->characterCount());
    if (bound + bytes <= limit) return true;
    return Core::Preroll::ByteLength(*document()) + bytes <= limit;
}

void PrerollPane::keyPressEvent(QKeyEvent* event) {
    if (onKeyPress && onKeyPress(event)) return;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString adds = enter ? QStringLiteral("\r\n") : event->text();
    if (!isReadOnly() && !adds.isEmpty() && (enter || adds[0].isPrint()) && !hasRoomFor(Cp932::byteLength(adds))) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PrerollPane::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    if (onKeyRelease) onKeyRelease(event);
}

void PrerollPane::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !hasRoomFor(Cp932::byteLength(source->text()))) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
