#include "course_generator.h"

#include "tools/progress.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdlib>

namespace orbino::bench {

void writeLargeConfig(const QString& path, int lines) {
    static const char* keys[] = {"NAME",
                                 "EDUCATION",
                                 "BUTTON NOTES",
                                 "HTTP",
                                 "MY HTTP",
                                 "MENU OWNSELF",
                                 "MENU NOTES",
                                 "MENU HTTP",
                                 "MENU COPY",
                                 "MENU HELP",
                                 "MENU EDIT",
                                 "MENU HELPS",
                                 "MENU TREE",
                                 "MENU EDIT MEMO",
                                 "MEMO INFO",
                                 "MENU END",
                                 "BACK BUTTON CAPTION",
                                 "END BUTTON CAPTION",
                                 "WINDOW CAPTION",
                                 "COLOR TITLE"};
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
        } else
            out << QStringLiteral("*KĽÚČ %1*Text správy, ktorý sa pri štarte nepýta, číslo %1")
                       .arg(i);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeLines(path, out);
}

void writeContentList(const QString& path, int items) {
    QStringList out;
    out << QStringLiteral("pozadie.bmp")
        << QStringLiteral("<Popis lekcie, ktorý sa zobrazí v textovom poli.")
        << QStringLiteral("Druhý riadok popisu.>");
    for (int i = 1; i <= items; ++i)
        out << QStringLiteral("[Lekcia číslo %1 o práci s počítačom] lekcia%1.txt").arg(i);
    out << QStringLiteral("//https://orbino.example.org/")
        << QStringLiteral("//https://www.debian.org/");
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeLines(path, out);
}

const QStringList& vocabulary() {
    static const QStringList words =
        QStringLiteral(
            "súbor priečinok klávesnica myš obrazovka počítač kôň šípka tlačidlo okno ikona disk "
            "pamäť "
            "program dokument písmo odsek riadok stĺpec tabuľka obrázok farba čiara kruh štvorec "
            "ťahať "
            "kliknúť dvojklik uložiť otvoriť zatvoriť premenovať kopírovať vložiť vystrihnúť "
            "zmazať kôš "
            "sieť internet stránka odkaz prehliadač heslo používateľ učiteľ žiak úloha cvičenie "
            "príbeh "
            "ďalší predchádzajúci nový starý veľký malý rýchly pomalý dôležitý jednoduchý zložitý "
            "a v na do z so pri po za pred nad pod medzi že aby keď ktorý ako čo kde prečo dnes "
            "zajtra")
            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words;
}

namespace {

// Deterministic words: the same course every run.
QString sentences(quint32& seed, qint64 chars) {
    const QStringList& words = vocabulary();
    QString out;
    bool start = true;
    int inSentence = 0;
    while (out.size() < chars) {
        seed = seed * 1664525u + 1013904223u;
        QString w = words.at(int((seed >> 8) % quint32(words.size())));
        if (start)
            w[0] = w[0].toUpper();
        out += w;
        start = ++inSentence >= 8 + int((seed >> 4) % 6);
        if (start) {
            inSentence = 0;
            out += QStringLiteral(". ");
        } else {
            out += QLatin1Char(' ');
        }
    }
    return out;
}

QByteArray rtfOf(const QStringList& paragraphs) {
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    for (const QString& p : paragraphs) {
        int word = 0;
        for (const QChar c : p) {
            const char16_t u = c.unicode();
            if (u == u' ' && ++word % 7 == 0) {
                rtf += " \\b tu\\b0  "; // some formatting, as teachers make it
                continue;
            }
            if (u < 128) {
                if (u == u'\\' || u == u'{' || u == u'}')
                    rtf += '\\';
                rtf += char(u);
            } else {
                const int b = fromUnicode1250(u);
                rtf += "\\'" + QByteArray::number(b < 0 ? '?' : b, 16);
            }
        }
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

} // namespace

void writeTextCourse(const QString& courseDir, int days, int lessons, qint64 textChars) {
    const qint64 perFile = textChars / (2 * qint64(lessons));
    quint32 seed = 12345;
    int lesson = 0;
    for (int d = 1; d <= days; ++d) {
        const QString day = courseDir + QStringLiteral("/%1._deň/").arg(d, 2, 10, QLatin1Char('0'));
        QDir().mkpath(day);
        QStringList list{QStringLiteral("<%1. deň kurzu.>").arg(d)};
        const int count = lessons / days + (d <= lessons % days ? 1 : 0);
        for (int i = 0; i < count; ++i) {
            ++lesson;
            const QString name = QStringLiteral("lekcia%1").arg(lesson);
            list << QStringLiteral("[Lekcia %1] %2.txt").arg(lesson).arg(name);
            QStringList block = sentences(seed, perFile).split(QStringLiteral(". "));
            block.first() = QStringLiteral("Lekcia %1: ").arg(lesson) + block.first();
            for (qsizetype k = 0; k + 1 < block.size(); ++k)
                block[k] += QLatin1Char('.');
            block.first().prepend(QLatin1Char('<'));
            block.last() += QLatin1Char('>');
            writeLines(day + name + QStringLiteral(".txt"), block);
            const QStringList twin = sentences(seed, perFile).split(QStringLiteral(". "));
            QFile f(day + name + QStringLiteral(".rtf"));
            if (!f.open(QIODevice::WriteOnly) || f.write(rtfOf(twin)) < 0)
                std::abort();
        }
        writeLines(day + QStringLiteral("Obsah.txt"), list);
    }
}

QList<OutlineLesson> writeClassFolder(const QString& dir, int learners, int tests) {
    QList<OutlineLesson> outline;
    const QDateTime when(QDate(2026, 3, 9), QTime(10, 0));
    for (int t = 0; t < tests; ++t)
        outline << OutlineLesson{QStringLiteral("%1._deň").arg(t / 4 + 1, 2, 10, QLatin1Char('0')),
                                 QStringLiteral("Deň %1").arg(t / 4 + 1),
                                 QStringLiteral("test%1.txt").arg(t),
                                 {QStringLiteral("Vyskúšaj sa")},
                                 true};
    for (int l = 0; l < learners; ++l) {
        ProgressFile p;
        p.setCourse(QStringLiteral("Kurz"));
        for (int v = 0; v < 200; ++v)
            p.recordVisit(outline.at(v % tests).day, QStringLiteral("lekcia%1.txt").arg(v), when);
        for (int t = 0; t < tests; ++t)
            for (int a = 0; a < 2; ++a)
                p.recordTest(outline.at(t).day, outline.at(t).list, (l + t + a) % 6, 5,
                             when.addSecs(a));
        const QString folder = dir + QStringLiteral("Žiak %1/").arg(l);
        QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("#postup.txt"));
        if (!f.open(QIODevice::WriteOnly) || f.write(p.encode(f.fileName())) < 0) {
            std::perror("progress file");
            std::abort();
        }
    }
    return outline;
}

} // namespace orbino::bench
