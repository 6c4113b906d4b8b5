// SPDX-License-Identifier: GPL-3.0-or-later
// A tour of the whole program as a child who clicks everything would take it; after each step
// the program must still answer, with the right screen in front and drawn. The tour then runs
// with every content file removed, garbled and emptied in turn: the program may only speak of
// that file. HABITARA_WALK_CONTENT=<folder> tours another content folder; HABITARA_SWEEP_SHARD=
// k/n runs the k-th of n slices of the sweep; HABITARA_SWEEP_DAMAGE=removed,garbled,emptied.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/Grey.h"
#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/guard.h"
#include "platform/sound.h"
#include "platform/timer.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace testkit;

namespace {

/// What is done to a content file before a tour.
const QStringList damages = {QStringLiteral("removed"), QStringLiteral("garbled"),
                             QStringLiteral("emptied")};

/// The folder the tours copy: the built content, or one named in the environment.
QString sourceFolder()
{
    const QString chosen = qEnvironmentVariable("HABITARA_WALK_CONTENT");
    return chosen.isEmpty() ? QStringLiteral(HABITARA_RUN_DIR) : chosen;
}

/// Every file of a content folder, relative to it.
QStringList contentFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

/// The file's first bytes (so that it still looks like what it should be) and then noise,
/// as long as the file was: the reader must get past the header before it finds the damage.
QByteArray garbled(const QString &relative, const QByteArray &bytes)
{
    QRandomGenerator random(uint(qHash(relative)));
    QByteArray result = bytes.left(qMin<qsizetype>(bytes.size() / 4, 64));
    while (result.size() < qMax<qsizetype>(bytes.size(), 256))
        result.append(char(random.bounded(256)));
    return result;
}

/// The messages the program may show on this tour: its own words about printing, and about a
/// quiz whose file is the damaged one.
bool expectedMessage(const QString &text, const QString &damagedFile)
{
    static const QStringList said = {
        QStringLiteral("Your worksheet is now printing."),
        QStringLiteral("Your certificate is now printing."),
        QStringLiteral("There was a problem printing to your printer."),
        QStringLiteral("You have not chosen a title for your worksheet"),
        QStringLiteral("Your worksheet has been saved."),
        QStringLiteral("Are you sure that you want to delete the worksheet Walk sheet?"),
    };
    if (said.contains(text))
        return true;
    // A damaged register: the catalogue cannot open what it lists, and no save can add to it
    // until it is mended; nothing in it is overwritten.
    if (damagedFile.compare(QLatin1String("multiple/track.txt"), Qt::CaseInsensitive) == 0 &&
        (text == QLatin1String("This worksheet seems to be corrupted.") ||
         text == QLatin1String("There was a problem saving your worksheet")))
        return true;
    static const QRegularExpression quiz(QStringLiteral(
        R"(^The quiz file "multiple\\(.+)\.txt" is missing or damaged, so this quiz cannot start\.$)"));
    const auto match = quiz.match(text);
    return match.hasMatch() && damagedFile.compare(QStringLiteral("multiple/") + match.captured(1) +
                                                       QStringLiteral(".txt"),
                                                   Qt::CaseInsensitive) == 0;
}

/// One walk through the program.
class Tour
{
public:
    /// hearing: whether the sounds go to the recorder (and so can be checked).
    Tour(Recorders &rec, const QString &damagedFile, bool hearing = true)
        : m_rec(rec), m_damaged(damagedFile), m_hearing(hearing)
    {
    }

    void run()
    {
        title();
        mainMenu();
        topic<livingmountains, livingmountainslab, livingmountainsord>(2);
        topic<livingdesert, livingdesertlab, livingdesertord>(1);
        authoring();
        teachersGuide();
        acknowledgments();
        leave();
    }

    /// Tours that left a quiz out because its file was unusable.
    int quizzesRefused = 0;
    /// Steps taken, each followed by the checks.
    int steps = 0;

private:
    void expect(bool condition, const QString &what) const
    {
        if (!condition)
            throw std::runtime_error((m_step + QStringLiteral(": ") + what).toStdString());
    }

    /// After every step: the program has not ended, it still handles events, the expected
    /// screen is in front and draws, and no message came that the program should not give.
    template <class Expected> void check()
    {
        settle();
        expect(!programEnded(), QStringLiteral("the program ended"));
        bool answered = false;
        QObject context;
        QTimer::singleShot(0, &context, [&answered] { answered = true; });
        settle();
        expect(answered, QStringLiteral("the program no longer handles events"));
        Form *front = registry::front();
        expect(front != nullptr, QStringLiteral("no screen is showing"));
        expect(isLoaded<Expected>() && front == &screen<Expected>(),
               QStringLiteral("%1 is in front instead of the expected screen").arg(front->name()));
        // Each screen that comes to the front is drawn once more, whole, as it stands.
        if (front != m_lastFront) {
            const QImage image = grab(*front);
            expect(!image.isNull() && image.size() == front->host()->size(),
                   QStringLiteral("%1 does not draw").arg(front->name()));
            m_lastFront = front;
        }
        ++steps;
        for (; m_seenMessages < m_rec.messages.size(); ++m_seenMessages) {
            const QString &message = m_rec.messages[m_seenMessages];
            expect(expectedMessage(message, m_damaged),
                   QStringLiteral("unexpected message \"%1\"").arg(message));
        }
    }

    template <class Expected> void press(const Control &control, const QString &what)
    {
        m_step = what;
        click(control);
        check<Expected>();
    }

    /// Presses every element of a button array that a person can see, expecting to stay.
    template <class Here> void pressCaptions(std::initializer_list<const Control *> controls)
    {
        for (const Control *c : controls)
            if (c->visible())
                press<Here>(*c, QStringLiteral("%1: caption %2").arg(c->form().name(), c->name()));
    }

    /// Prints with the recording printer and then with none; both give the program's words.
    template <class Here> void printBothWays(const Control &button, const QString &done)
    {
        const size_t before = m_rec.printed.size();
        const qsizetype messages = m_rec.messages.size();
        press<Here>(button, QStringLiteral("%1: print").arg(button.form().name()));
        expect(m_rec.printed.size() > before && m_rec.printed.back().op == QLatin1String("enddoc"),
               QStringLiteral("nothing was printed"));
        if (!done.isEmpty())
            expect(m_rec.messages.size() == messages + 1 && m_rec.messages.back() == done,
                   QStringLiteral("printing did not say \"%1\"").arg(done));
        m_rec.failPrinting();
        press<Here>(button,
                    QStringLiteral("%1: print without a printer").arg(button.form().name()));
        expect(m_rec.messages.size() > messages &&
                   m_rec.messages.back() ==
                       QLatin1String("There was a problem printing to your printer."),
               QStringLiteral("a failed print was not reported"));
        m_rec.printToRecorder();
    }

    void title()
    {
        m_step = QStringLiteral("start");
        guard([] { screen<Titlefrm>().show(); });
        check<Titlefrm>();
        Titlefrm &t = screen<Titlefrm>();
        pressCaptions<Titlefrm>(
            {&t.Label4, &t.Picture1, &t.Label1, &t.Label5, &t.Label3, &t.Label2, &t.Frame1});
        // A click on the backdrop leaves the title in front.
        m_step = QStringLiteral("backdrop");
        QTest::mouseClick(screen<Grey>().host()->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        check<Titlefrm>();
        press<intro0>(t.Command1, QStringLiteral("title: OK"));
    }

    void mainMenu()
    {
        intro0 &menu = screen<intro0>();
        pressCaptions<intro0>({&menu.Label1, &menu.Label3, &menu.Image1, &menu.Frame1});
        // The topics still to come are disabled: pressing them does nothing.
        for (int i : {0, 2, 3, 4, 6, 7, 8, 9, 10, 15}) {
            m_rec.clearSounds();
            press<intro0>(menu.Label2[i], QStringLiteral("main menu: disabled %1").arg(i));
            expect(m_rec.sounds().isEmpty(), QStringLiteral("a disabled entry answered"));
        }
        press<intro0>(menu.Option2, QStringLiteral("main menu: Sound Off"));
        m_rec.clearSounds();
        press<livingmountains>(menu.Label2[1], QStringLiteral("main menu: a topic, sound off"));
        press<intro0>(screen<livingmountains>().label3[2], QStringLiteral("topic: Exit"));
        expect(m_rec.sounds().isEmpty(), QStringLiteral("a sound played with sound off"));
        press<intro0>(menu.Option1, QStringLiteral("main menu: Sound On"));
    }

    template <class Topic, class Labelling, class Ordering> void topic(int notesPages)
    {
        intro0 &menu = screen<intro0>();
        m_rec.clearSounds();
        press<Topic>(menu.Label2[std::is_same_v<Topic, livingmountains> ? 1 : 5],
                     QStringLiteral("main menu: topic"));
        expect(!m_hearing || m_rec.sounds() == QStringList{QStringLiteral("wav\\click.wav")},
               QStringLiteral("the menu's click was not heard"));
        Topic &t = screen<Topic>();
        pressCaptions<Topic>({&t.Label1, &t.Image1});
        activity<Topic, Labelling>(t.label3[1]);
        activity<Topic, Ordering>(t.label3[3]);

        press<teacher>(t.label3[4], QStringLiteral("topic: Key Facts"));
        notes<Topic>(1);
        press<teacher>(t.label3[5], QStringLiteral("topic: Teacher's Notes"));
        notes<Topic>(notesPages);

        // A quiz with some wrong answers, reviewed; then one with full marks and a
        // certificate; then one left half way.
        if (quiz<Topic>({2, 7})) {
            Welldone &results = screen<Welldone>();
            press<Wrong>(results.Label3[0], QStringLiteral("results: Check Wrong Answers"));
            Wrong &review = screen<Wrong>();
            const int wrongAnswers = 10 - Module1::score.value_or(0);
            for (int k = 0; k < 10; ++k)
                expect(
                    review.Label2[k].visible() == (k < wrongAnswers),
                    QStringLiteral("the review does not list %1 wrong answers").arg(wrongAnswers));
            pressCaptions<Wrong>({&review.Label6, &review.Label4, &review.Label2[0],
                                  &review.Label2[1], &review.Label5});
            press<Topic>(review.Label3[1], QStringLiteral("review: Exit"));
            expect(!isLoaded<Welldone>(), QStringLiteral("the results stayed loaded"));
        }
        if (quiz<Topic>({}) && Module1::score != Module1::outof) {
            // A damaged quiz that still loaded need not give full marks.
            press<Topic>(screen<Welldone>().Label3[1], QStringLiteral("results: Exit"));
        } else if (isLoaded<Welldone>()) {
            Welldone &results = screen<Welldone>();
            m_step = QStringLiteral("results: name");
            typeInto(results.Text1, QStringLiteral("Amira"));
            check<Welldone>();
            printBothWays<Welldone>(results.Label3[0],
                                    QStringLiteral("Your certificate is now printing."));
            expect(std::any_of(m_rec.printed.begin(), m_rec.printed.end(),
                               [](const PrintOp &op) { return op.text == QLatin1String("Amira"); }),
                   QStringLiteral("the certificate does not carry the name"));
            press<Topic>(results.Label3[1], QStringLiteral("results: Exit"));
        }
        if (openQuiz<Topic>()) {
            multiple &q = screen<multiple>();
            press<multiple>(q.Label3[1], QStringLiteral("quiz: Next Question"));
            press<multiple>(q.Label3[0], QStringLiteral("quiz: Previous Question"));
            press<Topic>(q.Label3[2], QStringLiteral("quiz: Exit"));
        }
        press<intro0>(t.label3[2], QStringLiteral("topic: Exit"));
    }

    /// An activity: a label dragged in and sent home again, then every label dragged to its
    /// box, the score checked on the results screen, and back to the topic.
    template <class Topic, class Activity> void activity(const Control &entry)
    {
        press<Activity>(entry, QStringLiteral("topic: %1").arg(entry.name()));
        Activity &a = screen<Activity>();
        pressCaptions<Activity>({&a.Label6, &a.Label7});
        const std::vector<dragdrop::Box> boxes = a.targetBoxes();
        auto dragTo = [&](int i, const dragdrop::Box &box) {
            m_step = QStringLiteral("%1: drag %2").arg(a.name()).arg(i);
            const Label &label = a.Label2[i];
            drag(label, QPointF(box.left + label.width() / 2, box.top + label.height() / 2));
            check<Activity>();
            expect(a.Label2[i].left() == box.left && a.Label2[i].top() == box.top,
                   QStringLiteral("the label did not land in its box"));
        };
        dragTo(0, boxes[0]);
        press<Activity>(a.Label3[1], QStringLiteral("activity: Start Again"));
        expect(a.Label2[0].left() == a.Label4[0].left() && !a.Label3[2].visible(),
               QStringLiteral("Start Again left a label out"));
        for (int i = 0; i < int(boxes.size()); ++i)
            dragTo(i, boxes[size_t(i)]);
        expect(a.Label3[2].visible(), QStringLiteral("no Check Score with every label placed"));
        press<Welldone>(a.Label3[2], QStringLiteral("activity: Check Score"));
        settleResults();
        expect(Module1::score == Module1::outof,
               QStringLiteral("every label in its box scored %1").arg(Module1::score.value_or(-1)));
        press<Activity>(screen<Welldone>().Label3[1], QStringLiteral("activity results: Exit"));
        press<Topic>(a.Label3[0], QStringLiteral("activity: Exit"));
    }

    /// The wizard saves a worksheet; the catalogue runs it, opens it in the wizard and
    /// deletes it.
    void authoring()
    {
        press<wizard>(screen<intro0>().Label2[17], QStringLiteral("main menu: wizard"));
        wizard &w = screen<wizard>();
        pressCaptions<wizard>({&w.Label1[0], &w.Label1[1], &w.Label1[2]});
        press<wizard>(w.Label3[1], QStringLiteral("wizard: Save with nothing written"));
        m_step = QStringLiteral("wizard: writing");
        author::writeWorksheet(w, QStringLiteral("Walk sheet"));
        check<wizard>();
        const qsizetype messages = m_rec.messages.size();
        press<wizard>(w.Label3[1], QStringLiteral("wizard: Save"));
        const bool saved = m_rec.messages.size() == messages + 1 &&
                           m_rec.messages.back() == QLatin1String("Your worksheet has been saved.");
        expect(saved || isRegister(), QStringLiteral("the worksheet was not saved"));
        press<intro0>(w.Label3[0], QStringLiteral("wizard: Exit"));

        press<worksheets>(screen<intro0>().Label2[18], QStringLiteral("main menu: catalogue"));
        worksheets &c = screen<worksheets>();
        pressCaptions<worksheets>({&c.Label1, &c.Label4});
        auto slot = [&]() -> const Label * {
            for (int i = 1; i <= 24; ++i)
                if (c.Label2[i].visible() && c.Label2[i].caption() == QLatin1String("Walk sheet"))
                    return &c.Label2[i];
            return nullptr;
        };
        expect(slot() || isRegister(), QStringLiteral("the catalogue does not list the sheet"));
        if (slot()) {
            press<multiple>(*slot(), QStringLiteral("catalogue: run the worksheet"));
            expect(Module1::worktitle == QLatin1String("Walk sheet"),
                   QStringLiteral("the catalogue ran %1").arg(Module1::worktitle));
            press<worksheets>(screen<multiple>().Label3[2], QStringLiteral("quiz: Exit"));
            press<worksheets>(c.Check1, QStringLiteral("catalogue: edit mode"));
            press<wizard>(*slot(), QStringLiteral("catalogue: edit the worksheet"));
            expect(screen<wizard>().Text1.text() == QLatin1String("Walk sheet"),
                   QStringLiteral("the wizard holds %1").arg(screen<wizard>().Text1.text()));
            press<worksheets>(screen<wizard>().Label3[0], QStringLiteral("wizard: Exit"));
            press<worksheets>(c.Check2, QStringLiteral("catalogue: delete mode"));
            press<worksheets>(*slot(), QStringLiteral("catalogue: delete the worksheet"));
            expect(!slot(), QStringLiteral("the deleted sheet is still listed"));
            expect(!readRegisterLeniently().contains(QStringLiteral("Walk sheet")),
                   QStringLiteral("the deleted sheet is still registered"));
        }
        press<intro0>(c.Label2[0], QStringLiteral("catalogue: Exit"));
    }

    bool isRegister() const
    {
        return m_damaged.compare(QLatin1String("multiple/track.txt"), Qt::CaseInsensitive) == 0;
    }

    /// The notes viewer as a topic opens it, with its pages.
    template <class Back> void notes(int pages)
    {
        teacher &page = screen<teacher>();
        pressCaptions<teacher>({&page.Image1, &page.Label1});
        if (pages > 1) {
            for (int p = 2; p <= pages; ++p)
                press<teacher>(page.Label3[2], QStringLiteral("notes: Next Page"));
            expect(!page.Label3[2].enabled(), QStringLiteral("Next Page after the last page"));
            // Pressing a disabled button does nothing.
            press<teacher>(page.Label3[2], QStringLiteral("notes: disabled Next Page"));
            for (int p = pages - 1; p >= 1; --p)
                press<teacher>(page.Label3[3], QStringLiteral("notes: Previous Page"));
            expect(page.Label1.caption() == QStringLiteral("Page 1 of %1").arg(pages),
                   QStringLiteral("the counter reads \"%1\"").arg(page.Label1.caption()));
        }
        printBothWays<teacher>(page.Label3[0], QString());
        press<Back>(page.Label3[1], QStringLiteral("notes: Exit"));
    }

    /// Opens the topic's quiz; false when the program refused it because its file is the
    /// damaged one.
    template <class Topic> bool openQuiz()
    {
        const qsizetype before = m_rec.messages.size();
        m_step = QStringLiteral("topic: Multiple Choice");
        click(screen<Topic>().label3[0]);
        settle();
        if (!isLoaded<multiple>()) {
            check<Topic>();
            expect(m_rec.messages.size() == before + 1,
                   QStringLiteral("the quiz did not open and nothing was said"));
            ++quizzesRefused;
            return false;
        }
        check<multiple>();
        return true;
    }

    /// Plays the topic's quiz to its results, wrongly at the questions listed.
    template <class Topic> bool quiz(const QList<int> &wrong)
    {
        if (!openQuiz<Topic>())
            return false;
        multiple &q = screen<multiple>();
        pressCaptions<multiple>(
            {&q.Label1, &q.Label5, &q.Label6, &q.Label4, &q.Label2, &q.Picture1});
        if (wrong.isEmpty())
            printBothWays<multiple>(q.Label3[3], QStringLiteral("Your worksheet is now printing."));
        for (int n = 1; n <= 10; ++n) {
            bool ok = false;
            const int right = Module1::correct[n].trimmed().toInt(&ok);
            const int pick = ok && right >= 1 && right <= 4 ? right : 1;
            if (n == 1) {
                // Every answer in turn, then the one meant.
                for (int i = 1; i <= 4; ++i)
                    press<multiple>(q.Option1[i], QStringLiteral("quiz: answer %1").arg(i));
            }
            press<multiple>(q.Option1[wrong.contains(n) ? pick % 4 + 1 : pick],
                            QStringLiteral("quiz: question %1").arg(n));
            if (n < 10)
                press<multiple>(q.Label3[1], QStringLiteral("quiz: Next Question"));
        }
        press<Welldone>(q.Label3[1], QStringLiteral("quiz: Check Score"));
        Welldone &results = screen<Welldone>();
        m_rec.clearSounds();
        settleResults();
        const bool scored = Module1::score == 10 - wrong.size();
        expect(!scored || !m_hearing || !m_rec.sounds().isEmpty(),
               QStringLiteral("no fanfare for %1 out of 10").arg(10 - wrong.size()));
        pressCaptions<Welldone>({&results.Label4, &results.Picture1, &results.Label1,
                                 &results.Label5, &results.Label6, &results.Label2});
        return true;
    }

    /// The results screen's picture, focus and fanfare come at once.
    void settleResults()
    {
        m_step = QStringLiteral("results: their picture, focus and fanfare");
        Welldone &results = screen<Welldone>();
        for (Timer *timer : {&results.Timer1, &results.Timer2, &results.Timer3})
            timer->fire();
        check<Welldone>();
        expect(!results.Timer1.enabled() && !results.Timer2.enabled() && !results.Timer3.enabled(),
               QStringLiteral("the results screen is still busy"));
    }

    void teachersGuide()
    {
        press<guide>(screen<intro0>().Label2[20], QStringLiteral("main menu: Teachers' Guide"));
        guide &pages = screen<guide>();
        pressCaptions<guide>({&pages.Image1, &pages.Label1});
        press<guide>(pages.Label3[3], QStringLiteral("guide: disabled Previous Page"));
        for (int p = 2; p <= 5; ++p)
            press<guide>(pages.Label3[2], QStringLiteral("guide: Next Page"));
        for (int p = 4; p >= 1; --p)
            press<guide>(pages.Label3[3], QStringLiteral("guide: Previous Page"));
        expect(pages.Label1.caption() == QLatin1String("Page 1 of 5"),
               QStringLiteral("the counter reads \"%1\"").arg(pages.Label1.caption()));
        printBothWays<guide>(pages.Label3[0], QString());
        press<intro0>(pages.Label3[1], QStringLiteral("guide: Exit"));
    }

    void acknowledgments()
    {
        press<teacher>(screen<intro0>().Label2[19], QStringLiteral("main menu: Acknowledgments"));
        teacher &page = screen<teacher>();
        // The logo runs once through all its frames and starts again.
        m_step = QStringLiteral("acknowledgments: the logo");
        for (int frame = 0; frame < 21; ++frame) {
            page.Timer1.fire();
            check<teacher>();
        }
        expect(page.Picture1.visible() && page.Picture2.visible(),
               QStringLiteral("the logo did not show"));
        pressCaptions<teacher>({&page.Image1, &page.Picture1, &page.Picture2});
        printBothWays<teacher>(page.Label3[0], QString());
        press<intro0>(page.Label3[1], QStringLiteral("acknowledgments: Exit"));
    }

    void leave()
    {
        intro0 &menu = screen<intro0>();
        press<Titlefrm>(menu.Label2[16], QStringLiteral("main menu: Exit"));
        expect(screen<Titlefrm>().Command1.caption() == QLatin1String("Cancel"),
               QStringLiteral("the way out does not offer Cancel"));
        press<intro0>(screen<Titlefrm>().Command1, QStringLiteral("exit: Cancel"));
        press<Titlefrm>(menu.Label2[16], QStringLiteral("main menu: Exit again"));
        m_step = QStringLiteral("exit: Exit");
        click(screen<Titlefrm>().Command2);
        settle();
        expect(programEnded() && registry::loaded().empty(),
               QStringLiteral("the program did not end"));
    }

    Recorders &m_rec;
    QString m_damaged;
    bool m_hearing;
    const Form *m_lastFront = nullptr;
    QString m_step;
    qsizetype m_seenMessages = 0;
};

} // namespace

class WalkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init()
    {
        resetProgram();
        // The results screen and the logo tick when the tour says, not when the machine can.
        Timer::setDrivenByHand(true);
    }
    void cleanup() { resetProgram(); }

    void everyScreenAndEveryButton()
    {
        ContentFolder content(sourceFolder());
        Recorders rec;
        Tour tour(rec, QString());
        try {
            tour.run();
        } catch (const std::runtime_error &e) {
            QFAIL(e.what());
        }
        QCOMPARE(tour.quizzesRefused, 0);
        QVERIFY2(tour.steps > 200, qPrintable(QString::number(tour.steps)));
        // Besides the wizard's and the catalogue's words, only the printing was spoken of: twice
        // a worksheet, twice a certificate, and a printer missing at each of the ten prints.
        const std::pair<const char *, int> counts[] = {
            {"Your worksheet is now printing.", 2},
            {"Your certificate is now printing.", 2},
            {"There was a problem printing to your printer.", 10},
            {"Your worksheet has been saved.", 1}};
        for (const auto &[message, count] : counts)
            QVERIFY2(rec.messages.count(QString::fromLatin1(message)) == count, message);
        QCOMPARE(rec.messages.size(), 17);
    }

    void everyContentFileTakenAway_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("damage");
        int shard = 0, shards = 1;
        const QStringList slice = qEnvironmentVariable("HABITARA_SWEEP_SHARD").split(u'/');
        if (slice.size() == 2) {
            shard = slice[0].toInt();
            shards = qMax(1, slice[1].toInt());
        }
        const QStringList files = contentFiles(sourceFolder());
        const QStringList chosen =
            qEnvironmentVariable("HABITARA_SWEEP_DAMAGE").split(u',', Qt::SkipEmptyParts);
        for (int i = shard; i < files.size(); i += shards)
            for (const QString &d : damages)
                if (chosen.isEmpty() || chosen.contains(d))
                    QTest::addRow("%s %s", qPrintable(files[i]), qPrintable(d)) << files[i] << d;
    }

    void everyContentFileTakenAway()
    {
        QFETCH(QString, file);
        QFETCH(QString, damage);
        ContentFolder content(sourceFolder());
        if (damage == damages[0])
            content.remove(file);
        else
            content.write(file, damage == damages[1] ? garbled(file, content.read(file)) : "");
        Recorders rec;
        // The sounds go to the real output, which must cope with the file as it is now.
        const bool sound = file.startsWith(QLatin1String("wav/"), Qt::CaseInsensitive);
        if (sound)
            rec.listenToSystemSound();
        Tour tour(rec, file, !sound);
        try {
            tour.run();
        } catch (const std::runtime_error &e) {
            QFAIL(e.what());
        }
        // Only a quiz's own file can keep that quiz from starting.
        QVERIFY(tour.quizzesRefused == 0 || file.startsWith(QLatin1String("multiple/")));
    }
};

QTEST_MAIN(WalkTest)
#include "tst_walk.moc"
