#include "screens/screen_rules.h"

#include "app/app_state.h"
#include "platform/paths.h"

#include <algorithm>
#include <cmath>

namespace orbino {

int nearest(double x) {
    return int(std::nearbyint(x));
}

DayListing listDayFolders(const QString& programFolder) {
    DayListing out;
    // "/" stands for the drive and counts as one component.
    const QString native = fromWindowsPath(programFolder);
    int components = 1;
    for (const QString& part : native.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (part != QLatin1String("."))
            ++components;
    out.first = components + 1;

    QStringList names;
    for (const DirEntry& e : listFolder(programFolder))
        if (e.isDir && !e.hidden && e.name != QLatin1String(".") && e.name != QLatin1String(".."))
            names << e.name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    int index = out.first;
    for (const QString& n : names)
        out.days.append({index++, n, dayCaption(n)});
    out.last = index - 1;
    return out;
}

QString dayCaption(const QString& folder) {
    QString caption = NahradZnak(folder, QStringLiteral("_"), QStringLiteral(" "));
    if (caption.startsWith(QLatin1Char('0')))
        caption = QStringLiteral("  ") + caption.mid(1);
    return caption;
}

QString dayFolderFromCaption(const QString& caption) {
    return NahradZnak(caption, QStringLiteral(" "), QStringLiteral("_"));
}

std::optional<int> dayNumberFromCaption(const QString& caption) {
    const QString t = caption.trimmed();
    const QString digits = t.size() >= 2 && t.at(1) == QLatin1Char('.') ? t.left(1) : t.left(2);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return digits.toInt();
}

DayButtonFont dayButtonFont(int scale, const QString& caption) {
    DayButtonFont f;
    if (scale == 10) {
        f.pointSize = 10;
        f.bold = caption.size() > 20;
    } else {
        f.pointSize = caption.size() > 15 ? 9 : 10;
    }
    return f;
}

TrimmedCaption trimCaption(const QString& caption, int limit) {
    if (caption.size() > limit && caption.size() != limit + 1)
        return {caption.left(limit) + QStringLiteral("."), true};
    return {caption, false};
}

QString glyphPicture(const QString& programFolder, const QString& levelFolderName,
                     const QString& caption, const QString& extension, const QString& examCaption) {
    return glyphPicture(programFolder, levelFolderName, caption, extension, examCaption,
                        [](const QString& path) { return isFile(path); });
}

QString glyphPicture(const QString& programFolder, const QString& levelFolderName,
                     const QString& caption, const QString& extension, const QString& examCaption,
                     const std::function<bool(const QString&)>& exists) {
    static const struct {
        const char16_t* caption;
        const char* picture;
    } special[] = {
        {u"Vyučujúci", "ucitel.BMP"},
        {u"Žiak", "ziak.BMP"},
        {u"Učebný plán", "plan.BMP"},
        {u"Materiál pre žiakov", "preZ.BMP"},
        {u"Pripraviť pred hodinou", "predH.BMP"},
        {u"Obsah výučby", "vyucba.BMP"},
        {u"Príbeh", "pribeh.BMP"},
        {u"Úlohy", "ulohyT.BMP"},
        {u"Vyskúšaj sa", "skusaj.BMP"},
        {u"Ohodnoť sa", "hodnot.BMP"},
        {u"Zadanie úloh", "zadanie.BMP"},
    };
    const QString inLevel = programFolder + levelFolderName + QStringLiteral("/");
    auto firstOf = [&exists](const QStringList& candidates) {
        for (const QString& c : candidates)
            if (exists(c))
                return c;
        return QString();
    };

    QString picture;
    if (caption == examCaption) {
        picture = QStringLiteral("EXAM.BMP");
    } else {
        for (const auto& s : special)
            if (caption == QString::fromUtf16(s.caption))
                picture = QString::fromLatin1(s.picture);
    }
    if (!picture.isEmpty())
        return firstOf({inLevel + picture, programFolder + picture});

    const QString byExt = extension + QStringLiteral(".BMP");
    const QString fallback = extension.toUpper() == QLatin1String("TXT")
                                 ? QStringLiteral("Text.BMP")
                                 : QStringLiteral("Play.BMP");
    return firstOf({inLevel + byExt, programFolder + byExt, programFolder + fallback});
}

QString levelHeading(bool searchMode, int level, const QString& levelFolderName,
                     const QString& belowHeading, const QString& pressedItemTitle,
                     const QString& searchTitle) {
    QString h;
    if (searchMode && level == 1)
        h = searchTitle;
    else if (!searchMode && level == 2)
        h = NahradZnak(levelFolderName, QStringLiteral("_"), QStringLiteral(" "));
    else
        h = belowHeading + QStringLiteral(" - ") + pressedItemTitle;
    if (h.startsWith(QLatin1Char('0')))
        h.remove(0, 1);
    return h;
}

std::optional<long long> headingColour(const QString& heading) {
    std::optional<long long> c;
    if (heading.contains(QStringLiteral("Žiak")))
        c = 0xE6FFFF;
    if (heading.contains(QStringLiteral("Vyučujúci")))
        c = 0xDDDAFE;
    return c;
}

bool headingHidesHowTo(const QString& heading) {
    return heading.contains(QStringLiteral("Žiak"));
}

SearchPlace splitSearchPath(const QString& path) {
    const QString p = QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype last = p.lastIndexOf(QLatin1Char('/'));
    SearchPlace out;
    out.listFile = last >= 0 ? p.mid(last + 1) : p;
    if (last > 0) {
        const qsizetype before = p.lastIndexOf(QLatin1Char('/'), last - 1);
        out.folder = p.mid(before + 1, last - before - 1);
    }
    return out;
}

} // namespace orbino
