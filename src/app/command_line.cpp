#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <unistd.h>

#include <iterator>

#ifndef ORBINO_VERSION
#define ORBINO_VERSION "0"
#endif

namespace orbino {

namespace {

// The program's options, in the order --help and the manual page list them.
constexpr OptionSpec kOptions[] = {
    {"course", "PRIEČINOK", "hrá kurz z priečinka PRIEČINOK",
     "Kurz v priečinku PRIEČINOK; platí aj pre --check, --set-teacher-password, --search-text, "
     "--export-work a --class-report."},
    {"check", "", "vypíše chýbajúce súbory kurzu a skončí",
     "Vypíše chýbajúce súbory kurzu s názvami, ktoré k nim vedú, a cyklické odkazy, potom skončí. "
     "Kontroluje zoznam OBSAH, ak je zadaný, inak prvý zoznam obsahu každého dňa. Okno ani "
     "obrazovka nie sú potrebné. Kód 0: nič nechýba, 1: niečo chýba, 2: chyba použitia alebo "
     "nastavenia."},
    {"set-teacher-password", "", "nastaví heslo vyučujúceho kurzu",
     "Dvakrát sa na termináli opýta na nové heslo vyučujúceho (1 až 8 znakov) a jeho osolený "
     "odtlačok uloží do súboru HESLO.TXT kurzu."},
    {"search-text", "", "vypíše lekcie, v ktorých texte sú zadané slová",
     "Slová za voľbou sa hľadajú v textoch lekcií kurzu (veľkosť písmen a diakritika sa "
     "nerozlišujú, posledné slovo môže byť začiatkom slova). Každý nájdený riadok: cesta "
     "názvov, súbor a úryvok, oddelené tabulátorom. Kód 0: niečo sa našlo, 1: nič, 2: chyba."},
    {"export-work", "SÚBOR", "zapíše prácu žiaka do SÚBORU (HTML)",
     "Zapíše prácu žiaka (prečítané lekcie, výsledky testov, poznámky a odkazy) ako stránku HTML "
     "do SÚBORU. Názov sa berie od priečinka, v ktorom bol príkaz zadaný."},
    {"class-report", "PRIEČINOK", "výsledky žiakov z priečinkov v PRIEČINKU",
     "Prehľad triedy: výsledky testov všetkých žiakov, ktorých priečinky sú v PRIEČINKU, aj tých, "
     "ktorí ešte nezačali. Bez --csv vypíše tabuľku na terminál. Kód 1: žiadny priečinok nemá "
     "postup v tomto kurze."},
    {"csv", "SÚBOR", "zapíše tabuľku --class-report do SÚBORU",
     "Súbor CSV, do ktorého --class-report zapíše tabuľku (oddeľovač bodkočiarka); bez neho sa "
     "tabuľka vypíše na terminál."},
    {"h,help", "", "zobrazí túto pomoc a skončí", "Zobrazí krátku pomoc a skončí."},
    {"version", "", "vypíše verziu programu a skončí", "Vypíše verziu programu a skončí."},
};

// Qt's own window options: accepted here, used by the application object.
constexpr const char* kQtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "style",           "stylesheet",         "display",       "geometry",
    "qwindowgeometry", "qwindowtitle",       "qwindowicon",   "session"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString helpText() {
    QString t = QStringLiteral(
        "Použitie: orbino [VOĽBA]... [OBSAH [POLOŽKA [SLOVO_NÁZVU]...]]\n"
        "  alebo:  orbino [--course PRIEČINOK] --check [OBSAH]\n"
        "  alebo:  orbino [--course PRIEČINOK] --set-teacher-password\n"
        "  alebo:  orbino [--course PRIEČINOK] --search-text SLOVO...\n"
        "  alebo:  orbino [--course PRIEČINOK] --export-work SÚBOR\n"
        "  alebo:  orbino [--course PRIEČINOK] --class-report PRIEČINOK [--csv SÚBOR]\n"
        "Prehráva kurz lekcií: jedno okno na celú obrazovku pre každú úroveň kurzu.\n"
        "OBSAH, POLOŽKA a SLOVÁ_NÁZVU otvoria priamo jeden zoznam obsahu (tak spúšťa\n"
        "okno stromu druhý exemplár); všetko za OBSAHOM alebo za \"--\" sa berie tak,\n"
        "ako je, aj keď sa začína znakom \"-\".\n\n");
    for (const OptionSpec& o : kOptions) {
        QString left = optionSynopsis(o);
        if (left.startsWith(QLatin1String("--")))
            left.prepend(QStringLiteral("    "));
        t += QStringLiteral("  ") + left.leftJustified(28) + QLatin1Char(' ') + utf8(o.help) +
             QLatin1Char('\n');
    }
    t += QStringLiteral(
        "\nPRIEČINOK KURZU: kurz je PRIEČINOK z --course; inak pracovný priečinok, ak\n"
        "obsahuje CONFIG.TXT alebo zoznam obsahu (Obsah.txt, v akejkoľvek veľkosti\n"
        "písmen); inak kurz hraný naposledy; inak výber priečinka, ktorý ponúka aj\n"
        "ukážkový kurz.\n"
        "Údaje žiaka idú do priečinka žiaka, nikdy do kurzu.\n\n"
        "Kód pri skončení: 0 úspech, 1 --check našiel chýbajúci súbor (--search-text\n"
        "nenašiel nič), 2 chyba použitia alebo nastavenia (aj neznáma voľba).\n");
    return t;
}

// Text for roff: a backslash and a dash as roff wants them, no line that
// begins with a control character.
QString roff(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

CommandLine error(const QString& text) {
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.text = QStringLiteral("orbino: %1\nViac povie „orbino --help“.\n").arg(text);
    return c;
}

// The parser's complaint in the program's language.
QString parseError(const QCommandLineParser& p) {
    if (!p.unknownOptionNames().isEmpty())
        return QStringLiteral("neznáma voľba „%1“").arg(p.unknownOptionNames().first());
    const QString e = p.errorText();
    const qsizetype a = e.indexOf(QLatin1Char('\''));
    const qsizetype b = a < 0 ? -1 : e.indexOf(QLatin1Char('\''), a + 1);
    const QString name = b > a ? e.mid(a + 1, b - a - 1) : QString();
    if (e.startsWith(QLatin1String("Missing value")))
        return QStringLiteral("za voľbou „%1“ chýba hodnota").arg(name);
    if (e.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("voľba „%1“ neberie hodnotu").arg(name);
    return e;
}

} // namespace

const OptionSpec* programOptions(qsizetype* count) {
    *count = qsizetype(std::size(kOptions));
    return kOptions;
}

QString optionSynopsis(const OptionSpec& o) {
    QString left;
    for (const QString& n : QString::fromLatin1(o.names).split(QLatin1Char(',')))
        left += (left.isEmpty() ? QString() : QStringLiteral(", ")) +
                (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    if (*o.valueName)
        left += QLatin1Char('=') + utf8(o.valueName);
    return left;
}

QString manualPage(const QString& templ) {
    QString options;
    for (const OptionSpec& o : kOptions) {
        options += QStringLiteral(".TP\n");
        QString names;
        for (const QString& n : QString::fromLatin1(o.names).split(QLatin1Char(',')))
            names += (names.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("\\fB") +
                     roff(QLatin1String(n.size() == 1 ? "-" : "--") + n) + QStringLiteral("\\fR");
        if (*o.valueName)
            names += QStringLiteral("=\\fI") + roff(utf8(o.valueName)) + QStringLiteral("\\fR");
        options += names + QLatin1Char('\n') + roff(utf8(o.manual)) + QLatin1Char('\n');
    }
    QString page = templ;
    page.replace(QStringLiteral("@OPTIONS@\n"), options);
    return page;
}

QString programVersion() {
    return QStringLiteral(ORBINO_VERSION);
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser p;
    // "-platform offscreen" as Qt spells it; "-h" is a name of its own.
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    for (const OptionSpec& o : kOptions) {
        const QStringList names = QString::fromLatin1(o.names).split(QLatin1Char(','));
        p.addOption(QCommandLineOption(names, utf8(o.help), utf8(o.valueName)));
    }
    for (const char* n : kQtValueOptions) {
        QCommandLineOption o(QString::fromLatin1(n), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    for (const char* n : kQtFlags) {
        QCommandLineOption o(QString::fromLatin1(n));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    QStringList args = arguments;
    if (args.isEmpty())
        args << QStringLiteral("orbino");
    if (!p.parse(args))
        return error(parseError(p));

    CommandLine c;
    for (const OptionSpec& o : kOptions) {
        const QString name = QString::fromLatin1(o.names).section(QLatin1Char(','), -1);
        if (p.isSet(name))
            c.options.insert(name, *o.valueName ? p.value(name) : QString());
    }
    c.positional = p.positionalArguments();
    c.course = c.value(QStringLiteral("course"));
    if (c.isSet(QStringLiteral("course")) && c.course.isEmpty())
        return error(QStringLiteral("za --course chýba priečinok kurzu"));

    if (c.isSet(QStringLiteral("help"))) {
        c.action = CommandLine::Action::Help;
        c.text = helpText();
    } else if (c.isSet(QStringLiteral("version"))) {
        c.action = CommandLine::Action::Version;
        c.text = QStringLiteral("orbino %1\n").arg(programVersion());
    } else if (c.isSet(QStringLiteral("check")) &&
               c.isSet(QStringLiteral("set-teacher-password"))) {
        return error(QStringLiteral("--check a --set-teacher-password sa nedajú použiť spolu"));
    } else if (c.isSet(QStringLiteral("check"))) {
        c.action = CommandLine::Action::Check;
    } else if (c.isSet(QStringLiteral("set-teacher-password"))) {
        if (!c.positional.isEmpty())
            return error(QStringLiteral("--set-teacher-password neberie žiadne argumenty"));
        c.action = CommandLine::Action::SetTeacherPassword;
    } else if (c.isSet(QStringLiteral("search-text"))) {
        c.action = CommandLine::Action::SearchText;
    } else if (c.isSet(QStringLiteral("export-work")) || c.isSet(QStringLiteral("class-report"))) {
        if (c.isSet(QStringLiteral("export-work")) && c.isSet(QStringLiteral("class-report")))
            return error(QStringLiteral("--export-work a --class-report sa nedajú použiť spolu"));
        if (!c.positional.isEmpty())
            return error(QStringLiteral("nečakaný argument „%1“").arg(c.positional.first()));
        c.action = CommandLine::Action::LearnerWork;
    } else if (c.isSet(QStringLiteral("csv"))) {
        return error(QStringLiteral("--csv ide spolu s --class-report"));
    }
    return c;
}

namespace {

// A name's bytes as text: the bytes that are not UTF-8 shown as \xHH, for a
// message that names the file exactly.
QString shownBytes(const QByteArray& bytes) {
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        const qsizetype len = b < 0x80             ? 1
                              : (b & 0xe0) == 0xc0 ? 2
                              : (b & 0xf0) == 0xe0 ? 3
                              : (b & 0xf8) == 0xf0 ? 4
                                                   : 0;
        const QString one = len ? QString::fromUtf8(bytes.mid(i, len)) : QString();
        if (len && i + len <= bytes.size() && one.toUtf8() == bytes.mid(i, len)) {
            out += one;
            i += len;
        } else {
            out += QStringLiteral("\\x") +
                   QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++i;
        }
    }
    return out;
}

// The working directory as bytes; empty when it has no exact name as text.
std::optional<QByteArray> workingDirBytes() {
    QByteArray buf(4096, '\0');
    for (int tries = 0; tries < 8; ++tries) {
        if (::getcwd(buf.data(), size_t(buf.size())))
            return QByteArray(buf.constData());
        if (errno != ERANGE)
            return std::nullopt;
        buf.resize(buf.size() * 2);
    }
    return std::nullopt;
}

// Whether the working directory holds a course's first files, read through
// "." so that a name Qt cannot spell is no obstacle.
bool workingDirLooksLikeCourse() {
    DIR* d = ::opendir(".");
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray n = QByteArray(e->d_name).toLower();
        if (n == "config.txt" || n == "obsah.txt") {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

void printText(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

bool exactName(const QByteArray& bytes) {
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

QString notUtf8(const QByteArray& bytes, const char* what) {
    return QStringLiteral("orbino: %1 „%2“ obsahuje bajty, ktoré nie sú v kódovaní UTF-8, a "
                          "nedá sa použiť bez zmeny názvu; premenujte ho.\n")
        .arg(QString::fromUtf8(what), shownBytes(bytes));
}

std::optional<QStringList> argumentsAsText(int argc, char** argv) {
    QStringList raw;
    for (int i = 0; i < argc; ++i) {
        // Arguments are file names as often as not: taken as bytes, and
        // refused when no text names exactly those bytes.
        const QByteArray bytes(argv[i]);
        if (i > 0 && !exactName(bytes)) {
            printText(stderr, notUtf8(bytes, "Argument"));
            return std::nullopt;
        }
        raw << QFile::decodeName(bytes);
    }
    return raw;
}

bool workingDirUsable(const CommandLine& cl, bool mustBeCourse) {
    if (!cl.course.isEmpty())
        return true;
    const std::optional<QByteArray> cwd = workingDirBytes();
    if (!cwd || exactName(*cwd))
        return true;
    if (!mustBeCourse && !workingDirLooksLikeCourse())
        return true;
    printText(stderr, notUtf8(*cwd, "Pracovný priečinok"));
    return false;
}

} // namespace orbino
