#include "info/info_texts.h"

namespace orbino {

namespace {

// One string as the about window has always kept it: ";" ends a line.
const char16_t kAboutText[] =
    u"Publikácia č. ORB-1, verzia 1.0, autori: tím Orbino;"
    u"Recenzia: tím Orbino;"
    u";"
    u"Autori si vyhradzujú všetky práva k programu aj k obsahu kurzu. "
    u"Program ani jeho obsah nie je dovolené kopírovať ani šíriť bez súhlasu autorov.;"
    u";"
    u"Kurz je príbeh v 16 dňoch, ktoré zodpovedajú 32 vyučovacím hodinám, "
    u"teda plánu celého školského roka.;"
    u"Odporúčame ho vyučovať v dvojhodinových blokoch raz za dva týždne.;"
    u";"
    u"Na samostatné štúdium ponúkame aj ďalšie CD s kurzom.;"
    u";"
    u"Bližšie informácie:;";

// "orbino@example.org", lowered by kMailLabelKey.
const char kStoredMailLabel[] =
    "\x6c\x6f\x5f\x66\x6b\x6c\x3d\x62\x75\x5e\x6a\x6d\x69\x62\x2b\x6c\x6f\x64";

QByteArray shifted(const QByteArray& in, int by) {
    QByteArray out = in;
    for (char& c : out)
        c = char((quint8(c) + by) & 0xff);
    return out;
}

} // namespace

QStringList splitAtSemicolons(const QString& text) {
    QStringList lines = text.split(QLatin1Char(';'));
    // split() leaves one piece after the last ";": nothing follows it, so it
    // is no line (and an empty text gives no line either).
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray scrambleLabel(const QByteArray& plain, int key) {
    return shifted(plain, 256 - (key & 0xff));
}

QByteArray unscrambleLabel(const QByteArray& stored, int key) {
    return shifted(stored, key & 0xff);
}

QByteArray storedMailLabel() {
    return QByteArray(kStoredMailLabel);
}

QString contactMailAddress() {
    return QString::fromLatin1(unscrambleLabel(storedMailLabel()));
}

QStringList aboutLines() {
    return splitAtSemicolons(QString::fromUtf16(kAboutText));
}

QString authorsText() {
    return QStringLiteral("tím Orbino");
}

QStringList postalAddressLines() {
    return {QStringLiteral("tím Orbino"),
            QStringLiteral("projekt Orbino"),
            QStringLiteral("poštovú adresu nájdete na stránke"),
            QStringLiteral("https://orbino.example.org"),
            QString(),
            QString(),
            QStringLiteral("Ď A K U J E M E ..."),
            QString()};
}

QStringList trademarkLines() {
    return {QStringLiteral("Názvy výrobkov a firiem, ktoré sa objavujú v ukážkach a lekciách,"),
            QStringLiteral("môžu byť ochrannými známkami alebo registrovanými ochrannými"),
            QStringLiteral("známkami svojich vlastníkov."),
            QStringLiteral("Autori ich používajú len na vysvetlenie učiva"),
            QStringLiteral("a s plným rešpektovaním práv ich vlastníkov."),
            QStringLiteral("tím Orbino")};
}

QList<CreditLine> creditLines() {
    return {
        {QStringLiteral("Príprava software: "), QStringLiteral("https://orbino.example.org/vyvoj")},
        {QStringLiteral("Výukové lekcie: Microsoft Office"),
         QStringLiteral("https://orbino.example.org/lekcie")},
        {QStringLiteral("Príprava animácií: "),
         QStringLiteral("https://orbino.example.org/animacie")},
        {QStringLiteral("Distribúcia software a servis počítačov"),
         QStringLiteral("https://orbino.example.org/servis")}};
}

} // namespace orbino
