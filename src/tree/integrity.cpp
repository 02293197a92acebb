#include "tree/integrity.h"

#include "tree/folder_index.h"

#include <algorithm>

namespace orbino {

QString integrityTestName(const QString& target) {
    const qsizetype blank = target.indexOf(QLatin1Char(' '));
    return blank < 0 ? target : target.left(blank);
}

QString captionPath(const LessonTree& tree, int index) {
    QString out;
    for (const QString& c : tree.captionsTo(index))
        out += c + QStringLiteral(" - ");
    return out;
}

IntegrityReport checkIntegrity(const LessonTree& tree, const QString& searchDir, const QString& levelFolder,
                               const QString& allAround) {
    IntegrityReport r;
    r.lines << levelFolder << QString();
    const FolderIndex folder(searchDir); // read now: the check sees the folder as it is
    for (int i = 0; i < tree.size(); ++i) {
        const QString name = integrityTestName(tree.nodes[size_t(i)].target);
        if (name.isEmpty() || folder.hasFile(name))
            continue;
        r.lines << name + QStringLiteral(" ") + captionPath(tree, i);
        ++r.missing;
    }
    for (const CyclicReference& c : tree.cycles) {
        const QString head = allAround + QStringLiteral(" ");
        r.lines << head + c.list + QStringLiteral(" duplikovany v ") + c.namedBy;
        QString chain;
        for (const QString& l : c.chain)
            chain += l + QStringLiteral("->");
        r.lines << head + chain;
        ++r.cyclic;
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
