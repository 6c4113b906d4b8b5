// SPDX-License-Identifier: GPL-3.0-or-later
// Prints a worksheet and a certificate through the system's default printer, as the program
// does outside the tests. Run by cups.sh with a CUPS PDF printer as the default, and again with
// no printer at all (HABITARA_EXPECT_PRINTER=0).
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "platform/fonts.h"
#include "platform/msgbox.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;

class CupsPrintTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }

    void printsThroughTheDefaultPrinter()
    {
        const bool printer = qgetenv("HABITARA_EXPECT_PRINTER") != "0";
        ContentFolder content;
        QStringList messages;
        setSoundDevice(std::make_unique<SoundRecorder>());
        setMsgBoxResponder([&](const QString &text, int, const QString &) {
            messages << text;
            return int(vbOK);
        });
        multiple &quiz = pupil::openMountainsQuiz();
        click(quiz.Label3[3]);
        pupil::playQuiz(quiz);
        Welldone &results = screen<Welldone>();
        typeInto(results.Text1, QStringLiteral("Cups Pupil"));
        click(results.Label3[0]);
        const QString failure = QStringLiteral("There was a problem printing to your printer.");
        if (printer)
            QCOMPARE(messages, QStringList({QStringLiteral("Your worksheet is now printing."),
                                            QStringLiteral("Your certificate is now printing.")}));
        else
            QCOMPARE(messages, QStringList({failure, failure}));
        setMsgBoxResponder(nullptr);
        setSoundDevice(nullptr);
    }
};

QTEST_MAIN(CupsPrintTest)
#include "cupsprint.moc"
