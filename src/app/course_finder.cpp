#include "app/course_finder.h"

#include "platform/dialogs.h"
#include "platform/folder_chooser.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orbino {

namespace {

const QString kLastCourse = QStringLiteral("course/last");
const QString kChooserFolder = QStringLiteral("course/chooserFolder");

QString absolute(const QString& dir) {
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

// The nearest existing folder at or above `dir`.
QString existingAncestor(QString dir) {
    while (!dir.isEmpty() && !QFileInfo(dir).isDir()) {
        const QString up = QFileInfo(dir).path();
        if (up == dir)
            return {};
        dir = up;
    }
    return dir;
}

} // namespace

bool isCourseFolder(const QString& dir) {
    const QString d = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    return isFile(d + QStringLiteral("CONFIG.TXT")) || isFile(d + QStringLiteral("Obsah.txt"));
}

QString courseProblem(const QString& dir) {
    const QFileInfo fi(dir);
    if (!fi.exists())
        return QStringLiteral("Priečinok „%1“ neexistuje.").arg(QDir::toNativeSeparators(dir));
    if (!fi.isDir())
        return QStringLiteral("„%1“ nie je priečinok.").arg(dir);
    if (!fi.isReadable() || !fi.isExecutable())
        return QStringLiteral("Priečinok „%1“ sa nedá čítať (chýba právo na čítanie).").arg(dir);
    const QString d = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    for (const char* name : {"CONFIG.TXT", "Obsah.txt"})
        if (const QString kind = specialFileKind(d + QLatin1String(name));
            !kind.isEmpty() && !isCourseFolder(dir))
            return QStringLiteral("V priečinku „%1“ je %2 %3, nie obyčajný súbor; kurz sa z neho "
                                  "nedá čítať.")
                .arg(dir, QLatin1String(name), kind);
    if (!isCourseFolder(dir))
        return QStringLiteral(
                   "Priečinok „%1“ nie je kurz: nie je v ňom súbor CONFIG.TXT ani zoznam "
                   "obsahu Obsah.txt.")
            .arg(dir);
    return {};
}

QString sampleCourseFolder(const QString& applicationDir) {
    const QString installed =
        QDir::cleanPath(applicationDir + QStringLiteral("/../share/orbino/examples/course"));
    if (isCourseFolder(installed))
        return installed;
#if defined(ORBINO_BUILD_DIR) && defined(ORBINO_SOURCE_COURSE)
    // A program in the build folder plays the repository's sample.
    const QString build = QDir::cleanPath(QStringLiteral(ORBINO_BUILD_DIR));
    const QString app = QDir::cleanPath(applicationDir);
    if ((app == build || app.startsWith(build + QLatin1Char('/'))) &&
        isCourseFolder(QStringLiteral(ORBINO_SOURCE_COURSE)))
        return QDir::cleanPath(QStringLiteral(ORBINO_SOURCE_COURSE));
#endif
    return {};
}

QString courseSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orbino/orbino.conf");
}

FoundCourse findCourse(const QString& given, const QString& workingDir, const QString& settingsFile,
                       const QString& sampleCourse, FolderChooser& chooser, Prompter& prompter) {
    return findCourseToPlay(
        given, workingDir, settingsFile, [&sampleCourse] { return sampleCourse; }, chooser,
        prompter);
}

FoundCourse findCourseToPlay(const QString& given, const QString& workingDir,
                             const QString& settingsFile,
                             const std::function<QString()>& sampleCourse, FolderChooser& chooser,
                             Prompter& prompter) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    auto found = [&](const QString& dir) {
        const QString abs = absolute(dir);
        const QString folder = QFileInfo(abs).path();
        // Most starts play the course of the last one: the file is rewritten
        // (with its lock file and a flush) only when something changed.
        if (settings.value(kLastCourse).toString() != abs ||
            settings.value(kChooserFolder).toString() != folder) {
            settings.setValue(kLastCourse, abs);
            settings.setValue(kChooserFolder, folder);
            settings.sync(); // a settings file that cannot be written only costs the memory
        }
        return FoundCourse{FoundCourse::Outcome::Found, abs, {}};
    };

    if (!given.isEmpty()) {
        const QString problem = courseProblem(given);
        if (!problem.isEmpty())
            return FoundCourse{FoundCourse::Outcome::Error, {}, problem};
        return found(given);
    }
    if (!workingDir.isEmpty() && courseProblem(workingDir).isEmpty())
        return found(workingDir);

    const QString last = settings.value(kLastCourse).toString();
    if (!last.isEmpty()) {
        if (courseProblem(last).isEmpty())
            return found(last);
        settings.remove(kLastCourse);
        settings.sync();
    }

    QString start = settings.value(kChooserFolder).toString();
    if (start.isEmpty() && !last.isEmpty())
        start = QFileInfo(last).path();
    start = existingAncestor(start);
    if (start.isEmpty() || start == QStringLiteral("/"))
        start = QDir::homePath();
    const QString title = QString::fromUtf16(kChooseCourseTitle);
    const QString sample = sampleCourse();
    for (;;) {
        const QString chosen = chooser.chooseFolder(title, start, sample);
        if (chosen.isEmpty())
            return FoundCourse{FoundCourse::Outcome::Cancelled, {}, {}};
        const QString problem = courseProblem(chosen);
        if (problem.isEmpty())
            return found(chosen);
        prompter.message(MsgKind::Warning, problem + QStringLiteral(" Vyberte priečinok kurzu."));
        start = existingAncestor(absolute(chosen));
    }
}

} // namespace orbino
