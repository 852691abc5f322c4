#pragma once
// Script conversions of an input-method reading: the reading arrives here in hiragana, while the
// options of the ruby insertion are defined on the half-width katakana that the team's other
// stations receive from their input method.
#include <QString>

namespace Text {

// Hiragana and full-width katakana to half-width katakana (voiced marks as separate characters).
QString ToHalfWidthKatakana(const QString& text);
// Half-width katakana (with voiced marks joined) and ASCII to their full-width forms.
QString ToFullWidth(const QString& text);
// Full-width katakana to hiragana; everything else unchanged.
QString ToHiragana(const QString& text);
// True for a non-empty text of kana only (hiragana, katakana of either width, "ー").
bool IsKanaOnly(const QString& text);

}  // namespace Text
