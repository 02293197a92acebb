// The content list reader and the walk that makes a screen, on arbitrary
// bytes: never a crash, never more than 20 slots, and what the walk shows
// really comes from the stored lines.
#include "platform/textfile.h"
#include "screens/content_list.h"

#include <cstdint>
#include <cstdlib>

using namespace orbino;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = splitLines1250(bytes);
    const ContentList list = parseContentList(lines);
    if (list.lineCount < 1 || list.lineCount > kContentSlots || list.droppedLines < 0)
        std::abort();
    if (!list.lines[0].isEmpty() || list.blockEnd[0])
        std::abort();

    const ScreenContent screen = walkContentList(list);
    if (!list.hasMarkup &&
        (!screen.description.isEmpty() || !screen.itemSlots.isEmpty() || !screen.links.isEmpty()))
        std::abort();
    int previous = 0;
    for (const int slot : screen.itemSlots) {
        if (slot <= previous || slot > list.lineCount)
            std::abort();
        previous = slot;
        const QString& line = list.lines[size_t(slot)];
        if (!line.startsWith(QLatin1Char('[')))
            std::abort();
        const ContentItem item = parseItemLine(line);
        if (item.caption.size() >= line.size() || item.reference != item.reference.trimmed())
            std::abort();
        const QString ext = referenceExt(item.reference);
        if (ext.size() > 3)
            std::abort();
        (void)twinName(item.reference, QStringLiteral("bak"));
    }
    // Every link shown is a "//" line of the file.
    const QStringList fileLinks = linkLinesOf(lines);
    for (const QString& link : screen.links)
        if (!fileLinks.contains(link))
            std::abort();
    if (screen.links.size() > kContentSlots || screen.description.size() > kContentSlots)
        std::abort();
    return 0;
}
