// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet catalogue driven by clicks: pages, the three modes, deleting, and the whole
// road of a teacher from the main menu and back.
#include "app/Module1.h"
#include "app/intro0.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/msgbox.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/author.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;
using namespace author;

namespace {

const QStringList clickSound{QStringLiteral("wav\\click.wav")};
const QStringList corrupted{QStringLiteral("This worksheet seems to be corrupted.")};

QStringList askDelete(const QString &title)
{
    return {QStringLiteral("Are you sure that you want to delete the worksheet %1?").arg(title)};
}

} // namespace

class CatalogueTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void pagesReachEveryTitle()
    {
        registerSheets(titles(1000), false);
        worksheets &big = openCatalogue();
        QVERIFY(!big.Label3[0].visible() && big.Label3[1].visible());
        QCOMPARE(rec->heard(big.Label3[1]), clickSound);
        QCOMPARE(shown(big), titles(48).mid(24));
        QVERIFY(big.Label3[0].visible());
        click(big.Label3[0]);
        QCOMPARE(shown(big), titles(24));
        QCOMPARE(big.Label4.caption(), QStringLiteral("Page 1"));
        QVERIFY(!big.Label3[0].visible());
        while (big.Label3[1].visible())
            click(big.Label3[1]);

        // Deleting on the last page reaches beyond the list safely, with no file to load.
        rec->answers = {vbOK};
        click(big.Check2);
        QCOMPARE(rec->said(big.Label2[16]), askDelete(QStringLiteral("Sheet 1000")));
        QCOMPARE(shown(big), titles(999).mid(984));
        QCOMPARE(content->read(track), registerBytes(titles(999)));

        // Hover lights the titles and Exit only.
        moveOverForm(big, QPointF(6000, 7000));
        QVERIFY(!big.Label2[0].opaque() && !big.Label2[3].opaque() && big.Label3[0].opaque());
        moveOver(big.Label2[3]);
        QVERIFY(big.Label2[3].opaque());
    }

    void deletingTitles()
    {
        registerSheets(titles(30));
        worksheets &cat = openCatalogue();
        // The mode boxes untick each other; unticking leaves the other alone.
        click(cat.Check1);
        click(cat.Check2);
        QVERIFY(cat.Check2.value() == 1 && cat.Check1.value() == 0);
        click(cat.Check1);
        QCOMPARE(cat.Check2.value(), 0);
        click(cat.Check1);
        QCOMPARE(cat.Check1.value() + cat.Check2.value(), 0);
        click(cat.Check2);

        // Cancel changes nothing, though the worksheet was loaded. The question has no title.
        const auto before = folderFiles();
        rec->answers = {vbCancel};
        rec->titles.clear();
        QCOMPARE(rec->heard(cat.Label2[7]), clickSound);
        QCOMPARE(rec->messages, askDelete(QStringLiteral("Sheet 7")));
        QCOMPARE(rec->titles, QStringList{QString()});
        QCOMPARE(Module1::worktitle, QStringLiteral("Sheet 7"));
        QCOMPARE(folderFiles(), before);
        QCOMPARE(shown(cat), titles(24));

        // OK removes it from the register, not its file; the page fills up from the next.
        click(cat.Label2[7]);
        QStringList left = titles(30);
        left.removeAt(6);
        QCOMPARE(content->read(track), registerBytes(left));
        QCOMPARE(shown(cat), left.mid(0, 24));
        QCOMPARE(content->read(QStringLiteral("multiple/Sheet 7.txt")),
                 worksheetBytes(QStringLiteral("Sheet 7")));
        click(cat.Label3[1]);
        QCOMPARE(shown(cat), left.mid(24));

        // The last title of page 2, then the only one left there.
        while (shown(cat).size() > 1) {
            const int last = int(shown(cat).size());
            click(cat.Label2[last]);
            QCOMPARE(shown(cat), left.mid(24, last - 1));
        }
        click(cat.Label2[1]);
        QVERIFY(shown(cat).isEmpty() && cat.Label3[0].visible());
        QCOMPARE(content->read(track), registerBytes(left.mid(0, 24)));
        click(cat.Label3[0]);
        QCOMPARE(shown(cat), left.mid(0, 24));

        // A title whose file has gone, or is damaged, is removed all the same.
        content->remove(QStringLiteral("multiple/Sheet 1.txt"));
        content->write(QStringLiteral("multiple/Sheet 2.txt"), "damaged\r\n");
        QCOMPARE(rec->said(cat.Label2[1]), askDelete(QStringLiteral("Sheet 1")));
        QCOMPARE(rec->said(cat.Label2[1]), askDelete(QStringLiteral("Sheet 2")));
        QCOMPARE(content->read(track), registerBytes(left.mid(2, 22)));
    }

    void runningAWorksheetTurnsTheSoundOnAgain()
    {
        registerSheets(titles(3));
        screen<intro0>().show();
        click(screen<intro0>().Option2);
        worksheets &cat = openCatalogue();
        // The click came first, while sound was still off.
        QVERIFY(rec->heard(cat.Label2[2]).isEmpty());
        QCOMPARE(Module1::soundon, std::optional<int>(1));
        multiple &quiz = screen<multiple>();
        QVERIFY(quiz.visible() && cat.visible() && !screen<intro0>().visible());
        QCOMPARE(quiz.Label6.caption(), QStringLiteral("Sheet 2"));
        QCOMPARE(quiz.Label5.caption(), QStringLiteral("Habitara Demo"));
        QCOMPARE(quiz.Picture1.picture().source(), screen<intro0>().Image1.picture().source());
        QCOMPARE(quiz.Label2.caption(), QStringLiteral("Question 1 of Sheet 2"));
    }

    // A worksheet cut short, or with a right answer that is not 1 to 4, which would leave a
    // question no pupil could get right, is neither run nor edited, and stays listed.
    void aDamagedWorksheetIsNotOpened_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("edit");
        const QByteArray whole = worksheetBytes(QStringLiteral("Sheet 2"));
        for (const char *bad : {"5", "0", "x", "", "2.5", "-1", "4x", "cut short"}) {
            QByteArray bytes = whole;
            if (bad == QByteArray("cut short"))
                bytes.truncate(200);
            else
                bytes.replace("\r\nD 10\r\n2\r\n", "\r\nD 10\r\n" + QByteArray(bad) + "\r\n");
            QTest::addRow("run %s", bad) << bytes << false;
            QTest::addRow("edit %s", bad) << bytes << true;
        }
    }

    void aDamagedWorksheetIsNotOpened()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, edit);
        registerSheets(titles(2));
        content->write(QStringLiteral("multiple/Sheet 2.txt"), bytes);
        worksheets &cat = openCatalogue();
        if (edit)
            click(cat.Check1);
        QCOMPARE(rec->said(cat.Label2[2]), corrupted);
        QVERIFY(!isLoaded<wizard>() && !isLoaded<multiple>());
        QCOMPARE(shown(cat), titles(2));
        // Its neighbour, whole, opens.
        QCOMPARE(rec->said(cat.Label2[1]), QStringList());
        QVERIFY(edit ? isLoaded<wizard>() : isLoaded<multiple>());
    }

    // A worksheet written by hand may hold more than the wizard's boxes: the teacher is told
    // which parts would be shortened before the wizard opens, and may leave it.
    void editingAHandMadeWorksheet()
    {
        registerSheets(titles(1));
        QByteArray bytes = worksheetBytes(QStringLiteral("Sheet 1"));
        bytes.replace("Question 2 of Sheet 1", QByteArray(70, 'q'));
        bytes.replace("\r\nC 5\r\n", "\r\n" + QByteArray(31, 'c') + "\r\n");
        content->write(QStringLiteral("multiple/Sheet 1.txt"), bytes);
        worksheets &cat = openCatalogue();
        click(cat.Check1);
        rec->answers = {vbCancel};
        const QStringList asked = rec->said(cat.Label2[1]);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].startsWith(QStringLiteral("This worksheet holds more than the wizard's "
                                                    "boxes can: Question 2 and Question 5 would "
                                                    "be shortened")),
                 qPrintable(asked[0]));
        QVERIFY(!isLoaded<wizard>());
        QCOMPARE(rec->said(cat.Label2[1]), asked);
        wizard &w = screen<wizard>();
        QVERIFY(w.visible());
        QCOMPARE(w.Text2[1].text(), QString(60, QLatin1Char('q')));
        QCOMPARE(w.Text3[18].text(), QString(30, QLatin1Char('c')));
        QCOMPARE(content->read(QStringLiteral("multiple/Sheet 1.txt")), bytes);
    }

    // Only a page with titles is ever reached, however many fill the pages exactly, and every
    // title is on one of them.
    void nextPageNeverLeadsToAnEmptyPage_data()
    {
        QTest::addColumn<int>("count");
        for (int count : {1, 23, 24, 25, 47, 48, 49, 72, 1000})
            QTest::addRow("%d titles", count) << count;
    }

    void nextPageNeverLeadsToAnEmptyPage()
    {
        QFETCH(int, count);
        registerSheets(titles(count), false);
        worksheets &cat = openCatalogue();
        QVERIFY(cat.visible() && !isLoaded<intro0>());
        QCOMPARE(cat.Label1.caption(), QStringLiteral("Worksheets Catalogue"));
        QVERIFY(!cat.Label3[0].visible());
        QStringList seen = shown(cat);
        while (cat.Label3[1].visible()) {
            click(cat.Label3[1]);
            QVERIFY2(!shown(cat).isEmpty(), qPrintable(cat.Label4.caption()));
            seen << shown(cat);
        }
        QCOMPARE(seen, titles(count));
        QCOMPARE(cat.Label4.caption(), QStringLiteral("Page %1").arg((count + 23) / 24));
        QVERIFY(!cat.Label5.visible());
    }

    // An empty catalogue says how to fill it; so does one whose last title was deleted.
    void anEmptyCatalogueSaysHowToFillIt()
    {
        const QString empty =
            QStringLiteral("No worksheets yet: write one with the Multiple Choice Wizard on the "
                           "main menu.");
        registerSheets({});
        worksheets &cat = openCatalogue();
        QVERIFY(cat.Label5.visible() && shown(cat).isEmpty());
        QCOMPARE(cat.Label5.caption(), empty);
        QVERIFY(rec->messages.isEmpty());
        click(cat.Label2[0]);
        settle();

        registerSheets(titles(1));
        worksheets &one = openCatalogue();
        QVERIFY(!one.Label5.visible());
        click(one.Check2);
        QCOMPARE(rec->said(one.Label2[1]), askDelete(QStringLiteral("Sheet 1")));
        QVERIFY(one.Label5.visible() && shown(one).isEmpty());
    }

    void aTeachersWholeRoad()
    {
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Mountain animals"));
        QCOMPARE(rec->said(w.Label3[1]), saved);
        click(w.Label3[0]);
        settle();

        // Find it and run it to the results.
        worksheets &cat = openCatalogue();
        QCOMPARE(shown(cat), QStringList{QStringLiteral("Mountain animals")});
        click(cat.Label2[1]);
        multiple &quiz = screen<multiple>();
        QCOMPARE(quiz.Label2.caption(), QStringLiteral("Question 1 of Mountain animals"));
        pupil::playQuiz(quiz, {3});
        QCOMPARE(Module1::score, std::optional<int>(9));
        QTRY_VERIFY(pupil::resultsSettled(screen<Welldone>()));
        click(screen<Welldone>().Label3[1]);
        settle();
        QVERIFY(!isLoaded<Welldone>() && cat.visible());

        // Edit it: the wizard shows what was saved; change a question and save.
        click(cat.Check1);
        click(cat.Label2[1]);
        wizard &edit = screen<wizard>();
        QVERIFY(edit.visible());
        QCOMPARE(edit.Text1.text(), QStringLiteral("Mountain animals"));
        QCOMPARE(edit.Text2[9].text(), QStringLiteral("Question 10 of Mountain animals"));
        QCOMPARE(edit.Text3[38].text(), QStringLiteral("C 10"));
        for (int i = 0; i < 40; ++i)
            QCOMPARE(edit.Check1[i].value(), i % 4 == (i / 4) % 4 ? 1 : 0);
        typeInto(edit.Text2[0], QStringLiteral(", changed"));
        QCOMPARE(rec->said(edit.Label3[1]), saved);
        QByteArray expected = worksheetBytes(QStringLiteral("Mountain animals"));
        expected.replace("Question 1 of Mountain animals\r\n",
                         "Question 1 of Mountain animals& changed\r\n");
        QCOMPARE(content->read(QStringLiteral("multiple/Mountain animals.txt")), expected);
        QCOMPARE(content->read(track), QByteArray(" 1\r\nMountain animals\r\n"));
        click(edit.Label3[0]);
        settle();

        // The catalogue's Exit brings the menu back.
        QCOMPARE(rec->heard(cat.Label2[0]), clickSound);
        settle();
        QVERIFY(!isLoaded<worksheets>() && screen<intro0>().visible());
    }
};

QTEST_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
