#include "ui/text_pane.h"

#include "core/live_typing.h"
#include "text/cp932.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

TextPane::TextPane(QWidget* parent) : QTextEdit(parent) {}

qsizetype TextPane::ownBytes() const {
    QString t = toPlainText();
    t.replace(u'\n', QLatin1String("\r\n"));
    return Cp932::byteLength(t);
}

qsizetype TextPane::room(const QTextCursor& at) const {
    QString sel = at.selectedText();
    sel.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return limit - ((bytes ? bytes() : ownBytes()) - Cp932::byteLength(sel));
}

bool TextPane::fits(const QString& text) const {
    if (limit <= 0) return true;
    return Cp932::byteLength(text) <= room(textCursor());
}

// Found in one pass over the characters of `text`.
QString TextPane::fitted(const QString& text, const QTextCursor& at) const {
    if (limit <= 0) return text;
    qsizetype left = room(at);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype w = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView ch = QStringView(text).sliced(i, w);
        left -= ch == u"\n" ? 2 : Cp932::byteLength(ch);  // a line break takes CR LF
        if (left < 0) break;
        i += w;
    }
    return text.left(i);
}

void TextPane::insertLimited(const QString& text) {
    QTextCursor c = textCursor();
    c.insertText(fitted(text, c));
}

void TextPane::insertLimitedAt(QTextCursor& cursor, const QString& text) { cursor.insertText(fitted(text, cursor)); }

void TextPane::setLimitedText(const QString& text) {
    clear();
    QTextCursor c(document());
    insertLimitedAt(c, text);
    setTextCursor(c);
}

// The composition lives in the layout of its block, not in the document.
QString TextPane::shownText() const {
    const QString committed = toPlainText();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QTextLayout* layout = b.layout();
        if (!layout || layout->preeditAreaText().isEmpty()) continue;
        QTextCursor at(document());
        at.setPosition(qBound(b.position(), b.position() + layout->preeditAreaPosition(), b.position() + b.length() - 1));
        return Core::WithComposition(committed, at.position(), fitted(layout->preeditAreaText(), at));
    }
    return committed;
}

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
        commit = fitted(commit, textCursor());
        QApplication::beep();
    }
    QInputMethodEvent e(event->preeditString(), attrs);
    e.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QTextEdit::inputMethodEvent(&e);
}

void TextPane::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && limit > 0) {
        const QString t = fitted(source->text(), textCursor());
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
