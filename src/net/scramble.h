#pragma once
// Traffic scrambling with a password: a light, printable transform of every payload on the
// scrambled ports (interleave, one-bit rotation, password mix, Base64). Not a cipher; it keeps
// casual listeners on a shared network from reading the typed text.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace Net {

// Put into the password field whenever it becomes empty; the key is then derived from it.
inline QString fallbackPassword() { return QStringLiteral("空欄時の代用合言葉"); }
// The password field's text as designed.
inline QString defaultPassword() { return QStringLiteral("既定の共有合言葉その一番"); }

// The longest plain text `Scramble` takes: its scrambled form (4·⌈n/3⌉ bytes) and a terminator
// must fit the 2048-byte working buffers of the format.
inline constexpr qsizetype kMaxScramblePlain = 1533;

// The absolute value of the sum of the password's bytes, each taken as a signed 8-bit value.
int DeriveKey(QByteArrayView password);

// The scrambled form of `plain` (code page 932 bytes); empty for an empty text. nullopt when
// `plain` is longer than kMaxScramblePlain: such a text must be refused, never sent plain.
// An empty password stands for the fallback password and its key, as the field would hold.
std::optional<QByteArray> Scramble(QByteArrayView plain, QByteArrayView password, int key);

// The plain text of a scrambled payload; empty when `text` is empty, its length is not a
// multiple of 4 or it holds a character outside the Base64 alphabet and "=".
QByteArray Unscramble(QByteArrayView text, QByteArrayView password, int key);

}  // namespace Net
