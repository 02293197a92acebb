#pragma once
#include "platform/shell.h"

#include <QList>
#include <QPointer>
#include <memory>

class QLabel;
class QObject;
class QTimer;

namespace orbino {

// The shell of the running program. While Wine brings a Windows program up
// (its first start builds Wine's prefix, which takes long), the pointer is
// busy and the window in front says so, until the program's window takes
// the focus, Wine ends, or kWineStatusLimitMs has passed.
class WidgetShell : public ProcessShell {
public:
    WidgetShell();
    ~WidgetShell() override;

protected:
    void windowsProgramStarted(QProcess* process) override;

private:
    void settle(QProcess* process);
    void settleAll();
    void showStatus();

    std::unique_ptr<QObject> m_context; // owns the connections to the processes
    QList<QProcess*> m_pending;
    QPointer<QLabel> m_status;
    QTimer* m_limit = nullptr;
    bool m_cursorSet = false;
};

// A program without a window of its own would otherwise keep the status.
inline constexpr int kWineStatusLimitMs = 60000;

// The status's text.
QString windowsProgramStatusText();

} // namespace orbino
