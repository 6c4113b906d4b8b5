// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/Wrong.h"

#include "app/Module1.h"
#include "quiz/Welldone.h"

using namespace Module1;

namespace {

const QColor yellow(255, 255, 0);

void styleText(Label &label, const QString &caption, float l, float t, float w, float h,
               double size, const QColor &color, Alignment align)
{
    label.setCaption(caption);
    label.move(l, t, w, h);
    label.setFont(QStringLiteral("Tahoma"), size, true);
    label.setForeColor(color);
    label.setAlignment(align);
    label.setOpaque(false);
}

} // namespace

Wrong::Wrong()
    : Form(QStringLiteral("Wrong")), Label6(*this, QStringLiteral("Label6")),
      Label4(*this, QStringLiteral("Label4")), Label2(*this, QStringLiteral("Label2")),
      Label5(*this, QStringLiteral("Label5")), Label3(*this, QStringLiteral("Label3"))
{
    styleText(Label6, QString(), 0, 120, 12000, 540, 20.25, yellow, Alignment::Center);
    styleText(Label4, QStringLiteral("You answered the following questions incorrectly."), 240, 960,
              12000, 540, 15.75, yellow, Alignment::Left);
    for (int k = 0; k < 10; ++k) {
        Label &line = Label2.add(k);
        styleText(line, QString(), 120, 1680 + 600 * k, 12000, 540, 15.75, QColor(255, 255, 255),
                  Alignment::Left);
        // A long question is cut short with an ellipsis rather than run into the next line.
        line.setWordWrap(false);
        line.setVisible(false);
    }
    styleText(Label5, QStringLiteral("Read the Key Facts and try again."), 0, 7920, 12000, 540,
              20.25, yellow, Alignment::Center);

    Label &exit = Label3.add(1);
    exit.setCaption(QStringLiteral("Exit"));
    exit.move(10560, 7920, 1245, 495);
    exit.setFont(QStringLiteral("Tahoma"), 15.75, true);
    exit.setForeColor(yellow);
    exit.setBackColor(QColor(0, 0, 0));
    exit.setAlignment(Alignment::Center);
    exit.setBorder(true);
    Label3.onClick([this](int i) { Label3_Click(i); });
}

void Wrong::Form_Load()
{
    setupform(*this);
}

void Wrong::Label3_Click(int)
{
    unload<Welldone>();
    unload<Wrong>();
}
