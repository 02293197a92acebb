#include "testsupport.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace orbino::test {

void writeBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file %s", qPrintable(path));
    f.write(data);
}

void writeCourseFile(const QString& path, const QStringList& lines) {
    QString all;
    for (const QString& l : lines)
        all += l + QStringLiteral("\r\n");
    writeBytes(path, encode1250(all, path));
}

QByteArray crlf1250(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += encode1250(l, QString()) + "\r\n";
    return out;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

TestState::TestState(const QString& programFolder, const QString& tempFolder) {
    st.prompter = &prompter;
    st.shell = &shell;
    st.system = &system;
    auto slash = [](const QString& f) {
        return f.isEmpty() || f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/');
    };
    st.programFolder = slash(programFolder);
    st.tempFolder = slash(tempFolder);
}

} // namespace orbino::test
