#include "content/teacher_password.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QDir>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace orbino {

namespace {
const QString kPrefix = QStringLiteral("pbkdf2-sha256$");
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

struct StoredHash {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool parseHashLine(const QString& line, StoredHash& out) {
    if (!line.startsWith(kPrefix))
        return false;
    const QStringList parts = line.mid(kPrefix.size()).trimmed().split(QLatin1Char('$'));
    if (parts.size() != 3)
        return false;
    bool ok = false;
    out.iterations = parts[0].toInt(&ok);
    if (!ok || out.iterations < 1 || out.iterations > 100000000)
        return false;
    const auto salt = QByteArray::fromBase64Encoding(parts[1].toLatin1(),
                                                     QByteArray::AbortOnBase64DecodingErrors);
    const auto hash = QByteArray::fromBase64Encoding(parts[2].toLatin1(),
                                                     QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || salt.decoded.isEmpty() || hash.decoded.size() != kHashBytes)
        return false;
    out.salt = salt.decoded;
    out.hash = hash.decoded;
    return true;
}

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
} // namespace

QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations,
                        int length) {
    QByteArray out;
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    for (quint32 block = 1; out.size() < length; ++block) {
        mac.reset();
        mac.addData(salt);
        const char counter[4] = {char(block >> 24), char(block >> 16), char(block >> 8),
                                 char(block)};
        mac.addData(counter, 4);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype k = 0; k < t.size(); ++k)
                t[k] = char(t[k] ^ u[k]);
        }
        out += t;
    }
    return out.left(length);
}

QString teacherPasswordPath(const QString& programFolder) {
    QString f = programFolder;
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return resolvePath(f + QLatin1String(kTeacherPasswordFile));
}

bool verifyTeacherPassword(const QString& programFolder, const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return false;
    const QString path = teacherPasswordPath(programFolder);
    if (!pathExists(path))
        return text == QLatin1String(kDefaultTeacherPassword);
    StoredHash stored;
    bool found = false;
    for (const QString& line : readLines(path))
        if ((found = parseHashLine(line, stored)))
            break;
    if (!found)
        throw FileError(path,
                        QStringLiteral("neobsahuje platný záznam hesla vyučujúceho "
                                       "(nastavte ho príkazom orbino --set-teacher-password)"));
    return sameBytes(pbkdf2Sha256(text.toUtf8(), stored.salt, stored.iterations, kHashBytes),
                     stored.hash);
}

QString teacherPasswordProblem(const QString& password) {
    if (password.trimmed().isEmpty())
        return QStringLiteral("Heslo nesmie byť prázdne.");
    if (password.trimmed() != password)
        return QStringLiteral("Heslo nesmie začínať ani končiť medzerou.");
    if (password.size() > kMaxPasswordLength)
        return QStringLiteral("Heslo môže mať najviac %1 znakov.").arg(kMaxPasswordLength);
    return {};
}

void setTeacherPassword(const QString& programFolder, const QString& password, int iterations) {
    const QString path = teacherPasswordPath(programFolder);
    const QString problem = teacherPasswordProblem(password);
    if (!problem.isEmpty())
        throw FileError(path, problem);
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    const QByteArray hash = pbkdf2Sha256(password.toUtf8(), salt, iterations, kHashBytes);
    const QString line = kPrefix + QString::number(iterations) + QLatin1Char('$') +
                         QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') +
                         QString::fromLatin1(hash.toBase64());
    QStringList lines;
    if (pathExists(path))
        lines = readLines(path);
    else
        lines << QStringLiteral("Heslo vyučujúceho (soľ a odtlačok PBKDF2-HMAC-SHA256). "
                                "Zmeníte ho príkazom: orbino --set-teacher-password");
    bool replaced = false;
    for (QString& l : lines) {
        if (l.startsWith(kPrefix)) {
            l = line;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        lines << line;
    writeLines(path, lines);
}

namespace {
std::string readHidden(const char* prompt) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios old{};
    const bool tty = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string s;
    const bool got = bool(std::getline(std::cin, s));
    if (tty) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::fputs("\n", stderr);
    }
    if (!got)
        s.clear();
    if (!s.empty() && s.back() == '\r')
        s.pop_back();
    return s;
}
} // namespace

int setTeacherPasswordCli() {
    const QString first =
        QString::fromLocal8Bit(readHidden("Nové heslo vyučujúceho (1 až 8 znakov): "));
    const QString problem = teacherPasswordProblem(first);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        return 1;
    }
    const QString second = QString::fromLocal8Bit(readHidden("Zopakujte heslo: "));
    if (first != second) {
        std::fputs("Heslá sa nezhodujú; heslo sa nezmenilo.\n", stderr);
        return 1;
    }
    try {
        setTeacherPassword(QDir::currentPath(), first);
    } catch (const FileError& e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    std::fprintf(stderr, "Heslo vyučujúceho je uložené v súbore %s.\n",
                 teacherPasswordPath(QDir::currentPath()).toLocal8Bit().constData());
    return 0;
}

} // namespace orbino
