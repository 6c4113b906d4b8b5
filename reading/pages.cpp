// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/pages.h"

#include "platform/access.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "platform/printer.h"

void addPageButtons(ControlArray<Label> &labels)
{
    look::addButtons(labels, {
                                 {0, "Print", 10680, 120, 1125, 495},
                                 {1, "Exit", 10680, 7920, 1125, 495},
                                 {2, "Next Page", 6720, 7920, 2685, 495},
                                 {3, "Previous Page", 1320, 7920, 2685, 495},
                             });
    labels[3].setEnabled(false);
}

namespace {

int pageButtonFor(int keyCode)
{
    switch (keyCode) {
    case vbKeyPageDown:
    case vbKeyRight:
        return 2;
    case vbKeyPageUp:
    case vbKeyLeft:
        return 3;
    case vbKeyEscape:
        return 1;
    default:
        return -1;
    }
}

} // namespace

bool pressPageButton(int keyCode, ControlArray<Label> &buttons,
                     const std::function<void(int)> &click)
{
    const int button = pageButtonFor(keyCode);
    if (button < 0)
        return false;
    if (buttons[button].visible() && buttons[button].enabled())
        click(button);
    return true;
}

std::vector<TabStop> pageTabOrder(ControlArray<Label> &buttons)
{
    return {buttons[0], buttons[3], buttons[2], buttons[1]};
}

void styleCounter(Label &counter)
{
    counter.move(4200, 7920, 2295, 495);
    counter.setFont(QStringLiteral("Tahoma"), 15.75, true);
    counter.setForeColor(QColor(0, 0, 0));
    counter.setBackColor(QColor(255, 255, 255));
    counter.setAlignment(Alignment::Center);
    counter.setBorder(true);
}

QString pageCounter(int page, std::optional<int> count)
{
    return QStringLiteral("Page ") + QString::number(page) + QStringLiteral(" of ") +
           (count ? QString::number(*count) : QString());
}

void printPage(const Picture &page)
{
    printDocument(QStringLiteral("page"), [&](PrinterDevice &P) {
        P.print(QString());
        P.paintPicture(page, 1000, 1000);
    });
}

void namePages(Form &viewer, const Label &counter, const QString &title)
{
    accessible::nameWindow(viewer, [&counter, title] {
        return counter.visible() ? title + QStringLiteral(", ") + counter.caption().toLower()
                                 : title;
    });
}

void announcePage(const Label &counter, const Image &page)
{
    const QStringList lines = accessible::pageLines(page.picture());
    accessible::announce(counter.caption() + QLatin1Char('.') +
                         (lines.isEmpty() ? QString() : QLatin1Char(' ') + lines.front()));
    readPage(counter, page);
}

namespace {

/// A page's lines as they are said: a paragraph's lines run on, and a heading or a picture's
/// label (a line of a few words with no stop) ends as a sentence, so the voice pauses after it.
QString spokenLines(const QStringList &lines)
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        text += line;
        if (i + 1 == lines.size())
            break;
        const bool stops = QStringLiteral(".?!:;,").contains(line.back());
        const bool heading = line.count(QLatin1Char(' ')) < 5;
        text += !stops && heading ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text;
}

} // namespace

void readPage(const Label &counter, const Image &page)
{
    const QString heading =
        counter.visible() ? accessible::sentences({counter.caption()}) : QString();
    accessible::readAloud(heading + QLatin1Char(' ') +
                          spokenLines(accessible::pageLines(page.picture())));
}
