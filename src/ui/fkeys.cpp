#include "ui/fkeys.h"

#include "ui/prepared_links.h"
#include "ui/text_pane.h"
#include "core/pane_text.h"

#include <QKeyEvent>

namespace App {

FKeyActions LinkedFKeyActions(TextPane* pane, const PaneKeyLinks& links, const QString& undoTag) {
    // The links are read at every key: their owner may set them anew.
    const PaneKeyLinks* k = &links;
    FKeyActions a;
    a.insertMemo = [pane, k](int fkey) {
        const QString phrase = k->memoPhrase(fkey);
        if (k->memoClears(fkey)) pane->setLimitedText(phrase);
        else pane->insertLimited(phrase);
    };
    a.correctionTemplate = [pane, k] {
        const auto text = k->correctionTemplate();
        if (text) pane->setLimitedText(*text);
        return text.has_value();
    };
    a.brackets = [pane, k](bool shift) {
        const auto b = k->brackets(shift);
        if (b) pane->setLimitedText(Core::Bracketed(pane->toPlainText(), b->speaker, b->open, b->close));
        return b.has_value();
    };
    a.undo = [pane, k, undoTag](bool shift) { k->undoToPane(pane, shift, undoTag); };
    a.delClsKeys = [k] { return k->delClsKeys(); };
    a.deleteKey = [k](bool shift) { k->deleteKey(shift); };
    return a;
}

bool FKeyDown(const FKeyActions& pane, const QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_F1:
        if (pane.readingOn && pane.readingOn()) pane.insertReading();
        else pane.insertMemo(1);
        return true;
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5:
    case Qt::Key_F6:
        pane.insertMemo(e->key() - Qt::Key_F1 + 1);
        return true;
    case Qt::Key_F7:
        if (!pane.correctionTemplate()) pane.insertMemo(7);
        return true;
    case Qt::Key_F8:
        if (!pane.brackets(shift)) pane.insertMemo(8);
        return true;
    case Qt::Key_F9:
        pane.undo(shift);
        return true;
    case Qt::Key_F11:
        if (pane.delClsKeys()) pane.deleteKey(shift);
        else if (pane.memoOnF11) pane.insertMemo(11);
        return true;
    case Qt::Key_F12:
        pane.f12();
        return true;
    default:
        return false;
    }
}

}  // namespace App
