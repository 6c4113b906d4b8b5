// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil with the keyboard alone on every screen: the Tab order, the arrows in the answer
// group and the menus, Escape, the page keys, where the focus goes after a message box or a
// screen closes, and the focus mark that shows only once the keyboard is used.
#include "app/Module1.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "authoring/worksheets.h"
#include "platform/msgbox.h"
#include "tests/support/screens.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace testkit;
using namespace Qt::StringLiterals;

namespace {

Form &front()
{
    return *registry::front();
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    pressKey(front(), k, modifiers);
}

QString frontFocus()
{
    const QWidget *w = front().host()->focusWidget();
    return w ? w->objectName() : QString();
}

/// Answers the next real message box with a key, and keeps its text.
void answerNextBoxWith(Qt::Key k, QString *text)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, k, text] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *text = box->text();
            QTest::keyClick(box, k);
            poll->deleteLater();
        }
    });
    poll->start(10);
}

/// The colour of the screen a few pixels out from the control's left or right edge, halfway
/// down it.
QColor beside(const QImage &image, const Control &control, int outwards, bool right)
{
    const qreal ratio = image.devicePixelRatio();
    const QWidget *w = control.widget();
    const QPoint corner = w->mapTo(w->window(), QPoint(0, 0));
    const double x = right ? corner.x() + w->width() - 1 + outwards : corner.x() - outwards;
    return image.pixelColor(int((x + 0.5) * ratio), int((corner.y() + w->height() / 2) * ratio));
}

QColor beside(const Control &control, int outwards, bool right)
{
    return beside(grab(control.form()), control, outwards, right);
}

} // namespace

class KeyboardTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void tabVisitsEveryScreenInReadingOrder_data()
    {
        QTest::addColumn<QStringList>("stops");
        // From where the focus rests when the screen opens; the first Tab shows it there.
        const QStringList rows[][2] = {
            {{u"title"_s}, {u"Command1"_s, u"Command2"_s}},
            {{u"exit confirmation"_s}, {u"Command1"_s, u"Command2"_s}},
            {{u"main menu"_s},
             {u"Option1"_s, u"Label2_20"_s, u"Label2_1"_s, u"Label2_5"_s, u"Label2_17"_s,
              u"Label2_18"_s, u"Label2_19"_s, u"Label2_16"_s, u"Speaker"_s}},
            {{u"topic menu"_s},
             {u"label3_4"_s, u"label3_5"_s, u"label3_0"_s, u"label3_1"_s, u"label3_3"_s,
              u"label3_2"_s}},
            // The answers are one stop, entered with no answer chosen; Previous is hidden.
            {{u"quiz"_s}, {u"Option1_5"_s, u"Label3_1"_s, u"Label3_2"_s, u"Label3_3"_s}},
            {{u"quiz, question 2"_s},
             {u"Option1_5"_s, u"Label3_0"_s, u"Label3_1"_s, u"Label3_2"_s, u"Label3_3"_s}},
            // The name box has the focus and shows its caret, so Tab moves straight on.
            {{u"results, full marks"_s}, {u"Label3_1"_s, u"Label3_0"_s, u"Text1"_s}},
            {{u"results, one wrong"_s}, {u"Label3_0"_s, u"Label3_1"_s}},
            {{u"review"_s}, {u"Label3_1"_s}},
            // Previous Page is disabled on the first page; one-page notes have no page buttons.
            {{u"teacher's notes"_s}, {u"Label3_0"_s, u"Label3_2"_s, u"Label3_1"_s}},
            {{u"key facts"_s}, {u"Label3_0"_s, u"Label3_1"_s}},
            {{u"guide"_s}, {u"Label3_0"_s, u"Label3_2"_s, u"Label3_1"_s}},
            {{u"acknowledgments"_s}, {u"Label3_0"_s, u"Label3_1"_s}},
            {{u"catalogue"_s},
             {u"Check1"_s, u"Check2"_s, u"Label2_1"_s, u"Label2_2"_s, u"Label2_3"_s,
              u"Label2_0"_s}},
            {{u"mountain animals"_s},
             {u"Label2_0"_s, u"Label2_2"_s, u"Label2_1"_s, u"Label2_3"_s, u"Label3_1"_s,
              u"Label3_0"_s}},
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(row[0][0])) << row[1];
        QStringList two{u"Check1"_s, u"Check2"_s};
        for (int i = 1; i <= 24; ++i)
            two << u"Label2_%1"_s.arg(i);
        QTest::newRow("catalogue, two pages") << (two << u"Label3_1"_s << u"Label2_0"_s);
    }
    void tabVisitsEveryScreenInReadingOrder()
    {
        QFETCH(QStringList, stops);
        Form &form = screens::open(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(&front(), &form);
        QStringList forwards, backwards;
        for (int k = 0; k <= stops.size(); ++k) {
            key(Qt::Key_Tab);
            forwards << frontFocus();
        }
        QCOMPARE(forwards, stops + QStringList{stops.first()});
        for (int k = 0; k < stops.size(); ++k) {
            key(Qt::Key_Tab, Qt::ShiftModifier);
            backwards.prepend(frontFocus());
        }
        QCOMPARE(backwards, stops); // Shift+Tab goes round the other way
        QVERIFY(form.findControl(frontFocus())->showsFocusMark());
    }

    void arrowsMoveTheChoiceAndWalkTheMenus_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("tabs");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("focus");
        const int up = Qt::Key_Up, down = Qt::Key_Down, left = Qt::Key_Left, right = Qt::Key_Right;
        QTest::newRow("answers") << u"quiz"_s << 1 << QList<int>{down, down, up, up, right, left}
                                 << QStringList{u"Option1_1"_s, u"Option1_2"_s, u"Option1_1"_s,
                                                u"Option1_4"_s, u"Option1_1"_s, u"Option1_4"_s};
        QTest::newRow("sound switch") << u"main menu"_s << 1 << QList<int>{down, down, up}
                                      << QStringList{u"Option2"_s, u"Option1"_s, u"Option2"_s};
        QTest::newRow("main menu")
            << u"main menu"_s << 3 << QList<int>{right, down, up, left, down, up, up}
            << QStringList{u"Label2_5"_s, u"Label2_17"_s, u"Label2_5"_s, u"Label2_20"_s,
                           u"Label2_1"_s, u"Label2_20"_s, u"Label2_20"_s};
        QTest::newRow("topic menu")
            << u"topic menu"_s << 1 << QList<int>{right, down, right, right, right}
            << QStringList{u"label3_5"_s, u"label3_0"_s, u"label3_1"_s, u"label3_3"_s,
                           u"label3_2"_s};
        QTest::newRow("catalogue")
            << u"catalogue, two pages"_s << 3 << QList<int>{down, right, down, left, up, up, up}
            << QStringList{u"Label2_2"_s, u"Label2_14"_s, u"Label2_15"_s, u"Label2_3"_s,
                           u"Label2_2"_s, u"Label2_1"_s,  u"Label2_1"_s};
    }
    void arrowsMoveTheChoiceAndWalkTheMenus()
    {
        QFETCH(QString, where);
        QFETCH(int, tabs);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, focus);
        Form &form = screens::open(where);
        for (int k = 0; k < tabs; ++k)
            key(Qt::Key_Tab);
        QStringList visited;
        for (int k : keys) {
            key(Qt::Key(k));
            visited << frontFocus();
            // An answer or a sound switch the arrows reach is chosen, as a click would choose it.
            if (auto *option = dynamic_cast<OptionButton *>(form.findControl(visited.last())))
                QVERIFY(option->value());
        }
        QCOMPARE(visited, focus);
        if (where == u"main menu"_s && focus.first() == u"Option2"_s)
            QCOMPARE(Module1::soundon, std::optional<int>(0));
        if (where == u"quiz"_s) {
            QCOMPARE(rec->sounds().count(u"wav\\typekey.wav"_s), keys.size());
            // Chosen by the keys, the answer is marked as a click's would be.
            key(Qt::Key_Tab);
            key(Qt::Key_Return);
            QCOMPARE(Module1::questnum, std::optional<int>(2));
            QCOMPARE(Module1::marks[1], std::optional<int>(Module1::correct[1].toInt() == 4));
            QCOMPARE(frontFocus(), u"Option1_5"_s);
        }
    }

    void spaceAndEnterPressWhatAClickPresses()
    {
        // A menu entry by Enter; back by Escape, the focus is on the entry that opened the
        // topic, and again after the guide opened from there by Space closes.
        intro0 &menu = static_cast<intro0 &>(screens::open(u"main menu"_s));
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Return);
        QCOMPARE(&front(), static_cast<Form *>(&screen<livingmountains>()));
        QCOMPARE(rec->sounds().last(), u"wav\\click.wav"_s);
        key(Qt::Key_Escape);
        settle();
        QCOMPARE(&front(), static_cast<Form *>(&menu));
        QCOMPARE(frontFocus(), u"Label2_1"_s);
        key(Qt::Key_Up);
        key(Qt::Key_Space);
        QCOMPARE(front().name(), u"guide"_s);
        key(Qt::Key_Escape);
        settle();
        QCOMPARE(frontFocus(), u"Label2_20"_s);
        QVERIFY(menu.Label2[20].showsFocusMark());
        // The catalogue's tick boxes by Space and Enter, the one clearing the other.
        auto &cat = static_cast<worksheets &>(screens::open(u"catalogue"_s));
        key(Qt::Key_Tab);
        key(Qt::Key_Space);
        QCOMPARE(cat.Check1.value(), 1);
        key(Qt::Key_Tab);
        key(Qt::Key_Return);
        QVERIFY(cat.Check2.value() == 1 && cat.Check1.value() == 0);
    }

    void escapeClosesOnlyWhereNothingIsLost_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("focus");
        // Where nothing is lost Escape closes the screen, and the focus lands where it was on
        // the screen now in front (these were opened with the mouse, which moves no focus),
        // or on the first stop of a screen opened afresh.
        QTest::newRow("teacher's notes")
            << u"teacher's notes"_s << u"livingmountains"_s << u"label3_4"_s;
        QTest::newRow("guide") << u"guide"_s << u"intro0"_s << u"Option1"_s;
        QTest::newRow("review") << u"review"_s << u"livingmountains"_s << u"label3_4"_s;
        QTest::newRow("topic menu") << u"topic menu"_s << u"intro0"_s << u"Option1"_s;
        QTest::newRow("catalogue") << u"catalogue"_s << u"intro0"_s << u"Option1"_s;
        QTest::newRow("exit confirmation") << u"exit confirmation"_s << u"intro0"_s << u"Option1"_s;
        // Never where a pupil's or a teacher's work would be lost, nor out of the program.
        QTest::newRow("quiz") << u"quiz"_s << u"multiple"_s << u"Option1_5"_s;
        QTest::newRow("activity") << u"mountain animals"_s << u"livingmountainslab"_s
                                  << u"Label2_0"_s;
        QTest::newRow("wizard") << u"wizard"_s << u"wizard"_s << u"Text1"_s;
        QTest::newRow("results") << u"results, full marks"_s << u"Welldone"_s << u"Text1"_s;
        QTest::newRow("title") << u"title"_s << u"Titlefrm"_s << u"Command1"_s;
    }
    void escapeClosesOnlyWhereNothingIsLost()
    {
        QFETCH(QString, where);
        QFETCH(QString, after);
        QFETCH(QString, focus);
        screens::open(where);
        key(Qt::Key_Escape);
        settle();
        QVERIFY(!programEnded());
        QCOMPARE(front().name(), after);
        QCOMPARE(frontFocus(), focus);
    }

    void pageKeysTurnThePages_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("pages");
        const int down = Qt::Key_PageDown, up = Qt::Key_PageUp;
        QTest::newRow("guide") << u"guide"_s << QList<int>{down, Qt::Key_Right, down, down, down,
                                                           up,   Qt::Key_Left,  up,   up,   up}
                               << QStringList{u"Page 2 of 5"_s, u"Page 3 of 5"_s, u"Page 4 of 5"_s,
                                              u"Page 5 of 5"_s, u"Page 5 of 5"_s, u"Page 4 of 5"_s,
                                              u"Page 3 of 5"_s, u"Page 2 of 5"_s, u"Page 1 of 5"_s,
                                              u"Page 1 of 5"_s};
        QTest::newRow("teacher's notes")
            << u"teacher's notes"_s << QList<int>{down, down, Qt::Key_Left}
            << QStringList{u"Page 2 of 2"_s, u"Page 2 of 2"_s, u"Page 1 of 2"_s};
        QTest::newRow("catalogue") << u"catalogue, two pages"_s << QList<int>{down, down, up}
                                   << QStringList{u"Page 2"_s, u"Page 2"_s, u"Page 1"_s};
    }
    void pageKeysTurnThePages()
    {
        QFETCH(QString, where);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, pages);
        Form &form = screens::open(where);
        const Label &counter = static_cast<const Label &>(
            form.control(where == u"catalogue, two pages"_s ? u"Label4"_s : u"Label1"_s));
        QStringList seen;
        for (int k : keys) {
            key(Qt::Key(k));
            seen << counter.caption();
        }
        QCOMPARE(seen, pages);
        // Whatever the page keys disabled, the focus is on a control that can take it.
        key(Qt::Key_Tab);
        QVERIFY(form.findControl(frontFocus()) && form.findControl(frontFocus())->enabled());
    }

    void theFocusComesBackAfterAMessageBox_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("Escape is Cancel") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter is OK") << int(Qt::Key_Return) << true;
    }
    void theFocusComesBackAfterAMessageBox()
    {
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        auto &cat = static_cast<worksheets &>(screens::open(u"catalogue"_s));
        setMsgBoxResponder(nullptr); // the real message box, answered by a key
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Space); // Delete Worksheet
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        QCOMPARE(frontFocus(), u"Label2_2"_s);
        QString asked;
        answerNextBoxWith(Qt::Key(answer), &asked);
        key(Qt::Key_Return);
        settle();
        QCOMPARE(asked, u"Are you sure that you want to delete the worksheet Sheet 2?"_s);
        QCOMPARE(cat.Label2[2].caption(), deleted ? u"Sheet 3"_s : u"Sheet 2"_s);
        QTRY_COMPARE(frontFocus(), u"Label2_2"_s);
        QVERIFY(cat.Label2[2].showsFocusMark());
    }

    void theFocusMarkShowsOnlyOnceTheKeyboardIsUsed_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("keys");
        const int tab = Qt::Key_Tab;
        QTest::newRow("button") << u"main menu"_s << u"Label2_1"_s << QList<int>{tab, tab, tab};
        QTest::newRow("answer") << u"quiz"_s << u"Option1_1"_s << QList<int>{Qt::Key_Down};
        QTest::newRow("text box") << u"wizard"_s << u"Text2_0"_s << QList<int>{tab};
        QTest::newRow("tick box") << u"catalogue"_s << u"Check1"_s << QList<int>{tab};
        QTest::newRow("activity label")
            << u"mountain animals"_s << u"Label2_0"_s << QList<int>{tab};
    }
    void theFocusMarkShowsOnlyOnceTheKeyboardIsUsed()
    {
        QFETCH(QString, where);
        QFETCH(QString, control);
        QFETCH(QList<int>, keys);
        Form &form = screens::open(where);
        const Control &c = form.control(control);
        const QColor white(255, 255, 255), black(0, 0, 0);
        const QImage unmarked = grab(form);
        QVERIFY(beside(c, 1, false) != white && beside(c, 1, true) != white);
        for (int k : keys)
            key(Qt::Key(k));
        QVERIFY(c.hasFocus() && c.showsFocusMark());
        // Two pixels of white, then two of black, just outside the control on either side.
        for (bool right : {false, true}) {
            QCOMPARE(beside(c, 1, right), white);
            QCOMPARE(beside(c, 2, right), white);
            QCOMPARE(beside(c, 3, right), black);
            QCOMPARE(beside(c, 4, right), black);
        }
        // A mouse press takes the mark away again.
        moveOverForm(form, QPointF(11900, 100));
        QTest::mouseClick(form.host()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(form.host()->width() - 2, 2));
        QVERIFY(!c.showsFocusMark());
        for (bool right : {false, true})
            for (int out = 1; out <= 4; ++out)
                QCOMPARE(beside(c, out, right), beside(unmarked, c, out, right));
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
