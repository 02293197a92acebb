#include "tree/lesson_tree.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "tree/folder_index.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>

namespace orbino {

namespace {

// Blanks and control characters off both ends, as the screen builder trims
// an item's file reference. On the raw bytes: Windows-1250 maps bytes up to
// 32 to those characters and no other byte to one of them.
QByteArrayView trimBlanks(QByteArrayView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && uchar(s[b]) <= 32)
        ++b;
    while (e > b && uchar(s[e - 1]) <= 32)
        --e;
    return s.sliced(b, e - b);
}

struct ListItem {
    QString caption;
    QString target;
    QString folded;
};

// Cut at the first "]"; without one the whole line is the target.
ListItem itemOf(QByteArrayView line) {
    ListItem it;
    const qsizetype p = line.indexOf(']');
    if (p < 0) {
        it.target = decode1250(trimBlanks(line));
    } else {
        it.caption = decode1250(line.sliced(1, p - 1));
        it.target = decode1250(trimBlanks(line.sliced(p + 1)));
    }
    it.folded = foldAsciiUpper(it.caption);
    return it;
}

// The item lines of one content list, read once however often it is named;
// nodes share these strings instead of copying them. Lines are decoded only
// as the tree reaches them: a list of millions of "[" lines past the node
// limit keeps its raw bytes while it is read, never an item for each line.
struct ListData {
    QByteArray bytes; // what is not decoded yet; released at the end
    qsizetype offset = 0;
    std::vector<ListItem> items;

    // Whether item `index` exists, decoding up to it.
    bool has(size_t index) {
        while (items.size() <= index && offset < bytes.size()) {
            const qsizetype cr = bytes.indexOf('\r', offset);
            const qsizetype end = cr < 0 ? bytes.size() : cr;
            const QByteArrayView line = QByteArrayView(bytes).sliced(offset, end - offset);
            if (line.startsWith('['))
                items.push_back(itemOf(line));
            offset = cr < 0 ? bytes.size() : cr + 1;
            if (offset < bytes.size() && bytes.at(offset) == '\n')
                ++offset;
        }
        if (offset >= bytes.size() && !bytes.isEmpty()) {
            bytes = QByteArray();
            offset = 0;
            items.shrink_to_fit();
        }
        return index < items.size();
    }
};
using ListItems = std::shared_ptr<ListData>;

// A name of a file in the folder itself, which the folder index gives as it
// is on disk: reading it by that name needs no case-insensitive lookup.
bool isPlainName(const QString& name) {
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !(name.size() >= 2 && name.at(1) == QLatin1Char(':'));
}

// Only the "[" lines are decoded and kept: other lines never become nodes.
ListItems readItems(const QString& dir, const QString& name) {
    auto list = std::make_shared<ListData>();
    list->bytes = readFileBytes(dir + name);
    // Byte 26 ends the file, as for every other reader of course lists.
    if (const qsizetype eof = list->bytes.indexOf('\x1a'); eof >= 0)
        list->bytes.truncate(eof);
    return list;
}

// One content list being read, with the node its items go under.
struct Frame {
    ListItems items;
    size_t next = 0;
    int node = 0;
    QString identity; // resolved path: two spellings of one file are one list
};

} // namespace

QString foldAsciiUpper(const QString& text) {
    const auto lower = [](QChar c) { return c.unicode() >= u'a' && c.unicode() <= u'z'; };
    const auto first = std::find_if(text.cbegin(), text.cend(), lower);
    if (first == text.cend())
        return text; // shared, not copied
    QString out = text;
    for (auto c = out.begin() + (first - text.cbegin()); c != out.end(); ++c)
        if (lower(*c))
            *c = QChar(char16_t(c->unicode() - 32));
    return out;
}

QStringList LessonTree::captionsTo(int index) const {
    QStringList out;
    for (int i = index; i > 0; i = nodes[size_t(i)].parent)
        out.prepend(nodes[size_t(i)].caption);
    return out;
}

QStringList LessonTree::listChain(int index) const {
    QStringList out;
    for (int i = index; i >= 0; i = nodes[size_t(i)].parent)
        out.prepend(nodes[size_t(i)].target);
    return out;
}

LessonTree buildLessonTree(const QString& searchDir, const QString& rootList,
                           const QString& rootCaption) {
    return buildLessonTree(FolderIndex(searchDir), searchDir, rootList, rootCaption);
}

LessonTree buildLessonTree(const FolderIndex& folder, const QString& searchDir,
                           const QString& rootList, const QString& rootCaption) {
    LessonTree tree;
    tree.nodes.push_back({rootCaption, rootList, -1, 0, foldAsciiUpper(rootCaption)});

    // The file chain is the stack of lists being read, root first: the
    // ancestors of the node being added. Explicit rather than recursive, so a
    // very long chain of lists cannot exhaust the call stack.
    std::vector<Frame> chain;
    // Two spellings of one file ("a.txt", "A.TXT", "./a.txt") are one list;
    // otherwise a list could reach itself under ever new names.
    QSet<QString> onChain; // identities of the lists in `chain`
    // Each list is read once; one that cannot be read is reported once.
    QHash<QString, ListItems> read;
    if (!folder.error().isEmpty())
        tree.unreadable << searchDir + QStringLiteral(": ") + folder.error();
    auto open = [&](const QString& list, const QString& identity, int node) {
        auto known = read.constFind(identity);
        if (known == read.cend()) {
            // Only a file of the folder is read; an identity already read was one.
            const QString onDisk = folder.fileName(list);
            if (onDisk.isEmpty())
                return;
            ListItems items;
            try {
                items = readItems(searchDir, isPlainName(list) ? onDisk : list);
            } catch (const FileError& e) {
                // Named as the item names it, whatever its case on disk.
                tree.unreadable << FileError(searchDir + list, e.reason()).message();
            }
            known = read.insert(identity, items);
        }
        if (!*known)
            return;
        Frame f;
        f.items = *known;
        f.node = node;
        f.identity = identity;
        onChain.insert(f.identity);
        chain.push_back(std::move(f));
    };
    open(rootList, folder.identity(rootList), 0);

    while (!chain.empty()) {
        Frame& top = chain.back();
        if (!top.items->has(top.next)) {
            onChain.remove(top.identity);
            chain.pop_back();
            continue;
        }
        // A copy: decoding further items of this list may move them.
        const ListItem item = top.items->items[top.next++];
        if (tree.size() >= kMaxTreeNodes) {
            tree.truncated = true;
            break;
        }
        const int parent = top.node;
        const int node = tree.size();
        tree.nodes.push_back(
            {item.caption, item.target, parent, tree.nodes[size_t(parent)].depth + 1, item.folded});
        // Only a lower-case "txt" ending is followed here, though opening
        // compares the extension in upper case.
        if (!item.target.endsWith(QLatin1String("txt"), Qt::CaseSensitive))
            continue;
        const QString identity = folder.identity(item.target);
        if (onChain.contains(identity)) {
            tree.cycles.push_back({node, item.target, tree.nodes[size_t(parent)].target});
            continue;
        }
        open(item.target, identity, node); // may reallocate `chain`: `top` is not used after this
    }
    return tree;
}

int findCaption(const LessonTree& tree, const QString& text, int from) {
    const QString needle = foldAsciiUpper(text);
    for (int i = std::max(from, 0); i < tree.size(); ++i)
        if (tree.nodes[size_t(i)].folded.contains(needle, Qt::CaseSensitive))
            return i;
    return -1;
}

int CaptionSearch::start(const LessonTree& tree, const QString& text) {
    m_pos = 0;
    return next(tree, text, true);
}

int CaptionSearch::next(const LessonTree& tree, const QString& text) {
    return next(tree, text, false);
}

int CaptionSearch::next(const LessonTree& tree, const QString& text, bool fromRoot) {
    const int found = findCaption(tree, text, fromRoot ? 0 : m_pos + 1);
    // Past the last match the position goes back to the root.
    m_pos = found >= 0 ? found : -1;
    return found;
}

TreePlace treePlace(const AppState& st, int level) {
    const int n = std::clamp(level, 1, kMaxLevel);
    TreePlace p;
    p.levelFolder = st.levels.folder(n);
    p.levelTitle = NahradZnak(p.levelFolder, QStringLiteral("_"), QStringLiteral(" "));
    if (p.levelTitle.startsWith(QLatin1Char('0')))
        p.levelTitle.remove(0, 1);
    p.searchFolder = st.levels.folder(n + 1);
    if (p.searchFolder.startsWith(QLatin1String("__")))
        p.searchFolder = QStringLiteral("0") + p.searchFolder.mid(2);
    else if (p.searchFolder.startsWith(QLatin1Char('_')))
        p.searchFolder = QStringLiteral("0") + p.searchFolder.mid(1);
    p.searchDir = st.programFolder + p.searchFolder + QStringLiteral("/");
    return p;
}

OpenPlan planOpen(const QString& target) {
    OpenPlan plan;
    const qsizetype dot = target.indexOf(QLatin1Char('.'));
    plan.extension = (dot < 0 ? target.left(3) : target.mid(dot + 1, 3)).toUpper();
    const qsizetype blank = target.indexOf(QLatin1Char(' '));
    if (plan.extension == QLatin1String("TXT")) {
        plan.kind = OpenPlan::ContentList;
        plan.fileName = target;
    } else {
        plan.kind =
            plan.extension == QLatin1String("SCM") ? OpenPlan::Demonstration : OpenPlan::Program;
        plan.fileName = blank < 0 ? target : target.left(blank);
        if (plan.kind == OpenPlan::Program && blank >= 0)
            plan.params = target.mid(blank);
    }
    return plan;
}

QString titlePath(const LessonTree& tree, int index) {
    QStringList parts = tree.captionsTo(index);
    parts.prepend(tree.nodes.front().caption);
    QString t =
        NahradZnak(parts.join(QStringLiteral(" - ")), QStringLiteral("_"), QStringLiteral(" "));
    if (t.startsWith(QLatin1Char('0')))
        t.remove(0, 1);
    return t;
}

QStringList secondCopyArgs(const QString& contentList, int selectedItem, const QString& title) {
    QStringList args{contentList, QString::number(selectedItem)};
    args << title.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return args;
}

} // namespace orbino
