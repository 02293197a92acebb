#include "content/picture_window.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/picture.h"
#include "platform/textfile.h"
#include "ui_picture_window.h"

#include <QPixmap>

namespace orbino {

namespace {
// Designed distance of Button1 from the window's bottom right corner.
constexpr int kButtonRight = 22;
constexpr int kButtonBottom = 17;
} // namespace

TOknoObrazku::TOknoObrazku(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoObrazku), st(state) {
    ui->setupUi(this);
    setWindowTitle(st.CitajKonfig(keys::WindowPicture));
    ui->Button1->setText(st.CitajKonfig(keys::WindowPictureClose));
    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    ui->Button1->raise();
}

TOknoObrazku::~TOknoObrazku() {
    delete ui;
}

void TOknoObrazku::loadPicture(const QString& path) {
    const QImage image = readPicture(path);
    if (image.isNull())
        throw FileError(path, QStringLiteral("nie je obrázok, ktorý sa dá zobraziť"));
    ui->Image1->setPixmap(QPixmap::fromImage(forScreen(image, ui->Image1->devicePixelRatioF())));
    ui->Image1->resize(image.size());
    FormResize();
}

void TOknoObrazku::FormResize() {
    ui->scrollArea->setGeometry(rect());
    ui->Button1->move(width() - ui->Button1->width() - kButtonRight,
                      height() - ui->Button1->height() - kButtonBottom);
}

void TOknoObrazku::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

} // namespace orbino
