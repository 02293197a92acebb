#include "platform/textfile.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace orbino {

namespace {

// Windows-1250 is a single-byte code page: the lower half is ASCII, the upper
// half is this table (the bytes Windows leaves undefined stand for the C1
// control characters, as the system converters decode them, so every byte
// survives a round trip). Compiled in: opening a converter at start-up cost
// more than reading a whole CONFIG.TXT.
constexpr std::array<char16_t, 128> kHigh1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

struct Reverse1250 {
    char16_t unicode;
    uchar byte;
};

// The upper half sorted by character, for writing.
constexpr std::array<Reverse1250, 128> kReverse1250 = [] {
    std::array<Reverse1250, 128> r{};
    for (int i = 0; i < 128; ++i)
        r[size_t(i)] = {kHigh1250[size_t(i)], uchar(0x80 + i)};
    std::sort(r.begin(), r.end(),
              [](const Reverse1250& a, const Reverse1250& b) { return a.unicode < b.unicode; });
    return r;
}();

} // namespace

char16_t toUnicode1250(uchar b) {
    return b < 0x80 ? char16_t(b) : kHigh1250[b - 0x80];
}

// The byte for a character, or -1 when Windows-1250 has none.
int fromUnicode1250(char16_t c) {
    if (c < 0x80)
        return int(c);
    const auto it =
        std::lower_bound(kReverse1250.begin(), kReverse1250.end(), c,
                         [](const Reverse1250& e, char16_t v) { return e.unicode < v; });
    return it != kReverse1250.end() && it->unicode == c ? int(it->byte) : -1;
}

namespace {

// Position of the first character without a Windows-1250 byte, or -1.
qsizetype firstUnrepresentable(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (fromUnicode1250(text.at(i).unicode()) < 0)
            return i;
    }
    return -1;
}

} // namespace

QString trimControl(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

QString decode1250(QByteArrayView bytes) {
    // The bytes below 0x80 (most of any text) are what Latin-1 makes of
    // them, which Qt widens many at a time; the others are mapped after.
    // Never a null string, even for no bytes at all: null means "none" to
    // some callers (an absent value, NULL in the text index).
    QString out = bytes.isNull() ? QString(0, Qt::Uninitialized) : QString::fromLatin1(bytes);
    QChar* d = out.data();
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (b[i] >= 0x80)
            d[i] = QChar(kHigh1250[b[i] - 0x80]);
    return out;
}

QStringList splitLines1250(const QByteArray& raw) {
    QStringList lines;
    forEachRawLine(raw, [&lines](QByteArrayView line) {
        lines.append(decode1250(line));
        return true;
    });
    return lines;
}

bool representable1250(const QString& text) {
    return firstUnrepresentable(text) < 0;
}

QByteArray encode1250(const QString& text, const QString& path) {
    const qsizetype bad = firstUnrepresentable(text);
    if (bad >= 0) {
        // Name the offending character so the user knows what to change.
        const qsizetype len = (text.at(bad).isHighSurrogate() && bad + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(bad, len);
        throw FileError(
            path,
            QStringLiteral("znak \u201e%1\u201c (U+%2) sa nedá zapísať v kódovaní Windows-1250")
                .arg(ch)
                .arg(QString::number(ch.toUcs4().value(0), 16).toUpper()));
    }
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = char(fromUnicode1250(text.at(i).unicode()));
    return out;
}

namespace {

// Why `st` is no file to read, or nothing when it is a regular file.
QString notRegularReason(const struct stat& st) {
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("je to priečinok, nie súbor");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("je to rúra (FIFO), nie obyčajný súbor");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("je to zariadenie, nie obyčajný súbor");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("je to soket, nie obyčajný súbor");
    return QStringLiteral("nie je obyčajný súbor");
}

QString tooLargeReason(qint64 size, qint64 limit) {
    return QStringLiteral("súbor je príliš veľký (%1 bajtov, najviac sa prečíta %2 MiB)")
        .arg(size)
        .arg(limit / (1024 * 1024));
}

// Reads the open file `fd` to its end, at most `limit` bytes, and closes it.
// Only regular files are read: a pipe or a device could block or never end.
QByteArray readWhole(int fd, const QString& path, qint64 limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    if (const QString why = notRegularReason(st); !why.isEmpty()) {
        ::close(fd);
        throw FileError(path, why);
    }
    if (st.st_size > limit) {
        ::close(fd);
        throw FileError(path, tooLargeReason(st.st_size, limit));
    }
    // Read straight into the result; grow only if the file grew meanwhile.
    QByteArray out;
    out.resize(st.st_size > 0 ? qsizetype(st.st_size) : 4096);
    qsizetype got = 0;
    for (;;) {
        // A regular file read to the size it had when opened is whole (what
        // is appended meanwhile is not part of this read).
        if (got == out.size() && got == st.st_size)
            break;
        // Otherwise confirm the end with a small read instead of doubling
        // (and copying) a large buffer first.
        if (got == out.size()) {
            char probe[512];
            ssize_t r = 0;
            do
                r = ::read(fd, probe, sizeof probe);
            while (r < 0 && errno == EINTR);
            if (r == 0)
                break;
            if (r < 0) {
                const int err = errno;
                ::close(fd);
                throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
            }
            if (got + r > limit) {
                ::close(fd);
                throw FileError(path, tooLargeReason(got + r, limit));
            }
            out.resize(std::min<qint64>(out.size() * 2, limit));
            std::memcpy(out.data() + got, probe, size_t(r));
            got += r;
            continue;
        }
        const ssize_t r = ::read(fd, out.data() + got, size_t(out.size() - got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
        }
        if (r == 0)
            break;
        got += r;
    }
    out.truncate(got);
    ::close(fd);
    return out;
}

} // namespace

int openCourseFile(const QString& path) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a
    // writer forever. Regular files read the same either way.
    return openResolved(path, O_RDONLY | O_NONBLOCK);
}

QByteArray readFileBytes(const QString& path, qint64 limit) {
    const int fd = openCourseFile(path);
    if (fd < 0)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    return readWhole(fd, path, limit);
}

std::optional<QByteArray> readFileIfExists(const QString& path, qint64 limit) {
    const int fd = openCourseFile(path);
    if (fd < 0) {
        const int err = errno;
        // Missing is whatever stat cannot find (a dangling link or a link
        // loop included); anything else is an error.
        struct stat st {};
        if (err == ENOENT || ::stat(resolveNative(path).constData(), &st) != 0)
            return std::nullopt;
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    return readWhole(fd, path, limit);
}

QStringList readLines(const QString& path) {
    return splitLines1250(readFileBytes(path));
}

QByteArray encodeLines(const QStringList& lines, const QString& path) {
    QString all;
    for (const QString& l : lines) {
        all += l;
        all += QStringLiteral("\r\n");
    }
    return encode1250(all, path);
}

void writeLines(const QString& path, const QStringList& lines) {
    writeFileAtomic(path, encodeLines(lines, path));
}

namespace {

constexpr char kTempPrefix[] = ".orbino-"; // then mkstemp's six characters

bool isOurTempName(const char* name) {
    const size_t prefix = sizeof kTempPrefix - 1;
    return std::strncmp(name, kTempPrefix, prefix) == 0 && std::strlen(name) == prefix + 6;
}

// Removes temporaries of ours that a killed save left in `dir` (ending with
// "/"): our prefix and length only, regular files of this user, untouched
// for an hour (a save in progress in another copy is never that old). Each
// folder is swept at most once an hour per run, so saving stays cheap.
void sweepStaleTemporaries(const QByteArray& dir) {
    static std::mutex mutex;
    static std::unordered_map<std::string, time_t> lastSweep;
    const time_t now = ::time(nullptr);
    {
        std::lock_guard lock(mutex);
        time_t& last = lastSweep[dir.toStdString()];
        if (last != 0 && now - last < kStaleTemporarySeconds)
            return;
        last = now;
    }
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    while (const struct dirent* e = ::readdir(d)) {
        if (!isOurTempName(e->d_name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            now - st.st_mtime > kStaleTemporarySeconds)
            ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

// Makes the rename in `dir` itself survive a power cut.
void syncFolder(const QByteArray& dir) {
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // best effort: the new file is in place either way
    ::close(fd);
}

QByteArray folderOf(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    return slash >= 0 ? target.left(slash + 1) : QByteArray("./");
}

} // namespace

QByteArray writeTempBeside(const QString& path, const QByteArray& data, Flush flush) {
    const QByteArray target = resolveNative(path);
    const QByteArray dir = folderOf(target);
    sweepStaleTemporaries(dir);
    QByteArray tmpl = dir + kTempPrefix + "XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    };
    // Keep the permissions of the file being replaced; new files get the usual ones.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(target.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, size_t(left));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += w;
        left -= w;
    }
    if (flush == Flush::ToDisk && ::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    return tmpl;
}

void writeFileAtomic(const QString& path, const QByteArray& data, Flush flush) {
    if (flush == Flush::Scratch) {
        // Scratch state is rewritten at every screen, mostly with what it
        // already holds; an identical file is left alone (making a new file
        // costs the file system far more than reading a few bytes).
        try {
            if (const std::optional<QByteArray> old = readFileIfExists(path); old && *old == data)
                return;
        } catch (const FileError&) {
            // Unreadable: replace it below, which reports what is wrong.
        }
    }
    const QByteArray tmp = writeTempBeside(path, data, flush);
    const QByteArray target = resolveNative(path);
    if (::rename(tmp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmp.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    if (flush == Flush::ToDisk)
        syncFolder(folderOf(target));
    invalidateListing(QString::fromUtf8(folderOf(target)));
}

} // namespace orbino
