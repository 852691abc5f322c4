// The splitters of control messages and prefixed texts on arbitrary payloads: the comma fields of
// search, pairing and leave messages, the first-comma split of the monitor feed, pane updates,
// ruby annotations, pre-roll link lines and the command words.
#include "fuzz_support.h"
#include "net/caption_protocol.h"
#include "text/cp932.h"

namespace W = Net::Wire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray payload(reinterpret_cast<const char*>(data), qsizetype(size));

    // Comma fields: one to ten, none longer than its slot nor cut inside a double-byte character,
    // each the start of the field it stands for.
    const W::ControlFields f = W::SplitControlMessage(payload);
    FUZZ_CHECK(f.size() >= 1 && f.size() <= W::kMaxControlFields);
    const QList<QByteArray> whole = payload.split(',');
    FUZZ_CHECK(f.size() == qMin<qsizetype>(whole.size(), W::kMaxControlFields));
    for (qsizetype i = 0; i < f.size(); ++i) {
        FUZZ_CHECK(f.fields[i].size() <= W::kMaxControlFieldBytes);
        FUZZ_CHECK(whole[i].startsWith(f.fields[i]));
        FUZZ_CHECK(f.fields[i] == Cp932::leftSafe(whole[i], W::kMaxControlFieldBytes));
    }
    FUZZ_CHECK(!f.has(f.size()) && f.at(f.size()).isEmpty());
    const W::SearchRequestMsg request = W::ParseSearchRequest(payload);
    FUZZ_CHECK(request.group.has_value() == (f.size() > 3));
    const W::SearchAnswerMsg answer = W::ParseSearchAnswer(payload);
    FUZZ_CHECK(answer.verb == f.at(3) && answer.group.has_value() == (f.size() > 4));
    const W::PairingMsg pairing = W::ParsePairing(payload);
    FUZZ_CHECK(pairing.verb == f.at(3) && pairing.subVerb == f.at(4));
    FUZZ_CHECK(W::ParseLeaveSender(payload) == Cp932::decode(f.at(0)));

    // The monitor feed keeps everything after the first comma, commas included.
    const W::PrefixedText prefixed = W::SplitAtFirstComma(payload);
    FUZZ_CHECK(!prefixed.prefix.contains(','));
    if (prefixed.hadComma) FUZZ_CHECK(prefixed.prefix + ',' + prefixed.text == payload);
    else FUZZ_CHECK(prefixed.prefix == payload && prefixed.text.isEmpty());

    if (const auto update = W::ParsePaneUpdate(payload)) {
        FUZZ_CHECK(update->pane >= 1 && update->pane <= 6);
        FUZZ_CHECK(payload.endsWith(update->text));
        FUZZ_CHECK(W::ParsePaneUpdate(W::PaneUpdate(update->pane, update->text))->text == update->text);
    }

    const W::RubyMsg ruby = W::ParseRubyAnnotation(payload);
    FUZZ_CHECK(!ruby.base.contains(',') && !ruby.reading.contains(','));
    FUZZ_CHECK(payload.startsWith(ruby.base));
    const W::RubyMsg back = W::ParseRubyAnnotation(W::RubyAnnotation(ruby.base, ruby.reading));
    FUZZ_CHECK(back.base == ruby.base && back.reading == ruby.reading);

    if (const auto line = W::ParseLinkLine(payload)) {
        FUZZ_CHECK(*line >= 0);
        FUZZ_CHECK(W::ParseLinkLine(W::LinkLine(*line)) == line);
    }

    if (const auto command = W::ParseCommand(payload)) FUZZ_CHECK(W::CommandWord(*command) == payload);
    if (const auto held = W::ParseHeldCommand(payload)) FUZZ_CHECK(W::HeldCommand(*held) == payload);

    const W::PartnerText kind = W::ClassifyPartnerText(payload);
    FUZZ_CHECK((kind == W::PartnerText::Settings) == W::IsSettingsTransfer(payload));
    W::IsBatchEnd(payload);
    FUZZ_CHECK(W::WithoutStartField(payload).size() == qMax<qsizetype>(0, payload.size() - W::kStartFieldBytes));
    return 0;
}
