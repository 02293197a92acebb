#include "content/password_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "content/teacher_password.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "ui_password_window.h"

#include <QGuiApplication>

namespace orbino {

PasswordWindowBase::PasswordWindowBase(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoHeslo), st(state) {
    ui->setupUi(this);
    // No title-bar buttons: the window ends through OK or Zruš only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(st.CitajKonfig(keys::InputPassword));
    ui->Button1->setText(st.CitajKonfig(keys::WindPasswordOk));
    ui->Button2->setText(st.CitajKonfig(keys::WindPasswordCancel));
    st.launchPermission = false;
    connect(ui->Button1, &QPushButton::clicked, this, &PasswordWindowBase::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &PasswordWindowBase::Button2Click);
    connect(this, &QDialog::rejected, this, [this] { st.launchPermission = false; });
    ui->MaskEdit1->setFocus();
}

PasswordWindowBase::~PasswordWindowBase() {
    delete ui;
}

void PasswordWindowBase::Button1Click() {
    const QString typed = ui->MaskEdit1->text().trimmed();
    bool right = false;
    // The teacher password's slow hash takes a moment on purpose.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        right = !typed.isEmpty() && accepts(typed);
        QGuiApplication::restoreOverrideCursor();
    } catch (const FileError& e) {
        QGuiApplication::restoreOverrideCursor();
        // No password can be checked against a damaged store: say so and give up.
        st.launchPermission = false;
        st.message(MsgKind::Error, e.message());
        reject();
        return;
    }
    if (right) {
        st.launchPermission = true;
        accept();
        return;
    }
    st.launchPermission = false;
    st.message(MsgKind::Warning, st.CitajKonfig(keys::IncorrectPassword));
    ui->MaskEdit1->clear();
    ui->MaskEdit1->setFocus();
}

void PasswordWindowBase::Button2Click() {
    st.launchPermission = false;
    reject();
}

TOknoHeslo::TOknoHeslo(AppState& state, QWidget* parent) : PasswordWindowBase(state, parent) {
    setObjectName(QStringLiteral("TOknoHeslo"));
    setFixedSize(324, 205);
}

bool TOknoHeslo::accepts(const QString& typed) {
    if (!verifyTeacherPassword(st.programFolder, typed))
        return false;
    st.teacherLoggedIn = true;
    return true;
}

TOknoHesloZ::TOknoHesloZ(AppState& state, QWidget* parent) : PasswordWindowBase(state, parent) {
    setObjectName(QStringLiteral("TOknoHesloZ"));
    ui->Label1->show();
    // Sized to the content, with the 40-pixel border all round.
    const int labelWidth = ui->Label1->sizeHint().width();
    if (labelWidth > ui->Label1->width()) {
        const int grow = labelWidth - ui->Label1->width();
        ui->Label1->resize(labelWidth, ui->Label1->height());
        ui->MaskEdit1->resize(ui->MaskEdit1->width() + grow, ui->MaskEdit1->height());
        ui->Button2->move(ui->Button2->x() + grow, ui->Button2->y());
    }
    setFixedSize(ui->Label1->x() + ui->Label1->width() + 40,
                 ui->Button1->y() + ui->Button1->height() + 40);
}

bool TOknoHesloZ::accepts(const QString& typed) {
    const int day = st.selectedItem;
    // A day outside the table has no password, so nothing opens it.
    if (day < 1 || day > st.dayPasswords.size() || typed != st.dayPasswords.at(day - 1))
        return false;
    st.solutionPasswordFlag = true;
    return true;
}

bool teacherGate(TForm1& form) {
    if (form.st.teacherLoggedIn) {
        form.st.launchPermission = true;
        return true;
    }
    TOknoHeslo w(form.st, &form);
    form.modal.exec(&w);
    return form.st.launchPermission;
}

bool dayPasswordGate(TForm1& form) {
    if (form.st.solutionPasswordFlag) {
        form.st.launchPermission = true;
        return true;
    }
    TOknoHesloZ w(form.st, &form);
    form.modal.exec(&w);
    return form.st.launchPermission;
}

} // namespace orbino
