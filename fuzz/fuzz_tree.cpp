// The lesson tree and the integrity check on arbitrary content lists: the
// input is cut at zero bytes into up to eight lists (Obsah.txt, a.txt ..
// g.txt) that may name each other, written to a scratch folder. Never a crash;
// the tree keeps its shape and its limit, the report its bounds.
#include "platform/paths.h"
#include "tree/integrity.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace orbino;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Memory-backed when the system has it: eight files are written per input.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/orbino-fuzz-XXXXXX")
                                 : QDir::tempPath() + "/orbino-fuzz-XXXXXX");
    static const QStringList names{"Obsah.txt", "a.txt", "b.txt", "c.txt",
                                   "d.txt",     "e.txt", "f.txt", "g.txt"};
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\0');
    for (qsizetype i = 0; i < names.size(); ++i) {
        QFile f(dir.filePath(names[i]));
        if (i < parts.size()) {
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                std::abort();
            f.write(parts[i]);
        } else {
            f.remove();
        }
    }
    invalidateListing(dir.path());
    const LessonTree tree =
        buildLessonTree(dir.path() + "/", QStringLiteral("Obsah.txt"), QStringLiteral("Deň"));
    if (tree.nodes.empty() || tree.size() > kMaxTreeNodes || tree.nodes.front().parent != -1)
        std::abort();
    for (int i = 1; i < tree.size(); ++i) {
        const TreeNode& n = tree.nodes[size_t(i)];
        if (n.parent < 0 || n.parent >= i || n.depth != tree.nodes[size_t(n.parent)].depth + 1)
            std::abort();
    }
    for (const CyclicReference& c : tree.cycles)
        if (c.node <= 0 || c.node >= tree.size() ||
            tree.listChain(c.node).size() != tree.nodes[size_t(c.node)].depth + 1)
            std::abort();
    const IntegrityReport r =
        checkIntegrity(tree, dir.path() + "/", QStringLiteral("01"), QStringLiteral("x"));
    // At most the first few of each problem are listed, each line bounded.
    if (r.lines.size() >
        2 + qsizetype(kShownPerMissingFile + 1) * (tree.size() + qsizetype(tree.cycles.size())))
        std::abort();
    for (const QString& line : r.lines)
        if (line.size() > (kPathHead + kPathTail + 2) * (qsizetype(size) + 8) + 64)
            std::abort();
    (void)captionPath(tree, tree.size() - 1);
    return 0;
}
