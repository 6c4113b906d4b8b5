// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of bench_startup: the barest Qt Widgets program, one window the size, place and
// colour of the title screen, built with the same compiler and flags as the program.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral(" "));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    const QSize size(364, 438);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.setGeometry(QRect(screen.center() - QPoint(size.width() / 2, size.height() / 2), size));
    window.show();
    return QApplication::exec();
}
