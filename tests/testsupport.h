#pragma once
// Helpers shared by the tests: course files on disk and doubles of the
// platform layers that would block or leave the machine.
#include "app/app_state.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <deque>
#include <functional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orbino::test {

// Writes `lines` as Windows-1250 with CR LF (creating folders on the way).
void writeCourseFile(const QString& path, const QStringList& lines);
// The bytes writeCourseFile (and the program) put on disk for `lines`.
QByteArray crlf1250(const QStringList& lines);
void writeBytes(const QString& path, const QByteArray& data);
QByteArray readBytes(const QString& path);

// Records every message; answers questions from a queue (default: `defaultAnswer`).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        MsgKind kind;
        QString text;
        bool question;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;
    bool defaultAnswer = true;
    void message(MsgKind kind, const QString& text) override {
        shown.push_back({kind, text, false});
    }
    bool ask(MsgKind kind, const QString& text) override {
        shown.push_back({kind, text, true});
        if (answers.empty())
            return defaultAnswer;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    // Answers of the questions with buttons of their own: the index of the
    // chosen button, in turn; when none is left, ask()'s answer (Yes: the
    // first button, No: the second).
    std::deque<int> choices;
    std::vector<QStringList> buttonsShown;
    int choose(MsgKind kind, const QString& text, const QStringList& buttons, int) override {
        buttonsShown.push_back(buttons);
        if (choices.empty())
            return ask(kind, text) ? 0 : 1;
        shown.push_back({kind, text, true});
        const int c = choices.front();
        choices.pop_front();
        return c;
    }
    // Answers of the file dialogs, in turn; empty text (cancel) when none is left.
    std::deque<QString> paths;
    struct FileAsk {
        QString title;
        QString start;
    };
    std::vector<FileAsk> fileAsks;
    QString saveFileName(const QString& title, const QString& startPath, const QString&) override {
        return nextPath(title, startPath);
    }
    QString existingFolder(const QString& title, const QString& startFolder) override {
        return nextPath(title, startFolder);
    }
    QString nextPath(const QString& title, const QString& start) {
        fileAsks.push_back({title, start});
        if (paths.empty())
            return {};
        const QString p = paths.front();
        paths.pop_front();
        return p;
    }
    QStringList texts() const {
        QStringList out;
        for (const auto& s : shown)
            out << s.text;
        return out;
    }
};

// Records the calls; starts nothing.
class RecordingShell : public Shell {
public:
    struct Call {
        QString kind; // "open", "start", "run"
        QString program;
        QStringList args;
        QString workDir;
    };
    std::vector<Call> calls;
    bool startResult = true;
    int runResult = 0;
    QString openFailure;      // when set, openDocument reports this failure
    bool wineMissing = false; // when set, every .exe counts as a Windows program without Wine
    bool windowsProgramWithoutWine(const QString& program) const override {
        return wineMissing && program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    }
    void openDocument(const QString& target, const QString& workDir,
                      std::function<void(const QString&)> onFailure) override {
        calls.push_back({QStringLiteral("open"), target, {}, workDir});
        if (!openFailure.isEmpty() && onFailure)
            onFailure(openFailure);
    }
    bool startProgram(const QString& program, const QStringList& args,
                      const QString& workDir) override {
        calls.push_back({QStringLiteral("start"), program, args, workDir});
        return startResult;
    }
    int runAndWait(const QString& program, const QStringList& args,
                   const QString& workDir) override {
        calls.push_back({QStringLiteral("run"), program, args, workDir});
        return runResult;
    }
};

class FakeSystem : public SystemInfo {
public:
    ScreenMetrics metrics;
    QString host = QStringLiteral("ucebna-07");
    QString address; // empty: the name does not resolve
    mutable int addressLookups = 0;
    QRect available; // empty: the window takes its designed place
    QList<MountedVolume> volumes;
    QString user = QStringLiteral("ziak");
    QList<MountedVolume> mountedVolumes() const override { return volumes; }
    QString userName() const override { return user; }
    ScreenMetrics screen() const override { return metrics; }
    QRect availableArea() const override { return available; }
    QString hostName() const override { return host; }
    QString hostAddress() const override {
        ++addressLookups;
        return address;
    }
};

// An AppState wired to the doubles above, with program and temp folders.
struct TestState {
    ScriptedPrompter prompter;
    RecordingShell shell;
    FakeSystem system;
    AppState st;
    TestState(const QString& programFolder, const QString& tempFolder);
};

// Mode bits that bind root too: this thread drops the capabilities that
// override them, and gets them back at the end of the scope.
class ModeBitsBind {
public:
    ModeBitsBind() {
        if (::geteuid() != 0) {
            m_ok = true;
            return;
        }
        __user_cap_header_struct h{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &h, m_saved) != 0)
            return;
        __user_cap_data_struct d[2];
        std::copy(std::begin(m_saved), std::end(m_saved), d);
        d[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_ok = ::syscall(SYS_capset, &h, d) == 0;
        m_dropped = m_ok;
    }
    ~ModeBitsBind() {
        if (m_dropped) {
            __user_cap_header_struct h{_LINUX_CAPABILITY_VERSION_3, 0};
            ::syscall(SYS_capset, &h, m_saved);
        }
    }
    bool ok() const { return m_ok; }

private:
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
    bool m_dropped = false;
};

} // namespace orbino::test
