#include "tools/tool_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/system.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>

namespace orbino {

void fitToControls(QWidget* window, int border) {
    QRect extent;
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : children)
        if (!c->isWindow())
            extent = extent.united(c->geometry());
    if (extent.isNull())
        return;
    const QPoint shift(border - extent.left(), border - extent.top());
    for (QWidget* c : children)
        if (!c->isWindow())
            c->move(c->pos() + shift);
    window->setFixedSize(extent.width() + 2 * border, extent.height() + 2 * border);
}

void centreOnScreen(QWidget* window, const AppState& st) {
    if (!st.system)
        return;
    const ScreenMetrics s = st.system->screen();
    // Halves truncated toward zero, as integer division does.
    window->move((s.width - window->width()) / 2, (s.height - window->height()) / 2);
}

void frameToolWindow(QDialog* window, std::initializer_list<QPushButton*> plainButtons,
                     const AppState* centreFor) {
    for (QPushButton* b : plainButtons)
        b->setAutoDefault(false);
    window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    fitToControls(window, 20);
    if (centreFor)
        centreOnScreen(window, *centreFor);
}

void onClickGuarded(TForm1& form, QAbstractButton* button, QObject* context,
                    std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, context,
                     [&form, handler = std::move(handler)] { form.guard(handler); });
}

void execModal(TForm1& form, QWidget* window) {
    form.modal.exec(window);
}

} // namespace orbino
