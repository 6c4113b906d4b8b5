// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/pages.h"

#include "platform/msgbox.h"
#include "platform/printer.h"

namespace {

struct Button
{
    int index;
    const char *caption;
    float left, top, width, height;
};

const Button buttons[] = {
    {0, "Print", 10680, 120, 1125, 495},
    {1, "Exit", 10680, 7920, 1125, 495},
    {2, "Next Page", 6720, 7920, 2685, 495},
    {3, "Previous Page", 1320, 7920, 2685, 495},
};

} // namespace

void addPageButtons(ControlArray<Label> &labels)
{
    for (const Button &b : buttons) {
        Label &label = labels.add(b.index);
        label.setCaption(QString::fromLatin1(b.caption));
        label.move(b.left, b.top, b.width, b.height);
        label.setFont(QStringLiteral("Tahoma"), 15.75, true);
        label.setForeColor(QColor(255, 255, 0));
        label.setBackColor(QColor(0, 0, 0));
        label.setAlignment(Alignment::Center);
        label.setBorder(true);
    }
    labels[3].setEnabled(false);
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
    try {
        auto printer = openPrinter();
        printer->print(QString());
        printer->paintPicture(page, 1000, 1000);
        printer->endDoc();
    } catch (const std::exception &) {
        MsgBox(QStringLiteral("There was a problem printing to your printer."), vbOKOnly);
    }
}
