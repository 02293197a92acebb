#pragma once
// "Strom": the tree of everything reachable from the current level, caption
// search, opening a found item, and the integrity check of the lesson files.
#include "tree/lesson_tree.h"

#include <QList>
#include <QMainWindow>
#include <memory>
#include <vector>

class QTimer;
class QTreeWidgetItem;

namespace Ui {
class TOknoHladaj;
}

namespace orbino {

class AppState;
class TForm1;
class TextSearch;
struct TextHit;

class TOknoHladaj : public QMainWindow {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoHladaj* ui;

public:
    // `form` is the level window it is opened from: it runs the handlers'
    // error guard and the password windows.
    explicit TOknoHladaj(TForm1& form, QWidget* parent = nullptr);
    ~TOknoHladaj() override;

    void FormCreate();
    void FormActivate(); // builds the tree
    void Hadanie1Click();
    void Edit1Enter();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void TreeView1Click();
    void TreeView1DblClick();
    void Button1Click();
    void open(); // integrity check
    void Button5Click();
    void SpustiSubor();

    // "Hľadaj v texte": full-text search of the whole course. The index is
    // checked (and rebuilt when stale) in the background from the moment the
    // window opens; typing searches after a short pause.
    void startTextIndex();   // once; the window shows its progress
    void Edit2Change();      // (re)starts the pause
    void runTextSearch();    // searches now
    void ListBox1DblClick(); // opens the current hit, as the tree opens its item
    TextSearch* textSearch() const { return m_text.get(); }
    const QList<TextHit>& textHits() const { return m_hits; }

    const LessonTree& tree() const { return m_tree; }
    const TreePlace& place() const { return m_place; }
    int selectedNode() const;
    void selectNode(int index);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void notFound();
    // Read lessons get a tick, tests their last score.
    void markProgress();
    // Opens a target of the lesson tree whose files lie in `dir`: the
    // password gate of its caption (not for the root), then as its extension
    // says; a content list in a second copy titled `title`.
    void openItem(const QString& dir, const QString& caption, const QString& target,
                  const QString& title, bool root);
    // The three kinds of item the tree opens.
    void runProgram(const QString& dir, const QString& target, const OpenPlan& plan);
    void playDemonstration(const QString& dir, const QString& target, const OpenPlan& plan);
    void openInSecondCopy(const QString& dir, const QString& target, const QString& title);
    // The window as designed, grown by what it has beyond the designed size:
    // the tree and the text hits take the extra room, the rest moves along.
    void layOut();
    void textIndexProgress(int done, int total);
    void textIndexFinished();
    std::unique_ptr<TextSearch> m_text;
    QList<TextHit> m_hits;
    QTimer* m_debounce = nullptr;
    TForm1& m_form;
    AppState& st;
    TreePlace m_place;
    LessonTree m_tree;
    std::vector<QTreeWidgetItem*> m_items; // by node index
    CaptionSearch m_search;
    bool m_built = false;
};

} // namespace orbino
