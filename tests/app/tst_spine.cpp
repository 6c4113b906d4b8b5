// SPDX-License-Identifier: GPL-3.0-or-later
// The program's spine driven as a pupil would: the title screen, the backdrop, the main menu,
// the sound switch, hovering and the way out.
#include "app/Grey.h"
#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/livingmountains.h"
#include "platform/guard.h"
#include "platform/picture.h"
#include "platform/twips.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;

namespace {
const QStringList clickSound{QStringLiteral("wav\\click.wav")};
}

class SpineTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        ScreenTest::init();
        twips::setDisplaySizeForTests(QSizeF(1024 * 15, 768 * 15));
    }

    void touchingAScreenLoadsItAndAnUnloadedOneComesBackFresh()
    {
        QVERIFY(!isLoaded<intro0>() && !Module1::soundon.has_value());
        // Reading a caption is a touch: the menu loads and its load sets the sound switch.
        QCOMPARE(screen<intro0>().Label2[1].caption(), QStringLiteral("Living in the Mountains"));
        QCOMPARE(Module1::soundon, std::optional<int>(1));
        screen<intro0>().Label3.setCaption(QStringLiteral("changed"));
        screen<intro0>().Option2.setValue(true);
        unload<intro0>();
        settle();
        QVERIFY(!isLoaded<intro0>());
        intro0 &fresh = screen<intro0>();
        QVERIFY(fresh.Label3.caption() != QStringLiteral("changed"));
        QVERIFY(fresh.Option1.value() && !fresh.Option2.value());
    }

    void everyScreenIsCentredAndHangsOffASmallDisplay()
    {
        Module1::questnum = 1;
        const std::vector<std::function<Form &()>> screens = {
            [] { return std::ref<Form>(screen<intro0>()); },
            [] { return std::ref<Form>(screen<livingmountains>()); },
            [] { return std::ref<Form>(screen<multiple>()); },
            [] { return std::ref<Form>(screen<Welldone>()); },
            [] { return std::ref<Form>(screen<Wrong>()); },
            [] { return std::ref<Form>(screen<teacher>()); },
            [] { return std::ref<Form>(screen<guide>()); },
        };
        for (const auto &touch : screens) {
            const Form &form = touch();
            QVERIFY2(form.left() == 1680.f && form.top() == 1260.f, qPrintable(form.name()));
            QVERIFY2(form.host()->size() == QSize(800, 600), qPrintable(form.name()));
            QVERIFY2(form.caption() == QStringLiteral("Habitara"), qPrintable(form.name()));
            const QColor blue =
                &form == &screen<livingmountains>() ? QColor(39, 63, 137) : QColor(0, 78, 152);
            QVERIFY2(form.backColor() == blue, qPrintable(form.name()));
        }
        // A picture box called Picture1 gets the lighter blue behind it.
        QCOMPARE(screen<multiple>().Picture1.backColor(), QColor(49, 135, 214));
        registry::unloadAll();
        settle();
        twips::setDisplaySizeForTests(QSizeF(640 * 15, 480 * 15));
        for (const auto &touch : screens) {
            const Form &small = touch();
            QVERIFY2(small.left() == -1200.f && small.top() == -900.f, qPrintable(small.name()));
        }
    }

    void titleScreenOverTheBackdropAndASilentFirstExit()
    {
        Titlefrm &title = screen<Titlefrm>();
        title.show();
        QVERIFY(screen<Grey>().visible());
        QCOMPARE(QSizeF(title.width(), title.height()), QSizeF(5460, 6570));
        QCOMPARE(title.left(), (1024 * 15 - 5460) / 2.f);
        QVERIFY(title.caption() == QStringLiteral(" ") &&
                title.backColor() == QColor(192, 192, 192));
        QCOMPARE(title.Picture1.picture().source(), QStringLiteral("images\\andesmd.jpg"));
        QVERIFY(pixelAt(title, QPointF(2730, 2880)) != QColor(192, 192, 192));
        // Sound has never been switched on, so the first Exit is silent, and it ends the program.
        QVERIFY(rec->heard(title.Command2).isEmpty());
        QVERIFY(programEnded() && !isLoaded<Titlefrm>());
    }

    void aMissingTitlePictureLeavesTheStandardScreen()
    {
        content->remove(QStringLiteral("images/andesmd.jpg"));
        Titlefrm &title = screen<Titlefrm>();
        QVERIFY(title.width() == 12000.f && title.height() == 9000.f && title.left() == 1680.f);
        QVERIFY(title.Picture1.picture().isNull() && rec->messages.isEmpty());
        // The main menu shows an empty picture box rather than failing.
        click(title.Command1);
        QVERIFY(screen<intro0>().visible() && screen<intro0>().Image1.picture().isNull());
    }

    void theTitlePictureLoadedAheadIsTheSameScreen()
    {
        Titlefrm &onTheSpot = screen<Titlefrm>();
        onTheSpot.show();
        const QImage expected = grab(onTheSpot);
        unload<Titlefrm>();
        settle();
        loadPictureAhead(Titlefrm::pictureFile());
        Titlefrm &ahead = screen<Titlefrm>();
        ahead.show();
        QCOMPARE(ahead.Picture1.picture().source(), Titlefrm::pictureFile());
        QCOMPARE(grab(ahead), expected);
        // A picture that cannot be loaded ahead leaves the standard screen, as on the spot.
        unload<Titlefrm>();
        settle();
        content->remove(QStringLiteral("images/andesmd.jpg"));
        loadPictureAhead(Titlefrm::pictureFile());
        Titlefrm &missing = screen<Titlefrm>();
        QVERIFY(missing.width() == 12000.f && missing.Picture1.picture().isNull());
    }

    void theSoundSwitchLastsUntilTheMenuIsLoadedAgain()
    {
        screen<Titlefrm>().show();
        QCOMPARE(rec->heard(screen<Titlefrm>().Command1), clickSound);
        settle();
        QVERIFY(!isLoaded<Titlefrm>());
        intro0 *menu = &screen<intro0>();
        QVERIFY(menu->visible());

        // Sound Off makes no sound itself and silences the menu.
        QVERIFY(rec->heard(menu->Option2).isEmpty());
        QVERIFY(menu->Option2.value() && !menu->Option1.value());
        click(menu->Label2[1]);
        click(screen<livingmountains>().label3[2]);
        settle();
        QVERIFY(!isLoaded<livingmountains>());
        QCOMPARE(Module1::soundon, std::optional<int>(0));

        // Exit then Cancel comes back to the very same menu, sound still off.
        click(menu->Label2[16]);
        QCOMPARE(screen<Titlefrm>().Command1.caption(), QStringLiteral("Cancel"));
        click(screen<Titlefrm>().Command1);
        settle();
        QVERIFY(!isLoaded<Titlefrm>() && &screen<intro0>() == menu && menu->Option2.value());
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        QVERIFY(rec->sounds().isEmpty());

        // Sound On plays the next click; a freshly loaded menu always starts with sound on.
        QVERIFY(rec->heard(menu->Option1).isEmpty());
        QCOMPARE(rec->heard(menu->Label2[5]), clickSound);
        click(menu->Option2);
        unload<intro0>();
        settle();
        QVERIFY(screen<intro0>().Option1.value());
        QCOMPARE(Module1::soundon, std::optional<int>(1));

        // The exit confirmation's Exit clicks and ends everything.
        click(screen<intro0>().Label2[16]);
        QCOMPARE(rec->heard(screen<Titlefrm>().Command2), clickSound);
        QVERIFY(programEnded() && registry::loaded().empty());
    }

    void entriesLightUnderThePointerAndClearOverTheBareScreen()
    {
        intro0 &menu = screen<intro0>();
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(menu.host()));
        const QPointF entry1At(120 + 100, 3720 + 100);
        // First shown: every entry shows its background.
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 0, 0));
        moveOverForm(menu, QPointF(5000, 7000));
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 78, 152));
        bool anyLit = false;
        menu.Label2.forEach([&](int, Label &l) { anyLit = anyLit || l.opaque(); });
        QVERIFY(!anyLit);

        moveOver(menu.Label2[1], QPointF(100, 100));
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 0, 0));
        // Over the picture, the title and the sound switch the entry stays lit.
        moveOver(menu.Image1);
        moveOver(menu.Label1);
        moveOver(menu.Option1);
        QVERIFY(menu.Label2[1].opaque());
        // A disabled entry never lights and passes the pointer to the bare screen.
        moveOver(menu.Label2[0]);
        QVERIFY(!menu.Label2[0].opaque() && !menu.Label2[1].opaque());
        QVERIFY(rec->heard(menu.Label2[0]).isEmpty());
    }
};

QTEST_MAIN(SpineTest)
#include "tst_spine.moc"
