// The column counter and the fixed-width split on arbitrary text, width and mode.
#include "core/columns.h"
#include "fuzz_support.h"

namespace {

QByteArray joined(const QList<QByteArray>& pieces) {
    QByteArray all;
    for (const QByteArray& p : pieces) all += p;
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::Input in(data, size);
    const uint8_t mode = in.byte();
    const qsizetype width = qsizetype(in.byte()) - 8;  // a few widths of nothing or less, then 1 … 247
    const QByteArray lastLine = in.until('\n');
    const QByteArray text = in.rest();

    const qsizetype columns = Core::Columns(text);
    FUZZ_CHECK(columns >= 0 && columns <= text.size());
    for (qsizetype n : {qsizetype(0), qsizetype(1), width, columns - 1, columns, columns + 1}) {
        const qsizetype cut = Core::CutAt(text, n);
        FUZZ_CHECK(cut >= 0 && cut <= text.size());
        FUZZ_CHECK(Core::ColumnsUpTo(text, n) == qMin(columns, n));
        // The cut holds the first n columns: no fewer (unless the text has fewer), no more.
        if (n > 0) FUZZ_CHECK(Core::Columns(text.left(cut)) == qMin(columns, n));
        else FUZZ_CHECK(cut == 0);
    }

    // The split loses and invents nothing, and every piece but the last fits the width.
    const bool blankOnly = mode & 1;
    const QList<QByteArray> pieces = Core::SplitFixedWidth(lastLine, text, width, blankOnly);
    FUZZ_CHECK(!pieces.isEmpty());
    FUZZ_CHECK(joined(pieces) == text);
    if (width > 0 && !blankOnly)
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) FUZZ_CHECK(Core::Columns(pieces[i]) <= qMax<qsizetype>(width, 2));
    return 0;
}
