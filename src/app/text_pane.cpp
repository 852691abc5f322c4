#include "app/text_pane.h"

#include "text/cp932.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCharFormat>

TextPane::TextPane(QWidget* parent) : QTextEdit(parent) {}

qsizetype TextPane::ownBytes() const {
    QString t = toPlainText();
    t.replace(u'\n', QLatin1String("\r\n"));
    return Cp932::byteLength(t);
}

bool TextPane::fits(const QString& text) const {
    if (limit <= 0) return true;
    const qsizetype now = bytes ? bytes() : ownBytes();
    QString sel = textCursor().selectedText();
    sel.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return now - Cp932::byteLength(sel) + Cp932::byteLength(text) <= limit;
}

// The longest start of `text` that still fits, found in one pass over its characters.
QString TextPane::fitted(const QString& text) const {
    if (fits(text)) return text;
    QString sel = textCursor().selectedText();
    sel.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    qsizetype room = limit - ((bytes ? bytes() : ownBytes()) - Cp932::byteLength(sel));
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype w = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView ch = QStringView(text).sliced(i, w);
        room -= ch == u"\n" ? 2 : Cp932::byteLength(ch);  // a line break takes CR LF
        if (room < 0) break;
        i += w;
    }
    return text.left(i);
}

void TextPane::insertLimited(const QString& text) { textCursor().insertText(fitted(text)); }

void TextPane::keyPressEvent(QKeyEvent* event) {
    if (onKeyPress && onKeyPress(event)) return;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString adds = enter ? QStringLiteral("\r\n") : event->text();
    if (!isReadOnly() && !adds.isEmpty() && (enter || adds[0].isPrint()) && !fits(adds)) {
        QApplication::beep();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TextPane::keyReleaseEvent(QKeyEvent* event) {
    QTextEdit::keyReleaseEvent(event);
    if (onKeyRelease) onKeyRelease(event);
}

void TextPane::inputMethodEvent(QInputMethodEvent* event) {
    if (onInputMethod) onInputMethod(event);
    // The converted text in the pane's own colours.
    QList<QInputMethodEvent::Attribute> attrs = event->attributes();
    if (compositionText.isValid() || compositionBackground.isValid()) {
        for (QInputMethodEvent::Attribute& a : attrs) {
            if (a.type != QInputMethodEvent::TextFormat) continue;
            QTextCharFormat f = a.value.value<QTextFormat>().toCharFormat();
            if (compositionText.isValid()) f.setForeground(compositionText);
            if (compositionBackground.isValid()) f.setBackground(compositionBackground);
            a.value = QVariant::fromValue<QTextFormat>(f);
        }
    }
    QString commit = event->commitString();
    if (!commit.isEmpty() && !fits(commit)) {
        commit = fitted(commit);
        QApplication::beep();
    }
    QInputMethodEvent e(event->preeditString(), attrs);
    e.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QTextEdit::inputMethodEvent(&e);
}

void TextPane::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && limit > 0) {
        const QString t = fitted(source->text());
        if (t.size() < source->text().size()) QApplication::beep();
        textCursor().insertText(t);
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void TextPane::mousePressEvent(QMouseEvent* event) {
    QTextEdit::mousePressEvent(event);
    if (onMousePress) onMousePress();
}
