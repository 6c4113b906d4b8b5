// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/Welldone.h"

#include "app/Module1.h"
#include "platform/access.h"
#include "platform/fonts.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/random.h"
#include "platform/twips.h"
#include "quiz/Wrong.h"

#include <QFontMetricsF>

using namespace Module1;

namespace {

struct Fanfares
{
    int score;
    std::vector<const char *> files;
};

// The fanfare for a score is drawn at random from its row; other scores are silent.
const Fanfares fanfares[] = {
    {12, {"wav\\halleluj.wav"}},
    {11, {"wav\\fanf4.wav", "wav\\slot_payoff.wav"}},
    {10, {"wav\\fanf2.wav", "wav\\fanf3.wav"}},
    {9, {"wav\\crowd.wav", "wav\\cheer2.wav", "wav\\klaxon.wav"}},
    {8, {"wav\\flute.wav", "wav\\gong.wav", "wav\\clap2.wav"}},
    {7, {"wav\\drumroll.wav", "wav\\laser2.wav", "wav\\whizz.wav"}},
    {6, {"wav\\clap3.wav", "wav\\clown.wav"}},
};

QString scored(int s, int m)
{
    return QStringLiteral(" ") + QString::number(s) + QStringLiteral(" out of") +
           QStringLiteral(" ") + QString::number(m) + QStringLiteral(".");
}

} // namespace

Welldone::Welldone()
    : Form(QStringLiteral("Welldone")), Label4(*this, QStringLiteral("Label4")),
      Picture1(*this, QStringLiteral("Picture1")), Label1(*this, QStringLiteral("Label1")),
      Label5(*this, QStringLiteral("Label5")), Label6(*this, QStringLiteral("Label6")),
      Text1(*this, QStringLiteral("Text1")), Label2(*this, QStringLiteral("Label2")),
      Label3(*this, QStringLiteral("Label3")), Timer1(*this, 1), Timer2(*this, 10), Timer3(*this, 1)
{
    look::styleText(Label4, QStringLiteral("Well Done!"), 0, 120, 12000, 900, {"Tahoma", 36, true});
    Picture1.move(5880, 1440, 4800, 3600);
    look::styleText(Label1, QString(), 0, 5400, 12000, 855, {"Times New Roman", 24});
    look::styleText(Label5, QString(), 1680, 6000, 8640, 1335, {"Times New Roman", 24});
    Label5.setVisible(false);
    look::styleText(Label6, QStringLiteral("Read the Key Facts and try again."), 0, 6240, 12000,
                    855, {"Times New Roman", 24});
    Text1.move(3120, 6600, 5760, 615);
    Text1.setFont(QStringLiteral("Times New Roman"), 24);
    Text1.setMaxLength(25);
    Text1.setVisible(false);
    look::styleText(
        Label2, QStringLiteral("Enter your name in the box above before printing your certificate"),
        3120, 7440, 5775, 855, {"Times New Roman", 18});
    Label2.setVisible(false);

    look::addButtons(Label3, {{0, "", 240, 1800, 3765, 495}, {1, "Exit", 10560, 7920, 1245, 495}},
                     &m_hover);
    Label3[0].setVisible(false);
    Label3.onClick([this](int i) { Label3_Click(i); });
    Label3.onMouseMove([this](int i, int, int, float, float) { Label3_MouseMove(i); });
    setTabOrder({Label3[0], Text1, Label3[1]});

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
}

void Welldone::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this, [] { return QStringLiteral("Results"); });
    accessible::setName(Text1, QStringLiteral("Type your name"));
    const int s = score.value_or(0);
    const int m = outof.value_or(0);
    if (s == m) {
        Label6.setVisible(false);
        Label3[0].setVisible(true);
        Label1.setCaption(QStringLiteral("Excellent work. You have scored") + scored(s, m));
        Label3[0].setCaption(QStringLiteral("Print Certificate"));
        Text1.setVisible(true);
        Label2.setVisible(true);
    } else {
        if (s == m - 1 || s == m - 2)
            Label1.setCaption(QStringLiteral("Good work. You have scored") + scored(s, m));
        else
            Label1.setCaption(QStringLiteral("You have scored") + scored(s, m));
        Label5.setCaption(QStringLiteral(
            "Click the button above to check which questions you answered incorrectly."));
        Label3[0].setCaption(QStringLiteral("Check Wrong Answers"));
    }
    accessible::announce(Label4.caption() + QLatin1Char(' ') + Label1.caption().simplified());
    Timer1.setEnabled(true);
}

void Welldone::Timer1_Timer()
{
    Picture1.setPicture(loadPictureOrEmpty(QStringLiteral("Images/andessm.jpg")));
    Timer1.setEnabled(false);
    Timer2.setEnabled(true);
}

void Welldone::Timer2_Timer()
{
    if (Text1.visible())
        Text1.setFocus();
    Timer2.setEnabled(false);
    Label3[0].setOpaque(true);
    Label3[1].setOpaque(true);
    Timer3.setEnabled(true);
}

void Welldone::Timer3_Timer()
{
    Randomize();
    if (soundon == 1) {
        for (const Fanfares &row : fanfares) {
            if (score == row.score) {
                const auto r = size_t(Rnd() * double(row.files.size()));
                playsound(QString::fromLatin1(row.files[std::min(r, row.files.size() - 1)]));
                break;
            }
        }
    }
    Timer3.setEnabled(false);
}

void Welldone::Label3_Click(int Index)
{
    if (Index == 0) {
        if (score == outof) {
            Printpage();
            return;
        }
        screen<Wrong>().show();
    } else if (Index == 1) {
        unload<Wrong>();
        unload<Welldone>();
    }
    playsound(QStringLiteral("wav\\click.wav"));
}

void Welldone::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void Welldone::Label3_MouseMove(int Index)
{
    m_hover.light(Label3[Index]);
}

void Welldone::Printpage()
{
    const QString band =
        QStringLiteral("   Well Done      Well Done     Well Done     Well Done    ");
    const QColor blue(0, 0, 255), red(255, 0, 0), darkBlue(0, 0, 128), black(0, 0, 0);
    const bool printed = printDocument(QStringLiteral("certificate"), [&](PrinterDevice &P) {
        const double W = P.scaleWidth();
        auto blank = [&] { P.print(QStringLiteral(" ")); };
        auto centred = [&](const QString &text) {
            P.setCurrentX((W - P.textWidth(text)) / 2);
            P.print(text);
        };

        P.setForeColor(blue);
        P.setFontSize(25);
        P.setFontName(QStringLiteral("Times New Roman"));
        P.setCurrentX(W / 8);
        blank();
        P.print(band + band, false);
        blank();
        blank();
        blank();

        P.setForeColor(red);
        P.setFontSize(36);
        P.setFontName(QStringLiteral("Times New Roman"));
        centred(QStringLiteral("Habitara"));
        blank();

        P.setForeColor(blue);
        P.setFontSize(36);
        // A long title is measured in the screen's own small font and printed smaller.
        const double titleWidth = QFontMetricsF(screenFont(QStringLiteral("MS Sans Serif"), 8.25))
                                      .horizontalAdvance(quizheading) *
                                  twips::perPixel;
        if (titleWidth > W / 4)
            P.setFontSize(28);
        centred(quizheading);
        centred(QString());

        P.setFontSize(36);
        blank();
        blank();
        blank();

        P.setForeColor(darkBlue);
        P.setFontSize(28);
        centred(QStringLiteral("Excellent Work"));
        P.setFontSize(28);
        blank();
        centred(Text1.text());
        centred(QString());
        P.setFontSize(28);
        centred(QStringLiteral("You have scored") + scored(score.value_or(0), outof.value_or(0)));
        blank();
        P.setFontSize(36);
        blank();
        blank();

        P.setForeColor(blue);
        P.setFontSize(25);
        P.setFontName(QStringLiteral("Times New Roman"));
        blank();
        P.setForeColor(black);
        P.print(band + band, false);

        P.setDrawWidth(2);
        const double pw = P.scaleWidth();
        const double ph = P.scaleHeight();
        auto box = [&](double x1, double y1, double x2, double y2) {
            P.line(x1, y1, x2, y1, black);
            P.line(x1, y1, x1, y2, black);
            P.line(x2, y1, x2, y2, black);
            P.line(x1, y2, x2, y2, black);
        };
        for (int i = 0; i < 5; ++i) {
            const double mx = 45 * (i + 1), my = 270 + 45 * i;
            box(mx, my, pw - mx, ph - my);
            if (i < 3)
                box(mx + 600, my + 7050, pw - mx - 600, ph - my - 3750);
        }
    });
    if (printed)
        MsgBox(QStringLiteral("Your certificate is now printing."), vbOKOnly);
}
