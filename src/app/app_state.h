#pragma once
#include "app/config_keys.h"
#include "platform/dialogs.h"
#include "screens/level_model.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

namespace orbino {

class FileError;

// A configured text and whether its line lets the message it belongs to be
// shown (a line starting with "0" silences it).
struct ConfigText {
    QString value;
    bool messageOn = false;
};
class Prompter;
class Shell;
class SystemInfo;

// The process-wide state of one running player: folders, mode, switches, the
// level tables. Owned by the application and passed by reference; tests make
// as many as they like.
class AppState {
public:
    AppState();
    ~AppState();

    // --- folders (native separators, ending with "/") ---
    QString programFolder;
    QString driveLetter;
    QString tempFolder;
    QString playerFolder; // no trailing "/"

    // --- mode and command line ---
    QString openedContentFile; // parameter 1: search-window mode when not empty
    bool searchMode() const { return !openedContentFile.isEmpty(); }
    int selectedItem = 0;
    QString searchTitle;

    // --- switches and layout numbers ---
    bool levelConfigActive = false;
    int scale = 10;
    int boundsLeft = 0, boundsTop = 0, boundsWidth = 0, boundsHeight = 0;
    quint8 trimLarge = 25;
    quint8 trimSmall = 26;
    bool editPasswordSwitch = false;
    bool teacherLoggedIn = false;
    QStringList dayPasswords; // index 0 is day 1

    // --- activity flags ---
    bool launchPermission = false;
    bool solutionPasswordFlag = false;
    bool testYourselfFlag = false;
    bool editorAskedTextEdit = false; // lesson editor wants text editing on the next screen
    QString pressedItemTitle;

    // --- the levels: the current one, their folders, lists and items ---
    LevelModel levels{*this};
    QString rootListName = QStringLiteral("Obsah.txt");

    // The temp form file as written at start-up, before the main screen was
    // built on the window: written again when the file goes missing while we
    // run (another copy in the same learner's folder ended and removed it).
    QByteArray startFormFile;
    // --- the learner's folder when it cannot be written (full, read-only) ---
    // The temp form file kept here instead; level windows are made from it.
    QByteArray heldFormFile;
    // Said once per run; later writes of scratch state fail quietly.
    bool tempFolderReported = false;
    // Tells the learner once that the learner's folder cannot be written.
    // `e` is the failed write (its file and reason are shown).
    void reportTempFolderUnwritable(const FileError& e);

    // --- platform layers (not owned unless set through the unique_ptrs) ---
    Prompter* prompter = nullptr;
    Shell* shell = nullptr;
    SystemInfo* system = nullptr;

    // Keyed text lookup: the level folder's CONFIG.TXT first while a day is
    // open, then the program folder's. Reads the files anew on every call.
    // Gives the text with the message switch of the line it came from (a
    // missing key: the file's default, on; no file at all: off). Throws
    // FileError when a CONFIG.TXT exists but cannot be read.
    ConfigText configText(const QString& key, const QString& def) const;
    ConfigText configText(const ConfigKey& k) const {
        return configText(k.key.toString(), k.def.toString());
    }
    // The text alone, for captions and questions whose switch does not matter.
    QString CitajKonfig(const QString& key, const QString& def) const {
        return configText(key, def).value;
    }
    QString CitajKonfig(const ConfigKey& k) const { return configText(k).value; }

    // CitajKonfig converted to a whole number. A value that is not one is
    // reported once (key, value, file) and `def` is used instead.
    int configInt(const QString& key, int def);
    int configInt(const ConfigKey& k) {
        return configInt(k.key.toString(), k.def.toString().toInt());
    }

    // Shows `text` of `kind` when the configured line `switchOf` allows its message.
    void messageIf(const ConfigText& switchOf, MsgKind kind, const QString& text);
    // Shows `text` whatever the switch says.
    void message(MsgKind kind, const QString& text);

    // Scratch files of the mode.
    QString tempFormFile() const;
    QString levelFile() const;

    // The folder of level L after the folder-name rule: a leading "__" of the
    // day's caption form becomes "0".
    static QString folderNameRule(const QString& name);
    QString levelFolderPath(int level) const; // program folder + folder + "/"
    QString contentListPath(int level) const;

    // The level file (written by `levels`) read back.
    int CitajUroven() const;

    // Where the config file for level lookups lives (for messages).
    QString programConfigPath() const { return programFolder + QStringLiteral("CONFIG.TXT"); }
    QString levelConfigPath() const;

    // State each subsystem adds for itself (keep to your own section).
    // [screens state]
    // The main screen's day buttons: the first and last place in the folder listing.
    int firstDayButton = 0, lastDayButton = 0;
    // Set by the exit clean-up: windows closing from now on only go away.
    bool exiting = false;
    // [content state]
    // Shell callbacks that arrive late (a document that failed to open) hold
    // a weak reference to this, so they never touch a state that is gone.
    std::shared_ptr<const bool> alive = std::make_shared<const bool>(true);
    // [tools state]
    // A progress file that cannot be written is reported once per run.
    bool progressWriteReported = false;
    // [tree state]

private:
    std::unique_ptr<Prompter> m_ownedPrompter;
};

// Small shared operations.
// Can a file be created in the program folder? When not, it also clears the
// edit password switch (st.editPasswordSwitch): no password is then asked for
// edits that could not be saved anyway.
bool SkusZapis(AppState& st);
bool folderWritable(
    const QString& folder); // the same probe for any folder, touching no file of its own
QString NahradZnak(const QString& text, const QString& what, const QString& with);
bool JeCisloBodka(const QString& text);

// Start-up resolution steps, in the order the main window's set-up runs them.
void resolveTempFolder(AppState& st, const QString& workingDir);
void readCommandLine(AppState& st, const QStringList& args); // args without the program name
void resolvePlayerFolder(AppState& st);
QStringList defaultDayPasswords();

// One CONFIG.TXT scan on raw Windows-1250 bytes: the first line whose key
// (the text between its first two "*") is `key`.
struct ConfigLine {
    bool found = false;
    int sw = 1; // 0 when the line's first character is "0"
    QString value;
};
ConfigLine findConfigLine(const QByteArray& data, const QByteArray& key);

} // namespace orbino
