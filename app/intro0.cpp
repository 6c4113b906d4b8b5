// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/intro0.h"

#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "platform/picture.h"
#include "reading/guide.h"
#include "reading/teacher.h"

using namespace Module1;

namespace {

const QColor yellow(255, 255, 0);
const QColor menuBlue(0, 78, 152);
const QColor black(0, 0, 0);
const QColor navy(0, 0, 128);

struct Entry
{
    int index;
    const char *caption;
    float left, top, width, height;
    double size;
    bool navyBack;
    bool enabled;
};

// The menu's entries; the topics still to come in this series are shown but disabled.
const Entry entries[] = {
    {0, "Mountain Formation", 120, 3000, 3195, 375, 12, false, false},
    {1, "Living in the Mountains", 120, 3720, 3195, 375, 12, false, true},
    {2, "The Future of Mountains", 120, 4440, 3195, 375, 12, false, false},
    {3, "Desert Locations", 120, 5160, 3195, 375, 12, false, false},
    {4, "Desert Environments", 120, 5880, 3195, 375, 12, false, false},
    {5, "Living in the Desert", 3480, 2280, 3195, 375, 12, false, true},
    {6, "The Future of Deserts", 3480, 3000, 3195, 375, 12, false, false},
    {7, "Rainforest Locations", 3480, 3720, 3195, 375, 12, false, false},
    {8, "Rainforest Environments", 3480, 4440, 3195, 375, 12, false, false},
    {9, "Living in the Rainforest", 3480, 5160, 3195, 375, 12, false, false},
    {10, "The Future of Rainforests", 3480, 5880, 3195, 375, 12, false, false},
    {15, "Mountains", 120, 2280, 3195, 375, 12, false, false},
    {16, "Exit", 10560, 7920, 1245, 495, 18, false, true},
    {17, "Multiple Choice Wizard", 7200, 5760, 4635, 495, 18, true, true},
    {18, "Worksheet Catalogue", 7200, 6600, 4635, 495, 18, true, true},
    {19, "Acknowledgments", 120, 7920, 3195, 495, 14.25, true, true},
    {20, "Teachers' Guide", 120, 1200, 3195, 495, 14.25, true, true},
};

} // namespace

intro0::intro0()
    : Form(QStringLiteral("intro0")), Label1(*this, QStringLiteral("Label1")),
      Option1(*this, QStringLiteral("Option1")), Option2(*this, QStringLiteral("Option2")),
      Frame1(*this, QStringLiteral("Frame1")), Image1(Frame1, QStringLiteral("Image1")),
      Label3(*this, QStringLiteral("Label3")), Label2(*this, QStringLiteral("Label2"))
{
    Label1.setCaption(QStringLiteral("Habitara Demo"));
    Label1.move(0, 0, 10680, 900);
    Label1.setFont(QStringLiteral("Tahoma"), 32.25, true);
    Label1.setForeColor(yellow);
    Label1.setAlignment(Alignment::Center);
    Label1.setOpaque(false);

    Option1.setCaption(QStringLiteral("Sound On"));
    Option1.move(10440, 120, 1455, 255);
    Option2.setCaption(QStringLiteral("Sound Off"));
    Option2.move(10440, 480, 1455, 255);
    for (OptionButton *option : {&Option1, &Option2}) {
        option->setFont(QStringLiteral("Tahoma"), 9.75, true);
        option->setForeColor(yellow);
    }
    Option1.setValue(true);
    Option1.onClick = [this] { Option1_Click(); };
    Option2.onClick = [this] { Option2_Click(); };

    Frame1.move(6810, 1080, 5055, 3975);
    Image1.move(120, 240, 4800, 3600);

    Label3.setCaption(QStringLiteral("Point at a button to light it up, then click."));
    Label3.move(0, 8280, 12000, 375);
    Label3.setFont(QStringLiteral("Tahoma"), 9.75);
    Label3.setForeColor(yellow);
    Label3.setAlignment(Alignment::Center);
    Label3.setOpaque(false);

    for (const Entry &e : entries) {
        Label &entry = Label2.add(e.index);
        entry.setCaption(QString::fromUtf8(e.caption));
        entry.move(e.left, e.top, e.width, e.height);
        entry.setFont(QStringLiteral("Tahoma"), e.size, true);
        entry.setForeColor(yellow);
        entry.setBackColor(e.navyBack ? navy : black);
        entry.setAlignment(Alignment::Center);
        entry.setBorder(true);
        entry.setEnabled(e.enabled);
        m_hover.add(entry);
    }
    Label2.onClick([this](int i) { Label2_Click(i); });
    Label2.onMouseMove([this](int i, int, int, float, float) { Label2_MouseMove(i); });
}

void intro0::Form_Load()
{
    setupform(*this);
    Image1.setPicture(loadPictureOrEmpty(QStringLiteral("Images\\andesmd.jpg")));
    Option1.setBackColor(menuBlue);
    Option2.setBackColor(menuBlue);
    Frame1.setBackColor(menuBlue);
    soundon = 1;
}

void intro0::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void intro0::Label2_MouseMove(int Index)
{
    m_hover.light(Label2[Index]);
}

void intro0::Label2_Click(int Index)
{
    switch (Index) {
    case 1:
        screen<livingmountains>().show();
        break;
    case 5:
        screen<livingdesert>().show();
        break;
    case 16:
        screen<Titlefrm>().Command1.setCaption(QStringLiteral("Cancel"));
        screen<Titlefrm>().show();
        break;
    case 19: {
        teacher &viewer = screen<teacher>();
        viewer.Label1.setVisible(false);
        viewer.Label3[2].setVisible(false);
        viewer.Label3[3].setVisible(false);
        viewer.Image1.setPicture(loadPictureOrEmpty(QStringLiteral("wmf\\acknowledgments.wmf")));
        viewer.Picture2.setPicture(loadPictureOrEmpty(QStringLiteral("logo\\quillan2.bmp")));
        viewer.Image2.setPicture(loadPictureOrEmpty(QStringLiteral("wmf2\\acknowledgments.wmf")));
        viewer.setBackColor(QColor(49, 130, 212));
        viewer.Timer1.setEnabled(true);
        viewer.show();
        break;
    }
    case 20: {
        guide &pages = screen<guide>();
        pages.Image1.setPicture(loadPictureOrEmpty(QStringLiteral("wmf\\guide1.wmf")));
        pages.Image2.setPicture(loadPictureOrEmpty(QStringLiteral("wmf2\\guide1.wmf")));
        pagenum = 1;
        pages.show();
        break;
    }
    default:
        break;
    }
    playsound(QStringLiteral("wav\\click.wav"));
}

void intro0::Option1_Click()
{
    soundon = 1;
}

void intro0::Option2_Click()
{
    soundon = 0;
}
