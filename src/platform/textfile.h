#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace orbino {

// Course text files are Windows-1250. A line ends at CR and an LF right after
// it is skipped; a lone LF stays part of the line; byte 26 ends the file.
// The last line counts even without a line end; an empty file has no lines.
QStringList splitLines1250(const QByteArray& data);

// The same split without keeping anything: `f` gets each line's raw bytes
// (the view is only valid during the call) and returns false to stop. Lets a
// reader keep only the lines it needs, so a file of nothing but line ends
// costs no memory per line.
template <typename F> void forEachRawLine(QByteArrayView data, F&& f) {
    if (const qsizetype eof = data.indexOf('\x1a'); eof >= 0)
        data = data.first(eof);
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        const qsizetype cr = data.indexOf('\r', start);
        const qsizetype end = cr < 0 ? n : cr;
        if (!f(data.sliced(start, end - start)))
            return;
        if (cr < 0)
            return;
        start = cr + 1;
        if (start < n && data.at(start) == '\n')
            ++start;
    }
}
QString decode1250(QByteArrayView bytes);

// One character each way; fromUnicode1250 gives -1 for a character the code
// page lacks.
char16_t toUnicode1250(unsigned char b);
int fromUnicode1250(char16_t c);

// Throws FileError naming `path` when a character has no Windows-1250 byte;
// never substitutes a '?'.
QByteArray encode1250(const QString& text, const QString& path);
bool representable1250(const QString& text);

// Blanks and control characters (codes 0 to 32) off both ends.
QString trimControl(const QString& s);

// No list, lesson text or configuration comes near this; a larger file is
// refused by name instead of being read into memory.
inline constexpr qint64 kMaxTextFileBytes = qint64(16) * 1024 * 1024;

// Opens a course file for reading without blocking (a FIFO in its place
// would otherwise hang the program). The descriptor, or -1 with errno set.
int openCourseFile(const QString& path);

// Whole-file reads. Paths go through the resolver, so "\" and names whose
// case differs from the disk work. Throw FileError when the file is missing
// or cannot be read, when it is not a regular file (a folder, a FIFO, a
// device such as /dev/zero), or when it holds more than `limit` bytes.
QByteArray readFileBytes(const QString& path, qint64 limit = kMaxTextFileBytes);
// The same, or nothing when there is no such file (one open instead of a
// test and an open: configuration lookups read their files on every call).
std::optional<QByteArray> readFileIfExists(const QString& path, qint64 limit = kMaxTextFileBytes);
QStringList readLines(const QString& path);

// Lines each ended by CR LF, in Windows-1250; throws like encode1250.
QByteArray encodeLines(const QStringList& lines, const QString& path);

// Writes lines each ended by CR LF, replacing the file atomically.
void writeLines(const QString& path, const QStringList& lines);

// How hard a replaced file is pushed to the disk. Learner and teacher files are
// flushed before the rename. The program's own scratch state (the window form
// file, the open-level number) is rewritten at every start before it is read,
// so waiting for the disk there would only slow every start and every screen;
// and a scratch file that already holds the same bytes is not rewritten.
enum class Flush { ToDisk, Scratch };

inline constexpr long kStaleTemporarySeconds = 3600;

// The one helper for replacing a file: a temporary file in the same folder is
// written, flushed to disk and renamed over the old one, and the folder is
// flushed too, so a crash, a power cut or a full disk leaves either the old or
// the new file whole. An existing file keeps the case of its name on disk.
// Temporaries of ours that a killed save left behind (".orbino-" and six
// characters, older than kStaleTemporarySeconds) are removed from the folder
// when it is next written.
void writeFileAtomic(const QString& path, const QByteArray& data, Flush flush = Flush::ToDisk);

// The first half of that: writes `data` to a new hidden file in the folder of
// `path` (with the permissions of the file it will replace), flushed to disk,
// and returns its native name; the caller renames it into place or removes it.
QByteArray writeTempBeside(const QString& path, const QByteArray& data,
                           Flush flush = Flush::ToDisk);

} // namespace orbino
