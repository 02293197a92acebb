#pragma once
#include <QString>
#include <stdexcept>

namespace orbino {

// A file or format error: carries the file and what went wrong. Window
// event handlers catch it in one place and show it; nothing swallows it.
class FileError : public std::runtime_error {
public:
    FileError(const QString& path, const QString& reason)
        : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), m_path(path),
          m_reason(reason) {}
    const QString& path() const { return m_path; }
    const QString& reason() const { return m_reason; }
    QString message() const { return QString::fromStdString(what()); }

private:
    QString m_path;
    QString m_reason;
};

} // namespace orbino
