#pragma once
// Full-text search over a whole course: the captions of every tree reachable
// from the main screen, the description block of every content list and the
// text of its .rtf twin (the lesson texts, exercises of the test screens
// included). The index is an SQLite FTS5 database kept as a cache outside the
// course, so a course on a read-only disc works and the course folder is never
// written. No widgets: the tree window and `--search-text` show what this finds.
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QSqlDatabase;
class QThread;

namespace orbino {

// Snippets mark the matched words with these two characters, which no course
// text holds (control characters are dropped when texts are indexed).
inline constexpr QChar kMatchStart = QChar(0x01);
inline constexpr QChar kMatchEnd = QChar(0x02);

struct TextHit {
    QString captionPath; // "4. deň - Vyskúšaj sa", as the tree hands a second copy its title
    QString file;        // the file holding the matched text, relative to the course
    QString snippet;     // with kMatchStart/kMatchEnd around the matched words
    // What opening the hit needs: the tree node it belongs to.
    QString dayFolder; // day folder name on disk
    int node = 0;      // index in that day's lesson tree (0 = the day's root list)
    QString caption;   // the node's caption (decides the password gate)
    QString target;    // the node's target, as the list wrote it
};

// The snippet without its marks, and as HTML with the matched words in bold
// (everything else escaped).
QString plainSnippet(const QString& snippet);
QString htmlSnippet(const QString& snippet);

// The user's text as an FTS5 query: every word (a run of letters, digits and
// combining marks) becomes a quoted term, so quotes, "*", "-", "(", ":" and
// words such as NEAR or OR are never query syntax. All words must occur; the
// last one is a prefix unless the text ends after it with a separator. Empty
// when the text has no word at all.
QString ftsQuery(const QString& text);

// A snippet of a matching text: about `tokens` words around the best place,
// the words that match the user's text (as the index compares them) marked,
// "…" where text was left out.
class SnippetMaker {
public:
    explicit SnippetMaker(const QString& userText);
    QString make(const QString& body, int tokens = 12) const;

private:
    int matches(QStringView token) const; // the query word it matches, or -1
    QStringList m_words;                  // folded
    bool m_prefix = false;
    QString m_firsts;        // the first letter of each word; empty when one has none
    const char16_t* m_folds; // Latin letters folded, from U+00C0
    mutable QHash<QString, int> m_cache;
};

// Where a course's index lives: `cacheDir` + a name made from a hash of the
// course's absolute (canonical) path.
QString indexFileName(const QString& cacheDir, const QString& courseDir);

// The first content list of every day folder: "DEFAULT CONTENT" of the course's own
// CONFIG.TXT (a day's CONFIG.TXT is not asked), "Obsah.txt" by default.
QString courseRootList(const QString& programFolder);

// The default cache folder: the user's cache folder + "/orbino".
QString defaultIndexCacheDir();

struct IndexBuild;

// One index of one course. Build and check run on a worker thread with its
// own connection; search() runs on the thread that made the object.
class TextSearch : public QObject {
    Q_OBJECT
public:
    // `courseDir`: the program folder; `rootList`: the day folders' first
    // content list ("Obsah.txt" unless configured otherwise).
    TextSearch(const QString& courseDir, const QString& rootList,
               const QString& cacheDir = defaultIndexCacheDir(), QObject* parent = nullptr);
    // Stops a build in progress without waiting for it: the build ends on
    // its own thread, its result unused.
    ~TextSearch() override;

    // Checks the index in the background and rebuilds it when a file it was
    // made from has changed (size or modification time), was added or went
    // away. Emits progress() while building and finished() at the end.
    void start();
    // The same in the calling thread (the command line). Returns ready().
    bool prepare();

    bool ready() const;
    bool building() const { return m_building; }
    // One message about the index, for the user (empty when all is well): a
    // cache folder that cannot be written, or something other than an index
    // in the index's place (search then runs in memory), an unreadable index
    // that is made anew, or an index that could not be made; and a day
    // whose tree was too large to index whole.
    QString problem() const { return m_problem; }
    QString indexFile() const { return m_file; } // empty when in memory

    // Hits for `text`, best first, one per tree node; empty until ready(), for
    // a text without words, and on any database error (never throws).
    QList<TextHit> search(const QString& text, int limit = 50);

signals:
    void progress(int done, int total);
    void finished(); // ready() or problem() tells how it went

private:
    // The index file in the cache folder, or an index in memory (said as a
    // problem, ending with `rebuiltWhen`) when no file can serve.
    void chooseIndexFile(const QString& rebuiltWhen);
    // A build of this course's index into the chosen file, not yet run.
    void newBuild();
    bool openReader();
    void setProblem(const QString& p);
    void addNote(const QString& note); // said besides any problem

    QString m_course; // ending with "/"
    QString m_rootList;
    QString m_cacheDir;
    QString m_file; // the index file; empty for memory
    QString m_memoryUri;
    QString m_readerName;
    bool m_readerOpen = false;
    bool m_building = false;
    QString m_problem;
    // What the builder works with, shared with its thread: a window closed
    // during a build lets the thread finish on its own instead of waiting.
    std::shared_ptr<IndexBuild> m_build;
    QThread* m_thread = nullptr;
};

} // namespace orbino
