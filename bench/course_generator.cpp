#include "course_generator.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace orbino::bench {

void writeLargeConfig(const QString& path, int lines) {
    static const char* keys[] = {"NAME", "EDUCATION", "BUTTON NOTES", "HTTP", "MY HTTP", "MENU OWNSELF",
                                 "MENU NOTES", "MENU HTTP", "MENU COPY", "MENU HELP", "MENU EDIT",
                                 "MENU HELPS", "MENU TREE", "MENU EDIT MEMO", "MEMO INFO", "MENU END",
                                 "BACK BUTTON CAPTION", "END BUTTON CAPTION", "WINDOW CAPTION", "COLOR TITLE"};
    const int nkeys = int(sizeof keys / sizeof *keys);
    QStringList out;
    for (int i = 0; i < lines; ++i) {
        if (i % (lines / nkeys) == lines / nkeys - 1 && i / (lines / nkeys) < nkeys) {
            const QString key = QString::fromLatin1(keys[i / (lines / nkeys)]);
            // Colours are numbers (0x00BBGGRR in decimal); the rest are texts.
            if (key.startsWith(QLatin1String("COLOR")))
                out << QStringLiteral("*%1*%2").arg(key).arg(0x800000);
            else
                out << QStringLiteral("*%1*Hodnota kľúča číslo %2").arg(key).arg(i);
        }
        else
            out << QStringLiteral("*KĽÚČ %1*Text správy, ktorý sa pri štarte nepýta, číslo %1").arg(i);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeLines(path, out);
}

void writeContentList(const QString& path, int items) {
    QStringList out;
    out << QStringLiteral("pozadie.bmp") << QStringLiteral("<Popis lekcie, ktorý sa zobrazí v textovom poli.")
        << QStringLiteral("Druhý riadok popisu.>");
    for (int i = 1; i <= items; ++i)
        out << QStringLiteral("[Lekcia číslo %1 o práci s počítačom] lekcia%1.txt").arg(i);
    out << QStringLiteral("//https://orbino.example.org/") << QStringLiteral("//https://www.debian.org/");
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeLines(path, out);
}

} // namespace orbino::bench
