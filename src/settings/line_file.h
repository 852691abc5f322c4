#pragma once
// Settings files and saved texts as lines of code page 932 bytes. Reading accepts CR, LF or
// CR LF; writing ends every line with CR LF and is crash-safe: the new contents go to a
// temporary file that replaces the old one only when it is complete, so a crash, a kill or a
// full disk never leaves a truncated file.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace Settings {

// Lines of `bytes`: CR LF, a lone CR and a lone LF each end a line; a final line end adds no
// empty line ("a\r\n" is one line, "a\r\n\r\n" two).
QList<QByteArray> splitLines(QByteArrayView bytes);

// Every line followed by CR LF, the last one too.
QByteArray joinLines(const QList<QByteArray>& lines);

// The lines of the file at `path`; nullopt (and the reason in `error`, in Japanese) when it
// cannot be read.
std::optional<QList<QByteArray>> readLines(const QString& path, QString* error = nullptr);

// Why a file could not be written, in words a typist understands (the system's own texts are
// English): a full disk, a read-only folder, no permission, a missing folder …
QString writeFailureText(int errorNumber);

// The cause of a failed write to `path` as the system's error number, found by looking at the
// place itself: its folder missing, read-only, not writable, full, or a folder of the file's
// name in the way; 0 when nothing there explains it.
int writeFailureAt(const QString& path);

// One file replaced crash-safely. Every write is pushed through Qt's buffer to the temporary file
// at once, so a full disk shows here and never after the rename (Qt 6.4's QSaveFile::commit()
// renames the file even when its last flush failed). After a failure nothing more is written and
// the old file stays as it was; error() says why, in Japanese.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path);
    bool write(QByteArrayView bytes);
    // Puts the new file in place of the old one (an empty file when nothing was written).
    bool commit();
    const QString& error() const { return error_; }

private:
    bool open();
    bool fail(int errorNumber);
    QString path_;
    QSaveFile file_;
    QString error_;
};

// Replaces the file at `path` with `bytes`. On failure returns false with the reason in `error`
// (Japanese) and leaves an existing file as it was.
bool writeFile(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Replaces the file at `path` with `lines`, as writeFile.
bool writeLines(const QString& path, const QList<QByteArray>& lines, QString* error = nullptr);

}  // namespace Settings
