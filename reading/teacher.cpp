// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/teacher.h"

#include "app/Module1.h"
#include "platform/picture.h"
#include "reading/pages.h"

using namespace Module1;

teacher::teacher()
    : Form(QStringLiteral("teacher")), Image2(*this, QStringLiteral("Image2")),
      Image1(*this, QStringLiteral("Image1")), Label1(*this, QStringLiteral("Label1")),
      Label3(*this, QStringLiteral("Label3")), Picture1(*this, QStringLiteral("Picture1")),
      Picture2(*this, QStringLiteral("Picture2")), Timer1(*this, 25)
{
    Image1.move(120, 0, 10485, 11955);
    Image2.move(0, 0, 10485, 11955);
    Image2.setVisible(false);
    styleCounter(Label1);
    addPageButtons(Label3);
    Label3.onClick([this](int i) { Label3_Click(i); });
    setTabOrder(pageTabOrder(Label3));
    Picture1.move(8880, 4320, 1800, 1800);
    Picture1.setVisible(false);
    Picture2.move(8910, 6240, 1800, 1335);
    Picture2.setBackColor(QColor(128, 128, 255));
    Picture2.setVisible(false);
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

void teacher::Form_Load()
{
    setupform(*this);
    if (numpages == 1) {
        Label1.setVisible(false);
        Label3[2].setVisible(false);
        Label3[3].setVisible(false);
    }
    pagenum = 1;
    Label1.setCaption(pageCounter(*pagenum, numpages));
}

void teacher::Label3_Click(int Index)
{
    switch (Index) {
    case 0:
        printPage(Image2.picture());
        break;
    case 1:
        unload<teacher>();
        break;
    case 2:
    case 3:
        if (Index == 2) {
            pagenum = pagenum.value_or(0) + 1;
            Label3[3].setEnabled(true);
        } else {
            pagenum = pagenum.value_or(0) - 1;
            Label3[2].setEnabled(true);
        }
        if (pagenum == numpages)
            Label3[2].setEnabled(false);
        if (pagenum == 1)
            Label3[3].setEnabled(false);
        showPage();
        Label1.setCaption(pageCounter(*pagenum, numpages));
        announcePage(Label1, Image1);
        break;
    default:
        break;
    }
}

bool teacher::Form_KeyDown(int KeyCode, int)
{
    return pressPageButton(KeyCode, Label3, [this](int i) { Label3_Click(i); });
}

void teacher::showPage()
{
    // Pages after the first are named by a letter after the notes' base name; there are
    // at most three.
    const int p = *pagenum;
    if (p >= 1 && p <= 3) {
        const QString file = pagename + QChar(QLatin1Char('a' + (p - 1))) + QStringLiteral(".wmf");
        Image1.setPicture(loadPictureOrEmpty(QStringLiteral("wmf\\") + file));
        Image2.setPicture(loadPictureOrEmpty(QStringLiteral("wmf2\\") + file));
    } else {
        Image1.setPicture(Picture());
        Image2.setPicture(Picture());
    }
}

void teacher::Timer1_Timer()
{
    logoframe = logoframe.value_or(0) + 1;
    if (logoframe == 20)
        logoframe = 0;
    const QString prefix =
        *logoframe < 10 ? QStringLiteral("logo\\quil000") : QStringLiteral("logo\\quil00");
    Picture1.setPicture(
        loadPictureOrEmpty(prefix + QString::number(*logoframe) + QStringLiteral(".gif")));
    Picture1.setVisible(true);
    Picture2.setVisible(true);
}
