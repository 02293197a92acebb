#pragma once
// The platform layers as the window benchmarks need them: a fixed 1024x768
// screen, no desktop to open documents in, and a prompter that keeps the
// first message (any message means the screens did not build as meant).
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/system.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace orbino::bench {

class FailingPrompter : public Prompter {
public:
    QString first;
    void message(MsgKind, const QString& text) override {
        if (first.isEmpty())
            first = text;
    }
    bool ask(MsgKind, const QString& text) override {
        message(MsgKind::Confirmation, text);
        return false;
    }
};

class NoShell : public Shell {
public:
    void openDocument(const QString&, const QString&,
                      std::function<void(const QString&)>) override {}
    bool startProgram(const QString&, const QStringList&, const QString&) override { return false; }
    int runAndWait(const QString&, const QStringList&, const QString&) override { return 0; }
};

class FixedScreen : public SystemInfo {
public:
    ScreenMetrics screen() const override { return {1024, 768, 96}; }
    QString hostName() const override { return QStringLiteral("ucebna-07"); }
    QString hostAddress() const override { return {}; }
};

} // namespace orbino::bench
