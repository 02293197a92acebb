#pragma once
// The learner's progress in one course: which lesson screens were opened and
// every test taken. One Windows-1250 CR LF text file in the learner's folder:
//
//     C<TAB>course name
//     V<TAB>day folder<TAB>list file<TAB>last visit (ISO date and time)
//     T<TAB>day folder<TAB>list file<TAB>score<TAB>maximum<TAB>ISO date and time
//
// The file is "#postup.txt". Notes are named after list files and day folders,
// and names beginning with "#" are kept for the program (see notes.cpp), so no
// note can ever take its place. A learner's folder shared by several courses
// holds one file per course: the first free name of "#postup.txt",
// "#postup-2.txt", "#postup-3.txt", ... belongs to a course the first time it
// writes, and its C line ties it to that course from then on.
//
// A line that is not one of these (damaged, or written by a later version) is
// skipped when read and written back unchanged, in its place, on every
// rewrite: nothing in the file is ever lost. Lines may end with CR LF, CR or a
// lone LF when read; they are written with CR LF.
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace orbino {

class AppState;

inline constexpr char kProgressBaseName[] = "#postup";
// The most files of other courses looked past in one learner's folder.
inline constexpr int kMaxProgressFiles = 99;

struct Visit {
    QString day;
    QString list;
    QDateTime when;
};

struct TestAttempt {
    QString day;
    QString list;
    int score = 0;
    int maximum = 0;
    QDateTime when;
};

// A learner's own file is read whole up to this size (twice what a course
// file may be) so it can be changed and written back; finding a course's
// file and the class overview read any size line by line.
inline constexpr qint64 kMaxProgressFileBytes = qint64(32) * 1024 * 1024;

// What one line of the file holds: kind 'C' (course), 'V', 'T', or 0 for a
// line that is none of these.
struct ProgressLine {
    char kind = 0;
    QString course;
    Visit visit;
    TestAttempt test;
};
ProgressLine parseProgressLine(QByteArrayView raw);

// Calls `f` with every non-empty line of the file at `path` (ended by CR LF,
// CR or LF), reading a piece at a time, so memory does not grow with the
// file. A line longer than `longest` bytes is passed cut to that length with
// `whole` false. `f` returns false to stop. Throws FileError when the file
// cannot be opened or read or is not a regular file.
void forEachProgressLine(const QString& path, qsizetype longest,
                         const std::function<bool(QByteArrayView line, bool whole)>& f);

// The file's lines, raw, with what could be read from them.
class ProgressFile {
public:
    static ProgressFile parse(const QByteArray& bytes);
    // CR LF lines; the C line first. Throws FileError naming `path` when a
    // name has no Windows-1250 byte.
    QByteArray encode(const QString& path) const;

    QString course() const { return m_course; }
    bool hasCourseLine() const { return m_hasCourse; }
    void setCourse(const QString& course);

    // The V line of (day, list) gets the new time, or a V line is added.
    void recordVisit(const QString& day, const QString& list, const QDateTime& when);
    // A T line is added; every attempt is kept.
    void recordTest(const QString& day, const QString& list, int score, int maximum,
                    const QDateTime& when);

    QList<Visit> visits() const;
    QList<TestAttempt> tests() const; // in file order, oldest first as written
    int damagedLines() const;

    // Day and list compared as the file system of the course does: without
    // regard to case.
    bool wasRead(const QString& day, const QString& list) const;
    // The latest attempt at a test, or nullptr.
    std::optional<TestAttempt> lastTest(const QString& day, const QString& list) const;

private:
    // Kept small: a long file has a great many of them.
    struct Line {
        char kind = 0;  // 'V', 'T', or 0 for a line kept as it is
        QByteArray raw; // only for a line kept as it is: the others are written anew
        QString day, list;
        qint64 when = 0;            // local time as written: yyyyMMddHHmmss
        int score = 0, maximum = 0; // 'T' only
    };
    QString m_course;
    bool m_hasCourse = false;
    QList<Line> m_lines; // without the C line
};

// Why a name cannot go into the file (a tab or line end in it), or empty.
bool progressNameUsable(const QString& name);

// The progress file of `course` in `folder` ("/"-ended): the file whose C
// line names it, else the first free name. Never throws: an unreadable file
// is passed over. `taken` is set when every name is used by other courses.
QString progressPathFor(const QString& folder, const QString& course, bool* taken = nullptr);

// The course named by the C line of the progress file at `path`, or nothing
// when it has none. Reads only up to that line. Throws FileError.
std::optional<QString> progressCourseOf(const QString& path);

// The progress files in `folder` ("#postup.txt", "#postup-N.txt"), sorted.
QStringList progressFilesIn(const QString& folder);

// The course's name as its progress lines carry it: NAME of the program
// folder's CONFIG.TXT (never a day's), else the program folder's own name.
QString courseIdentity(const QString& programFolder);

// Reads the course's progress in `folder`; empty when there is none. A
// file that cannot be read (or is larger than kMaxProgressFileBytes) counts
// as empty.
ProgressFile readProgress(const QString& folder, const QString& course);

// Read, change and write back under a lock file beside it, so two copies
// of the program writing at once lose no line. The file is written
// atomically. Throws FileError when it cannot be written, or when the file
// is larger than kMaxProgressFileBytes: it is then left as it is, and no
// other file is started in its place.
void updateProgress(const QString& folder, const QString& course,
                    const std::function<void(ProgressFile&)>& change);

// ISO date and time to the second, local time, as the lines carry it.
QString progressTimestamp(const QDateTime& when);
// "8. 12. 2026 13:05" for the learner's eyes.
QString progressDateText(const QDateTime& when);
// "Naposledy: 4 z 5 bodov (8. 12. 2026 13:05)".
QString lastScoreText(const TestAttempt& t);

} // namespace orbino
