// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Titlefrm.h"

#include "app/Grey.h"
#include "app/Module1.h"
#include "app/intro0.h"
#include "platform/access.h"
#include "platform/look.h"
#include "platform/picture.h"
#include "platform/twips.h"

using namespace Module1;

namespace {
const QColor titleBlue(0, 0, 192);
const QColor face(192, 192, 192);
} // namespace

Titlefrm::Titlefrm()
    : Form(QStringLiteral("Titlefrm")), Frame1(*this, QStringLiteral("Frame1")),
      Label4(Frame1, QStringLiteral("Label4")), Picture1(Frame1, QStringLiteral("Picture1")),
      Label1(Frame1, QStringLiteral("Label1")), Label5(Frame1, QStringLiteral("Label5")),
      Label3(Frame1, QStringLiteral("Label3")), Command1(Frame1, QStringLiteral("Command1")),
      Command2(Frame1, QStringLiteral("Command2")), Label2(Frame1, QStringLiteral("Label2"))
{
    setCaption(QStringLiteral(" "));
    setBackColor(face);
    setWidth(5460);
    setHeight(6570);

    Frame1.move(0, -90, 5480, 6660);
    Frame1.setBackColor(face);

    struct Text
    {
        Label &label;
        const char *caption;
        float left, top, width, height;
        const char *face;
        double size;
        bool bold;
        QColor color;
    };
    const Text texts[] = {
        {Label4, "Habitara Demo", 60, 300, 5355, 825, "Times New Roman", 21.75, true, titleBlue},
        {Label1, "Written by Ruth Penhaligon", 360, 4980, 4695, 375, "Times New Roman", 14.25,
         false, titleBlue},
        {Label5, "Programmed by Daniel Okafor", 480, 5310, 4455, 375, "Times New Roman", 12, false,
         titleBlue},
        {Label3, "Series editor: Margaret Ellison", 480, 5640, 4455, 375, "Times New Roman", 12,
         false, titleBlue},
        {Label2, "Quillmoor Publishing Ltd - free software under the GNU GPL", 0, 6420, 5415, 255,
         "Arial", 8.25, false, QColor(0, 128, 0)},
    };
    for (const Text &t : texts)
        look::styleText(t.label, QString::fromUtf8(t.caption), t.left, t.top, t.width, t.height,
                        {t.face, t.size, t.bold, t.color});

    Picture1.move(300, 1140, 4860, 3660);
    Picture1.setBackColor(face);

    Command1.setCaption(QStringLiteral("OK"));
    Command1.move(1320, 6000, 1335, 375);
    Command2.setCaption(QStringLiteral("Exit"));
    Command2.move(2760, 6000, 1335, 375);
    for (CommandButton *button : {&Command1, &Command2})
        button->setBackColor(face);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    setTabOrder({Command1, Command2});
}

void Titlefrm::Form_Load()
{
    // Shown again from the main menu's Exit, the screen asks whether to leave.
    accessible::nameWindow(*this, [this] {
        return Command1.caption() == QLatin1String("Cancel")
                   ? QStringLiteral("Habitara: leave the program?")
                   : QStringLiteral("Habitara: title screen");
    });
    try {
        const QSizeF display = twips::displaySize();
        move(float(display.width() / 2.0 - width() / 2.0),
             float(display.height() / 2.0 - height() / 2.0));
        screen<Grey>().show();
        Picture1.setPicture(LoadPicture(pictureFile()));
    } catch (const std::exception &) {
        setupform(*this);
    }
}

QString Titlefrm::pictureFile()
{
    return QStringLiteral("images\\andesmd.jpg");
}

bool Titlefrm::Form_KeyDown(int KeyCode, int)
{
    // Escape answers Cancel on the exit confirmation; the first title screen has no Cancel.
    if (KeyCode != vbKeyEscape || Command1.caption() != QLatin1String("Cancel"))
        return false;
    Command1_Click();
    return true;
}

void Titlefrm::Command1_Click()
{
    screen<intro0>().show();
    unload<Titlefrm>();
    playsound(QStringLiteral("wav\\click.wav"));
}

void Titlefrm::Command2_Click()
{
    playsound(QStringLiteral("wav\\click.wav"));
    endProgram();
}
