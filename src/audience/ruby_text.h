#pragma once
// A caption line as the audience reads it: the ruby markup "`r" reading "`s" becomes a reading over
// the word that follows it, and every other "`" pair (zero-width markup on the display) is dropped.
// The markup does not say how long the annotated word is; the word is the run of kanji after it
// (less the okurigana that the reading ends with), or else the run of characters of one script.
#include <QJsonArray>
#include <QList>
#include <QString>

namespace Audience {

struct RubySegment {
    QString text;     // the base text (or plain text when `reading` is empty)
    QString reading;  // the reading shown over `text`; empty for plain text
    bool operator==(const RubySegment&) const = default;
};

QList<RubySegment> parseRuby(const QString& line);

// Plain text: a reading follows its word in full-width parentheses, as printed furigana would.
QString rubyToPlain(const QList<RubySegment>& segments);
// WebVTT cue text: "<ruby>word<rt>reading</rt></ruby>", with &, < and > escaped.
QString rubyToVtt(const QList<RubySegment>& segments);
// The page's form: a string for plain text, a two-element array [word, reading] for ruby.
QJsonArray rubyToJson(const QList<RubySegment>& segments);

}  // namespace Audience
