#pragma once
// Value kinds of the numbered settings file: the exact words the writer emits and the exact
// comparisons the reader makes ("ON" and "fsBold" are not the positive words), decimal integers,
// and Windows colour values (0x00BBGGRR, negative for system colours) with their Qt counterparts.
#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QPalette>

#include <optional>

namespace Settings {

// Int and Colour values: an optional "+" or "-" and at least one decimal digit, within 32 bits.
// Anything else (empty, spaces, hex, trailing text) is not a decimal integer.
std::optional<qint32> toInt(QByteArrayView value);
QByteArray fromInt(qint32 value);
// The integer an Int or Colour binder applies. The reader refuses a value that is not one before
// it reaches `apply`, so `fallback` only guards a direct call.
inline qint32 intValue(QByteArrayView value, qint32 fallback = 0) { return toInt(value).value_or(fallback); }

// on/off and true/false: exactly the positive word is checked; any other text is unchecked.
bool isOn(QByteArrayView value);
QByteArray onOff(bool checked);
bool isTrue(QByteArrayView value);
QByteArray trueFalse(bool checked);

// Font style words: "fsbold" (lower-case b), "fsItalic", "fsUnderline" and their "!" forms.
enum class FontStyle { Bold, Italic, Underline };
QByteArray fontStyleWord(FontStyle style, bool set);
bool fontStyleSet(FontStyle style, QByteArrayView value);  // exactly the positive word of `style`

// True for the value that selects the first of a two-comment key's comments: "on", "true" or a
// positive font style word.
bool isPositiveValue(QByteArrayView value);

// Key 868: "3" hiragana, "2" katakana, anything else 1 (half-width katakana).
int rubyDigit(QByteArrayView value);

// Windows colour values as the file stores them.
namespace Colour {
inline constexpr qint32 kWindowText = qint32(0x80000008);  // -2147483640
inline constexpr qint32 kWindow = qint32(0x80000005);      // -2147483643, the background of edit panes
inline constexpr qint32 kButtonFace = qint32(0x8000000F);  // -2147483633, the face of forms and buttons
inline constexpr qint32 kBlack = 0;
inline constexpr qint32 kRed = 255;
inline constexpr qint32 kGreen = 32768;
inline constexpr qint32 kOlive = 32896;
inline constexpr qint32 kBlue = 16711680;
inline constexpr qint32 kWhite = 16777215;
}  // namespace Colour

constexpr bool isSystemColour(qint32 value) { return value < 0; }

// The palette role standing for a Windows system colour (index = the low byte of the value);
// nullopt for a true colour or a system index without a counterpart.
std::optional<QPalette::ColorRole> systemColourRole(qint32 value);

// A true colour from its 0x00BBGGRR bytes, a system colour from `palette`; an invalid QColor for
// a system index without a counterpart.
QColor toQColor(qint32 value, const QPalette& palette);

// The true-colour value of `colour` (alpha ignored).
qint32 fromQColor(const QColor& colour);

}  // namespace Settings
