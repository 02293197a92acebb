#include "app/mnemonics.h"

namespace orbino {

namespace {
bool typeable(QChar c) {
    const char16_t u = c.toLower().unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
}
} // namespace

int mnemonicPosition(const QString& caption, QSet<QChar>& used) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (typeable(c) && !used.contains(c.toLower())) {
            used.insert(c.toLower());
            return int(i);
        }
    }
    return -1;
}

QString markMnemonic(const QString& caption, int pos) {
    QString out;
    out.reserve(caption.size() + 4);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (i == pos)
            out += u'&';
        if (caption.at(i) == u'&')
            out += u'&';
        out += caption.at(i);
    }
    return out;
}

QString withoutMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 < text.size() && text.at(i + 1) == u'&')
                ++i;
            else
                continue;
        }
        out += text.at(i);
    }
    return out;
}

QChar mnemonicKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return {};
}

} // namespace orbino
