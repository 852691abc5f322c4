#include "app/record_pane.h"

#include "text/cp932.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

RecordPane::RecordPane(QWidget* parent) : QTextEdit(parent) {}

bool RecordPane::fits(const QString& text) const {
    if (!recordBytes) return true;
    const qsizetype selected = Cp932::byteLength(textCursor().selectedText());
    return recordBytes() - selected + Cp932::byteLength(text) <= limit;
}

void RecordPane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F7) {
        emit f7Pressed();
        return;
    }
    QString adds = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) adds = QStringLiteral("\r\n");
    if (!adds.isEmpty() && adds[0].isPrint() && !fits(adds)) {
        QApplication::beep();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !fits(adds)) {
        QApplication::beep();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void RecordPane::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !fits(event->commitString())) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());  // drop the commit
        QTextEdit::inputMethodEvent(&cut);
        QApplication::beep();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

void RecordPane::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !fits(source->text())) {
        QApplication::beep();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}
