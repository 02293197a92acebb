#include "tree/integrity.h"

#include "tree/folder_index.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace orbino {

QString integrityTestName(const QString& target) {
    const qsizetype blank = target.indexOf(QLatin1Char(' '));
    return blank < 0 ? target : target.left(blank);
}

namespace {

// Ancestors of a node at depth 1..kPathHead, found in constant time: for
// every node the one at depth kPathHead on its way up (or itself when it is
// higher). Nodes are in depth-first order, so a parent comes before its child.
std::vector<int> headAnchors(const LessonTree& tree) {
    std::vector<int> a(tree.nodes.size());
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const TreeNode& n = tree.nodes[i];
        a[i] = n.depth <= kPathHead || n.parent < 0 ? int(i) : a[size_t(n.parent)];
    }
    return a;
}

// The nodes from depth `from` down to `index`, at most kPathHead +
// kPathTail of them: a deeper path keeps its first and its last nodes, -1
// standing for the ones left out.
std::vector<int> shownPath(const LessonTree& tree, const std::vector<int>& anchors, int index,
                           int from) {
    const int depth = tree.nodes[size_t(index)].depth;
    std::vector<int> path;
    if (depth - from + 1 <= kPathHead + kPathTail) {
        for (int i = index; i >= 0 && tree.nodes[size_t(i)].depth >= from;
             i = tree.nodes[size_t(i)].parent)
            path.push_back(i);
        std::reverse(path.begin(), path.end());
        return path;
    }
    std::vector<int> tail;
    int i = index;
    for (int k = 0; k < kPathTail; ++k, i = tree.nodes[size_t(i)].parent)
        tail.push_back(i);
    std::vector<int> head;
    for (int j = anchors[size_t(index)]; j >= 0 && tree.nodes[size_t(j)].depth >= from;
         j = tree.nodes[size_t(j)].parent)
        head.push_back(j);
    path.assign(head.rbegin(), head.rend());
    path.push_back(-1);
    path.insert(path.end(), tail.rbegin(), tail.rend());
    return path;
}

QString captionPathOf(const LessonTree& tree, const std::vector<int>& anchors, int index) {
    QString out;
    if (index <= 0)
        return out;
    for (const int i : shownPath(tree, anchors, index, 1))
        out +=
            (i < 0 ? QStringLiteral("...") : tree.nodes[size_t(i)].caption) + QStringLiteral(" - ");
    return out;
}

} // namespace

QString captionPath(const LessonTree& tree, int index) {
    return captionPathOf(tree, headAnchors(tree), index);
}

IntegrityReport checkIntegrity(const LessonTree& tree, const QString& searchDir,
                               const QString& levelFolder, const QString& allAround) {
    IntegrityReport r;
    r.lines << levelFolder << QString();
    const FolderIndex folder(searchDir); // read now: the check sees the folder as it is
    // A folder that cannot be read is reported as such by the tree, not as
    // every file in it missing.
    if (!folder.error().isEmpty())
        return r;
    const std::vector<int> anchors = headAnchors(tree);
    // Occurrences of each missing name, for bounding what is listed of it.
    QHash<QString, int> seen;
    QStringList names; // in the order first found
    for (int i = 0; i < tree.size(); ++i) {
        const QString name = integrityTestName(tree.nodes[size_t(i)].target);
        if (name.isEmpty() || folder.hasFile(name))
            continue;
        ++r.missing;
        int& count = seen[name];
        if (count++ == 0)
            names << name;
        if (count <= kShownPerMissingFile)
            r.lines << name + QStringLiteral(" ") + captionPathOf(tree, anchors, i);
    }
    for (const QString& name : names) {
        const int more = seen.value(name) - kShownPerMissingFile;
        if (more > 0)
            r.lines << name + QStringLiteral(" chýba ešte na %1 ďalších miestach").arg(more);
    }
    QHash<QString, int> repeated;
    QStringList repeatedOrder;
    const QString head = allAround + QStringLiteral(" ");
    for (const CyclicReference& c : tree.cycles) {
        ++r.cyclic;
        int& count = repeated[c.list];
        if (count++ == 0)
            repeatedOrder << c.list;
        if (count > kShownPerMissingFile)
            continue;
        r.lines << head + c.list + QStringLiteral(" duplikovany v ") + c.namedBy;
        QString chain;
        for (const int i : shownPath(tree, anchors, c.node, 0))
            chain += (i < 0 ? QStringLiteral("...") : tree.nodes[size_t(i)].target) +
                     QStringLiteral("->");
        r.lines << head + chain;
    }
    for (const QString& list : repeatedOrder) {
        const int more = repeated.value(list) - kShownPerMissingFile;
        if (more > 0)
            r.lines << head + list +
                           QStringLiteral(" duplikovany ešte na %1 ďalších miestach").arg(more);
    }
    return r;
}

ScrollNeed integrityScrollBars(const QStringList& lines) {
    qsizetype longest = 0;
    for (const QString& l : lines)
        longest = std::max(longest, l.size());
    return {lines.size() > 24, longest > 85};
}

} // namespace orbino
