// Writes the files the whole-process comparisons of bench/run work on, into
// the folder given: a class folder of 500 learners x 40 tests ("trieda/")
// with the course it belongs to ("kurz-triedy/"), the course of 1,000
// lessons ("kurz/") with its full-text index ("cache/orbino/"), and for the
// peer the same rows as an SQL script that builds an FTS5 table
// ("fts.sql"), made from the index itself so both hold the same text.
#include "course_generator.h"
#include "tree/text_search.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

using namespace orbino;

namespace {

QByteArray sqlText(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return "'" + q.toUtf8() + "'";
}

bool writePeerScript(const QString& index, const QString& script) {
    bool ok = false;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dump"));
        db.setDatabaseName(index);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QFile out(script);
        if (db.open() && out.open(QIODevice::WriteOnly)) {
            out.write("PRAGMA journal_mode=OFF;\nPRAGMA synchronous=OFF;\n"
                      "CREATE VIRTUAL TABLE texts USING fts5(body, captionPath UNINDEXED, file "
                      "UNINDEXED, day UNINDEXED, node UNINDEXED, caption UNINDEXED, target "
                      "UNINDEXED, kind UNINDEXED, tokenize = 'unicode61 remove_diacritics 2');\n"
                      "BEGIN;\n");
            QSqlQuery q(db);
            q.setForwardOnly(true);
            ok = q.exec(QStringLiteral("SELECT body, captionPath, file, day, node, caption, "
                                       "target, kind FROM texts ORDER BY rowid"));
            int rows = 0;
            while (ok && q.next()) {
                QByteArray line = "INSERT INTO texts VALUES(";
                for (int c = 0; c < 8; ++c)
                    line += (c ? "," : "") + (c == 4 || c == 7 ? q.value(c).toByteArray()
                                                               : sqlText(q.value(c).toString()));
                out.write(line + ");\n");
                ++rows;
            }
            out.write("COMMIT;\n");
            ok = ok && rows > 0 && out.flush();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dump"));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_fixtures FOLDER\n", stderr);
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    bench::writeClassFolder(dir + QStringLiteral("trieda/"), 500, 40);
    QDir().mkpath(dir + QStringLiteral("kurz-triedy"));
    QFile config(dir + QStringLiteral("kurz-triedy/CONFIG.TXT"));
    if (!config.open(QIODevice::WriteOnly) || config.write("*NAME*Kurz\r\n") < 0)
        return 1;
    config.close();
    bench::writeTextCourse(dir + QStringLiteral("kurz"), 10, 1000, 5'000'000);
    // What makes the folder a course for the command line.
    QFile textConfig(dir + QStringLiteral("kurz/CONFIG.TXT"));
    if (!textConfig.open(QIODevice::WriteOnly) || textConfig.write("*NAME*Texty\r\n") < 0)
        return 1;
    textConfig.close();
    TextSearch s(dir + QStringLiteral("kurz"), QStringLiteral("Obsah.txt"),
                 dir + QStringLiteral("cache/orbino"));
    if (!s.prepare() || !writePeerScript(s.indexFile(), dir + QStringLiteral("fts.sql"))) {
        std::fputs("make_fixtures: the index or its script could not be written\n", stderr);
        return 1;
    }
    return 0;
}
