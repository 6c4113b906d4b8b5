// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil's road through a quiz: topic menu, questions, results, review and certificate.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;
using namespace pupil;

namespace {

const QString clickSound = QStringLiteral("wav\\click.wav");

/// The one sound that is neither a button click nor an answer tick.
QString fanfareIn(QStringList sounds)
{
    sounds.removeAll(clickSound);
    sounds.removeAll(QStringLiteral("wav\\typekey.wav"));
    return sounds.size() == 1 ? sounds[0] : sounds.join(u'+');
}

} // namespace

class QuizTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theTopicMenuOpensItsQuiz()
    {
        screen<intro0>().show();
        click(screen<intro0>().Label2[5]);
        livingdesert &desert = screen<livingdesert>();
        QCOMPARE(desert.Label1.caption(), QStringLiteral("Living in the Desert"));
        QVERIFY(!desert.Image1.picture().isNull());
        QCOMPARE(desert.Image1.left(), (12000 - desert.Image1.width()) / 2);
        QCOMPARE(rec->heard(desert.label3[0]), QStringList{clickSound});
        multiple &quiz = screen<multiple>();
        QVERIFY(quiz.visible());
        QCOMPARE(quiz.Label5.caption(), QStringLiteral("Habitara"));
        QCOMPARE(quiz.Label6.caption(), QStringLiteral("Living in the Desert"));
        QCOMPARE(quiz.Picture1.picture().source(), QStringLiteral("images\\camelsm.jpg"));
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 1"));
        QVERIFY(!Module1::question[1].isEmpty() && quiz.Label2.caption() == Module1::question[1]);
        QCOMPARE(quiz.Option1[3].caption(), Module1::answerc[1]);
        QVERIFY(!quiz.Label3[0].visible() && quiz.Option1[5].value());
        // The hidden choice lies under the picture, out of the pupil's sight.
        QVERIFY(quiz.Picture1.widget()->geometry().contains(quiz.Option1[5].widget()->geometry()));

        // Leaving and coming back reads the file again.
        click(quiz.Label3[2]);
        settle();
        QVERIFY(!isLoaded<multiple>());
        const QString file = QStringLiteral("multiple/Living in the Desert.txt");
        content->write(file, content->read(file).replace("Living in the Desert\r\n",
                                                         "Sand& sun and stars\r\n"));
        click(desert.label3[0]);
        QCOMPARE(screen<multiple>().Label6.caption(), QStringLiteral("Sand, sun and stars"));
    }

    void aMissingOrShortQuizFileIsReportedAndNothingOpens()
    {
        multiple &first = openMountainsQuiz();
        const QString loadedQuestion = Module1::question[4];
        click(first.Label3[2]);
        settle();
        const QString file = QStringLiteral("multiple/Living in the Mountains.txt");
        const QByteArray bytes = content->read(file);
        content->write(file, bytes.left(bytes.indexOf("\r\n", bytes.size() / 2)));
        click(screen<livingmountains>().label3[0]);
        QCOMPARE(rec->messages.size(), 1);
        QVERIFY(rec->messages[0].contains(QStringLiteral("multiple\\Living in the Mountains.txt")));
        QVERIFY(!isLoaded<multiple>() && screen<livingmountains>().visible());
        QCOMPARE(Module1::question[4], loadedQuestion);

        content->remove(file);
        click(screen<livingmountains>().label3[0]);
        QCOMPARE(rec->messages.size(), 2);
        QVERIFY(!isLoaded<multiple>());
    }

    void movingThroughTheQuestions()
    {
        multiple &quiz = openMountainsQuiz();
        // Next with no answer records 0.
        QCOMPARE(rec->heard(quiz.Label3[1]), QStringList{clickSound});
        QCOMPARE(Module1::marks[1], std::optional<int>(0));
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 2"));
        QVERIFY(quiz.Label3[0].visible());
        QCOMPARE(rec->heard(quiz.Option1[Module1::correct[2].toInt()]),
                 QStringList{QStringLiteral("wav\\typekey.wav")});
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[2], std::optional<int>(1));

        // Going back shows no choice, and moving on again without one records 0.
        click(quiz.Label3[0]);
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 2"));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(quiz.Option1[i].value(), i == 5);
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
        QVERIFY(!isLoaded<multiple>() && !isLoaded<Welldone>());
        QCOMPARE(Module1::score, std::optional<int>(0));
    }

    void wrongAnswersFillTheReviewInOrder()
    {
        Welldone &results = playToResults({2, 5, 9});
        QVERIFY(!isLoaded<multiple>() && results.visible() && resultsSettled(results));
        QCOMPARE(Module1::score, std::optional<int>(7));
        QCOMPARE(results.Label1.caption(), QStringLiteral("You have scored 7 out of 10."));
        QVERIFY(!results.Label6.visible() && results.Label5.visible() && !results.Text1.visible());
        QCOMPARE(results.Label5.caption(),
                 QStringLiteral("Click the button above to check which questions you answered "
                                "incorrectly."));
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Check Wrong Answers"));
        QVERIFY(QStringList({QStringLiteral("wav\\drumroll.wav"), QStringLiteral("wav\\laser2.wav"),
                             QStringLiteral("wav\\whizz.wav")})
                    .contains(fanfareIn(rec->sounds())));
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
        QCOMPARE(rec->heard(results.Label3[0]), QStringList{clickSound});
        QVERIFY(review.visible());

        // The review's Exit closes both screens at once and makes no sound.
        QVERIFY(rec->heard(review.Label3[1]).isEmpty());
        settle();
        QVERIFY(!isLoaded<Wrong>() && !isLoaded<Welldone>());
        QVERIFY(screen<livingmountains>().visible());
    }

    void fullMarksOffersTheCertificate()
    {
        Welldone &results = playToResults();
        QCOMPARE(Module1::score, std::optional<int>(10));
        QCOMPARE(results.Label1.caption(),
                 QStringLiteral("Excellent work. You have scored 10 out of 10."));
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Print Certificate"));
        QVERIFY(results.Text1.visible() && results.Label2.visible() && !results.Label6.visible());
        for (int k = 0; k < 10; ++k)
            QVERIFY(!screen<Wrong>().Label2[k].visible());
        QVERIFY(resultsSettled(results) && results.Text1.hasFocus());
        QVERIFY(results.Label3[0].opaque() && results.Label3[1].opaque());
        QVERIFY(QStringList({QStringLiteral("wav\\fanf2.wav"), QStringLiteral("wav\\fanf3.wav")})
                    .contains(fanfareIn(rec->sounds())));
        typeInto(results.Text1, QStringLiteral("Anna-Louise Featherstonehaugh Smith"));
        QCOMPARE(results.Text1.text(), QStringLiteral("Anna-Louise Featherstoneh"));

        // The results screen's Exit closes the review with it.
        click(results.Label3[1]);
        settle();
        QVERIFY(!isLoaded<Welldone>() && !isLoaded<Wrong>());
    }

    void anActivityScoreShowsTheAdviceOnly_data()
    {
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("outof");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("fanfares");
        const QString good = QStringLiteral("Good work. You have scored %1 out of %2.");
        QTest::newRow("3/4") << 3 << 4 << good.arg(3).arg(4) << QStringList();
        QTest::newRow("0/5") << 0 << 5 << QStringLiteral("You have scored 0 out of 5.")
                             << QStringList();
        QTest::newRow("6/8") << 6 << 8 << good.arg(6).arg(8)
                             << QStringList{QStringLiteral("wav\\clap3.wav"),
                                            QStringLiteral("wav\\clown.wav")};
        QTest::newRow("4/4") << 4 << 4
                             << QStringLiteral("Excellent work. You have scored 4 out of 4.")
                             << QStringList();
    }

    void anActivityScoreShowsTheAdviceOnly()
    {
        QFETCH(int, score);
        QFETCH(int, outof);
        QFETCH(QString, message);
        QFETCH(QStringList, fanfares);
        Module1::soundon = 1;
        Welldone &results = showScore(score, outof);
        QCOMPARE(results.Label1.caption(), message);
        const bool certificate = score == outof;
        QCOMPARE(results.Label6.visible(), !certificate);
        QCOMPARE(results.Label3[0].visible(), certificate);
        QCOMPARE(results.Text1.visible(), certificate);
        QVERIFY(!results.Label5.visible());
        QTRY_VERIFY(resultsSettled(results));
        // Only scores of six and more have a fanfare.
        QCOMPARE(rec->sounds().size(), fanfares.isEmpty() ? 0 : 1);
        QVERIFY(fanfares.isEmpty() || fanfares.contains(rec->sounds()[0]));
    }

    void anOddRightAnswerNeverScoresAndSoundOffIsSilent()
    {
        const QString file = QStringLiteral("multiple/Living in the Mountains.txt");
        QList<QByteArray> lines = content->read(file).split('\n');
        lines[7] = "5\r";  // question 1: the hidden choice
        lines[14] = "x\r"; // question 2: no choice at all
        content->write(file, lines.join('\n'));
        multiple &quiz = openMountainsQuiz();
        // With the sound off nothing is heard, not even a fanfare.
        Module1::soundon = 0;
        rec->clearSounds();
        click(quiz.Label3[1]);
        click(quiz.Option1[1]);
        click(quiz.Label3[1]);
        QCOMPARE(Module1::marks[1], std::optional<int>(0));
        QCOMPARE(Module1::marks[2], std::optional<int>(0));
        for (int q = 3; q <= 10; ++q)
            answer(quiz, true);
        QCOMPARE(Module1::score, std::optional<int>(8));
        QTRY_VERIFY(resultsSettled(screen<Welldone>()));
        click(screen<Welldone>().Label3[1]);
        QVERIFY(rec->sounds().isEmpty());
    }
};

QTEST_MAIN(QuizTest)
#include "tst_quiz.moc"
