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
struct ConfigKey;
class ExerciseTest;
struct LevelStack;
class ModalRunner;

// Colours in course data are decimal 0x00BBGGRR values.
QColor winColor(long long value);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `setup` runs the main window's set-up (only for the main window; level
    // windows are filled from the temp form file instead).
    TForm1(AppState& state, ModalRunner& modal, bool setup, QWidget* parent = nullptr);
    ~TForm1() override;

    AppState& st;
    ModalRunner& modal;

    // Fields every level window carries.
    int buttonCount = 0;
    QString backgroundLine;
    bool startFailed = false;
    QList<QPointer<QLabel>> solutionMarkers; // index k-1 for item button k
    QString memoRtfPath;                     // the .rtf twin loaded into Memo1, if any
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

    // Runs an event handler: a FileError or other exception becomes the
    // program's general error report and the program goes on.
    void guard(const std::function<void()>& handler);

    // --- set-up and closing (app/) ---
    void FormCreate(const QStringList& args);
    void applyCaptions(const ConfigKey& education);
    void SpeedButton2Click();
    void Koniec1Click();
    void exitCleanup();
    bool closingForExit = false;

    // --- screens/ ---
    void FormActivate();
    void Lista(int y);
    void PoStlaceni(QAbstractButton* pressed);
    void ZobrazOkno();
    void SpeedButton1Click();
    void PripravOkno(const QString& path);
    void applyLevelCaptions();

    // --- content/ ---
    void SpustiProgram(QAbstractButton* pressed);
    void ZadanieClick();
    void ObnovMemo();
    bool UlozMemo();
    void Editciatextu2Click();
    void Ignorovazmeny1Click();
    void Memo1Exit();
    void Memo1MouseDown(const QPoint& pos);
    void Editcialekci1Click();
    // Save protocol before leaving a screen whose text is being edited:
    // true when the screen may be left.
    bool saveBeforeLeaving();

    // --- tools/ ---
    void Poznmky1Click();
    void Button1Click();
    void Odkazy1Click();
    void Koprovanie1Click();
    void ComboBox1Click();
    void ComboBox2Click();

    // --- tree/ ---
    void Hadaj1Click();

    // --- info/ ---
    void AkoClick();
    void Help1Click();
    void Oprograme1Click();
    void Ohlasyautorom1Click();
    void Reklama1Click();

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

public:
    void FormClose(QCloseEvent* e); // app/

    // Members each subsystem adds for itself (keep to your own section).
    // [screens members]
    // The level this window shows (1 for the main window).
    int level = 1;
    // Set when a level window was built before it was shown: its first real
    // activation is then not a "return" to the screen.
    bool firstActivationPending = false;
    int fontSizeButton = 10;
    int fontSizeMemo = 10;
    // The buttons the last screen build made: items 1..20 in creation order,
    // and on the main screen the day buttons by their place in the folder listing.
    QMap<int, QPointer<QPushButton>> itemButtons;
    QMap<int, QPointer<QPushButton>> dayButtons;
    // The navigation part of an item press: opens the content list the
    // pressed item names as the next level. Returns false (doing nothing)
    // when that list does not exist, so the caller can report it or offer to
    // create it; a 21st level is refused here with a message.
    bool openSubLevel(QAbstractButton* pressed);
    // The window showing `level`, if it is open. The main window and every
    // level window opened from it share one stack of windows.
    TForm1* windowOfLevel(int level) const;
    // Records this window as the one showing `level` in its stack.
    void takeLevel(int level);
    // The heading this screen shows; the next level's heading is built on it.
    QString heading() const;
    // Offer to create a missing day list: the lesson editor opens `list` in
    // `folder`; true when it saved and asked for text editing.
    bool editNewContentList(const QString& list, const QString& folder);
    void buildMainScreen();
    void buildContentScreen();
    // `exam` is the configured caption of the self-test item (its glyph differs).
    void makeItemButton(int slot, int k, int& cursor, const QString& exam);
    // [content members]
    // A missing lesson text the user chose to create: lesson editor, then
    // the new level when the editor asks for text editing.
    void openEditorForMissingText(QAbstractButton* pressed);
    // Shows the points the exercise window counted on this test screen.
    void showEvaluation(const ExerciseTest& test, int score);
    // [tools members]
    // "Poznámky" is shown while this screen has a note on disk.
    void showNotesButton(bool on);
    // The learner's links list and its label show while the list has a link.
    void showOwnLinksList();
    // The learner's progress (tools/progress_handlers.cpp). Recording never
    // interrupts the lesson: a failed write is reported once per run.
    void recordVisit();
    void recordTestResult(int score, int maximum);
    void showLastScore();       // a test screen: the last attempt, before it starts
    void showDayProgress();     // the main screen: lessons read beside each day
    void Export1Click();        // "Vlastné > Export mojej práce"
    void Prehladtriedy1Click(); // "Pomocník > Prehľad triedy"
    QString dayProgressStamp;   // what the day labels were made from
    // [tree members]
    // [info members]
    // [accessibility members] (app/accessibility_window.cpp)
    // A built screen: its name for a screen reader (the title, then the
    // heading) and the focus where reading starts.
    void presentScreen();
    // Back from the level `pressed` opened: the focus is on that button again.
    void focusReturnsTo(QAbstractButton* pressed);
    // After a test: the verdict takes the focus, read with the score.
    void focusEvaluation();
    // A short confirmation beside "Koniec", spoken by a screen reader as it shows.
    void confirmOnStatusLine(const QString& text);

private:
    // The generated form: only this window's own files touch its controls.
    // Other windows and the tests go through the entry points above or find
    // a control by its name.
    Ui::TForm1* ui;
    std::shared_ptr<LevelStack> m_levels;
    // A level window fits its own controls to a test-yourself screen and to
    // the background of a level.
    void prepareTestScreen();
    void placeLevelBackground();
    // Level L's window, made, laid out and recorded in the stack, not yet built.
    TForm1* openLevelWindow(int L);
    // After level L's window went: the level below shows again.
    void backFromLevel(int L);
    void connectHandlers();
    void nameForScreenReaders();
    void prepareForScreenReaders();
    bool m_isMain = false;
    QScrollArea* m_canvasArea = nullptr;
    void showFocused(QWidget* now);
};

} // namespace orbino
