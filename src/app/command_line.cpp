#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <iterator>

#ifndef ORBINO_VERSION
#define ORBINO_VERSION "0"
#endif

namespace orbino {

namespace {

// The program's options, in the order --help lists them.
constexpr OptionSpec kOptions[] = {
    {"course", "DIR", "play the course in folder DIR"},
    {"check", "", "list the missing files of the course, then exit"},
    {"set-teacher-password", "", "set the teacher password of the course"},
    {"search-text", "", "print the lessons whose text holds the words"},
    {"export-work", "FILE", "write the learner's work to FILE (HTML)"},
    {"class-report", "DIR", "scores of the learners' folders in DIR"},
    {"csv", "FILE", "the table --class-report writes"},
    {"h,help", "", "display this help and exit"},
    {"version", "", "output version information and exit"},
};

// Qt's own window options: accepted here, used by the application object.
constexpr const char* kQtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "style",           "stylesheet",         "display",       "geometry",
    "qwindowgeometry", "qwindowtitle",       "qwindowicon",   "session"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString helpText() {
    QString t = QStringLiteral(
        "Usage: orbino [OPTION]... [CONTENT_LIST [ITEM [TITLE_WORD]...]]\n"
        "  or:  orbino [--course DIR] --check [CONTENT_LIST]\n"
        "  or:  orbino [--course DIR] --set-teacher-password\n"
        "Play a course of lessons: one full-screen window per level of the course.\n"
        "CONTENT_LIST, ITEM and TITLE_WORDs open one content list directly (the tree\n"
        "window starts a second copy so); everything after CONTENT_LIST or after \"--\"\n"
        "is taken as it is, even when it begins with \"-\".\n\n");
    for (const OptionSpec& o : kOptions) {
        const QStringList names = QString::fromLatin1(o.names).split(QLatin1Char(','));
        QString left;
        for (const QString& n : names)
            left += (left.isEmpty() ? QString() : QStringLiteral(", ")) +
                    (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        if (names.first().size() > 1)
            left.prepend(QStringLiteral("    "));
        if (*o.valueName)
            left += QLatin1Char('=') + QLatin1String(o.valueName);
        t += QStringLiteral("  ") + left.leftJustified(28) + QLatin1Char(' ') +
             QLatin1String(o.help) + QLatin1Char('\n');
    }
    t += QStringLiteral(
        "\nCOURSE FOLDER: the course is DIR of --course; else the working directory\n"
        "when it holds a CONFIG.TXT or a content list (Obsah.txt, in any case); else\n"
        "the course played last time; else a folder chooser, which also offers the\n"
        "sample course.\n"
        "Learner data goes to the learner's folder, never into the course.\n\n"
        "Exit status of --check: 0 nothing is missing, 1 a file is missing,\n"
        "2 a usage or configuration error. An unknown option exits with status 2.\n");
    return t;
}

CommandLine error(const QString& text) {
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.text = QStringLiteral("orbino: %1\nTry 'orbino --help' for more information.\n").arg(text);
    return c;
}

} // namespace

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
        p.addOption(
            QCommandLineOption(names, QString::fromUtf8(o.help), QString::fromLatin1(o.valueName)));
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
        return error(p.errorText());

    CommandLine c;
    for (const OptionSpec& o : kOptions) {
        const QString name = QString::fromLatin1(o.names).section(QLatin1Char(','), -1);
        if (p.isSet(name))
            c.options.insert(name, *o.valueName ? p.value(name) : QString());
    }
    c.positional = p.positionalArguments();
    c.course = c.value(QStringLiteral("course"));
    if (c.isSet(QStringLiteral("course")) && c.course.isEmpty())
        return error(QStringLiteral("--course needs a folder"));

    if (c.isSet(QStringLiteral("help"))) {
        c.action = CommandLine::Action::Help;
        c.text = helpText();
    } else if (c.isSet(QStringLiteral("version"))) {
        c.action = CommandLine::Action::Version;
        c.text = QStringLiteral("orbino %1\n").arg(programVersion());
    } else if (c.isSet(QStringLiteral("check")) &&
               c.isSet(QStringLiteral("set-teacher-password"))) {
        return error(QStringLiteral("--check and --set-teacher-password cannot be used together"));
    } else if (c.isSet(QStringLiteral("check"))) {
        c.action = CommandLine::Action::Check;
    } else if (c.isSet(QStringLiteral("set-teacher-password"))) {
        if (!c.positional.isEmpty())
            return error(QStringLiteral("--set-teacher-password takes no arguments"));
        c.action = CommandLine::Action::SetTeacherPassword;
    } else if (c.isSet(QStringLiteral("search-text"))) {
        c.action = CommandLine::Action::SearchText;
    } else if (c.isSet(QStringLiteral("export-work")) || c.isSet(QStringLiteral("class-report"))) {
        if (c.isSet(QStringLiteral("export-work")) && c.isSet(QStringLiteral("class-report")))
            return error(
                QStringLiteral("--export-work and --class-report cannot be used together"));
        if (c.isSet(QStringLiteral("csv")) && !c.isSet(QStringLiteral("class-report")))
            return error(QStringLiteral("--csv goes with --class-report"));
        if (!c.positional.isEmpty())
            return error(QStringLiteral("unexpected argument '%1'").arg(c.positional.first()));
        c.action = CommandLine::Action::LearnerWork;
    } else if (c.isSet(QStringLiteral("csv"))) {
        return error(QStringLiteral("--csv goes with --class-report"));
    }
    return c;
}

} // namespace orbino
