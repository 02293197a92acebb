// The smallest Qt Widgets program that shows a window and ends: the
// yardstick Orbino's start-up is measured against. With --text (the figure
// the goal is judged on) the window shows one line of text, so it pays for
// the font database as every window with text does; without, it shows none.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(1000, 700);
    if (app.arguments().contains(QStringLiteral("--text"))) {
        auto* label = new QLabel(QStringLiteral("Práca s počítačom"), &w);
        label->move(20, 20);
    }
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
