// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/intro0.h"

#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/access.h"
#include "platform/look.h"
#include "platform/picture.h"
#include "platform/reader.h"
#include "platform/speech.h"
#include "reading/guide.h"
#include "reading/pages.h"
#include "reading/teacher.h"

using namespace Module1;

intro0::intro0()
    : Form(QStringLiteral("intro0")), Label1(*this, QStringLiteral("Label1")),
      Option1(*this, QStringLiteral("Option1")), Option2(*this, QStringLiteral("Option2")),
      Frame1(*this, QStringLiteral("Frame1")), Image1(Frame1, QStringLiteral("Image1")),
      Label3(*this, QStringLiteral("Label3")), Label2(*this, QStringLiteral("Label2")),
      Speaker(*this, QStringLiteral("Speaker"))
{
    look::styleText(Label1, QStringLiteral("Habitara Demo"), 0, 0, 10680, 900,
                    {"Tahoma", 32.25, true});

    Option1.setCaption(QStringLiteral("Sound On"));
    Option1.move(10440, 120, 1455, 255);
    Option2.setCaption(QStringLiteral("Sound Off"));
    Option2.move(10440, 480, 1455, 255);
    for (OptionButton *option : {&Option1, &Option2}) {
        option->setFont(QStringLiteral("Tahoma"), 9.75, true);
        option->setForeColor(look::yellow);
    }
    Option1.setValue(true);
    Option1.onClick = [this] { Option1_Click(); };
    Option2.onClick = [this] { Option2_Click(); };

    Frame1.move(6810, 1080, 5055, 3975);
    Image1.move(120, 240, 4800, 3600);

    look::styleText(Label3, QStringLiteral("Point at a button to light it up, then click."), 0,
                    8280, 12000, 375, {"Tahoma", 9.75});

    // The menu's entries; the topics still to come in this series are shown but disabled.
    const QColor black = look::black, navy = look::navy;
    look::addButtons(Label2,
                     {
                         {0, "Mountain Formation", 120, 3000, 3195, 375, 12, black, false},
                         {1, "Living in the Mountains", 120, 3720, 3195, 375, 12, black},
                         {2, "The Future of Mountains", 120, 4440, 3195, 375, 12, black, false},
                         {3, "Desert Locations", 120, 5160, 3195, 375, 12, black, false},
                         {4, "Desert Environments", 120, 5880, 3195, 375, 12, black, false},
                         {5, "Living in the Desert", 3480, 2280, 3195, 375, 12, black},
                         {6, "The Future of Deserts", 3480, 3000, 3195, 375, 12, black, false},
                         {7, "Rainforest Locations", 3480, 3720, 3195, 375, 12, black, false},
                         {8, "Rainforest Environments", 3480, 4440, 3195, 375, 12, black, false},
                         {9, "Living in the Rainforest", 3480, 5160, 3195, 375, 12, black, false},
                         {10, "The Future of Rainforests", 3480, 5880, 3195, 375, 12, black, false},
                         {15, "Mountains", 120, 2280, 3195, 375, 12, black, false},
                         {16, "Exit", 10560, 7920, 1245, 495, 18, black},
                         {17, "Multiple Choice Wizard", 7200, 5760, 4635, 495, 18, navy},
                         {18, "Worksheet Catalogue", 7200, 6600, 4635, 495, 18, navy},
                         {19, "Acknowledgments", 120, 7920, 3195, 495, 14.25, navy},
                         {20, "Teachers' Guide", 120, 1200, 3195, 495, 14.25, navy},
                     },
                     &m_hover);
    Label2.onClick([this](int i) { Label2_Click(i); });
    Label2.onMouseMove([this](int i, int, int, float, float) { Label2_MouseMove(i); });

    // The sound switch in the top corner, then the entries as they read: the guide, each
    // column of topics down, the teachers' entries, the acknowledgments and Exit. Disabled
    // entries are passed over; the arrows walk the entries too.
    std::vector<TabStop> order{TabStop({&Option1, &Option2})};
    std::vector<Control *> entries;
    for (int i : {20, 15, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 17, 18, 19, 16}) {
        order.push_back(Label2[i]);
        entries.push_back(&Label2[i]);
    }
    // The speaker stands where the menu has nothing, above Exit; it comes last in the Tab order.
    Speaker.setStretch(true);
    Speaker.move(11310, 7260, 495, 495);
    Speaker.onClick = [this] { Speaker_Click(); };
    Speaker.onMouseMove = [this](int, int, float, float) { showSpeaker(true); };
    readaloud::whenSwitched(Speaker.widget(), [this] {
        showSpeaker(m_speakerLit);
        accessible::captionChanged(Speaker.widget());
    });
    order.push_back(Speaker);

    setTabOrder(order);
    setArrowWalk(entries);
}

void intro0::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this, [] { return QStringLiteral("Habitara: main menu"); });
    Image1.setPicture(loadPictureOrEmpty(QStringLiteral("Images\\andesmd.jpg")));
    Option1.setBackColor(look::screenBlue);
    Option2.setBackColor(look::screenBlue);
    Frame1.setBackColor(look::screenBlue);
    soundon = 1;
    accessible::setName(Speaker, [] {
        return readaloud::isOn() ? QStringLiteral("Read aloud, on")
                                 : QStringLiteral("Read aloud, off");
    });
    showSpeaker(true);
}

void intro0::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
    showSpeaker(false);
}

void intro0::showSpeaker(bool lit)
{
    const bool on = readaloud::isOn();
    if (!Speaker.picture().isNull() && lit == m_speakerLit && on == m_speakerOn)
        return;
    m_speakerLit = lit;
    m_speakerOn = on;
    Speaker.setPicture(Picture(look::speakerImage(on, lit)));
}

void intro0::Speaker_Click()
{
    readaloud::switchOver();
    playsound(QStringLiteral("wav\\click.wav"));
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
    case 17:
        screen<wizard>().show();
        break;
    case 18:
        screen<worksheets>().show();
        unload<intro0>();
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
        namePages(viewer, viewer.Label1, QStringLiteral("Acknowledgments"));
        viewer.show();
        readPage(viewer.Label1, viewer.Image1);
        break;
    }
    case 20: {
        guide &pages = screen<guide>();
        pages.Image1.setPicture(loadPictureOrEmpty(QStringLiteral("wmf\\guide1.wmf")));
        pages.Image2.setPicture(loadPictureOrEmpty(QStringLiteral("wmf2\\guide1.wmf")));
        pagenum = 1;
        pages.show();
        readPage(pages.Label1, pages.Image1);
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
