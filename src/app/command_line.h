#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace orbino {

// What the command line asks for, decided without a window or a display.
struct CommandLine {
    enum class Action {
        Play,               // the windows (the course is found first)
        Help,               // print `text`, exit 0
        Version,            // print `text`, exit 0
        Check,              // the integrity check on the terminal
        SetTeacherPassword, // the teacher's password on the terminal
        LearnerWork,        // --export-work or --class-report on the terminal
        SearchText,         // --search-text WORDS... [--course DIR]
        Error,              // print `text` on stderr, exit 2
    };
    Action action = Action::Play;
    QString text;   // the help, version or error text
    QString course; // --course DIR, empty when not given
    // Play: the second copy's content list, item number and title words;
    // Check: the content list, when given.
    QStringList positional;
    // Every option given, by its long name; a flag has an empty value.
    QHash<QString, QString> options;

    bool isSet(const QString& name) const { return options.contains(name); }
    QString value(const QString& name) const { return options.value(name); }
};

// One option of the program. A new option is one row of the table in
// command_line.cpp; the caller reads it back with isSet() and value(). The
// same row makes its line of --help and its paragraph of the manual page.
struct OptionSpec {
    const char* names;     // "h,help": short names first, then the long name
    const char* valueName; // "PRIEČINOK", or empty for a flag (UTF-8)
    const char* help;      // one line of --help (UTF-8)
    const char* manual;    // its paragraph in the manual page (UTF-8, plain text)
};

// The table, in the order --help and the manual page list it.
const OptionSpec* programOptions(qsizetype* count);

// How --help and the manual page spell an option: "-h, --help", "--course=PRIEČINOK".
QString optionSynopsis(const OptionSpec& o);

// The manual page: `templ` with its line "@OPTIONS@" replaced by the options
// in roff, one paragraph each.
QString manualPage(const QString& templ);

// Parses the arguments (the program name first, as argv gives them). Options
// are recognised only before the first positional argument and before "--":
// everything after them (the second copy's title words may begin with "-")
// is positional. Qt's own window options (-platform, -style...) are accepted
// and left to the application object.
CommandLine parseCommandLine(const QStringList& arguments);

// The program's version, as the build sets it.
QString programVersion();

// What the program and its window library share before any window exists.
// `text` in the terminal's encoding, flushed at once.
void printText(FILE* to, const QString& text);
// True when the name's bytes come back unchanged from the text Qt makes of
// them. Qt replaces bytes that are not UTF-8, so such a name would reach
// another file (or none): it is refused instead.
bool exactName(const QByteArray& bytes);
// The message refusing such a name; `what` names what it is (UTF-8).
QString notUtf8(const QByteArray& bytes, const char* what);
// The arguments as text, the program name first; nothing (after a message)
// when one of them has no exact name as text.
std::optional<QStringList> argumentsAsText(int argc, char** argv);
// The working directory stands for the course when no --course is given; a
// name Qt cannot spell exactly would silently become another course. False
// after a message when it cannot serve.
bool workingDirUsable(const CommandLine& cl, bool mustBeCourse);

} // namespace orbino
