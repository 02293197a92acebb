#include "info/reklama_window.h"

#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_texts.h"
#include "info/info_window.h"
#include "ui_reklama_window.h"

namespace orbino {

TOknoReklama::TOknoReklama(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoReklama), st(state) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    makeDisplayOnly(ui->Memo1);
    ui->Memo1->setPlainText(trademarkLines().join(QLatin1Char('\n')));
    centreLines(ui->Memo1);

    const QList<CreditLine> credits = creditLines();
    const QList<QLabel*> what{ui->Label1, ui->Label3, ui->Label5, ui->Label7};
    const QList<QLabel*> where{ui->Label2, ui->Label4, ui->Label6, ui->Label8};
    const QList<void (TOknoReklama::*)()> clicks{
        &TOknoReklama::Label2Click, &TOknoReklama::Label4Click, &TOknoReklama::Label6Click,
        &TOknoReklama::Label8Click};
    for (int i = 0; i < what.size(); ++i) {
        what[i]->setText(credits.value(i).what);
        where[i]->setText(credits.value(i).address);
        const auto click = clicks[i];
        makeClickable(where[i], [this, click] { (this->*click)(); });
        where[i]->adjustSize();
        // Each address stands on the same line as what it credits.
        const int middle = what[i]->y() + what[i]->sizeHint().height() / 2;
        where[i]->move(where[i]->x(), middle - where[i]->height() / 2);
    }

    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    sizeToControls(this, 10);
}

TOknoReklama::~TOknoReklama() {
    delete ui;
}

void TOknoReklama::Label2Click() {
    openAddress(st, ui->Label2->text(), false);
}
void TOknoReklama::Label4Click() {
    openAddress(st, ui->Label4->text(), false);
}
void TOknoReklama::Label6Click() {
    openAddress(st, ui->Label6->text(), false);
}
void TOknoReklama::Label8Click() {
    openAddress(st, ui->Label8->text(), false);
}

} // namespace orbino
