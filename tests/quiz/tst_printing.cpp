// SPDX-License-Identifier: GPL-3.0-or-later
// The two printouts of a quiz: the worksheet and the award certificate, checked as the printer
// was asked to draw them and as a PDF reads back.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "platform/fonts.h"
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

Welldone &fullMarks()
{
    playQuiz(openMountainsQuiz());
    return screen<Welldone>();
}

std::vector<PrintOp> only(const std::vector<PrintOp> &ops, const char *kind)
{
    std::vector<PrintOp> result;
    for (const PrintOp &op : ops)
        if (op.op == QLatin1String(kind))
            result.push_back(op);
    return result;
}

/// Measures as the recording printer does.
double widthOf(const QString &text, double size)
{
    std::vector<PrintOp> scratch;
    RecordingPrinter printer(&scratch);
    printer.setFontName(QStringLiteral("Times New Roman"));
    printer.setFontSize(size);
    return printer.textWidth(text);
}

bool centred(const PrintOp &op, double W)
{
    return qAbs(op.x - (W - widthOf(op.text, op.size)) / 2) < 0.5;
}

const QString band = QStringLiteral("   Well Done      Well Done     Well Done     Well Done    ");

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void theWorksheetLaysOutEveryQuestionTwoByTwo()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        for (int q = 1; q < 7; ++q)
            click(quiz.Label3[1]);
        click(quiz.Label3[3]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your worksheet is now printing.")});
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 7"));

        const auto texts = only(rec.printed, "print");
        const double W = 11184;
        QCOMPARE(texts.size(), size_t(7 + 10 * 6));
        QCOMPARE(rec.printed.back().op, QStringLiteral("enddoc"));
        for (const PrintOp &op : texts)
            QCOMPARE(op.font, QStringLiteral("Times New Roman"));
        QCOMPARE(texts[0].text, QStringLiteral(" "));
        QCOMPARE(texts[0].x, W / 8);
        QCOMPARE(texts[0].size, 16.0);
        QCOMPARE(texts[1].text, QStringLiteral("Habitara") + QString(57, QLatin1Char(' ')) +
                                    QStringLiteral("Quillmoor Publishing Ltd"));
        QCOMPARE(texts[1].x, W / 16);
        QVERIFY(!texts[1].endLine);
        QCOMPARE(texts[2].y, texts[1].y);
        QVERIFY(texts[3].y > texts[2].y);
        QCOMPARE(texts[4].text, QStringLiteral("Habitara"));
        QCOMPARE(texts[5].text, QStringLiteral("Living in the Mountains"));
        QCOMPARE(texts[4].size, 32.0);
        QVERIFY(centred(texts[4], W) && centred(texts[5], W));
        QCOMPARE(texts[6].size, 32.0);

        for (int q = 1; q <= 10; ++q) {
            const PrintOp *line = &texts[7 + (q - 1) * 6];
            QCOMPARE(line[0].text, QStringLiteral("Question %1    ").arg(q) + Module1::question[q]);
            QCOMPARE(line[0].x, W / 16);
            QCOMPARE(line[0].size, 12.0);
            QCOMPARE(line[1].text, QStringLiteral("A. ") + Module1::answera[q]);
            QCOMPARE(line[2].text, QStringLiteral("B. ") + Module1::answerb[q]);
            QCOMPARE(line[3].text, QStringLiteral("C. ") + Module1::answerc[q]);
            QCOMPARE(line[4].text, QStringLiteral("D. ") + Module1::answerd[q]);
            QCOMPARE(line[1].x, W * 2 / 6);
            QCOMPARE(line[2].x, W * 4 / 6);
            QCOMPARE(line[3].x, W * 2 / 6);
            QCOMPARE(line[4].x, W * 4 / 6);
            QVERIFY(!line[1].endLine && line[2].endLine && !line[3].endLine && line[4].endLine);
            QCOMPARE(line[1].y, line[2].y);
            QCOMPARE(line[3].y, line[4].y);
            QVERIFY(line[3].y > line[1].y);
            QCOMPARE(line[5].text, QStringLiteral(" "));
        }
        // The page fits one A4 sheet.
        QVERIFY(texts.back().y < 16116);
    }

    void aWorksheetWithoutAPrinterOnlySaysSo()
    {
        ContentFolder content;
        Recorders rec;
        multiple &quiz = openMountainsQuiz();
        click(quiz.Label3[1]);
        rec.failPrinting();
        click(quiz.Label3[3]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 2"));
        click(quiz.Label3[1]);
        QCOMPARE(quiz.Label4.caption(), QStringLiteral("Question 3"));
    }

    void theWorksheetPdfReadsBack()
    {
        ContentFolder content;
        Recorders rec;
        const QString pdf = content.path(QStringLiteral("worksheet.pdf"));
        rec.printToPdf(pdf);
        openMountainsQuiz();
        click(screen<multiple>().Label3[3]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your worksheet is now printing.")});
        const QString text = pdfText(pdf).simplified();
        for (const QString &expected :
             {QStringLiteral("Quillmoor Publishing Ltd"), QStringLiteral("Living in the Mountains"),
              QStringLiteral("Question 3 ") + Module1::question[3],
              QStringLiteral("D. ") + Module1::answerd[10]})
            QVERIFY2(text.contains(expected.simplified()), qPrintable(expected));
    }

    void theCertificateCarriesNameScoreAndFrame()
    {
        ContentFolder content;
        Recorders rec;
        Welldone &results = fullMarks();
        QTRY_VERIFY(resultsSettled(results));
        typeInto(results.Text1, QStringLiteral("Sam Jones"));
        rec.clearSounds();
        click(results.Label3[0]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your certificate is now printing.")});
        QVERIFY(rec.sounds().isEmpty());

        const double W = 11184, H = 16116;
        const auto texts = only(rec.printed, "print");
        auto find = [&](const QString &text) {
            for (const PrintOp &op : texts)
                if (op.text == text)
                    return op;
            return PrintOp();
        };
        QCOMPARE(texts.front().x, W / 8);
        QCOMPARE(texts[1].text, band + band);
        QCOMPARE(texts[1].x, 0.0);
        QCOMPARE(texts[1].color, QColor(0, 0, 255));
        QCOMPARE(texts[1].size, 25.0);
        QCOMPARE(texts.back().text, band + band);
        QCOMPARE(texts.back().color, QColor(0, 0, 0));
        QVERIFY(!texts.back().endLine);

        const PrintOp product = find(QStringLiteral("Habitara"));
        QCOMPARE(product.color, QColor(255, 0, 0));
        QCOMPARE(product.size, 36.0);
        QVERIFY(centred(product, W));
        const PrintOp award = find(QStringLiteral("Excellent Work"));
        QCOMPARE(award.color, QColor(0, 0, 128));
        QCOMPARE(award.size, 28.0);
        const PrintOp name = find(QStringLiteral("Sam Jones"));
        QVERIFY(centred(name, W));
        QCOMPARE(name.size, 28.0);
        const PrintOp scoreLine = find(QStringLiteral("You have scored 10 out of 10."));
        QVERIFY(centred(scoreLine, W));
        QVERIFY(scoreLine.y > name.y && name.y > award.y && award.y > product.y);
        QVERIFY(texts.back().y < H);

        // Five rectangles and three inner boxes, 32 black lines two dots wide.
        const auto lines = only(rec.printed, "line");
        QCOMPARE(lines.size(), size_t(32));
        std::set<std::tuple<double, double, double, double>> drawn;
        for (const PrintOp &l : lines) {
            QCOMPARE(l.color, QColor(0, 0, 0));
            QCOMPARE(l.drawWidth, 2);
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
        const auto first = rec.printed;
        rec.printed.clear();
        click(results.Label3[0]);
        QCOMPARE(rec.printed.size(), first.size());
        for (size_t i = 0; i < first.size(); ++i)
            QVERIFY(rec.printed[i].text == first[i].text && rec.printed[i].x == first[i].x &&
                    rec.printed[i].y == first[i].y);
    }

    void theCertificateAfterAnActivityAndWithAnEmptyName()
    {
        ContentFolder content;
        Recorders rec;
        Module1::quizheading =
            QStringLiteral("A very long worksheet title about mountains and deserts");
        Module1::score = 4;
        Module1::outof = 4;
        Welldone &results = screen<Welldone>();
        results.show();
        QCOMPARE(results.Label3[0].caption(), QStringLiteral("Print Certificate"));
        click(results.Label3[0]);
        const auto texts = only(rec.printed, "print");
        bool title = false, score = false, emptyName = false;
        for (size_t i = 0; i < texts.size(); ++i) {
            if (texts[i].text == Module1::quizheading) {
                title = true;
                QCOMPARE(texts[i].size, 28.0);
            }
            score = score || texts[i].text == QStringLiteral("You have scored 4 out of 4.");
            if (i > 1 && texts[i - 1].text == QStringLiteral(" ") && texts[i].text.isEmpty() &&
                texts[i - 2].text == QStringLiteral("Excellent Work"))
                emptyName = qAbs(texts[i].x - 11184 / 2.0) < 0.5;
        }
        QVERIFY(title && score && emptyName);

        // A short title prints at the larger size.
        unload<Welldone>();
        settle();
        rec.printed.clear();
        Module1::quizheading = QStringLiteral("Hills");
        screen<Welldone>().show();
        click(screen<Welldone>().Label3[0]);
        const auto shortTitle = only(rec.printed, "print");
        const auto hills =
            std::find_if(shortTitle.begin(), shortTitle.end(),
                         [](const PrintOp &op) { return op.text == QStringLiteral("Hills"); });
        QVERIFY(hills != shortTitle.end());
        QCOMPARE(hills->size, 36.0);

        rec.failPrinting();
        rec.messages.clear();
        click(screen<Welldone>().Label3[0]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral("There was a problem printing to your printer.")});
        QVERIFY(screen<Welldone>().visible());
    }

    void theCertificatePdfReadsBack()
    {
        ContentFolder content;
        Recorders rec;
        Welldone &results = fullMarks();
        QTRY_VERIFY(resultsSettled(results));
        typeInto(results.Text1, QStringLiteral("Priya"));
        const QString pdf = content.path(QStringLiteral("certificate.pdf"));
        rec.printToPdf(pdf);
        click(results.Label3[0]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your certificate is now printing.")});
        const QString text = pdfText(pdf).simplified();
        for (const char *expected : {"Well Done Well Done", "Habitara", "Excellent Work", "Priya",
                                     "You have scored 10 out of 10."})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
