#include "info/ako_window.h"

#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_window.h"
#include "ui_ako_window.h"

#include <QResizeEvent>

namespace orbino {

TOknoAko::TOknoAko(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoAko), st(state) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    makeDisplayOnly(ui->Memo1);
    ui->Memo1->document()->setDocumentMargin(10);
    ui->Label1->adjustSize();
    ui->Label2->adjustSize();
    m_designSize = size();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Memo1, ui->Bevel1, ui->Button2,
                                                      ui->Button1, ui->Label2, ui->Label1, ui->c})
        m_designed << w->geometry();
    setMinimumSize(m_designSize);
    move(howToPosition(st.scale));
    connect(ui->Button1, &QPushButton::clicked, this, &TOknoAko::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TOknoAko::Button2Click);
    connect(ui->c, &QPushButton::clicked, this, &TOknoAko::cClick);
}

TOknoAko::~TOknoAko() {
    delete ui;
}

void TOknoAko::loadText() {
    loadCourseRtf(st, QStringLiteral("ako.rtf"), *ui->Memo1->document());
}

void TOknoAko::Button1Click() {
    openCourseDocument(st, QStringLiteral("PlanPrace.doc"));
}

void TOknoAko::Button2Click() {
    openCourseDocument(st, QStringLiteral("help.doc"));
}

void TOknoAko::cClick() {
    accept();
}

void TOknoAko::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    // The window can be maximized: the text takes the new room and the
    // controls below it keep their distance from the bottom edge.
    if (m_designed.isEmpty())
        return;
    const int dw = width() - m_designSize.width();
    const int dh = height() - m_designSize.height();
    ui->Memo1->resize(m_designed[0].width() + dw, m_designed[0].height() + dh);
    ui->Bevel1->setGeometry(m_designed[1].translated(0, dh).adjusted(0, 0, dw, 0));
    ui->Button2->move(m_designed[2].topLeft() + QPoint(0, dh));
    ui->Button1->move(m_designed[3].topLeft() + QPoint(0, dh));
    ui->Label2->move(m_designed[4].topLeft() + QPoint(0, dh));
    ui->Label1->move(m_designed[5].topLeft() + QPoint(0, dh));
    ui->c->move(m_designed[6].topLeft() + QPoint(dw / 2, dh));
}

} // namespace orbino
