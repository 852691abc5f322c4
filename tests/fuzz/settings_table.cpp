// The settings reader without windows: arbitrary files applied through a key table of every key
// and kind the program has, whose entries keep their values as controls would. What a file leaves
// in the table must survive a write and a second read unchanged.
#include "fuzz_support.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "unit/settings_reference.h"

#include <map>

namespace {

namespace Ref = SettingsReference;
using Settings::Kind;

// The values of a table's controls, by key, as their binders would write them.
struct Controls {
    std::map<int, QByteArray> values;
    int commands = 0;
};

QByteArray shownWord(int key, bool shown) {
    for (const auto& w : Ref::kWords)
        if (w.key == key) return Ref::cp932(shown ? w.shown : w.hidden);
    return {};
}

// What a control of `kind` keeps of an applied value.
QByteArray kept(int key, Kind kind, QByteArrayView v) {
    switch (kind) {
    case Kind::Int:
    case Kind::Colour: return Settings::fromInt(Settings::intValue(v));
    case Kind::OnOff: return Settings::onOff(Settings::isOn(v));
    case Kind::TrueFalse: return Settings::trueFalse(Settings::isTrue(v));
    case Kind::FontStyle:
        return Settings::fontStyleWord(Settings::FontStyle::Bold, Settings::fontStyleSet(Settings::FontStyle::Bold, v));
    case Kind::Digit: return QByteArray::number(Settings::rubyDigit(v));
    case Kind::Word: return shownWord(key, v == shownWord(key, true));
    default: return v.toByteArray();
    }
}

// The comments of every row in code page 932, converted once: converting them for each input
// would take most of the time of a run.
struct Comments {
    QByteArray comment, off, third;
};
const std::map<int, Comments>& comments() {
    static const auto* const all = [] {
        auto* m = new std::map<int, Comments>;
        for (const Ref::Row& row : Ref::kRows)
            (*m)[row.key] = {Ref::cp932(row.comment), Ref::cp932(row.commentOff), Ref::cp932(row.commentThird)};
        return m;
    }();
    return *all;
}

Settings::KeyTable tableOf(Controls& c) {
    Settings::KeyTable t;
    for (const Ref::Row& row : Ref::kRows) {
        const Comments& texts = comments().at(row.key);
        Settings::Entry e;
        e.key = row.key;
        e.kind = row.kind;
        e.comment = texts.comment;
        e.commentOff = texts.off;
        e.commentThird = texts.third;
        if (row.kind == Kind::Command) {
            e.apply = [&c](QByteArrayView) { ++c.commands; };
        } else if (row.kind != Kind::Unused) {
            const int key = row.key;
            const Kind kind = row.kind;
            c.values[key] = kept(key, kind, QByteArrayView());
            e.read = [&c, key] { return c.values[key]; };
            e.apply = [&c, key, kind](QByteArrayView v) { c.values[key] = kept(key, kind, v); };
        }
        FUZZ_CHECK(t.add(std::move(e)));
    }
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> lines = Settings::splitLines(QByteArrayView(data, qsizetype(size)));

    Controls first;
    const Settings::KeyTable table = tableOf(first);
    int explained = 0;
    const Settings::ApplyResult r = Settings::ApplySettings(table, lines, [&](const QString&) { ++explained; });
    FUZZ_CHECK(r.headerOk == (explained == 0));
    FUZZ_CHECK(r.applied >= 0 && r.applied < qMax<qsizetype>(1, lines.size()));
    if (r.error) {
        FUZZ_CHECK(r.headerOk && r.error->line >= 2 && r.error->line <= lines.size());
        FUZZ_CHECK(r.error->text == lines[r.error->line - 1]);
        FUZZ_CHECK(!Settings::describe(*r.error).isEmpty());
    }

    // Written and read again into fresh controls: every written key comes back as it was.
    QList<QByteArray> written;
    Settings::WriteSettings(table, written);
    Controls second;
    const Settings::KeyTable again = tableOf(second);
    const Settings::ApplyResult r2 = Settings::ApplySettings(again, written);
    FUZZ_CHECK(r2.headerOk && !r2.error);
    for (int key : Settings::writeOrder(table)) {
        const Ref::Row* row = Ref::find(key);
        if (key == 709 || row->kind == Kind::Unused) continue;  // fixed lines
        FUZZ_CHECK(second.values[key] == first.values[key]);
    }
    FUZZ_CHECK(second.commands == 0);
    return 0;
}
