#include "info/help_window.h"

#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_window.h"
#include "platform/system.h"
#include "ui_help_window.h"

namespace orbino {

TOknoHelp::TOknoHelp(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoHelp), st(state) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ui->Label2->adjustSize();
    sizeToControls(this, 20);
    if (st.system)
        move(centredPosition(st.system->screen(), size()));
    connect(ui->Button1, &QPushButton::clicked, this, &TOknoHelp::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TOknoHelp::Button2Click);
}

TOknoHelp::~TOknoHelp() {
    delete ui;
}

void TOknoHelp::FormActivate() {
    setWindowTitle(st.CitajKonfig(keys::MenuHelpWindow));
    loadCourseRtf(st, QStringLiteral("Help.rtf"), *ui->Memo1->document());
}

void TOknoHelp::Button1Click() {
    accept();
}

void TOknoHelp::Button2Click() {
    openCourseDocument(st, QStringLiteral("help.doc"));
}

} // namespace orbino
