// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet catalogue driven by clicks: pages, the three modes, deleting, and the whole
// road of a teacher from the main menu and back.
#include "app/Module1.h"
#include "app/intro0.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/fonts.h"
#include "platform/msgbox.h"
#include "quiz/Welldone.h"
#include "quiz/multiple.h"
#include "tests/support/author.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <QFile>
#include <QTest>

using namespace testkit;
using namespace author;

namespace {

const QString track = QStringLiteral("multiple/track.txt");
const QString clickSound = QStringLiteral("wav\\click.wav");
const QString corrupted = QStringLiteral("This worksheet seems to be corrupted.");

QStringList titles(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("Sheet %1").arg(i);
    return list;
}

/// A register of these titles, each with its worksheet file.
void registerSheets(const ContentFolder &content, const QStringList &list, bool files = true)
{
    content.write(track, registerBytes(list));
    if (files)
        for (const QString &title : list)
            content.write(QStringLiteral("multiple/") + title + QStringLiteral(".txt"),
                          worksheetBytes(title));
}

/// The captions of the title slots on show, in slot order.
QStringList shown(const worksheets &cat)
{
    QStringList list;
    for (int i = 1; i <= 24; ++i)
        if (cat.Label2[i].visible())
            list << cat.Label2[i].caption();
    return list;
}

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init() { resetProgram(); }
    void cleanup() { resetProgram(); }

    void oneOrTwoPages()
    {
        ContentFolder content;
        Recorders rec;
        registerSheets(content, titles(24), false);
        worksheets &cat = openCatalogue();
        QVERIFY(cat.visible());
        QVERIFY(!isLoaded<intro0>());
        QCOMPARE(cat.Label1.caption(), QStringLiteral("Worksheets Catalogue"));
        QCOMPARE(shown(cat), titles(24));
        QCOMPARE(cat.Label2[13].left(), 6120.f);
        QCOMPARE(cat.Label2[24].top(), 720.f + 600 * 11);
        QCOMPARE(cat.Label2[5].fontSize(), 12.0);
        QVERIFY(!cat.Label3[0].visible() && !cat.Label3[1].visible());
        QCOMPARE(cat.Label4.caption(), QStringLiteral("Page 1"));
        QCOMPARE(cat.Check1.backColor(), QColor(0, 78, 152));
        click(cat.Label2[0]);
        settle();

        registerSheets(content, titles(25), false);
        worksheets &two = openCatalogue();
        QVERIFY(!two.Label3[0].visible());
        QVERIFY(two.Label3[1].visible());
        rec.clearSounds();
        click(two.Label3[1]);
        QCOMPARE(rec.sounds(), QStringList{clickSound});
        QCOMPARE(shown(two), QStringList{QStringLiteral("Sheet 25")});
        QCOMPARE(two.Label4.caption(), QStringLiteral("Page 2"));
        QVERIFY(two.Label3[0].visible() && !two.Label3[1].visible());
        click(two.Label3[0]);
        QCOMPARE(shown(two), titles(24));
        QCOMPARE(two.Label4.caption(), QStringLiteral("Page 1"));

        // Hover lights the titles and Exit only.
        moveOverForm(two, QPointF(6000, 7000));
        QVERIFY(!two.Label2[0].opaque() && !two.Label2[3].opaque());
        QVERIFY(two.Label3[1].opaque());
        moveOver(two.Label2[3]);
        QVERIFY(two.Label2[3].opaque());
    }

    void everyOneOfAThousandTitlesCanBeReached()
    {
        ContentFolder content;
        Recorders rec;
        registerSheets(content, titles(1000), false);
        worksheets &cat = openCatalogue();
        QStringList seen = shown(cat);
        int pages = 1;
        while (cat.Label3[1].visible()) {
            click(cat.Label3[1]);
            seen << shown(cat);
            ++pages;
        }
        QCOMPARE(pages, 42);
        QCOMPARE(cat.Label4.caption(), QStringLiteral("Page 42"));
        QCOMPARE(seen, titles(1000));
        QCOMPARE(shown(cat).size(), 16);

        // Deleting on the last page reaches beyond the list safely.
        rec.answers = {vbOK};
        click(cat.Check2);
        click(cat.Label2[16]);
        QVERIFY(rec.messages.size() == 1);
        QCOMPARE(rec.messages[0], QStringLiteral("This worksheet seems to be corrupted."));
        content.write(QStringLiteral("multiple/Sheet 1000.txt"),
                      worksheetBytes(QStringLiteral("Sheet 1000")));
        rec.messages.clear();
        click(cat.Label2[16]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral(
                     "Are you sure that you want to delete the worksheet Sheet 1000?")});
        QCOMPARE(shown(cat), titles(999).mid(984));
        QCOMPARE(content.read(track), registerBytes(titles(999)));
    }

    void deletingTitles()
    {
        ContentFolder content;
        Recorders rec;
        registerSheets(content, titles(30));
        worksheets &cat = openCatalogue();
        // The mode boxes untick each other; unticking leaves the other alone.
        click(cat.Check1);
        QCOMPARE(cat.Check1.value(), 1);
        click(cat.Check2);
        QCOMPARE(cat.Check2.value(), 1);
        QCOMPARE(cat.Check1.value(), 0);
        click(cat.Check1);
        QCOMPARE(cat.Check2.value(), 0);
        click(cat.Check1);
        QCOMPARE(cat.Check1.value() + cat.Check2.value(), 0);
        click(cat.Check2);

        // Cancel changes nothing, though the worksheet was loaded.
        const auto before = folderFiles();
        rec.answers = {vbCancel};
        rec.clearSounds();
        click(cat.Label2[7]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral(
                                   "Are you sure that you want to delete the worksheet Sheet 7?")});
        QCOMPARE(rec.sounds(), QStringList{clickSound});
        QCOMPARE(Module1::worktitle, QStringLiteral("Sheet 7"));
        QCOMPARE(folderFiles(), before);
        QCOMPARE(shown(cat), titles(24));

        // OK removes it; the page fills up from the next.
        rec.messages.clear();
        click(cat.Label2[7]);
        QStringList left = titles(30);
        left.removeAt(6);
        QCOMPARE(content.read(track), registerBytes(left));
        QCOMPARE(shown(cat), left.mid(0, 24));
        QVERIFY(cat.Label3[1].visible());
        QCOMPARE(content.read(QStringLiteral("multiple/Sheet 7.txt")),
                 worksheetBytes(QStringLiteral("Sheet 7")));
        click(cat.Label3[1]);
        QCOMPARE(shown(cat), left.mid(24));

        // The last title of page 2, then the only one left there.
        while (shown(cat).size() > 1) {
            const int last = int(shown(cat).size());
            click(cat.Label2[last]);
            QCOMPARE(shown(cat).size(), last - 1);
        }
        click(cat.Label2[1]);
        QVERIFY(shown(cat).isEmpty());
        QVERIFY(cat.Label3[0].visible());
        QCOMPARE(content.read(track), registerBytes(left.mid(0, 24)));
        click(cat.Label3[0]);
        QCOMPARE(shown(cat), left.mid(0, 24));

        // A title whose file has gone cannot be removed.
        content.remove(QStringLiteral("multiple/Sheet 1.txt"));
        rec.messages.clear();
        click(cat.Label2[1]);
        QCOMPARE(rec.messages, QStringList{corrupted});
        QCOMPARE(content.read(track), registerBytes(left.mid(0, 24)));
    }

    void runningAWorksheetTurnsTheSoundOnAgain()
    {
        ContentFolder content;
        Recorders rec;
        registerSheets(content, titles(3));
        screen<intro0>().show();
        click(screen<intro0>().Option2);
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        worksheets &cat = openCatalogue();
        rec.clearSounds();
        click(cat.Label2[2]);
        // The click came first, while sound was still off.
        QVERIFY(rec.sounds().isEmpty());
        QCOMPARE(Module1::soundon, std::optional<int>(1));
        multiple &quiz = screen<multiple>();
        QVERIFY(quiz.visible());
        QVERIFY(isLoaded<intro0>() && !screen<intro0>().visible());
        QCOMPARE(quiz.Label6.caption(), QStringLiteral("Sheet 2"));
        QCOMPARE(quiz.Label5.caption(), QStringLiteral("Habitara Demo"));
        QCOMPARE(quiz.Picture1.picture().source(), screen<intro0>().Image1.picture().source());
        QCOMPARE(quiz.Label2.caption(), QStringLiteral("Question 1 of Sheet 2"));
        QVERIFY(cat.visible());
    }

    void editingADamagedWorksheet()
    {
        ContentFolder content;
        Recorders rec;
        registerSheets(content, titles(2));
        for (const char *bad : {"5", "0", "x", "-1"}) {
            QByteArray bytes = worksheetBytes(QStringLiteral("Sheet 2"));
            bytes.replace("\r\nD 10\r\n2\r\n", "\r\nD 10\r\n" + QByteArray(bad) + "\r\n");
            content.write(QStringLiteral("multiple/Sheet 2.txt"), bytes);
            worksheets &cat = openCatalogue();
            click(cat.Check1);
            rec.messages.clear();
            click(cat.Label2[2]);
            QCOMPARE(rec.messages, QStringList{corrupted});
            QVERIFY(!isLoaded<wizard>());
            click(cat.Label2[0]);
            settle();
        }
        // A short file, in run mode.
        content.write(QStringLiteral("multiple/Sheet 1.txt"),
                      worksheetBytes(QStringLiteral("Sheet 1")).left(200));
        worksheets &cat = openCatalogue();
        rec.messages.clear();
        click(cat.Label2[1]);
        QCOMPARE(rec.messages, QStringList{corrupted});
        QVERIFY(!isLoaded<multiple>());
        QCOMPARE(shown(cat), titles(2));
    }

    void aTeachersWholeRoad()
    {
        ContentFolder content;
        Recorders rec;
        // Write and save.
        wizard &w = openWizard();
        writeWorksheet(w, QStringLiteral("Mountain animals"));
        click(w.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your worksheet has been saved.")});
        click(w.Label3[0]);
        settle();

        // Find it and run it to the results.
        worksheets &cat = openCatalogue();
        QCOMPARE(shown(cat), QStringList{QStringLiteral("Mountain animals")});
        click(cat.Label2[1]);
        multiple &quiz = screen<multiple>();
        QCOMPARE(quiz.Label2.caption(), QStringLiteral("Question 1 of Mountain animals"));
        pupil::playQuiz(quiz, {3});
        settle();
        Welldone &results = screen<Welldone>();
        QVERIFY(results.visible());
        QCOMPARE(Module1::score, std::optional<int>(9));
        QTRY_VERIFY(pupil::resultsSettled(results));
        click(results.Label3[1]);
        settle();
        QVERIFY(!isLoaded<Welldone>());
        QVERIFY(cat.visible());

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
        rec.messages.clear();
        click(edit.Label3[1]);
        QCOMPARE(rec.messages, QStringList{QStringLiteral("Your worksheet has been saved.")});
        QByteArray expected = worksheetBytes(QStringLiteral("Mountain animals"));
        expected.replace("Question 1 of Mountain animals\r\n",
                         "Question 1 of Mountain animals& changed\r\n");
        QCOMPARE(content.read(QStringLiteral("multiple/Mountain animals.txt")), expected);
        QCOMPARE(content.read(track), QByteArray(" 1\r\nMountain animals\r\n"));
        click(edit.Label3[0]);
        settle();

        // Delete it; the catalogue's Exit brings the menu back.
        click(cat.Check2);
        QCOMPARE(cat.Check1.value(), 0);
        rec.messages.clear();
        click(cat.Label2[1]);
        QCOMPARE(rec.messages,
                 QStringList{QStringLiteral(
                     "Are you sure that you want to delete the worksheet Mountain animals?")});
        QVERIFY(shown(cat).isEmpty());
        QCOMPARE(content.read(track), QByteArray(" 0\r\n"));
        QVERIFY(QFile::exists(content.path(QStringLiteral("multiple/Mountain animals.txt"))));
        rec.clearSounds();
        click(cat.Label2[0]);
        settle();
        QVERIFY(!isLoaded<worksheets>());
        QVERIFY(screen<intro0>().visible());
        QCOMPARE(rec.sounds(), QStringList{clickSound});
    }
};

QTEST_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
