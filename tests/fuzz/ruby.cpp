// Ruby insertion on arbitrary display text, base and reading: the edits must fit the text they
// change, and the record gets exactly the text those edits describe.
#include "core/ruby_insertion.h"
#include "fuzz_support.h"
#include "gui_app.h"
#include "text/cp932.h"

#include <QGuiApplication>
#include <QTextDocument>

namespace R = Core::Ruby;

namespace {

// The window with the edits applied one after the other; each must lie inside the text so far.
QString applied(QString text, const QList<R::Edit>& edits) {
    for (const R::Edit& e : edits) {
        FUZZ_CHECK(e.position >= 0 && e.removed >= 0 && e.position + e.removed <= text.size());
        text.replace(e.position, e.removed, e.inserted);
    }
    return text;
}

// Whether a document holds `text` as one line, character for character.
bool keptAsIs(const QString& text) {
    QTextDocument d;
    d.setPlainText(text);
    return d.toPlainText() == text && d.blockCount() == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::application<QGuiApplication>();
    Fuzz::Input in(data, size);
    const uint8_t mode = in.byte();
    const int lines = in.byte() % 12;
    const QString base = Cp932::decode(in.until('\n'));
    const QString reading = Cp932::decode(in.until('\n'));
    const QString window = Cp932::decode(in.rest()).left(4000);

    const QList<R::Edit> edits = R::Annotate(window, mode & 1, base, reading);
    applied(window, edits);
    if (base.isEmpty()) FUZZ_CHECK(edits.isEmpty());
    FUZZ_CHECK(edits.size() <= window.count(base));
    for (const R::Edit& e : edits) FUZZ_CHECK(e.inserted == R::Token(reading));

    // The record: with a text of one line that the document holds as it is, the window is the
    // whole text, from its start, and the document ends as the edits describe.
    // (A reading with a line break, CR included, splits the line it goes into, as it would in any
    // text control; such inputs are left out of the comparison.)
    QTextDocument doc;
    doc.setPlainText(window);
    const bool oneLine = doc.toPlainText() == window && doc.blockCount() == 1 && keptAsIs(R::Token(reading));
    const int made = R::AnnotateRecord(doc, lines, base, reading);
    FUZZ_CHECK(made >= 0);
    if (oneLine) {
        const QList<R::Edit> fromStart = R::Annotate(window, true, base, reading);
        FUZZ_CHECK(made == fromStart.size());
        FUZZ_CHECK(doc.toPlainText() == applied(window, fromStart));
    }
    return 0;
}
