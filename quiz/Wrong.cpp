// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/Wrong.h"

#include "app/Module1.h"
#include "platform/access.h"
#include "platform/look.h"
#include "quiz/Welldone.h"

using namespace Module1;

Wrong::Wrong()
    : Form(QStringLiteral("Wrong")), Label6(*this, QStringLiteral("Label6")),
      Label4(*this, QStringLiteral("Label4")), Label2(*this, QStringLiteral("Label2")),
      Label5(*this, QStringLiteral("Label5")), Label3(*this, QStringLiteral("Label3"))
{
    look::styleText(Label6, QString(), 0, 120, 12000, 540, {"Tahoma", 20.25, true});
    look::styleText(Label4, QStringLiteral("You answered the following questions incorrectly."),
                    240, 960, 12000, 540, {"Tahoma", 15.75, true, look::yellow, Alignment::Left});
    for (int k = 0; k < 10; ++k) {
        Label &line = Label2.add(k);
        look::styleText(line, QString(), 120, 1680 + 600 * k, 12000, 540,
                        {"Tahoma", 15.75, true, QColor(255, 255, 255), Alignment::Left});
        // A long question is cut short with an ellipsis rather than run into the next line.
        line.setWordWrap(false);
        line.setVisible(false);
    }
    look::styleText(Label5, QStringLiteral("Read the Key Facts and try again."), 0, 7920, 12000,
                    540, {"Tahoma", 20.25, true});

    look::addButtons(Label3, {{1, "Exit", 10560, 7920, 1245, 495}});
    Label3.onClick([this](int i) { Label3_Click(i); });
    setTabOrder({Label3[1]});
}

bool Wrong::Form_KeyDown(int KeyCode, int)
{
    // Escape leaves the review as Exit does: there is nothing on it to lose.
    if (KeyCode != vbKeyEscape)
        return false;
    Label3_Click(1);
    return true;
}

void Wrong::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this, [this] {
        return Label6.caption() + QStringLiteral(": questions answered wrongly");
    });
}

void Wrong::Label3_Click(int)
{
    unload<Welldone>();
    unload<Wrong>();
}
