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
};

struct ClassReport {
    QString course;
    QList<ClassTest> tests;        // course order, then those the course lacks
    QList<LearnerScores> learners; // with a progress file of this course, by name
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
// and one of best scores. A field that a spreadsheet would take for a
// formula gets a leading "'".
QByteArray classReportCsv(const ClassReport& r);

} // namespace orbino
