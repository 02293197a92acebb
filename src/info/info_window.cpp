#include "info/info_window.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

namespace orbino {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QLabel* label, std::function<void()> f) : QObject(label), m_onClick(std::move(f)) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(e);
            auto* w = static_cast<QWidget*>(o);
            if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) {
                m_onClick();
                return true;
            }
        }
        return QObject::eventFilter(o, e);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

void sizeToControls(QWidget* w, int border) {
    QRect box;
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->isWindow() || c->isHidden())
            continue;
        c->move(c->pos() + QPoint(border, border));
        box |= c->geometry();
    }
    // The designed places start at the border, so the box's far edges plus
    // the border make the window; a control left of or above zero does not
    // widen it.
    w->setFixedSize(box.right() + 1 + border, box.bottom() + 1 + border);
}

void makeDisplayOnly(QTextEdit* memo, bool silver) {
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::NoTextInteraction);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setFrameShape(QFrame::NoFrame);
    memo->viewport()->setCursor(Qt::ArrowCursor);
    if (silver) {
        QPalette p = memo->palette();
        p.setColor(QPalette::Base, QColor(0xc0, 0xc0, 0xc0));
        memo->setPalette(p);
    }
}

void centreLines(QTextEdit* memo) {
    QTextCursor c(memo->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat f;
    f.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(f);
}

void makeClickable(QLabel* label, std::function<void()> onClick) {
    label->setCursor(Qt::PointingHandCursor);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0xc0));
    label->setPalette(p);
    QFont f = label->font();
    f.setUnderline(true);
    label->setFont(f);
    label->installEventFilter(new ClickFilter(label, std::move(onClick)));
}

} // namespace orbino
