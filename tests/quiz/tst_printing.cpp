// SPDX-License-Identifier: GPL-3.0-or-later
// The two printouts of a quiz: the worksheet and the award certificate, checked as the printer
// was asked to draw them and as a PDF reads back.
#include "app/Module1.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QTest>

#include <set>
#include <tuple>

using namespace testkit;
using namespace pupil;

namespace {

const double W = 11184, H = 16116;
const QString band = QStringLiteral("   Well Done      Well Done     Well Done     Well Done    ");

std::vector<PrintOp> only(const std::vector<PrintOp> &ops, const char *kind)
{
    std::vector<PrintOp> result;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(result),
                 [kind](const PrintOp &op) { return op.op == QLatin1String(kind); });
    return result;
}

/// The first text printed as given, or an empty operation.
PrintOp find(const std::vector<PrintOp> &ops, const QString &text)
{
    const auto at =
        std::find_if(ops.begin(), ops.end(), [&](const PrintOp &op) { return op.text == text; });
    return at == ops.end() ? PrintOp() : *at;
}

bool centred(const PrintOp &op)
{
    std::vector<PrintOp> scratch;
    RecordingPrinter printer(&scratch);
    printer.setFontName(QStringLiteral("Times New Roman"));
    printer.setFontSize(op.size);
    return qAbs(op.x - (W - printer.textWidth(op.text)) / 2) < 0.5;
}

QString pdfOf(Recorders &rec, const ContentFolder &content, const Control &button)
{
    const QString pdf = content.path(QStringLiteral("printout.pdf"));
    rec.printToPdf(pdf);
    click(button);
    return pdfText(pdf).simplified();
}

} // namespace

class PrintingTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void theWorksheetLaysOutEveryQuestionTwoByTwo()
    {
        multiple &quiz = openMountainsQuiz();
        for (int q = 1; q < 7; ++q)
            click(quiz.Label3[1]);
        QCOMPARE(rec->said(quiz.Label3[3]),
                 QStringList{QStringLiteral("Your worksheet is now printing.")});
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 7"));

        const auto texts = only(rec->printed, "print");
        QCOMPARE(texts.size(), size_t(7 + 10 * 6));
        QCOMPARE(rec->printed.back().op, QStringLiteral("enddoc"));
        for (const PrintOp &op : texts)
            QCOMPARE(op.font, QStringLiteral("Times New Roman"));
        QVERIFY(texts[0].text == QStringLiteral(" ") && texts[0].x == W / 8 && texts[0].size == 16);
        QCOMPARE(texts[1].text, QStringLiteral("Habitara") + QString(57, QLatin1Char(' ')) +
                                    QStringLiteral("Quillmoor Publishing Ltd"));
        QVERIFY(texts[1].x == W / 16 && !texts[1].endLine && texts[2].y == texts[1].y);
        QVERIFY(texts[3].y > texts[2].y);
        QCOMPARE(texts[4].text, QStringLiteral("Habitara"));
        QCOMPARE(texts[5].text, QStringLiteral("Living in the Mountains"));
        QVERIFY(texts[4].size == 32 && texts[6].size == 32 && centred(texts[4]) &&
                centred(texts[5]));

        for (int q = 1; q <= 10; ++q) {
            const PrintOp *line = &texts[7 + (q - 1) * 6];
            QCOMPARE(line[0].text, QStringLiteral("Question %1    ").arg(q) + Module1::question[q]);
            QVERIFY(line[0].x == W / 16 && line[0].size == 12);
            const QString answers[] = {Module1::answera[q], Module1::answerb[q],
                                       Module1::answerc[q], Module1::answerd[q]};
            for (int a = 0; a < 4; ++a) {
                QCOMPARE(line[1 + a].text,
                         QStringLiteral("%1. ").arg(QChar(u'A' + a)) + answers[a]);
                QCOMPARE(line[1 + a].x, W * (a % 2 ? 4 : 2) / 6);
                QCOMPARE(line[1 + a].endLine, a % 2 == 1);
            }
            QVERIFY(line[1].y == line[2].y && line[3].y == line[4].y && line[3].y > line[1].y);
            QCOMPARE(line[5].text, QStringLiteral(" "));
        }
        QVERIFY(texts.back().y < H);

        // Without a printer it only says so, and the quiz goes on where it was.
        rec->failPrinting();
        QCOMPARE(rec->said(quiz.Label3[3]),
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});
        click(quiz.Label3[1]);
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 8"));
    }

    void theCertificateCarriesNameScoreAndFrame()
    {
        Welldone &results = playToResults();
        typeInto(results.Text1, QStringLiteral("Sam Jones"));
        rec->clearSounds();
        QCOMPARE(rec->said(results.Label3[0]),
                 QStringList{QStringLiteral("Your certificate is now printing.")});
        QVERIFY(rec->sounds().isEmpty());

        const auto texts = only(rec->printed, "print");
        QCOMPARE(texts.front().x, W / 8);
        QVERIFY(texts[1].text == band + band && texts[1].x == 0 && texts[1].size == 25);
        QCOMPARE(texts[1].color, QColor(0, 0, 255));
        QVERIFY(texts.back().text == band + band && !texts.back().endLine);
        QCOMPARE(texts.back().color, QColor(0, 0, 0));
        const PrintOp product = find(texts, QStringLiteral("Habitara"));
        QVERIFY(product.color == QColor(255, 0, 0) && product.size == 36 && centred(product));
        const PrintOp award = find(texts, QStringLiteral("Excellent Work"));
        QVERIFY(award.color == QColor(0, 0, 128) && award.size == 28);
        const PrintOp name = find(texts, QStringLiteral("Sam Jones"));
        QVERIFY(centred(name) && name.size == 28);
        const PrintOp scoreLine = find(texts, QStringLiteral("You have scored 10 out of 10."));
        QVERIFY(centred(scoreLine));
        QVERIFY(scoreLine.y > name.y && name.y > award.y && award.y > product.y);
        QVERIFY(texts.back().y < H);

        // Five rectangles and three inner boxes, 32 black lines two dots wide.
        const auto lines = only(rec->printed, "line");
        QCOMPARE(lines.size(), size_t(32));
        std::set<std::tuple<double, double, double, double>> drawn;
        for (const PrintOp &l : lines) {
            QVERIFY(l.color == QColor(0, 0, 0) && l.drawWidth == 2);
            drawn.insert({l.x, l.y, l.x2, l.y2});
        }
        for (int i = 0; i < 5; ++i) {
            const double mx = 45 + 45 * i, my = 270 + 45 * i;
            QVERIFY(drawn.count({mx, my, W - mx, my}) && drawn.count({mx, my, mx, H - my}) &&
                    drawn.count({W - mx, my, W - mx, H - my}) &&
                    drawn.count({mx, H - my, W - mx, H - my}));
            if (i < 3)
                QVERIFY(drawn.count({mx + 600, my + 7050, W - mx - 600, my + 7050}) &&
                        drawn.count({mx + 600, H - my - 3750, W - mx - 600, H - my - 3750}));
        }

        // Printing again gives the same certificate.
        const auto first = rec->printed;
        rec->printed.clear();
        click(results.Label3[0]);
        QCOMPARE(rec->printed.size(), first.size());
        for (size_t i = 0; i < first.size(); ++i)
            QVERIFY(rec->printed[i].text == first[i].text && rec->printed[i].x == first[i].x &&
                    rec->printed[i].y == first[i].y);
    }

    void theCertificateAfterAnActivityAndWithAnEmptyName()
    {
        Module1::quizheading =
            QStringLiteral("A very long worksheet title about mountains and deserts");
        click(showScore(4, 4).Label3[0]);
        const auto texts = only(rec->printed, "print");
        QCOMPARE(find(texts, Module1::quizheading).size, 28.0);
        QCOMPARE(find(texts, QStringLiteral("You have scored 4 out of 4.")).op,
                 QStringLiteral("print"));
        // The empty name is still printed, centred, after the award and a blank line.
        bool emptyName = false;
        for (size_t i = 2; i < texts.size(); ++i)
            emptyName = emptyName || (texts[i - 2].text == QStringLiteral("Excellent Work") &&
                                      texts[i - 1].text == QStringLiteral(" ") &&
                                      texts[i].text.isEmpty() && qAbs(texts[i].x - W / 2) < 0.5);
        QVERIFY(emptyName);

        // A short title prints at the larger size.
        unload<Welldone>();
        settle();
        rec->printed.clear();
        Module1::quizheading = QStringLiteral("Hills");
        click(showScore(4, 4).Label3[0]);
        QCOMPARE(find(only(rec->printed, "print"), QStringLiteral("Hills")).size, 36.0);

        rec->failPrinting();
        QCOMPARE(rec->said(screen<Welldone>().Label3[0]),
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});
        QVERIFY(screen<Welldone>().visible());
    }

    void bothPrintoutsReadBackAsPdf()
    {
        const QString sheet = pdfOf(*rec, *content, openMountainsQuiz().Label3[3]);
        for (const QString &expected :
             {QStringLiteral("Quillmoor Publishing Ltd"), QStringLiteral("Living in the Mountains"),
              QStringLiteral("Question 3 ") + Module1::question[3],
              QStringLiteral("D. ") + Module1::answerd[10]})
            QVERIFY2(sheet.contains(expected.simplified()), qPrintable(expected));
        unload<multiple>();
        settle();

        Welldone &results = playToResults();
        typeInto(results.Text1, QStringLiteral("Priya"));
        const QString certificate = pdfOf(*rec, *content, results.Label3[0]);
        for (const char *expected : {"Well Done Well Done", "Habitara", "Excellent Work", "Priya",
                                     "You have scored 10 out of 10."})
            QVERIFY2(certificate.contains(QLatin1String(expected)), expected);
        QCOMPARE(rec->messages, QStringList({QStringLiteral("Your worksheet is now printing."),
                                             QStringLiteral("Your certificate is now printing.")}));
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
