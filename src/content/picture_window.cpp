#include "content/picture_window.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/picture.h"
#include "platform/textfile.h"
#include "ui_picture_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <algorithm>

namespace orbino {

namespace {
// Designed distance of Button1 from the window's bottom right corner.
constexpr int kButtonRight = 22;
constexpr int kButtonBottom = 17;
// Room below the picture for Button1 and the fit switch.
constexpr int kBottomRoom = 2 * kButtonBottom + 25;
} // namespace

TOknoObrazku::TOknoObrazku(AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoObrazku), st(state) {
    ui->setupUi(this);
    setWindowTitle(st.CitajKonfig(keys::WindowPicture));
    ui->Button1->setText(st.CitajKonfig(keys::WindowPictureClose));
    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Shown only for a picture larger than the window.
    m_fit = new QCheckBox(QStringLiteral("Prispôsobiť oknu"), this);
    m_fit->setAccessibleName(QStringLiteral("Prispôsobiť obrázok oknu"));
    m_fit->hide();
    connect(m_fit, &QCheckBox::toggled, this, [this] { showPicture(); });
    ui->Button1->raise();
}

TOknoObrazku::~TOknoObrazku() {
    delete ui;
}

void TOknoObrazku::loadPicture(const QString& path) {
    const QImage image = readPicture(path);
    if (image.isNull())
        throw FileError(path, QStringLiteral("nie je obrázok, ktorý sa dá zobraziť"));
    m_image = image;
    // The window takes the picture's size (the screen's zoom draws it as
    // large as the rest), up to 90% of the screen; never smaller than designed.
    QSize want = image.size() + QSize(2, kBottomRoom);
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect free = screen->availableGeometry();
        want = want.boundedTo(QSize(free.width() * 9 / 10, free.height() * 9 / 10));
    }
    resize(want.expandedTo(size()));
    showPicture();
}

void TOknoObrazku::showPicture() {
    if (m_image.isNull())
        return;
    const QSize room = ui->scrollArea->viewport()->size();
    const bool larger = m_image.width() > room.width() || m_image.height() > room.height();
    m_fit->setVisible(larger || m_fit->isChecked());
    QSize shown = m_image.size();
    if (m_fit->isChecked() && larger)
        shown = m_image.size().scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const qreal dpr = ui->Image1->devicePixelRatioF();
    QImage img = m_image;
    if (shown != m_image.size())
        img = m_image.scaled(shown * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else
        img = forScreen(m_image, dpr);
    img.setDevicePixelRatio(dpr);
    ui->Image1->setPixmap(QPixmap::fromImage(img));
    ui->Image1->resize(shown);
}

void TOknoObrazku::FormResize() {
    // The picture's place ends above the buttons' row.
    ui->scrollArea->setGeometry(0, 0, width(), std::max(1, height() - kBottomRoom + kButtonBottom));
    ui->Button1->move(width() - ui->Button1->width() - kButtonRight,
                      height() - ui->Button1->height() - kButtonBottom);
    m_fit->adjustSize();
    m_fit->move(kButtonRight, ui->Button1->y() + (ui->Button1->height() - m_fit->height()) / 2);
}

void TOknoObrazku::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
    showPicture();
}

} // namespace orbino
