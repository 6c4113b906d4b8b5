// SPDX-License-Identifier: GPL-3.0-or-later
// The yardsticks of bench_startup, built with the same compiler and flags as the program:
//   (no option)  the barest Qt Widgets program, one window the size, place and colour of the
//                title screen;
//   --caption    the same with one line of text in the title's face, to show what text costs;
//   --title-screen
//                the title screen's own content over its backdrop, made the plain Qt way: the
//                same five captions in the same faces and sizes, the same picture and two
//                buttons, in stock widgets, everything loaded and drawn on the one thread.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {

/// Twips, the program's unit of design, in pixels at the design's size.
QRect px(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QFont face(const char *family, double points, bool bold = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    font.setBold(bold);
    return font;
}

void paint(QWidget &widget, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

/// The title screen's captions, picture and buttons, where the program places them.
void fillTitle(QWidget &window)
{
    const QColor blue(0, 0, 192), green(0, 128, 0);
    struct Caption
    {
        const char *text;
        QRect box;
        QFont font;
        QColor color;
    };
    const Caption captions[] = {
        {"Habitara Demo", px(60, 210, 5355, 825), face("Times New Roman", 21.75, true), blue},
        {"Written by Ruth Penhaligon", px(360, 4890, 4695, 375), face("Times New Roman", 14.25),
         blue},
        {"Programmed by Daniel Okafor", px(480, 5220, 4455, 375), face("Times New Roman", 12),
         blue},
        {"Series editor: Margaret Ellison", px(480, 5550, 4455, 375),
         face("Times New Roman", 12), blue},
        {"Quillmoor Publishing Ltd - free software under the GNU GPL", px(0, 6330, 5415, 255),
         face("Arial", 8.25), green},
    };
    for (const Caption &c : captions) {
        auto *label = new QLabel(QString::fromLatin1(c.text), &window);
        label->setGeometry(c.box);
        label->setFont(c.font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, c.color);
        label->setPalette(palette);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    auto *picture = new QLabel(&window);
    picture->setGeometry(px(300, 1050, 4860, 3660));
    // Shown at its own size, as the program does with a picture that fits its box.
    const QPixmap pixmap(QStringLiteral("images/andesmd.jpg"));
    const bool fits = pixmap.width() <= picture->width() && pixmap.height() <= picture->height();
    picture->setPixmap(fits ? pixmap
                            : pixmap.scaled(picture->size(), Qt::KeepAspectRatio,
                                            Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (const auto &[caption, left] : {std::pair{"OK", 1320}, std::pair{"Exit", 2760}}) {
        auto *button = new QPushButton(QString::fromLatin1(caption), &window);
        button->setGeometry(px(left, 5910, 1335, 375));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget backdrop;
    QWidget window;
    if (arguments.contains(QStringLiteral("--title-screen"))) {
        backdrop.setWindowFlag(Qt::FramelessWindowHint);
        backdrop.setGeometry(screen);
        paint(backdrop, QColor(48, 133, 214));
        backdrop.show();
        fillTitle(window);
    }
    window.setWindowTitle(QStringLiteral(" "));
    paint(window, QColor(192, 192, 192));
    const QSize size(364, 438);
    window.setGeometry(QRect(screen.center() - QPoint(size.width() / 2, size.height() / 2), size));
    if (arguments.contains(QStringLiteral("--caption"))) {
        auto *caption = new QLabel(QStringLiteral("Habitara Demo"), &window);
        caption->setFont(QFont(QStringLiteral("Times New Roman"), 22, QFont::Bold));
        caption->setGeometry(0, 20, size.width(), 55);
        caption->setAlignment(Qt::AlignCenter);
    }
    window.show();
    return QApplication::exec();
}
