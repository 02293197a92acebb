#include "info/about_window.h"

#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_texts.h"
#include "info/info_window.h"
#include "platform/system.h"
#include "ui_about_window.h"

namespace orbino {

TOknoAbout::TOknoAbout(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoAbout), st(state) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(st.CitajKonfig(keys::MenuAbout));
    makeDisplayOnly(ui->Memo1);
    ui->Memo1->setPlainText(aboutLines().join(QLatin1Char('\n')));
    centreLines(ui->Memo1);

    // The address is unscrambled only now, for the label.
    ui->Label1->setText(contactMailAddress());
    makeClickable(ui->Label1, [this] { Label1Click(); });
    ui->Label1->adjustSize();
    const int middle = ui->Memo1->geometry().center().x();
    ui->Label1->move(middle - ui->Label1->width() / 2, ui->Label1->y());

    connect(ui->c, &QPushButton::clicked, this, &QDialog::accept);
    sizeToControls(this, 10);
    if (st.system)
        move(centredPosition(st.system->screen(), size()));
}

TOknoAbout::~TOknoAbout() {
    delete ui;
}

void TOknoAbout::Label1Click() {
    openAddress(st, ui->Label1->text(), true);
}

} // namespace orbino
