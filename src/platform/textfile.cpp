#include "platform/textfile.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

QString decode1250(const QByteArray& bytes) {
    QStringDecoder dec("windows-1250");
    return dec.decode(bytes);
}

QStringList splitLines1250(const QByteArray& raw) {
    QByteArray data = raw;
    if (const qsizetype eof = data.indexOf('\x1a'); eof >= 0)
        data.truncate(eof);
    QStringList lines;
    QStringDecoder dec("windows-1250");
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        qsizetype cr = data.indexOf('\r', start);
        if (cr < 0) {
            lines.append(dec.decode(QByteArrayView(data).sliced(start)));
            break;
        }
        lines.append(dec.decode(QByteArrayView(data).sliced(start, cr - start)));
        start = cr + 1;
        if (start < n && data.at(start) == '\n')
            ++start;
    }
    return lines;
}

bool representable1250(const QString& text) {
    QStringEncoder enc("windows-1250", QStringEncoder::Flag::Stateless);
    QByteArray out = enc.encode(text);
    return !enc.hasError();
}

QByteArray encode1250(const QString& text, const QString& path) {
    QStringEncoder enc("windows-1250", QStringEncoder::Flag::Stateless);
    QByteArray out = enc.encode(text);
    if (!enc.hasError())
        return out;
    // Name the first offending character so the user knows what to change.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!representable1250(ch))
            throw FileError(path, QStringLiteral("znak \u201e%1\u201c (U+%2) sa nedá zapísať v kódovaní "
                                                 "Windows-1250")
                                      .arg(ch)
                                      .arg(QString::number(ch.toUcs4().value(0), 16).toUpper()));
        i += len - 1;
    }
    throw FileError(path, QStringLiteral("text sa nedá zapísať v kódovaní Windows-1250"));
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
    QByteArray out;
    if (st.st_size > 0)
        out.reserve(st.st_size);
    char buf[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
        }
        if (got == 0)
            break;
        out.append(buf, got);
    }
    ::close(fd);
    return out;
}

QStringList readLines(const QString& path) { return splitLines1250(readFileBytes(path)); }

void writeLines(const QString& path, const QStringList& lines) {
    QString all;
    for (const QString& l : lines) {
        all += l;
        all += QStringLiteral("\r\n");
    }
    writeFileAtomic(path, encode1250(all, path));
}

void writeFileAtomic(const QString& path, const QByteArray& data) {
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
    if (::stat(target.constData(), &st) == 0)
        mode = st.st_mode & 07777;
    else {
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
    if (::rename(tmpl.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw FileError(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    invalidateListing(QString::fromLocal8Bit(dir));
}

} // namespace orbino
