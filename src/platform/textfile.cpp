#include "platform/textfile.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <QStringDecoder>
#include <QHash>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

namespace {

// Windows-1250 is a single-byte code page: one table each way, built once
// from the system's converter. Opening a converter per call cost more than
// reading a whole CONFIG.TXT.
struct Cp1250 {
    char16_t toUnicode[256];
    QHash<char16_t, uchar> fromUnicode;
    Cp1250() {
        QByteArray all(256, 0);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder dec("windows-1250", QStringDecoder::Flag::Stateless);
        const QString s = dec.decode(all);
        for (int i = 0; i < 256; ++i) {
            toUnicode[i] = i < s.size() ? char16_t(s.at(i).unicode()) : char16_t(0xFFFD);
            // Bytes the code page leaves undefined decode to U+FFFD and cannot be written back.
            if (toUnicode[i] != 0xFFFD && !fromUnicode.contains(toUnicode[i]))
                fromUnicode.insert(toUnicode[i], uchar(i));
        }
    }
};

const Cp1250& cp1250() {
    static const Cp1250 table;
    return table;
}

// Position of the first character without a Windows-1250 byte, or -1.
qsizetype firstUnrepresentable(const QString& text) {
    const Cp1250& t = cp1250();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80)
            continue;
        if (!t.fromUnicode.contains(c))
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

QString decode1250(const QByteArray& bytes) {
    const Cp1250& t = cp1250();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(t.toUnicode[b[i]]);
    return out;
}

QStringList splitLines1250(const QByteArray& raw) {
    QByteArrayView data(raw);
    if (const qsizetype eof = data.indexOf('\x1a'); eof >= 0)
        data = data.first(eof);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        const qsizetype cr = data.indexOf('\r', start);
        const qsizetype end = cr < 0 ? n : cr;
        lines.append(decode1250(data.sliced(start, end - start).toByteArray()));
        if (cr < 0)
            break;
        start = cr + 1;
        if (start < n && data.at(start) == '\n')
            ++start;
    }
    return lines;
}

bool representable1250(const QString& text) { return firstUnrepresentable(text) < 0; }

QByteArray encode1250(const QString& text, const QString& path) {
    const qsizetype bad = firstUnrepresentable(text);
    if (bad >= 0) {
        // Name the offending character so the user knows what to change.
        const qsizetype len = (text.at(bad).isHighSurrogate() && bad + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(bad, len);
        throw FileError(path, QStringLiteral("znak \u201e%1\u201c (U+%2) sa nedá zapísať v kódovaní Windows-1250")
                                  .arg(ch)
                                  .arg(QString::number(ch.toUcs4().value(0), 16).toUpper()));
    }
    const Cp1250& t = cp1250();
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        out[i] = c < 0x80 ? char(c) : char(t.fromUnicode.value(c));
    }
    return out;
}

QByteArray readFileBytes(const QString& path) {
    const QByteArray native = resolveNative(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw FileError(path, QStringLiteral("je to priečinok, nie súbor"));
    }
    // Read straight into the result; grow only if the file grew meanwhile.
    QByteArray out;
    out.resize(st.st_size > 0 ? qsizetype(st.st_size) : 4096);
    qsizetype got = 0;
    for (;;) {
        if (got == out.size())
            out.resize(out.size() * 2);
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

QStringList readLines(const QString& path) { return splitLines1250(readFileBytes(path)); }

QByteArray encodeLines(const QStringList& lines, const QString& path) {
    QString all;
    for (const QString& l : lines) {
        all += l;
        all += QStringLiteral("\r\n");
    }
    return encode1250(all, path);
}

void writeLines(const QString& path, const QStringList& lines) { writeFileAtomic(path, encodeLines(lines, path)); }

QByteArray writeTempBeside(const QString& path, const QByteArray& data) {
    const QByteArray target = resolveNative(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? target.left(slash + 1) : QByteArray("./");
    QByteArray tmpl = dir + ".orbino-XXXXXX";
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
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    return tmpl;
}

void writeFileAtomic(const QString& path, const QByteArray& data) {
    const QByteArray tmp = writeTempBeside(path, data);
    const QByteArray target = resolveNative(path);
    if (::rename(tmp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmp.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    const qsizetype slash = target.lastIndexOf('/');
    invalidateListing(QString::fromUtf8(slash >= 0 ? target.left(slash + 1) : QByteArray("./")));
}

} // namespace orbino
