// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/topicmenu.h"

#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "platform/access.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "platform/picture.h"
#include "platform/textfile.h"
#include "quiz/multiple.h"
#include "reading/pages.h"
#include "reading/teacher.h"

using namespace Module1;

namespace {

template <class T> DragDrop &activityScreen()
{
    return screen<T>();
}

} // namespace

const Topic mountainsTopic = {
    "livingmountains",
    "Living in the Mountains",
    "Images\\llama.jpg",
    1080,
    1200,
    "multiple\\Living in the Mountains.txt",
    "images\\llamamd.jpg",
    {1, "key livingmountains", "wmf\\key livingmountains.wmf", "wmf2\\key livingmountains.wmf"},
    {2, "livingmountains", "wmf\\livingmountainsa.wmf", "wmf2\\livingmountainsa.wmf"},
    &activityScreen<livingmountainslab>,
    &activityScreen<livingmountainsord>,
};

const Topic desertTopic = {
    "livingdesert",
    "Living in the Desert",
    "Images\\camel.jpg",
    0,
    810,
    "multiple\\Living in the Desert.txt",
    "images\\camelsm.jpg",
    {1, "key livingdesert", "wmf\\key livingdesert.wmf", "wmf2\\key livingdesert.wmf"},
    {1, "livingdesert", "wmf\\livingdesert.wmf", "wmf2\\livingdesert.wmf"},
    &activityScreen<livingdesertlab>,
    &activityScreen<livingdesertord>,
};

namespace {

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

} // namespace

TopicMenu::TopicMenu(const Topic &topic)
    : Form(text(topic.screenName)), Label1(*this, QStringLiteral("Label1")),
      Image1(*this, QStringLiteral("Image1")), label3(*this, QStringLiteral("label3")),
      m_topic(topic)
{
    look::styleText(Label1, text(topic.title), 240, 0, 6240, 900,
                    {"Times New Roman", 27.75, true, look::yellow, Alignment::Left});

    Image1.move(topic.imageLeft, topic.imageTop, 4800, 6000);

    look::addButtons(label3,
                     {
                         {0, "Multiple Choice", 120, 7920, 3195, 495},
                         {1, "Labelling Activity", 3600, 7920, 3195, 495},
                         {2, "Exit", 10560, 7920, 1245, 495},
                         {3, "Ordering Activity", 7080, 7920, 3195, 495},
                         {4, "Key Facts", 6360, 120, 1995, 495},
                         {5, "Teacher's Notes", 8640, 120, 3195, 495},
                     },
                     &m_hover);
    label3.onClick([this](int i) { label3_Click(i); });
    label3.onMouseMove([this](int i, int, int, float, float) { label3_MouseMove(i); });

    // Key Facts and Teacher's Notes along the top, then the bottom row from the left.
    std::vector<TabStop> order;
    std::vector<Control *> entries;
    for (int i : {4, 5, 0, 1, 3, 2}) {
        order.push_back(label3[i]);
        entries.push_back(&label3[i]);
    }
    setTabOrder(order);
    setArrowWalk(entries);
}

void TopicMenu::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this,
                           [this] { return Label1.caption() + QStringLiteral(": topic menu"); });
    setBackColor(QColor(39, 63, 137));
    Image1.setPicture(loadPictureOrEmpty(text(m_topic.picture)));
    Image1.setLeft((12000 - Image1.width()) / 2);
}

void TopicMenu::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

bool TopicMenu::Form_KeyDown(int KeyCode, int)
{
    // Escape goes back to the main menu, as Exit does: nothing is lost here.
    if (KeyCode != vbKeyEscape)
        return false;
    label3_Click(2);
    return true;
}

void TopicMenu::label3_MouseMove(int Index)
{
    m_hover.light(label3[Index]);
}

void TopicMenu::label3_Click(int Index)
{
    switch (Index) {
    case 0: {
        const QString file = text(m_topic.quizFile);
        try {
            FieldReader file1(file);
            loadquest(file1);
        } catch (const ProgramError &) {
            MsgBox(QStringLiteral("The quiz file \"%1\" is missing or damaged, so this quiz "
                                  "cannot start.")
                       .arg(file));
            return;
        }
        multiple &quiz = screen<multiple>();
        quiz.Picture1.setPicture(loadPictureOrEmpty(text(m_topic.quizPicture)));
        quiz.Label5.setCaption(QStringLiteral("Habitara"));
        quiz.show();
        break;
    }
    case 1:
        openActivity(m_topic.labelling(), QStringLiteral(": labelling activity"));
        break;
    case 2:
        screen<intro0>().show();
        closeMenu();
        break;
    case 3:
        openActivity(m_topic.ordering(), QStringLiteral(": ordering activity"));
        break;
    case 4:
        openPages(m_topic.keyFacts, QStringLiteral(": key facts"));
        break;
    case 5:
        openPages(m_topic.notes, QStringLiteral(": teacher's notes"));
        break;
    default:
        break;
    }
    playsound(QStringLiteral("wav\\click.wav"));
}

void TopicMenu::openPages(const Topic::Pages &pages, const QString &what)
{
    numpages = pages.numpages;
    pagename = text(pages.pagename);
    teacher &viewer = screen<teacher>();
    viewer.Image1.setPicture(loadPictureOrEmpty(text(pages.screenPage)));
    viewer.Image2.setPicture(loadPictureOrEmpty(text(pages.printPage)));
    namePages(viewer, viewer.Label1, Label1.caption() + what);
    viewer.show();
    readPage(viewer.Label1, viewer.Image1);
}

void TopicMenu::openActivity(DragDrop &activity, const QString &what)
{
    activity.Label6.setCaption(Label1.caption());
    accessible::nameWindow(activity,
                           [&activity, what] { return activity.Label6.caption() + what; });
    activity.show();
}

void livingmountains::closeMenu()
{
    unload<livingmountains>();
}

void livingdesert::closeMenu()
{
    unload<livingdesert>();
}
