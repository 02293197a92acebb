#include "app/app_state.h"

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QDir>
#include <QStandardPaths>

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

namespace {

// The first line whose key (text between the first two "*") equals `key`,
// or nothing when the file does not exist. Works on the raw Windows-1250
// bytes and decodes only the matched value: about forty lookups run at
// every start and every screen.
std::optional<ConfigLine> scanConfig(const QString& file, const QString& key) {
    if (!representable1250(key))
        return pathExists(file) ? std::optional<ConfigLine>(ConfigLine{}) : std::nullopt;
    const std::optional<QByteArray> data = readFileIfExists(file);
    if (!data)
        return std::nullopt;
    return findConfigLine(*data, encode1250(key, file));
}

} // namespace

namespace {

// Position of `needle` (three bytes or more) in `p[from, n)`, or -1. Every
// lookup scans the whole CONFIG.TXT, so candidates are found sixteen at a
// time by the needle's second and second-to-last bytes (the first and last
// characters of the key, which are rare in the texts around them) and only
// those are compared in full.
qsizetype findNeedle(const char* p, qsizetype n, const QByteArray& needle, qsizetype from) {
    const qsizetype m = needle.size();
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(needle.at(1));
    const __m128i last = _mm_set1_epi8(needle.at(m - 2));
    // Candidates among the 16 start positions at `at`, as a bit mask.
    auto candidates = [&](qsizetype at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + 1));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + m - 2));
        return _mm_and_si128(_mm_cmpeq_epi8(x, first), _mm_cmpeq_epi8(y, last));
    };
    for (; i + 16 + m - 1 <= n; i += 16) {
        // Four blocks at a time while nothing matches: the usual case.
        while (i + 64 + m - 1 <= n) {
            const __m128i any = _mm_or_si128(_mm_or_si128(candidates(i), candidates(i + 16)),
                                             _mm_or_si128(candidates(i + 32), candidates(i + 48)));
            if (_mm_movemask_epi8(any) != 0)
                break;
            i += 64;
        }
        if (i + 16 + m - 1 > n)
            break;
        auto mask = unsigned(_mm_movemask_epi8(candidates(i)));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (std::memcmp(p + i + bit, needle.constData(), size_t(m)) == 0)
                return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    if (i >= n)
        return -1;
    const void* hit = ::memmem(p + i, size_t(n - i), needle.constData(), size_t(m));
    return hit ? static_cast<const char*>(hit) - p : -1;
}

} // namespace

ConfigLine findConfigLine(const QByteArray& data, const QByteArray& k) {
    ConfigLine r;
    if (k.isEmpty() || k.contains('*') || k.contains('\r'))
        return r; // no line can carry such a key
    // Find "*key*" and accept the first occurrence that sits right after the
    // first "*" of its line; lines end at CR, and an LF right after a CR is
    // not part of the next line. Byte 26 ends the file: it is looked for only
    // before the line found, not through the whole file.
    const QByteArray needle = '*' + k + '*';
    const char* p = data.constData();
    const qsizetype size = data.size();
    // Every byte is looked at a bounded number of times, whatever the file
    // holds: the line start and the line's first "*" are carried forward
    // from one candidate to the next instead of being searched for again.
    qsizetype from = 0;
    qsizetype noEofBefore = 0; // no byte 26 in [0, noEofBefore)
    qsizetype lineScanned = 0; // line starts are known up to here
    qsizetype crLineStart = 0; // start of the line holding lineScanned (after its CR)
    qsizetype starLine = -1;   // the line whose first "*" is cached
    qsizetype firstStar = -1;
    for (;;) {
        const qsizetype at = findNeedle(p, size, needle, from);
        if (at < 0)
            break;
        const qsizetype end = at + needle.size();
        if (end > noEofBefore) {
            if (std::memchr(p + noEofBefore, '\x1a', size_t(end - noEofBefore)))
                break; // the rest of the file is past its end marker
            noEofBefore = end;
        }
        from = at + 1;
        if (at > lineScanned) {
            if (const void* cr = ::memrchr(p + lineScanned, '\r', size_t(at - lineScanned)))
                crLineStart = static_cast<const char*>(cr) - p + 1;
            lineScanned = at;
        }
        qsizetype lineStart = crLineStart;
        if (lineStart > 0 && lineStart < at && p[lineStart] == '\n')
            ++lineStart;
        if (starLine != lineStart) {
            starLine = lineStart;
            // The candidate's own "*" bounds the search.
            firstStar = static_cast<const char*>(
                            std::memchr(p + lineStart, '*', size_t(at + 1 - lineStart))) -
                        p;
        }
        if (firstStar != at)
            continue; // not the line's first "*"
        QByteArrayView rest(p + end, size - end);
        if (const qsizetype eof = rest.indexOf('\x1a'); eof >= 0)
            rest = rest.first(eof);
        const qsizetype cr = rest.indexOf('\r');
        // The closing "*" must be inside the same line (a key holds no CR).
        r.found = true;
        r.sw = p[lineStart] == '0' && lineStart < at ? 0 : 1;
        r.value = decode1250(cr < 0 ? rest : rest.first(cr));
        return r;
    }
    return r;
}

AppState::AppState() {
    dayPasswords = defaultDayPasswords();
}

AppState::~AppState() = default;

QString AppState::levelConfigPath() const {
    return levelFolderPath(levels.current()) + QStringLiteral("CONFIG.TXT");
}

ConfigText AppState::configText(const QString& key, const QString& def) const {
    const QString programFile = programConfigPath();
    const QString first = levelConfigActive ? levelConfigPath() : programFile;
    ConfigText out;
    QString candidate;
    const std::optional<ConfigLine> firstResult = scanConfig(first, key);
    if (firstResult) {
        out.messageOn = firstResult->sw == 1;
        candidate = firstResult->value;
    }
    if (candidate.isEmpty()) {
        // When both positions are the program file, its scan is already done.
        const bool same = !levelConfigActive;
        const std::optional<ConfigLine> r = same ? firstResult : scanConfig(programFile, key);
        if (r) {
            out.messageOn = r->sw == 1;
            candidate = r->found ? r->value : def;
        } else {
            candidate = def;
        }
    }
    if (candidate.isEmpty())
        candidate = def;
    out.value = trimControl(candidate);
    return out;
}

int AppState::configInt(const QString& key, int def) {
    const QString text = CitajKonfig(key, QString::number(def));
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        return v;
    const QString file = levelConfigActive ? levelConfigPath() : programConfigPath();
    message(MsgKind::Error,
            QStringLiteral("Hodnota \"%1\" kľúča \"%2\" v súbore %3 nie je celé číslo; "
                           "použije sa %4.")
                .arg(text, key, file)
                .arg(def));
    return def;
}

void AppState::message(MsgKind kind, const QString& text) {
    if (prompter)
        prompter->message(kind, text);
}

void AppState::messageIf(const ConfigText& switchOf, MsgKind kind, const QString& text) {
    if (switchOf.messageOn)
        message(kind, text);
}

QString AppState::tempFormFile() const {
    return tempFolder + (searchMode() ? QStringLiteral("tempP.dfm") : QStringLiteral("temp.dfm"));
}

QString AppState::levelFile() const {
    return tempFolder + (searchMode() ? QStringLiteral("Okna2") : QStringLiteral("Okna"));
}

QString AppState::folderNameRule(const QString& name) {
    if (name.startsWith(QLatin1String("__")))
        return QStringLiteral("0") + name.mid(2);
    return name;
}

QString AppState::levelFolderPath(int level) const {
    const int l = std::clamp(level, 1, kMaxLevel + 1);
    return programFolder + levels.folder(l) + QStringLiteral("/");
}

QString AppState::contentListPath(int level) const {
    const int l = std::clamp(level, 1, kMaxLevel + 1);
    return levelFolderPath(l) + levels.listFile(l);
}

void AppState::reportTempFolderUnwritable(const FileError& e) {
    if (tempFolderReported)
        return;
    tempFolderReported = true;
    message(MsgKind::Error,
            QStringLiteral("Do priečinka žiaka %1 sa nedá zapisovať, je plný alebo chránený "
                           "proti zápisu (%2). Poznámky a odkazy sa teraz nedajú uložiť.")
                .arg(tempFolder, e.message()));
}

int AppState::CitajUroven() const {
    const QByteArray data = readFileBytes(levelFile()).trimmed();
    bool ok = false;
    const int v = data.toInt(&ok);
    if (!ok)
        throw FileError(levelFile(), QStringLiteral("neobsahuje číslo úrovne"));
    return v;
}

bool folderWritable(const QString& folder) {
    // Asked of the system with this process's own rights (a read-only disc
    // answers EROFS), instead of creating and removing a probe file: this
    // runs at every screen, and a file made and deleted each time is neither
    // free nor kind to a course on a memory stick.
    const QByteArray dir = resolveNative(folder.isEmpty() ? QStringLiteral(".") : folder);
    return ::faccessat(AT_FDCWD, dir.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool SkusZapis(AppState& st) {
    if (folderWritable(st.programFolder))
        return true;
    st.editPasswordSwitch = false;
    return false;
}

QString NahradZnak(const QString& text, const QString& what, const QString& with) {
    if (what.size() != 1)
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == what.at(0))
            out += with;
        else
            out += c;
    }
    return out;
}

bool JeCisloBodka(const QString& text) {
    if (text.isEmpty() || !text.endsWith(QLatin1Char('.')))
        return false;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

void resolveTempFolder(AppState& st, const QString& workingDir) {
    // Before the program folder is known the lookup reads the working
    // directory's CONFIG.TXT, which is the program folder's.
    const QString savedProgram = st.programFolder;
    if (st.programFolder.isEmpty())
        st.programFolder =
            workingDir.endsWith(QLatin1Char('/')) ? workingDir : workingDir + QLatin1Char('/');
    QString t = st.CitajKonfig(QStringLiteral("PATH TEMP"), QString());
    st.programFolder = savedProgram;
    bool fromProfile = false;
    if (t.isEmpty()) {
        for (const char* var : {"USERPROFILE", "TEMP", "TMP"}) {
            const QString v = qEnvironmentVariable(var);
            if (!v.isEmpty() && v.size() < 1000) {
                t = v + QStringLiteral("/");
                break;
            }
        }
    }
    if (t.isEmpty()) {
        // The learner's profile folder on Linux: the per-user data folder.
        t = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/orbino/");
        fromProfile = true;
    }
    t = fromWindowsPath(t);
    if (!t.endsWith(QLatin1Char('/')))
        t += QLatin1Char('/');
    if (!isDir(t)) {
        const QString native = resolvePath(t);
        const bool made = fromProfile ? QDir().mkpath(native) : QDir().mkdir(native);
        if (!made) {
            // Stand-in for the old "C:\TEMP\" fallback.
            t = QStringLiteral("/tmp/orbino/");
            QDir().mkdir(t);
        }
    }
    st.tempFolder = resolvePath(t);
    if (!st.tempFolder.endsWith(QLatin1Char('/')))
        st.tempFolder += QLatin1Char('/');
}

void readCommandLine(AppState& st, const QStringList& args) {
    if (!args.isEmpty())
        st.openedContentFile = args.at(0);
    if (args.size() >= 2) {
        bool ok = false;
        const int v = args.at(1).trimmed().toInt(&ok);
        if (ok) {
            st.selectedItem = v;
        } else {
            st.selectedItem = 0;
            st.message(
                MsgKind::Error,
                QStringLiteral("Druhý parameter príkazového riadka \"%1\" nie je celé číslo.")
                    .arg(args.at(1)));
        }
    }
    for (qsizetype i = 2; i < args.size(); ++i)
        st.searchTitle += QStringLiteral(" ") + args.at(i);
}

void resolvePlayerFolder(AppState& st) {
    QString def = st.programFolder;
    if (def.endsWith(QLatin1Char('/')))
        def.chop(1);
    QString p = st.CitajKonfig(QStringLiteral("PATH LOTUS"), def);
    if (p.isEmpty())
        p = st.programFolder;
    p = fromWindowsPath(p);
    if (p.endsWith(QLatin1Char('/')) && p.size() > 1)
        p.chop(1);
    st.playerFolder = p;
}

QStringList defaultDayPasswords() {
    // One lower-case word per day; lengths 4 4 6 2 8 4 6 6 5 4 3 7 8 3 5 3.
    return {QStringLiteral("lipa"),     QStringLiteral("ruka"),     QStringLiteral("jablko"),
            QStringLiteral("on"),       QStringLiteral("monitory"), QStringLiteral("okno"),
            QStringLiteral("papier"),   QStringLiteral("kamera"),   QStringLiteral("kreda"),
            QStringLiteral("stol"),     QStringLiteral("les"),      QStringLiteral("program"),
            QStringLiteral("dokument"), QStringLiteral("kod"),      QStringLiteral("zosit"),
            QStringLiteral("pes")};
}

} // namespace orbino
