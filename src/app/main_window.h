#pragma once
// The main window class. Every level window is another TForm1 made from the
// temp form file. Subsystems define their own handlers of this class in their
// own folders (screens/, content/, tools/, tree/, info/); this header stays
// free of their headers.
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>
#include <memory>

class QAbstractButton;
class QLabel;
class QPushButton;
class QCloseEvent;
class QScrollArea;

namespace Ui {
class TForm1;
}

namespace orbino {

class AppState;
struct ScreenGlyphs;
struct ConfigKey;
struct ContentList;
struct DayListing;
class ExerciseTest;
struct LevelStack;
class ModalRunner;
struct ScreenMetrics;

// Colours in course data are decimal 0x00BBGGRR values.
QColor winColor(long long value);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `setup` runs the main window's set-up (only for the main window; level
    // windows are filled from the temp form file instead).
    TForm1(AppState& state, ModalRunner& modal, bool setup, QWidget* parent = nullptr);
    ~TForm1() override;

    // What every window opened from this one shares.
    AppState& st;
    ModalRunner& modal;
    // The level this window shows (1 for the main window).
    int level = 1;

    // Runs an event handler: a FileError or other exception becomes the
    // program's general error report and the program goes on.
    void guard(const std::function<void()>& handler);

    // --- entry points other windows and the program call ---
    // The main window's set-up (app/); closingForExit is set when it ended
    // the program instead.
    void FormCreate(const QStringList& args);
    bool closingForExit = false;
    // Every activation: a screen built once, then brought up to date (screens/).
    void FormActivate();
    // The window showing `level`, if it is open. The main window and every
    // level window opened from it share one stack of windows.
    TForm1* windowOfLevel(int level) const;
    // Records this window as the one showing `level` in its stack.
    void takeLevel(int level);
    // Opens the level st.levels.current() names in a new window, modal.
    void ZobrazOkno();
    // The press of an item button (content/): its slot in "tag".
    void SpustiProgram(QAbstractButton* pressed);
    // The navigation part of an item press: opens the content list the
    // pressed item names as the next level. Returns false (doing nothing)
    // when that list does not exist, so the caller can report it or offer to
    // create it; a 21st level is refused here with a message.
    bool openSubLevel(QAbstractButton* pressed);
    // The lesson text panel: the text read again, saved, and the save
    // protocol before leaving a screen whose text is being edited (true when
    // the screen may be left).
    void ObnovMemo();
    bool UlozMemo();
    bool saveBeforeLeaving();
    // Shows the points the exercise window counted on this test screen.
    void showEvaluation(const ExerciseTest& test, int score);
    // The markers beside the item buttons of a test screen, shown at the
    // evaluation beside an exercise not solved: index k-1 for item button k.
    QList<QPointer<QLabel>> solutionMarkers;
    // The notes window changed this screen's note: "Poznámky" shows while a
    // note is on disk, and a save (`saved`) is confirmed on the status line.
    void noteChanged(bool onDisk, bool saved);
    // The learner's progress (tools/progress_handlers.cpp). Recording never
    // interrupts the lesson: a failed write is reported once per run.
    void recordVisit();
    void recordTestResult(int score, int maximum);

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // The generated form: only this window's own files touch its controls.
    // Other windows and the tests go through the entry points above or find
    // a control by its name.
    Ui::TForm1* ui;
    std::shared_ptr<LevelStack> m_levels;
    bool m_isMain = false;
    QScrollArea* m_canvasArea = nullptr;

    // Fields every level window carries.
    int buttonCount = 0;
    QString backgroundLine;
    bool startFailed = false;
    QString memoRtfPath; // the .rtf twin loaded into Memo1, if any
    // Set when a level window was built before it was shown: its first real
    // activation is then not a "return" to the screen.
    bool firstActivationPending = false;
    int fontSizeButton = 10;
    int fontSizeMemo = 10;
    // The buttons the last screen build made: items 1..20 in creation order,
    // and on the main screen the day buttons by their place in the folder listing.
    QMap<int, QPointer<QPushButton>> itemButtons;
    QMap<int, QPointer<QPushButton>> dayButtons;
    QString dayProgressStamp; // what the day labels were made from

    bool isMainWindow() const { return m_isMain; }
    void setWindowColor(const QColor& c);
    QColor windowColor() const;

    // The window's place and size as the layout designs them: the layout
    // numbers are computed against these, whatever the real screen. The
    // real window fits the screen's free area; the designed canvas inside
    // it scrolls when the screen is smaller and is centred when it is larger.
    QRect designGeometry() const;
    int designWidth() const { return designGeometry().width(); }
    int designHeight() const { return designGeometry().height(); }
    void setDesignGeometry(const QRect& r);
    void resizeDesign(int w, int h);
    // Puts the real window on the screen for the current design (again).
    void placeOnScreen();
    // Keyboard: Tab follows the screen (heading, text, buttons top to
    // bottom, links, "Späť", "Koniec"); mnemonics for what is shown now.
    void keyboardOrder();
    void connectHandlers();
    void nameForScreenReaders();
    void showFocused(QWidget* now);

    // --- handlers: set-up and closing (app/) ---
    void applyCaptions(const ConfigKey& education);
    void SpeedButton2Click();
    void Koniec1Click();
    void exitCleanup();
    void FormClose(QCloseEvent* e);

    // --- screens/ ---
    void Lista(int y);
    void PoStlaceni(QAbstractButton* pressed);
    void SpeedButton1Click();
    void PripravOkno(const QString& path);
    void applyLevelCaptions();
    // The heading this screen shows; the next level's heading is built on it.
    QString heading() const;
    // Offer to create a missing day list: the lesson editor opens `list` in
    // `folder`; true when it saved and asked for text editing.
    bool editNewContentList(const QString& list, const QString& folder);
    void buildMainScreen();
    void buildContentScreen();
    // `exam` is the configured caption of the self-test item (its glyph differs).
    void makeItemButton(int slot, int k, int& cursor, const QString& exam, ScreenGlyphs& glyphs);
    // A level window fits its own controls to a test-yourself screen and to
    // the background of a level.
    void prepareTestScreen();
    void placeLevelBackground();
    // Level L's window, made, laid out and recorded in the stack, not yet built.
    TForm1* openLevelWindow(int L);
    // After level L's window went: the level below shows again.
    void backFromLevel(int L);

    // --- content/ ---
    void ZadanieClick();
    void Editciatextu2Click();
    void Ignorovazmeny1Click();
    void Memo1Exit();
    void Memo1MouseDown(const QPoint& pos);
    void Editcialekci1Click();
    // A missing lesson text the user chose to create: lesson editor, then
    // the new level when the editor asks for text editing.
    void openEditorForMissingText(QAbstractButton* pressed);

    // --- tools/ ---
    void Poznmky1Click();
    void Button1Click();
    void Odkazy1Click();
    void Koprovanie1Click();
    void ComboBox1Click();
    void ComboBox2Click();
    // The learner's links list and its label show while the list has a link.
    void showOwnLinksList();
    void showLastScore();       // a test screen: the last attempt, before it starts
    void showDayProgress();     // the main screen: lessons read beside each day
    void Export1Click();        // "Vlastné > Export mojej práce"
    void Prehladtriedy1Click(); // "Pomocník > Prehľad triedy"

    // --- tree/ ---
    void Hadaj1Click();

    // --- info/ ---
    void AkoClick();
    void Help1Click();
    void Oprograme1Click();
    void Ohlasyautorom1Click();
    void Reklama1Click();

    // Set-up steps (app/main_window.cpp).
    void scaleToDesignDpi(int dpi);
    void placeForLayoutUnit();
    void readStartState(const QStringList& args);
    void takeWorkingArea(const ScreenMetrics& scr);
    void announceAddress();
    void applyMenuCaptions();
    void becomeLevelPattern();
    // The lesson text panel (content/text_panel_handlers.cpp).
    void setEditUi(bool editing);
    // The evaluation of a test screen (content/evaluation_handlers.cpp).
    void showScore(const QString& programFolder, int score);
    void showPointsColumn(int u, const ExerciseTest& test);
    void showPointsBox(int u);
    // tools/tools_handlers.cpp
    int notesButtonCursor() const;
    // Moving between levels (screens/navigation_handlers.cpp).
    void openDayLevel();
    void openDayList(const QString& root);
    void restoreFormFile() const;
    // The steps of building a screen (screens/builder_handlers.cpp).
    void resetActivationFont();
    void readBuildSettings();
    void placeBackground();
    void showOwnLinks();
    void finishActivation();
    int makeDayButtons(const DayListing& listing);
    void endIfNoButton();
    void prepareContentScreen();
    void takeContentList(const ContentList& list);
    void showHeading();
    int placeContent(const ContentList& list);
    void showLessonText(const QString& listPath);
    void placeLinksAndText(int cursor);
    void makeSolutionMarker(int k, const QRect& place);
    // Screen readers (app/accessibility_window.cpp).
    // A built screen: its name for a screen reader (the title, then the
    // heading) and the focus where reading starts.
    void presentScreen();
    void prepareForScreenReaders();
    // Back from the level `pressed` opened: the focus is on that button again.
    void focusReturnsTo(QAbstractButton* pressed);
    // After a test: the verdict takes the focus, read with the score.
    void focusEvaluation();
    // A short confirmation beside "Koniec", spoken by a screen reader as it shows.
    void confirmOnStatusLine(const QString& text);
    // "Poznámky" is shown while this screen has a note on disk.
    void showNotesButton(bool on);
};

} // namespace orbino
