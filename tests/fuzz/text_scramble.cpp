// The reader of scrambled saves on arbitrary files and passwords, and the round trip of the
// display's lines through a scrambled save.
#include "fuzz_support.h"
#include "settings/line_file.h"
#include "settings/text_scramble.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::Input in(data, size);
    const QByteArray password = in.bytes(in.byte() % 24);
    const QList<QByteArray> lines = Settings::splitLines(in.rest());

    // Any file at all: read back or refused, never more or fewer lines than it has.
    if (const auto plain = Settings::unscrambleText(lines, password)) FUZZ_CHECK(plain->size() == lines.size());

    // The display's lines are text, so whole code page 932 characters: their save reads back as
    // they were, with the password of the save and only with it.
    QList<QByteArray> text;
    for (const QByteArray& l : lines) text << Cp932::encode(Cp932::decode(l));
    const QList<QByteArray> saved = Settings::scrambleText(text, password);
    FUZZ_CHECK(saved.size() == text.size());
    const auto back = Settings::unscrambleText(saved, password);
    FUZZ_CHECK(back.has_value() && *back == text);
    return 0;
}
