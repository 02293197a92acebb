#pragma once
// "Strom": the tree of everything reachable from the current level, caption
// search, opening a found item, and the integrity check of the lesson files.
#include "tree/lesson_tree.h"

#include <QMainWindow>
#include <vector>

class QTreeWidgetItem;

namespace Ui {
class TOknoHladaj;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoHladaj : public QMainWindow {
    Q_OBJECT
public:
    // `form` is the level window it is opened from: it runs the handlers'
    // error guard and the password windows.
    explicit TOknoHladaj(TForm1& form, QWidget* parent = nullptr);
    ~TOknoHladaj() override;

    Ui::TOknoHladaj* ui;

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
    TForm1& m_form;
    AppState& st;
    TreePlace m_place;
    LessonTree m_tree;
    std::vector<QTreeWidgetItem*> m_items; // by node index
    CaptionSearch m_search;
    bool m_built = false;
};

} // namespace orbino
