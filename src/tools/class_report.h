#pragma once
// The teacher's class overview: the test scores in the progress files of a
// class folder (one subfolder per learner, as a shared drive or collected USB
// sticks have them), learners × tests, and its CSV form. No windows here.
#include "tools/work_export.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace orbino {

struct ClassTest {
    QString day;
    QString list;
    QString caption; // the way to it in the course, or "day › list" when the course lacks it
    int maximum = 0; // of the latest attempt of any learner
};

struct LearnerScores {
    QString name; // the learner's folder name
    // By test, as ClassReport::tests; empty when not taken.
    QList<std::optional<int>> last;
    QList<std::optional<int>> best;
    // Empty for a learner with this course's progress; else why the row is
    // empty: "ešte nezačal", "iný kurz: …", or that the file cannot be read.
    QString note;
    bool started() const { return note.isEmpty(); }
};

// Tests a learner's file names that the course lacks are kept up to this
// many per learner: the file is read line by line, keeping only each test's
// last and best score, and a damaged file must not make the table endless.
inline constexpr int kMaxTestsOutsideCourse = 200;

struct ClassReport {
    QString course;
    QList<ClassTest> tests;        // course order, then those the course lacks
    QList<LearnerScores> learners; // every learner's folder, by name
    int started() const;           // learners with this course's progress
    QStringList otherCourse;       // "folder (course)": progress of another course, ignored
    QStringList withoutProgress;   // learners' folders with no progress file
    QStringList unreadable;        // "file: reason"
    bool cancelled = false;
    // The mean of the last scores of test `t`; nullopt when nobody took it.
    std::optional<double> average(int t) const;
};

// `report(done, total)` is called now and then from the calling thread;
// returning false stops the work (`cancelled` is then set). Never throws:
// what cannot be read is listed in `unreadable`. Throws FileError only when
// the class folder itself cannot be listed.
ClassReport buildClassReport(const QString& classFolder, const QString& course,
                             const QList<OutlineLesson>& outline,
                             const std::function<bool(int, int)>& report = {});

// The table for spreadsheet programs: UTF-8 with a byte-order mark, fields
// separated by ";", lines ended by CR LF. For each test a column of last
// and one of best scores, and a last column for the learner's note. A field
// that a spreadsheet would take for a formula (or that starts with a tab or
// a carriage return) gets a leading "'".
QByteArray classReportCsv(const ClassReport& r);

// The same table for a terminal: the tests numbered under the heading, then
// one row per learner in columns padded with blanks.
QString classReportText(const ClassReport& r);

} // namespace orbino
