#pragma once
// Code page 932 (Shift-JIS as Windows writes it): the byte form of all text on the wire and in
// files. Every limit of the protocol is a count of these bytes, so the helpers here work on bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Cp932 {

// A character that code page 932 cannot hold becomes "@" (one byte).
QByteArray encode(QStringView text);
// A byte sequence that is not code page 932 decodes to "@" per offending byte.
QString decode(QByteArrayView bytes);

// First byte of a double-byte character.
constexpr bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A pane's text as it travels: line breaks (LF or the paragraph separator) become CR LF.
QByteArray encodeCrLf(QStringView text);

// Bytes that `text` takes in code page 932.
qsizetype byteLength(QStringView text);

// True when byte i of `bytes` is the first byte of a double-byte character, scanning from the start
// (so the trail byte of a character is never taken for a lead byte).
bool isLeadAt(QByteArrayView bytes, qsizetype i);

// The largest cut ≤ n that does not split a double-byte character: n, or n − 1 when the byte just
// before n is the first byte of a double-byte character.
qsizetype safeCut(QByteArrayView bytes, qsizetype n);

// The first n bytes of `bytes`, cut by safeCut.
QByteArray leftSafe(QByteArrayView bytes, qsizetype n);

}  // namespace Cp932
