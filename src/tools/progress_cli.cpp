#include "tools/progress_cli.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "tools/class_report.h"
#include "tools/progress.h"
#include "tools/work_export.h"

#include <QDir>
#include <QTextStream>

#include <cstring>

namespace orbino {

namespace {

QString withSlash(QString s) {
    if (!s.endsWith(QLatin1Char('/')))
        s += QLatin1Char('/');
    return s;
}

QString rootListOf(AppState& st) {
    return st.CitajKonfig(keys::DefaultContent);
}

int exportWorkCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString target, course = QDir::currentPath();
    bool ok = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--course") && i + 1 < args.size())
            course = args.at(++i);
        else if (target.isEmpty() && !args.at(i).startsWith(QLatin1String("--")))
            target = args.at(i);
        else
            ok = false;
    }
    if (!ok || target.isEmpty()) {
        err << "Použitie: orbino --export-work SÚBOR.html [--course PRIEČINOK_KURZU]\n"
               "Zapíše poznámky, vlastné odkazy, prečítané lekcie a výsledky testov žiaka\n"
               "do jednej stránky HTML.\n";
        return 2;
    }
    AppState st;
    st.programFolder = withSlash(QDir(course).absolutePath());
    if (!isDir(st.programFolder)) {
        err << "orbino --export-work: " << course << ": priečinok kurzu neexistuje\n";
        return 1;
    }
    resolveTempFolder(st, st.programFolder);
    exportWork(st.programFolder, st.tempFolder, rootListOf(st),
               QDir::current().absoluteFilePath(target), learnerName());
    out << "Práca je uložená v súbore " << target << ".\n";
    return 0;
}

int classReportCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString dir, csv;
    bool ok = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--csv") && i + 1 < args.size() && csv.isEmpty())
            csv = args.at(++i);
        else if (dir.isEmpty() && !args.at(i).startsWith(QLatin1String("--")))
            dir = args.at(i);
        else
            ok = false;
    }
    if (!ok || dir.isEmpty()) {
        err << "Použitie: orbino --class-report PRIEČINOK_TRIEDY [--csv SÚBOR.csv]\n"
               "Spustite v priečinku kurzu. PRIEČINOK_TRIEDY má pre každého žiaka podpriečinok\n"
               "s jeho súborom postupu; tabuľka výsledkov testov sa vypíše, alebo so --csv\n"
               "zapíše do SÚBOR.csv.\n";
        return 2;
    }
    AppState st;
    st.programFolder = withSlash(QDir::currentPath());
    const QString course = courseIdentity(st.programFolder);
    const ClassReport r = buildClassReport(QDir(dir).absolutePath(), course,
                                           courseOutline(st.programFolder, rootListOf(st)));
    for (const QString& u : r.unreadable)
        err << "orbino --class-report: " << u << '\n';
    if (r.started() == 0) {
        // Most likely the wrong folder, or the command run outside the course.
        err << "orbino --class-report: " << dir << ": žiadny priečinok žiaka nemá postup kurzu „"
            << course << "“ (priečinkov žiakov: " << r.learners.size()
            << "). Spustite príkaz v priečinku kurzu a zadajte priečinok triedy.\n";
        return 1;
    }
    if (csv.isEmpty()) {
        out << "Kurz: " << course << '\n' << classReportText(r);
    } else {
        writeFileAtomic(QDir::current().absoluteFilePath(csv), classReportCsv(r));
        out << "Tabuľka je v súbore " << csv << ".\n";
    }
    out << "Žiaci: " << r.learners.size() << " (s postupom kurzu: " << r.started()
        << "), testy: " << r.tests.size() << ".\n";
    return r.unreadable.isEmpty() ? 0 : 1;
}

} // namespace

int runProgressCli(const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        if (args.value(0) == QLatin1String("--export-work"))
            return exportWorkCli(args.mid(1), out, err);
        if (args.value(0) == QLatin1String("--class-report"))
            return classReportCli(args.mid(1), out, err);
    } catch (const FileError& e) {
        err << args.value(0) << ": " << e.message() << '\n';
        return 1;
    }
    return 2;
}

} // namespace orbino
