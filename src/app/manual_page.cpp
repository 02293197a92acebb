// Writes the manual page at build time: the template of its fixed text with
// the options filled in from the program's own table, so the page and
// --help always list the same options.
#include "app/command_line.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("Použitie: orbino_manual ŠABLÓNA VÝSTUP\n", stderr);
        return 2;
    }
    QFile in(QFile::decodeName(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "orbino_manual: %s: %s\n", argv[1], qPrintable(in.errorString()));
        return 1;
    }
    const QString page = orbino::manualPage(QString::fromUtf8(in.readAll()));
    QSaveFile out(QFile::decodeName(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0 || !out.commit()) {
        std::fprintf(stderr, "orbino_manual: %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
