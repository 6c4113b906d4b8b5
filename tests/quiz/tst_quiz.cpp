// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil's road through a quiz: topic menu, questions, results, review and certificate.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "platform/fonts.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace testkit;
using namespace pupil;

namespace {

const QString clickSound = QStringLiteral("wav\\click.wav");

/// The sounds that are neither button clicks nor answer ticks.
QStringList fanfaresIn(QStringList sounds)
{
    sounds.removeAll(clickSound);
    sounds.removeAll(QStringLiteral("wav\\typekey.wav"));
    return sounds;
}

} // namespace

class QuizTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void theTopicMenuOpensItsQuiz()
    {
        ContentFolder content;
        Recorders rec;
        screen<intro0>().show();
        click(screen<intro0>().Label2[5]);
        livingdesert &desert = screen<livingdesert>();
        QCOMPARE(desert.Label1.caption(), QStringLiteral("Living in the Desert"));
        QCOMPARE(desert.backColor(), QColor(39, 63, 137));
        QVERIFY(!desert.Image1.picture().isNull());
        QCOMPARE(desert.Image1.left(), (12000 - desert.Image1.width()) / 2);
        QCOMPARE(desert.Image1.top(), 810.f);

        rec.clearSounds();
        click(desert.label3[0]);
        multiple &quiz = screen<multiple>();
        QVERIFY(quiz.visible());
        QCOMPARE(rec.sounds(), QStringList{clickSound});
        QCOMPARE(quiz.Label5.caption(), QStringLiteral("Habitara"));
        QCOMPARE(quiz.Label6.caption(), QStringLiteral("Living in the Desert"));
        QCOMPARE(quiz.Picture1.picture().source(), QStringLiteral("images\\camelsm.jpg"));
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 1"));
        QCOMPARE(quiz.Label2.caption(), Module1::question[1]);
        QVERIFY(!Module1::question[1].isEmpty());
        QCOMPARE(quiz.Option1[3].caption(), Module1::answerc[1]);
        QVERIFY(!quiz.Label3[0].visible());
        QVERIFY(quiz.Option1[5].value());
        // The hidden choice lies under the picture, out of the pupil's sight.
        QVERIFY(quiz.Picture1.widget()->geometry().contains(quiz.Option1[5].widget()->geometry()));

        // Leaving and coming back reads the file again.
        click(quiz.Label3[2]);
        settle();
        QVERIFY(!isLoaded<multiple>());
        QByteArray file = content.read(QStringLiteral("multiple/Living in the Desert.txt"));
        file.replace("Living in the Desert\r\n", "Sand& sun and stars\r\n");
        content.write(QStringLiteral("multiple/Living in the Desert.txt"), file);
        click(desert.label3[0]);
        QCOMPARE(screen<multiple>().Label6.caption(), QStringLiteral("Sand, sun and stars"));
        QCOMPARE(screen<multiple>().Label5.caption(), QStringLiteral("Habitara"));
    }

    void aMissingOrShortQuizFileIsReportedAndNothingOpens()
    {
        ContentFolder content;
        Recorders rec;
        multiple &first = openMountainsQuiz();
        const QString loadedQuestion = Module1::question[4];
        click(first.Label3[2]);
        settle();

        const QString file = QStringLiteral("multiple/Living in the Mountains.txt");
        QByteArray bytes = content.read(file);
        content.write(file, bytes.left(bytes.indexOf("\r\n", bytes.size() / 2)));
        click(screen<livingmountains>().label3[0]);
        QCOMPARE(rec.messages.size(), 1);
        QVERIFY(rec.messages[0].contains(QStringLiteral("multiple\\Living in the Mountains.txt")));
        QVERIFY(!isLoaded<multiple>());
        QCOMPARE(Module1::question[4], loadedQuestion);
        QVERIFY(screen<livingmountains>().visible());

        content.remove(file);
        click(screen<livingmountains>().label3[0]);
        QCOMPARE(rec.messages.size(), 2);
        QVERIFY(!isLoaded<multiple>());
    }

    void movingThroughTheQuestions()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        rec.clearSounds();
        // Next with no answer records 0.
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[1], std::optional<int>(0));
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 2"));
        QVERIFY(quiz.Label3[0].visible());
        QCOMPARE(rec.sounds(), QStringList{clickSound});

        rec.clearSounds();
        click(quiz.Option1[Module1::correct[2].toInt()]);
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\typekey.wav")});
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[2], std::optional<int>(1));

        // Going back shows no choice, and moving on again without one records 0.
        click(quiz.Label3[0]);
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 2"));
        QVERIFY(quiz.Option1[5].value());
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!quiz.Option1[i].value());
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[2], std::optional<int>(0));

        while (*Module1::questnum < 10)
            click(quiz.Label3[1]);
        QCOMPARE(quiz.Label3[1].caption(), QStringLiteral("Check Score >>"));
        QCOMPARE(quiz.Label2.caption(), Module1::question[10]);
        click(quiz.Label3[0]);
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 9"));
        QCOMPARE(quiz.Label3[1].caption(), QStringLiteral("Next Question >>"));

        // Exit leaves no results behind.
        click(quiz.Label3[2]);
        settle();
        QVERIFY(!isLoaded<multiple>());
        QVERIFY(!isLoaded<Welldone>());
        QCOMPARE(Module1::score, std::optional<int>(0));
    }

    void wrongAnswersFillTheReviewInOrder()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        playQuiz(quiz, {2, 5, 9});
        settle();
        QVERIFY(!isLoaded<multiple>());
        QCOMPARE(Module1::score, std::optional<int>(7));
        QCOMPARE(Module1::quizheading, QStringLiteral("Habitara"));

        Welldone &results = screen<Welldone>();
        QVERIFY(results.visible());
        QCOMPARE(results.Label1.caption(), QStringLiteral("You have scored 7 out of 10."));
        QVERIFY(!results.Label6.visible());
        QVERIFY(results.Label5.visible());
        QCOMPARE(results.Label5.caption(),
                 QStringLiteral("Click the button above to check which questions you answered "
                                "incorrectly."));
        QVERIFY(results.Label3[0].visible());
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Check Wrong Answers"));
        QVERIFY(!results.Text1.visible());
        QTRY_VERIFY(resultsSettled(results));
        const QStringList fanfares = fanfaresIn(rec.sounds());
        QCOMPARE(fanfares.size(), 1);
        QVERIFY(QStringList({QStringLiteral("wav\\drumroll.wav"), QStringLiteral("wav\\laser2.wav"),
                             QStringLiteral("wav\\whizz.wav")})
                    .contains(fanfares[0]));
        QCOMPARE(results.Picture1.picture().source(), QStringLiteral("Images/andessm.jpg"));

        Wrong &review = screen<Wrong>();
        QCOMPARE(review.Label6.caption(), QStringLiteral("Living in the Mountains"));
        const int wrong[] = {2, 5, 9};
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(review.Label2[k].visible(), k < 3);
            if (k < 3)
                QCOMPARE(review.Label2[k].caption(),
                         QStringLiteral(" %1. ").arg(wrong[k]) + Module1::question[wrong[k]]);
        }
        rec.clearSounds();
        click(results.Label3[0]);
        QVERIFY(review.visible());
        QCOMPARE(rec.sounds(), QStringList{clickSound});

        // The review's Exit closes both screens at once and makes no sound.
        rec.clearSounds();
        click(review.Label3[1]);
        settle();
        QVERIFY(!isLoaded<Wrong>());
        QVERIFY(!isLoaded<Welldone>());
        QVERIFY(rec.sounds().isEmpty());
        QVERIFY(screen<livingmountains>().visible());
    }

    void fullMarksOffersTheCertificate()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        playQuiz(quiz, {});
        Welldone &results = screen<Welldone>();
        QCOMPARE(Module1::score, std::optional<int>(10));
        QCOMPARE(results.Label1.caption(),
                 QStringLiteral("Excellent work. You have scored 10 out of 10."));
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Print Certificate"));
        QVERIFY(results.Text1.visible() && results.Label2.visible());
        QVERIFY(!results.Label6.visible());
        Wrong &review = screen<Wrong>();
        for (int k = 0; k < 10; ++k)
            QVERIFY(!review.Label2[k].visible());
        QTRY_VERIFY(resultsSettled(results));
        QVERIFY(results.Text1.hasFocus());
        QVERIFY(results.Label3[0].opaque() && results.Label3[1].opaque());
        const QStringList fanfares = fanfaresIn(rec.sounds());
        QCOMPARE(fanfares.size(), 1);
        QVERIFY(QStringList({QStringLiteral("wav\\fanf2.wav"), QStringLiteral("wav\\fanf3.wav")})
                    .contains(fanfares[0]));

        typeInto(results.Text1, QStringLiteral("Anna-Louise Featherstonehaugh Smith"));
        QCOMPARE(results.Text1.text(), QStringLiteral("Anna-Louise Featherstoneh"));
        QCOMPARE(results.Text1.text().size(), 25);

        // The results screen's Exit closes the review with it.
        click(results.Label3[1]);
        settle();
        QVERIFY(!isLoaded<Welldone>() && !isLoaded<Wrong>());
    }

    void anActivityScoreShowsTheAdviceOnly()
    {
        ContentFolder content;
        Recorders rec;
        Module1::soundon = 1;
        struct Case
        {
            int score, outof;
            const char *message;
            bool certificate;
        };
        const Case cases[] = {
            {3, 4, "Good work. You have scored 3 out of 4.", false},
            {0, 5, "You have scored 0 out of 5.", false},
            {6, 8, "Good work. You have scored 6 out of 8.", false},
            {4, 4, "Excellent work. You have scored 4 out of 4.", true},
        };
        for (const Case &c : cases) {
            rec.clearSounds();
            Module1::score = c.score;
            Module1::outof = c.outof;
            Welldone &results = screen<Welldone>();
            results.show();
            QCOMPARE(results.Label1.caption(), QString::fromLatin1(c.message));
            QCOMPARE(results.Label6.visible(), !c.certificate);
            QCOMPARE(results.Label3[0].visible(), c.certificate);
            QVERIFY(!results.Label5.visible());
            QCOMPARE(results.Text1.visible(), c.certificate);
            QTRY_VERIFY(resultsSettled(results));
            // Only scores of six and more have a fanfare.
            if (c.score == 6)
                QVERIFY(rec.sounds() == QStringList{QStringLiteral("wav\\clap3.wav")} ||
                        rec.sounds() == QStringList{QStringLiteral("wav\\clown.wav")});
            else
                QVERIFY(rec.sounds().isEmpty());
            unload<Welldone>();
            settle();
        }
    }

    void aRightAnswerOutsideOneToFourNeverScores()
    {
        ContentFolder content;
        Recorders rec;
        const QString file = QStringLiteral("multiple/Living in the Mountains.txt");
        QList<QByteArray> lines = content.read(file).split('\n');
        lines[7] = "5\r";  // question 1: the hidden choice
        lines[14] = "x\r"; // question 2: no choice at all
        content.write(file, lines.join('\n'));
        multiple &quiz = openMountainsQuiz();
        click(quiz.Label3[1]);
        click(quiz.Option1[1]);
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[1], std::optional<int>(0));
        QCOMPARE(Module1::marks[2], std::optional<int>(0));
        for (int q = 3; q <= 10; ++q)
            answer(quiz, true);
        QCOMPARE(Module1::score, std::optional<int>(8));
        QVERIFY(screen<Welldone>().visible());
    }

    void withSoundOffNothingIsHeard()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        Module1::soundon = 0;
        rec.clearSounds();
        playQuiz(quiz, {});
        QTRY_VERIFY(resultsSettled(screen<Welldone>()));
        click(screen<Welldone>().Label3[1]);
        QVERIFY(rec.sounds().isEmpty());
    }
};

QTEST_MAIN(QuizTest)
#include "tst_quiz.moc"
