// SPDX-License-Identifier: GPL-3.0-or-later
// A tour pressing everything on every screen; after each step the program still answers with
// the right screen in front and drawn. The sweep repeats it with each content file removed,
// garbled and emptied. Environment: HABITARA_WALK_CONTENT=<folder>, HABITARA_SWEEP_SHARD=k/n,
// HABITARA_SWEEP_DAMAGE=removed,garbled,emptied.
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
using namespace Qt::StringLiterals;

namespace {

const QStringList damages = {u"removed"_s, u"garbled"_s, u"emptied"_s};

QString sourceFolder()
{
    const QString chosen = qEnvironmentVariable("HABITARA_WALK_CONTENT");
    return chosen.isEmpty() ? QStringLiteral(HABITARA_RUN_DIR) : chosen;
}

/// The file's first bytes (so that it still looks like what it is), then noise as long as it.
QByteArray garbled(const QString &relative, const QByteArray &bytes)
{
    QRandomGenerator random(uint(qHash(relative)));
    QByteArray result = bytes.left(qMin<qsizetype>(bytes.size() / 4, 64));
    while (result.size() < qMax<qsizetype>(bytes.size(), 256))
        result.append(char(random.bounded(256)));
    return result;
}

bool isRegister(const QString &file)
{
    return file.compare(u"multiple/track.txt"_s, Qt::CaseInsensitive) == 0;
}

/// The program's own words about printing and saving, and about the damaged file only.
bool expectedMessage(const QString &text, const QString &damagedFile)
{
    static const QStringList said = {
        u"Your worksheet is now printing."_s,
        u"Your certificate is now printing."_s,
        u"There was a problem printing to your printer."_s,
        u"You have not chosen a title for your worksheet"_s,
        u"Your worksheet has been saved."_s,
        u"Are you sure that you want to delete the worksheet Walk sheet?"_s};
    // A damaged register: the catalogue cannot open what it lists, and no save can add to it.
    if (said.contains(text) ||
        (isRegister(damagedFile) && (text == u"This worksheet seems to be corrupted."_s ||
                                     text.startsWith(u"The list of worksheets"_s) ||
                                     text.startsWith(u"Your worksheet has been saved as"_s))))
        return true;
    static const QRegularExpression quiz(QStringLiteral(
        R"(^The quiz file "multiple\\(.+)\.txt" is missing or damaged, so this quiz cannot start\.$)"));
    const auto match = quiz.match(text);
    return match.hasMatch() && damagedFile.compare(u"multiple/%1.txt"_s.arg(match.captured(1)),
                                                   Qt::CaseInsensitive) == 0;
}

/// One walk through the program; hearing: whether the sounds are recorded (and so checked).
class Tour
{
public:
    Tour(Recorders &rec, const QString &damagedFile, bool hearing = true)
        : m_rec(rec), m_damaged(damagedFile), m_hearing(hearing)
    {
    }

    /// The whole tour; the first failure, or nothing.
    QString run()
    {
        try {
            title();
            mainMenu();
            topic<livingmountains, livingmountainslab, livingmountainsord>(2);
            topic<livingdesert, livingdesertlab, livingdesertord>(1);
            authoring();
            teachersGuide();
            acknowledgments();
            leave();
        } catch (const std::runtime_error &e) {
            return QString::fromStdString(e.what());
        }
        return QString();
    }

    int quizzesRefused = 0; ///< quizzes left out because their file was unusable
    int steps = 0;

private:
    void expect(bool condition, const QString &what) const
    {
        if (!condition)
            throw std::runtime_error((m_step + u": "_s + what).toStdString());
    }

    /// After every step: the program runs and handles events, the expected screen is in front
    /// and draws, and no message came that the program should not give.
    template <class Expected> void check()
    {
        settle();
        expect(!programEnded(), u"the program ended"_s);
        bool answered = false;
        QObject context;
        QTimer::singleShot(0, &context, [&answered] { answered = true; });
        settle();
        expect(answered, u"the program no longer handles events"_s);
        Form *front = registry::front();
        expect(front && isLoaded<Expected>() && front == &screen<Expected>(),
               u"%1 is in front instead"_s.arg(front ? front->name() : "nothing"));
        if (front != m_lastFront) { // each screen coming to the front is drawn whole
            const QImage image = grab(*front);
            expect(!image.isNull() && image.size() == front->host()->size(),
                   u"%1 does not draw"_s.arg(front->name()));
            m_lastFront = front;
        }
        ++steps;
        for (; m_seenMessages < m_rec.messages.size(); ++m_seenMessages)
            expect(expectedMessage(m_rec.messages[m_seenMessages], m_damaged),
                   u"unexpected message \"%1\""_s.arg(m_rec.messages[m_seenMessages]));
    }

    template <class Expected> void press(const Control &control)
    {
        m_step = u"%1: %2"_s.arg(control.form().name(), control.name());
        click(control);
        check<Expected>();
    }

    /// Presses every control listed that a person can see, expecting to stay.
    template <class Here> void pressAll(std::initializer_list<const Control *> controls)
    {
        for (const Control *c : controls)
            if (c->visible())
                press<Here>(*c);
    }

    /// Prints with the recording printer and then with none; both give the program's words.
    template <class Here> void printBothWays(const Control &button, const QString &done = {})
    {
        const size_t before = m_rec.printed.size();
        const qsizetype messages = m_rec.messages.size();
        press<Here>(button);
        expect(m_rec.printed.size() > before && m_rec.printed.back().op == u"enddoc"_s,
               u"nothing was printed"_s);
        expect(done.isEmpty() ||
                   (m_rec.messages.size() == messages + 1 && m_rec.messages.back() == done),
               u"printing did not say \"%1\""_s.arg(done));
        m_rec.failPrinting();
        press<Here>(button);
        expect(m_rec.messages.size() > messages &&
                   m_rec.messages.back() == u"There was a problem printing to your printer."_s,
               u"a failed print was not reported"_s);
        m_rec.printToRecorder();
    }

    void title()
    {
        m_step = u"start"_s;
        guard([] { screen<Titlefrm>().show(); });
        check<Titlefrm>();
        Titlefrm &t = screen<Titlefrm>();
        pressAll<Titlefrm>(
            {&t.Label4, &t.Picture1, &t.Label1, &t.Label5, &t.Label3, &t.Label2, &t.Frame1});
        m_step = u"backdrop"_s; // a click on it leaves the title in front
        QTest::mouseClick(screen<Grey>().host()->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        check<Titlefrm>();
        press<intro0>(t.Command1);
    }

    void mainMenu()
    {
        intro0 &menu = screen<intro0>();
        pressAll<intro0>({&menu.Label1, &menu.Label3, &menu.Image1, &menu.Frame1});
        m_rec.clearSounds(); // the topics still to come do nothing
        for (int i : {0, 2, 3, 4, 6, 7, 8, 9, 10, 15})
            press<intro0>(menu.Label2[i]);
        expect(m_rec.sounds().isEmpty(), u"a disabled entry answered"_s);
        press<intro0>(menu.Option2);
        m_rec.clearSounds();
        press<livingmountains>(menu.Label2[1]);
        press<intro0>(screen<livingmountains>().label3[2]);
        expect(m_rec.sounds().isEmpty(), u"a sound played with sound off"_s);
        press<intro0>(menu.Option1);
    }

    template <class Topic, class Labelling, class Ordering> void topic(int notesPages)
    {
        m_rec.clearSounds();
        press<Topic>(screen<intro0>().Label2[std::is_same_v<Topic, livingmountains> ? 1 : 5]);
        expect(!m_hearing || m_rec.sounds() == QStringList{u"wav\\click.wav"_s},
               u"the menu's click was not heard"_s);
        Topic &t = screen<Topic>();
        pressAll<Topic>({&t.Label1, &t.Image1});
        activity<Topic, Labelling>(t.label3[1]);
        activity<Topic, Ordering>(t.label3[3]);
        press<teacher>(t.label3[4]); // Key Facts
        notes<Topic>(1);
        press<teacher>(t.label3[5]); // Teacher's Notes
        notes<Topic>(notesPages);
        // A quiz with wrong answers, reviewed; one with full marks and a certificate; one left.
        if (quiz<Topic>({2, 7})) {
            press<Wrong>(screen<Welldone>().Label3[0]);
            Wrong &review = screen<Wrong>();
            const int wrongAnswers = 10 - Module1::score.value_or(0);
            for (int k = 0; k < 10; ++k)
                expect(review.Label2[k].visible() == (k < wrongAnswers),
                       u"the review does not list %1 wrong answers"_s.arg(wrongAnswers));
            pressAll<Wrong>({&review.Label6, &review.Label4, &review.Label2[0], &review.Label2[1],
                             &review.Label5});
            press<Topic>(review.Label3[1]);
            expect(!isLoaded<Welldone>(), u"the results stayed loaded"_s);
        }
        if (quiz<Topic>({}) && Module1::score != Module1::outof) {
            press<Topic>(screen<Welldone>().Label3[1]); // a damaged quiz need not give full marks
        } else if (isLoaded<Welldone>()) {
            Welldone &results = screen<Welldone>();
            m_step = u"results: name"_s;
            typeInto(results.Text1, u"Amira"_s);
            check<Welldone>();
            printBothWays<Welldone>(results.Label3[0], u"Your certificate is now printing."_s);
            expect(std::any_of(m_rec.printed.begin(), m_rec.printed.end(),
                               [](const PrintOp &op) { return op.text == u"Amira"_s; }),
                   u"the certificate does not carry the name"_s);
            press<Topic>(results.Label3[1]);
        }
        if (openQuiz<Topic>()) {
            multiple &q = screen<multiple>();
            press<multiple>(q.Label3[1]);
            press<multiple>(q.Label3[0]);
            press<Topic>(q.Label3[2]);
        }
        press<intro0>(t.label3[2]);
    }

    /// A label dragged in and sent home again, then every label to its box, scored, and back.
    template <class Topic, class Activity> void activity(const Control &entry)
    {
        press<Activity>(entry);
        Activity &a = screen<Activity>();
        pressAll<Activity>({&a.Label6, &a.Label7});
        const std::vector<dragdrop::Box> boxes = a.targetBoxes();
        auto dragTo = [&](size_t i) {
            m_step = u"%1: drag %2"_s.arg(a.name()).arg(i);
            const Label &label = a.Label2[int(i)];
            drag(label,
                 QPointF(boxes[i].left + label.width() / 2, boxes[i].top + label.height() / 2));
            check<Activity>();
            expect(label.left() == boxes[i].left && label.top() == boxes[i].top,
                   u"the label did not land in its box"_s);
        };
        dragTo(0);
        press<Activity>(a.Label3[1]); // Start Again
        expect(a.Label2[0].left() == a.Label4[0].left() && !a.Label3[2].visible(),
               u"Start Again left a label out"_s);
        for (size_t i = 0; i < boxes.size(); ++i)
            dragTo(i);
        expect(a.Label3[2].visible(), u"no Check Score with every label placed"_s);
        press<Welldone>(a.Label3[2]);
        settleResults();
        expect(Module1::score == Module1::outof,
               u"every label in its box scored %1"_s.arg(Module1::score.value_or(-1)));
        press<Activity>(screen<Welldone>().Label3[1]);
        press<Topic>(a.Label3[0]);
    }

    /// The wizard saves a worksheet; the catalogue runs it, opens it in the wizard, deletes it.
    void authoring()
    {
        press<wizard>(screen<intro0>().Label2[17]);
        wizard &w = screen<wizard>();
        pressAll<wizard>({&w.Label1[0], &w.Label1[1], &w.Label1[2], &w.Label3[1]});
        m_step = u"wizard: writing"_s;
        author::writeWorksheet(w, u"Walk sheet"_s);
        check<wizard>();
        const qsizetype messages = m_rec.messages.size();
        press<wizard>(w.Label3[1]);
        expect((m_rec.messages.size() == messages + 1 &&
                m_rec.messages.back() == u"Your worksheet has been saved."_s) ||
                   isRegister(m_damaged),
               u"the worksheet was not saved"_s);
        press<intro0>(w.Label3[0]);
        press<worksheets>(screen<intro0>().Label2[18]);
        worksheets &c = screen<worksheets>();
        pressAll<worksheets>({&c.Label1, &c.Label4});
        auto slot = [&]() -> const Label * {
            for (int i = 1; i <= 24; ++i)
                if (c.Label2[i].visible() && c.Label2[i].caption() == u"Walk sheet"_s)
                    return &c.Label2[i];
            return nullptr;
        };
        expect(slot() || isRegister(m_damaged), u"the catalogue does not list the sheet"_s);
        if (slot()) {
            press<multiple>(*slot());
            expect(Module1::worktitle == u"Walk sheet"_s,
                   u"the catalogue ran %1"_s.arg(Module1::worktitle));
            press<worksheets>(screen<multiple>().Label3[2]);
            press<worksheets>(c.Check1); // edit mode
            press<wizard>(*slot());
            expect(screen<wizard>().Text1.text() == u"Walk sheet"_s,
                   u"the wizard holds %1"_s.arg(screen<wizard>().Text1.text()));
            press<worksheets>(screen<wizard>().Label3[0]);
            press<worksheets>(c.Check2); // delete mode
            press<worksheets>(*slot());
            expect(!slot() && !loadRegister().titles.contains(u"Walk sheet"_s),
                   u"the deleted sheet is still there"_s);
        }
        press<intro0>(c.Label2[0]);
    }

    /// A page viewer: Next to the last page (then disabled), back to the first, print, Exit.
    template <class Viewer, class Back> void pages(int count)
    {
        Viewer &v = screen<Viewer>();
        if (count > 1) {
            for (int p = 2; p <= count; ++p)
                press<Viewer>(v.Label3[2]);
            expect(!v.Label3[2].enabled(), u"Next Page after the last page"_s);
            press<Viewer>(v.Label3[2]); // disabled: does nothing
            for (int p = count - 1; p >= 1; --p)
                press<Viewer>(v.Label3[3]);
            expect(v.Label1.caption() == u"Page 1 of %1"_s.arg(count),
                   u"the counter reads \"%1\""_s.arg(v.Label1.caption()));
        }
        printBothWays<Viewer>(v.Label3[0]);
        press<Back>(v.Label3[1]);
    }

    template <class Back> void notes(int count)
    {
        pressAll<teacher>({&screen<teacher>().Image1, &screen<teacher>().Label1});
        pages<teacher, Back>(count);
    }

    /// Opens the topic's quiz; false when refused because its file is the damaged one.
    template <class Topic> bool openQuiz()
    {
        const qsizetype before = m_rec.messages.size();
        m_step = u"topic: Multiple Choice"_s;
        click(screen<Topic>().label3[0]);
        settle();
        if (!isLoaded<multiple>()) {
            check<Topic>();
            expect(m_rec.messages.size() == before + 1,
                   u"the quiz did not open and nothing was said"_s);
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
        pressAll<multiple>({&q.Label1, &q.Label5, &q.Label6, &q.Label4, &q.Label2, &q.Picture1});
        if (wrong.isEmpty())
            printBothWays<multiple>(q.Label3[3], u"Your worksheet is now printing."_s);
        for (int i = 1; i <= 4; ++i) // every answer to the first question in turn
            press<multiple>(q.Option1[i]);
        for (int n = 1; n <= 10; ++n) {
            bool ok = false;
            const int right = Module1::correct[n].trimmed().toInt(&ok);
            const int pick = ok && right >= 1 && right <= 4 ? right : 1;
            press<multiple>(q.Option1[wrong.contains(n) ? pick % 4 + 1 : pick]);
            if (n < 10)
                press<multiple>(q.Label3[1]);
        }
        press<Welldone>(q.Label3[1]); // Check Score
        m_rec.clearSounds();
        settleResults();
        expect(Module1::score != 10 - wrong.size() || !m_hearing || !m_rec.sounds().isEmpty(),
               u"no fanfare for %1 out of 10"_s.arg(10 - wrong.size()));
        Welldone &results = screen<Welldone>();
        pressAll<Welldone>({&results.Label4, &results.Picture1, &results.Label1, &results.Label5,
                            &results.Label6, &results.Label2});
        return true;
    }

    /// The results screen's picture, focus and fanfare come at once.
    void settleResults()
    {
        m_step = u"results: their picture, focus and fanfare"_s;
        Welldone &results = screen<Welldone>();
        for (Timer *timer : {&results.Timer1, &results.Timer2, &results.Timer3})
            timer->fire();
        check<Welldone>();
        expect(!results.Timer1.enabled() && !results.Timer2.enabled() && !results.Timer3.enabled(),
               u"the results screen is still busy"_s);
    }

    void teachersGuide()
    {
        press<guide>(screen<intro0>().Label2[20]);
        guide &g = screen<guide>();
        pressAll<guide>({&g.Image1, &g.Label1, &g.Label3[3]}); // Previous disabled on page 1
        pages<guide, intro0>(5);
    }

    void acknowledgments()
    {
        press<teacher>(screen<intro0>().Label2[19]);
        teacher &page = screen<teacher>();
        m_step = u"acknowledgments: the logo"_s; // once through its frames, again
        for (int frame = 0; frame < 21; ++frame) {
            page.Timer1.fire();
            check<teacher>();
        }
        expect(page.Picture1.visible() && page.Picture2.visible(), u"no logo"_s);
        pressAll<teacher>({&page.Image1, &page.Picture1, &page.Picture2});
        printBothWays<teacher>(page.Label3[0]);
        press<intro0>(page.Label3[1]);
    }

    void leave()
    {
        intro0 &menu = screen<intro0>();
        press<Titlefrm>(menu.Label2[16]);
        expect(screen<Titlefrm>().Command1.caption() == u"Cancel"_s,
               u"the way out does not offer Cancel"_s);
        press<intro0>(screen<Titlefrm>().Command1);
        press<Titlefrm>(menu.Label2[16]);
        m_step = u"exit: Exit"_s;
        click(screen<Titlefrm>().Command2);
        settle();
        expect(programEnded() && registry::loaded().empty(), u"the program did not end"_s);
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
        Timer::setDrivenByHand(true); // the results screen and the logo tick when the tour says
    }
    void cleanup() { resetProgram(); }

    void everyScreenAndEveryButton()
    {
        ContentFolder content(sourceFolder());
        Recorders rec;
        Tour tour(rec, QString());
        const QString failure = tour.run();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(tour.quizzesRefused, 0);
        QVERIFY2(tour.steps > 200, qPrintable(QString::number(tour.steps)));
        // Besides the wizard's save, only printing was spoken of: twice a worksheet, twice a
        // certificate, and a printer missing at each of the ten prints.
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
        const QStringList slice = qEnvironmentVariable("HABITARA_SWEEP_SHARD").split(u'/');
        const int shard = slice.size() == 2 ? slice[0].toInt() : 0,
                  shards = slice.size() == 2 ? qMax(1, slice[1].toInt()) : 1;
        const QStringList chosen =
            qEnvironmentVariable("HABITARA_SWEEP_DAMAGE").split(u',', Qt::SkipEmptyParts);
        QStringList files;
        const QDir folder(sourceFolder());
        for (QDirIterator it(folder.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            files << folder.relativeFilePath(it.next());
        files.sort();
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
        // Sounds go to the real output, which must cope with the file as it is now.
        const bool sound = file.startsWith(u"wav/"_s, Qt::CaseInsensitive);
        if (sound)
            rec.listenToSystemSound();
        Tour tour(rec, file, !sound);
        const QString failure = tour.run();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // Only a quiz's own file can keep that quiz from starting.
        QVERIFY(tour.quizzesRefused == 0 || file.startsWith(u"multiple/"_s));
    }
};

QTEST_MAIN(WalkTest)
#include "tst_walk.moc"
