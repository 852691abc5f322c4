#pragma once
// Settings files and saved texts as lines of code page 932 bytes. Reading accepts CR, LF or
// CR LF; writing ends every line with CR LF and is crash-safe: the new contents go to a
// temporary file that replaces the old one only when it is complete, so a crash, a kill or a
// full disk never leaves a truncated file.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace Settings {

// Lines of `bytes`: CR LF, a lone CR and a lone LF each end a line; a final line end adds no
// empty line ("a\r\n" is one line, "a\r\n\r\n" two).
QList<QByteArray> splitLines(QByteArrayView bytes);

// Every line followed by CR LF, the last one too.
QByteArray joinLines(const QList<QByteArray>& lines);

// The lines of the file at `path`; nullopt (and the reason in `error`) when it cannot be read.
std::optional<QList<QByteArray>> readLines(const QString& path, QString* error = nullptr);

// Replaces the file at `path` with `lines`. On failure returns false with the reason in `error`
// and leaves an existing file as it was.
bool writeLines(const QString& path, const QList<QByteArray>& lines, QString* error = nullptr);

}  // namespace Settings
