// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of bench_startup: the barest Qt Widgets program, one window the size, place and
// colour of the title screen, built with the same compiler and flags as the program. Given
// --caption, it also draws one line of text in the title's face, to show what text costs.
#include <QApplication>
#include <QLabel>
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
    QLabel caption(&window);
    if (QApplication::arguments().contains(QStringLiteral("--caption"))) {
        caption.setText(QStringLiteral("Habitara Demo"));
        caption.setFont(QFont(QStringLiteral("Times New Roman"), 22, QFont::Bold));
        caption.setGeometry(0, 20, size.width(), 55);
        caption.setAlignment(Qt::AlignCenter);
    }
    window.show();
    return QApplication::exec();
}
