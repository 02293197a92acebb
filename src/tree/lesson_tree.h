#pragma once
// The tree of everything reachable from one content list, and the caption
// search over it. No widgets: the tree window only shows what is built here.
#include <QString>
#include <QStringList>

#include <vector>

namespace orbino {

class FolderIndex;

class AppState;

// Lists named from several places are read under each, so a course whose
// lists name each other many times over could grow without end; building
// stops here instead.
inline constexpr int kMaxTreeNodes = 200000;

struct TreeNode {
    QString caption; // text between "[" and the first "]"; the level title for the root
    QString target;  // text after that "]", blanks trimmed; the root list name for the root
    int parent = -1; // index of the parent node, -1 for the root
    int depth = 0;   // 0 for the root
    QString folded;  // caption with only "a".."z" raised, for the search
};

// A content list that names a list already being read above it. It is shown
// once, as a leaf, and not read again.
struct CyclicReference {
    int node = 0;    // the leaf that names it
    QString list;    // the repeated list as the item names it
    QString namedBy; // the list whose item names it
    // The lists being read at that moment are LessonTree::listChain(node):
    // kept as the nodes' parent links, not copied for every cycle.
};

// Nodes are kept in depth-first order, so a node's index is its position in
// the fully expanded tree (root = 0) and its children follow it directly.
class LessonTree {
public:
    std::vector<TreeNode> nodes;
    std::vector<CyclicReference> cycles;
    QStringList unreadable; // lists that exist but could not be read ("path: reason")
    bool truncated = false; // building stopped at kMaxTreeNodes

    int size() const { return int(nodes.size()); }
    // Captions from the first level below the root down to `index`.
    QStringList captionsTo(int index) const;
    // Targets from the root list down to `index` (the lists being read when
    // that node was added, and its own target last).
    QStringList listChain(int index) const;
};

// Reads `rootList` in `searchDir` (which ends with "/") and every further
// content list its items name, recursively; all files are looked up in that
// one folder, names matched without regard to case. Only targets whose last
// three characters are "txt" in lower case are followed. A list that does not
// exist stays a leaf. Each list is read once however often it is named, and
// nodes share its strings. Never throws: unreadable lists (and an unreadable
// folder) are collected instead, each once.
// Stops (and sets `truncated`) once the tree holds kMaxTreeNodes nodes.
LessonTree buildLessonTree(const QString& searchDir, const QString& rootList,
                           const QString& rootCaption);
// The same with the folder's listing read already (`folder` is `searchDir`),
// for a caller that looks the folder's files up again afterwards.
LessonTree buildLessonTree(const FolderIndex& folder, const QString& searchDir,
                           const QString& rootList, const QString& rootCaption);

// Raises only "a".."z"; letters with diacritics keep their case.
QString foldAsciiUpper(const QString& text);

// Index of the first node at or after `from` whose caption contains `text`
// under foldAsciiUpper, or -1.
int findCaption(const LessonTree& tree, const QString& text, int from);

// Search position of the tree window: a new search starts at the root, a
// search on continues after the last match, and once the end has been
// reached the next search on starts at the root again.
class CaptionSearch {
public:
    int start(const LessonTree& tree, const QString& text);
    int next(const LessonTree& tree, const QString& text);
    int position() const { return m_pos; }

private:
    int next(const LessonTree& tree, const QString& text, bool fromRoot);
    int m_pos = -1; // last match; -1 before the first and after the end
};

// Values the tree window derives from the level tables for level n.
struct TreePlace {
    QString levelTitle; // level folder name[n], "_" as blanks, a leading "0" dropped
    QString searchFolder;
    QString searchDir;   // program folder + search folder + "/"
    QString levelFolder; // level folder name[n], unchanged
};
TreePlace treePlace(const AppState& st, int level);

// What opening a target from the tree does.
struct OpenPlan {
    enum Kind { Program, Demonstration, ContentList } kind = Program;
    QString extension; // three characters after the first ".", upper case
    QString fileName;  // before the first blank (whole target for a content list)
    QString params;    // from the first blank on, blank included (programs only)
};
OpenPlan planOpen(const QString& target);

// The title path handed to a second copy: captions from the root down to
// `index`, joined by " - ", "_" as blanks, a leading "0" dropped. Not cut at
// any depth.
QString titlePath(const LessonTree& tree, int index);

// Arguments of the second copy: the content list, the selected item number,
// then the title path word by word (the receiver joins them with blanks).
QStringList secondCopyArgs(const QString& contentList, int selectedItem, const QString& title);

} // namespace orbino
