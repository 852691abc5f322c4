#pragma once
// The character filter of every sent and received line, and the clock format of the start-time
// field. Both work on code page 932 bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTime;

namespace Text {

// TAB becomes a space; CR, LF, 0x20–0x7F and the bytes of double-byte characters stay; every other
// byte becomes "@". The text ends at its first NUL byte; otherwise the length never changes.
QByteArray FilterText(QByteArrayView text);

// Normalises a clock H:M:S:MS to HH:MM:SS:mmm; anything not of that shape gives "00:00:00:000".
QByteArray FormatClock(QByteArrayView text);

// H:M:S:MS of a time, plain decimals without leading zeros joined by ":": the clock of log lines and
// the unformatted start time that FormatClock takes.
QString ClockText(const QTime& time);

}  // namespace Text
