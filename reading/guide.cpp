// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/guide.h"

#include "app/Module1.h"
#include "platform/picture.h"
#include "platform/access.h"
#include "reading/pages.h"

using namespace Module1;

guide::guide()
    : Form(QStringLiteral("guide")), Image2(*this, QStringLiteral("Image2")),
      Image1(*this, QStringLiteral("Image1")), Label1(*this, QStringLiteral("Label1")),
      Label3(*this, QStringLiteral("Label3"))
{
    Image1.move(120, 0, 10485, 11955);
    Image2.move(120, -240, 10485, 11955);
    Image2.setVisible(false);
    styleCounter(Label1);
    Label1.setCaption(QStringLiteral("Page 1 of 5"));
    addPageButtons(Label3);
    Label3.onClick([this](int i) { Label3_Click(i); });
    setTabOrder(pageTabOrder(Label3));
}

bool guide::Form_KeyDown(int KeyCode, int)
{
    return pressPageButton(KeyCode, Label3, [this](int i) { Label3_Click(i); });
}

void guide::Form_Load()
{
    setupform(*this);
    namePages(*this, Label1, QStringLiteral("Teachers' guide"));
}

void guide::Form_MouseMove(int, int, float, float)
{
    Label3.forEach([](int, Label &label) { label.setOpaque(false); });
}

void guide::Label3_Click(int Index)
{
    switch (Index) {
    case 0:
        printPage(Image2.picture());
        return;
    case 1:
        unload<guide>();
        return;
    case 2:
        pagenum = pagenum.value_or(0) + 1;
        break;
    case 3:
        pagenum = pagenum.value_or(0) - 1;
        break;
    default:
        return;
    }
    const int p = *pagenum;
    const QString file = QStringLiteral("guide") + QString::number(p) + QStringLiteral(".wmf");
    Image1.setPicture(loadPictureOrEmpty(QStringLiteral("wmf\\") + file));
    Image2.setPicture(loadPictureOrEmpty(QStringLiteral("wmf2\\") + file));
    if (p == 1)
        Label3[3].setEnabled(false);
    if (p == 2)
        Label3[3].setEnabled(true);
    if (p >= 2 && p <= 4)
        Label3[2].setEnabled(true);
    if (p == 5)
        Label3[2].setEnabled(false);
    Label1.setCaption(pageCounter(p, 5));
    announcePage(Label1, Image1);
}
