// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/multiple.h"

#include "app/Module1.h"
#include "platform/look.h"
#include "platform/access.h"
#include "platform/msgbox.h"
#include "platform/printer.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"

using namespace Module1;

multiple::multiple()
    : Form(QStringLiteral("multiple")), Label1(*this, QStringLiteral("Label1")),
      Label5(*this, QStringLiteral("Label5")), Label6(*this, QStringLiteral("Label6")),
      Label4(*this, QStringLiteral("Label4")), Label2(*this, QStringLiteral("Label2")),
      Option1(*this, QStringLiteral("Option1")), Picture1(*this, QStringLiteral("Picture1")),
      Label3(*this, QStringLiteral("Label3"))
{
    look::styleText(Label1, QStringLiteral("Multiple Choice"), 120, 120, 6240, 900,
                    {"Tahoma", 36, true});
    look::styleText(Label5, QString(), 120, 1200, 6465, 585,
                    {"Times New Roman", 24, false, QColor(0, 255, 0), Alignment::Center});
    look::styleText(Label6, QString(), 120, 1920, 6465, 705,
                    {"Times New Roman", 24, false, QColor(128, 128, 255), Alignment::Center});
    look::styleText(Label4, QStringLiteral("Question 1"), 360, 3240, 5415, 615,
                    {"Times New Roman", 24, false, look::yellow, Alignment::Left});
    look::styleText(Label2, QString(), 960, 3960, 9840, 1455, {"Times New Roman", 30});
    // The question's text ignores the pointer, so moving over it keeps a lit button lit.
    Label2.onMouseMove = [](int, int, float, float) {};

    for (int i = 1; i <= 5; ++i) {
        OptionButton &option = Option1.add(i);
        option.move(2400, 5400 + 600 * (i - 1), 6975, 525);
        option.setFont(QStringLiteral("Times New Roman"), 20.25);
        option.setForeColor(look::yellow);
        option.setBackColor(look::screenBlue);
    }
    Option1[5].move(0, 0, 495, 375);
    Option1.onClick([this](int i) { Option1_Click(i); });

    Picture1.move(6840, 240, 855, 615);
    // The hidden no-answer choice lies under the picture.
    Picture1.bringToFront();

    look::addButtons(Label3,
                     {
                         {0, "<< Previous Question", 2040, 7920, 3765, 495},
                         {1, "Next Question >>", 6000, 7920, 3765, 495},
                         {2, "Exit", 10560, 7920, 1245, 495},
                         {3, "Print Worksheet", 7920, 1920, 3045, 495},
                     },
                     &m_hover);
    Label3[0].setVisible(false);
    Label3.onClick([this](int i) { Label3_Click(i); });
    Label3.onMouseMove([this](int i, int, int, float, float) { Label3_MouseMove(i); });

    // The four answers are one stop, the hidden choice standing for "none chosen yet".
    setTabOrder({Label3[3],
                 TabStop({&Option1[1], &Option1[2], &Option1[3], &Option1[4]}, &Option1[5]),
                 Label3[0], Label3[1], Label3[2]});
}

void multiple::Form_Load()
{
    setupform(*this);
    score = 0;
    outof = 10;
    questnum = 1;
    for (int i = 1; i <= 10; ++i)
        marks[i] = 0;
    Option1[5].move(Picture1.left() + 240, Picture1.top() + 240, Option1[5].width(),
                    Option1[5].height());
    for (int i = 1; i <= 4; ++i)
        Option1[i].setBackColor(backColor());
    Label6.setCaption(worktitle);
    accessible::nameWindow(*this, [this] {
        return Label6.caption() + QStringLiteral(": quiz, question ") +
               QString::number(questnum.value_or(0)) + QStringLiteral(" of 10");
    });
    // The answers are said with their letters, as the printed worksheet shows them.
    for (int i = 1; i <= 4; ++i)
        accessible::setName(Option1[i], [this, i] {
            return QChar(u'A' + (i - 1)) + QStringLiteral(". ") + Option1[i].caption();
        });
    // The choice that clears the others lies under the picture, out of sight.
    accessible::hide(Option1[5]);
    // With nothing chosen yet the focus rests on it: read aloud, it is the four answers.
    accessible::setName(Option1[5], [this] {
        return accessible::sentences({accessible::name(Option1[1]), accessible::name(Option1[2]),
                                      accessible::name(Option1[3]), accessible::name(Option1[4])});
    });
    showquest();
}

void multiple::showquest()
{
    const int q = *questnum;
    Option1[5].setValue(true);
    Label3[0].setVisible(true);
    Label3[1].setCaption(QStringLiteral("Next Question >>"));
    Label4.setCaption(QStringLiteral("Question ") + QString::number(q));
    Label2.setCaption(question.at(q));
    Option1[1].setCaption(answera.at(q));
    Option1[2].setCaption(answerb.at(q));
    Option1[3].setCaption(answerc.at(q));
    Option1[4].setCaption(answerd.at(q));
    if (q == 1)
        Label3[0].setVisible(false);
    if (q == 10)
        Label3[1].setCaption(QStringLiteral("Check Score >>"));
    accessible::announce(Label4.caption() + QStringLiteral(" of 10. ") + Label2.caption());
    // Read aloud, the question comes with its four answers, as the pupil sees them.
    accessible::readAloud(
        accessible::sentences({Label4.caption(), Label2.caption(), accessible::name(Option1[1]),
                               accessible::name(Option1[2]), accessible::name(Option1[3]),
                               accessible::name(Option1[4])}));
    if (q == 10)
        accessible::announce(QStringLiteral("Check Score has appeared."));
    // The focus rests on the hidden choice, so no visible answer shows a focus mark; on a
    // screen still loading it takes the focus when the screen is shown.
    Option1[5].setFocus();
}

void multiple::Label3_Click(int Index)
{
    switch (Index) {
    case 0:
        questnum = *questnum - 1;
        showquest();
        break;
    case 1: {
        const int q = *questnum;
        // Only a right answer of 1 to 4 names a visible choice; anything else cannot score.
        bool ok = false;
        const int c = correct.at(q).trimmed().toInt(&ok);
        marks[q] = (ok && c >= 1 && c <= 4 && Option1[c].value()) ? 1 : 0;
        questnum = q + 1;
        if (*questnum < 11) {
            showquest();
            break;
        }
        Wrong &review = screen<Wrong>();
        for (int i = 1; i <= 10; ++i) {
            score = *score + *marks[i];
            if (*marks[i] == 0) {
                Label &line = review.Label2[i - 1 - *score];
                line.setCaption(QStringLiteral(" ") + QString::number(i) + QStringLiteral(". ") +
                                question[i]);
                line.setVisible(true);
            }
        }
        quizheading = Label5.caption();
        review.Label6.setCaption(Label6.caption());
        Welldone &results = screen<Welldone>();
        results.Label6.setVisible(false);
        results.Label5.setVisible(true);
        results.Label3[0].setVisible(true);
        results.show();
        unload<multiple>();
        break;
    }
    case 2:
        unload<multiple>();
        break;
    case 3:
        Printpage();
        break;
    default:
        break;
    }
    playsound(QStringLiteral("wav\\click.wav"));
}

void multiple::Option1_Click(int)
{
    playsound(QStringLiteral("wav\\typekey.wav"));
}

void multiple::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void multiple::Label3_MouseMove(int Index)
{
    m_hover.light(Label3[Index]);
}

void multiple::Printpage()
{
    const bool printed = printDocument(QStringLiteral("worksheet"), [&](PrinterDevice &P) {
        const double W = P.scaleWidth();
        P.setFontName(QStringLiteral("Times New Roman"));
        P.setFontSize(16);
        P.setCurrentX(W / 8);
        P.print(QStringLiteral(" "));
        P.setCurrentX(W / 16);
        P.print(QStringLiteral("Habitara") + QString(57, QLatin1Char(' ')) +
                    QStringLiteral("Quillmoor Publishing Ltd"),
                false);
        P.print(QStringLiteral(" "));
        P.print(QStringLiteral(" "));
        P.setFontSize(32);
        for (const QString &heading : {Label5.caption(), Label6.caption()}) {
            P.setCurrentX((W - P.textWidth(heading)) / 2);
            P.print(heading);
        }
        P.print(QStringLiteral(" "));
        P.setFontSize(12);
        for (int i = 1; i <= 10; ++i) {
            P.setCurrentX(W / 16);
            P.print(QStringLiteral("Question ") + QString::number(i) + QStringLiteral("    ") +
                    question[i]);
            P.setCurrentX(W * 2 / 6);
            P.print(QStringLiteral("A. ") + answera[i], false);
            P.setCurrentX(W * 4 / 6);
            P.print(QStringLiteral("B. ") + answerb[i]);
            P.setCurrentX(W * 2 / 6);
            P.print(QStringLiteral("C. ") + answerc[i], false);
            P.setCurrentX(W * 4 / 6);
            P.print(QStringLiteral("D. ") + answerd[i]);
            P.print(QStringLiteral(" "));
        }
    });
    if (printed)
        MsgBox(QStringLiteral("Your worksheet is now printing."), vbOKOnly);
}
