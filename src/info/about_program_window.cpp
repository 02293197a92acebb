#include "info/about_program_window.h"

#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_texts.h"
#include "info/info_window.h"
#include "ui_about_program_window.h"

namespace orbino {

TOknoOPrg::TOknoOPrg(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoOPrg), st(state) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(st.CitajKonfig(keys::MenuAboutWriteUs));

    ui->Label3->setText(authorsText());
    ui->Label1->setText(contactMailAddress());
    makeClickable(ui->Label1, [this] { Label1Click(); });
    // Short texts stand centred under the heading rather than hanging off
    // their designed left edges.
    const int middle = ui->Label2->geometry().center().x();
    for (QLabel* l : {ui->Label3, ui->Label1, ui->Label5}) {
        l->adjustSize();
        l->move(middle - l->width() / 2, l->y());
    }

    // Both panels hold trailing empty lines that need not fit; they show
    // without scroll bars.
    for (QTextEdit* m : {ui->Memo2, ui->Memo3}) {
        makeDisplayOnly(m);
        m->document()->setDocumentMargin(2);
    }
    ui->Memo2->setPlainText(QStringLiteral("Prípadne na adresu:\n\n\n"));
    ui->Memo3->setPlainText(postalAddressLines().join(QLatin1Char('\n')));
    centreLines(ui->Memo2);
    centreLines(ui->Memo3);

    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    sizeToControls(this, 10);
}

TOknoOPrg::~TOknoOPrg() {
    delete ui;
}

void TOknoOPrg::Label1Click() {
    openAddress(st, ui->Label1->text(), true);
}

} // namespace orbino
