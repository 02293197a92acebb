// Keyboard use on the main and level windows: the Tab order of a screen.
#include "app/keyboard_window.h"
#include "app/main_window.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QMenuBar>

#include <algorithm>

namespace orbino {

void TForm1::keyboardOrder() {
    QList<QWidget*> order{ui->Memo1, ui->Memo2, ui->Label15, ui->Memo3, ui->Memo4};
    // Day and item buttons top to bottom, as they stand on the screen.
    QList<QWidget*> runtime;
    for (QWidget* w : ui->centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->property("runtime").toBool() && w->focusPolicy() != Qt::NoFocus)
            runtime << w;
    std::stable_sort(runtime.begin(), runtime.end(), [](QWidget* a, QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    order << runtime;
    order << QList<QWidget*>{ui->Zadanie, ui->Button1, ui->ComboBox1, ui->ComboBox2,
                             ui->SpeedButton1, ui->SpeedButton2,
                             // the teacher's way in comes last
                             ui->Ako};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    ui->SpeedButton1->setProperty("mnemonicFirst", true);
    ui->SpeedButton2->setProperty("mnemonicFirst", true);
    assignMnemonics(this);
}

} // namespace orbino
