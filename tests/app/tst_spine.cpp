// SPDX-License-Identifier: GPL-3.0-or-later
// The program's spine driven as a pupil would: the title screen, the backdrop, the main menu,
// the sound switch, hovering and the way out.
#include "app/Grey.h"
#include "app/Module1.h"
#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace testkit;

class SpineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void init()
    {
        resetProgram();
        twips::setDisplaySizeForTests(QSizeF(1024 * 15, 768 * 15));
    }
    void cleanup() { resetProgram(); }

    void touchingAScreenLoadsItAndAnUnloadedOneComesBackFresh()
    {
        ContentFolder content;
        Recorders rec;
        QVERIFY(!isLoaded<intro0>());
        QVERIFY(!Module1::soundon.has_value());
        // Reading a caption is a touch: the menu loads and its load sets the sound switch.
        QCOMPARE(screen<intro0>().Label2[1].caption(), QStringLiteral("Living in the Mountains"));
        QVERIFY(isLoaded<intro0>());
        QCOMPARE(Module1::soundon, std::optional<int>(1));

        intro0 *first = &screen<intro0>();
        first->Label3.setCaption(QStringLiteral("changed"));
        first->Option2.setValue(true);
        unload<intro0>();
        settle();
        QVERIFY(!isLoaded<intro0>());
        intro0 &fresh = screen<intro0>();
        QVERIFY(fresh.Label3.caption() != QStringLiteral("changed"));
        QVERIFY(fresh.Option1.value());
        QVERIFY(!fresh.Option2.value());
    }

    void setupformSizesColoursAndCentresEveryScreen()
    {
        ContentFolder content;
        Recorders rec;
        Module1::questnum = 1;
        struct Row
        {
            std::function<Form &()> touch;
            QColor back;
        };
        const QColor blue(0, 78, 152), topicBlue(39, 63, 137);
        const std::vector<Row> screens = {
            {[]() -> Form & { return screen<intro0>(); }, blue},
            {[]() -> Form & { return screen<livingmountains>(); }, topicBlue},
            {[]() -> Form & { return screen<livingdesert>(); }, topicBlue},
            {[]() -> Form & { return screen<multiple>(); }, blue},
            {[]() -> Form & { return screen<Welldone>(); }, blue},
            {[]() -> Form & { return screen<Wrong>(); }, blue},
            {[]() -> Form & { return screen<teacher>(); }, blue},
            {[]() -> Form & { return screen<guide>(); }, blue},
        };
        for (const Row &row : screens) {
            Form &form = row.touch();
            const QByteArray name = form.name().toUtf8();
            QVERIFY2(form.width() == 12000.f && form.height() == 9000.f, name);
            QVERIFY2(form.caption() == QStringLiteral("Habitara"), name);
            QVERIFY2(form.backColor() == row.back, name);
            QVERIFY2(form.left() == 1680.f && form.top() == 1260.f, name);
            QVERIFY2(form.host()->size() == QSize(800, 600), name);
            // A screen with a picture box called Picture1 gets the lighter blue behind it.
            if (auto *box =
                    dynamic_cast<PictureBox *>(form.findControl(QStringLiteral("Picture1"))))
                QVERIFY2(box->backColor() == QColor(49, 135, 214), name);
        }
        QCOMPARE(screen<multiple>().Picture1.backColor(), QColor(49, 135, 214));

        // On a display smaller than a screen the screen hangs off the top and left edges.
        registry::unloadAll();
        settle();
        twips::setDisplaySizeForTests(QSizeF(640 * 15, 480 * 15));
        for (const Row &row : screens) {
            Form &small = row.touch();
            QVERIFY2(small.left() == -1200.f && small.top() == -900.f, qPrintable(small.name()));
        }
    }

    void titleScreenOverTheBackdropAndASilentFirstExit()
    {
        ContentFolder content;
        Recorders rec;
        Titlefrm &title = screen<Titlefrm>();
        title.show();
        QVERIFY(isLoaded<Grey>());
        QVERIFY(screen<Grey>().visible());
        QCOMPARE(screen<Grey>().backColor(), QColor(48, 133, 214));
        QCOMPARE(title.width(), 5460.f);
        QCOMPARE(title.height(), 6570.f);
        QCOMPARE(title.caption(), QStringLiteral(" "));
        QCOMPARE(title.backColor(), QColor(192, 192, 192));
        QCOMPARE(title.left(), (1024 * 15 - 5460) / 2.f);
        QCOMPARE(title.Picture1.picture().source(), QStringLiteral("images\\andesmd.jpg"));
        QCOMPARE(title.Command1.caption(), QStringLiteral("OK"));
        QVERIFY(pixelAt(title, QPointF(2730, 2880)) != QColor(192, 192, 192));

        // Sound has never been switched on, so the first Exit is silent, and it ends the program.
        click(title.Command2);
        QVERIFY(rec.sounds().isEmpty());
        QVERIFY(programEnded());
        QVERIFY(!isLoaded<Titlefrm>());
    }

    void aMissingTitlePictureLeavesTheStandardScreen()
    {
        ContentFolder content;
        Recorders rec;
        content.remove(QStringLiteral("images/andesmd.jpg"));
        Titlefrm &title = screen<Titlefrm>();
        QCOMPARE(title.width(), 12000.f);
        QCOMPARE(title.height(), 9000.f);
        QCOMPARE(title.backColor(), QColor(0, 78, 152));
        QCOMPARE(title.caption(), QStringLiteral("Habitara"));
        QCOMPARE(title.left(), 1680.f);
        QVERIFY(title.Picture1.picture().isNull());
        QCOMPARE(title.Label4.left(), 60.f);
        QCOMPARE(title.Command1.top(), 6000.f);
        QVERIFY(rec.messages.isEmpty());

        // The main menu shows an empty picture box rather than failing.
        click(title.Command1);
        QVERIFY(screen<intro0>().visible());
        QVERIFY(screen<intro0>().Image1.picture().isNull());
    }

    void theSoundSwitchLastsUntilTheMenuIsLoadedAgain()
    {
        ContentFolder content;
        Recorders rec;
        screen<Titlefrm>().show();
        click(screen<Titlefrm>().Command1);
        settle();
        QVERIFY(!isLoaded<Titlefrm>());
        intro0 *menu = &screen<intro0>();
        QVERIFY(menu->visible());
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});

        // Sound Off makes no sound itself and silences the menu.
        rec.clearSounds();
        click(menu->Option2);
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        QVERIFY(menu->Option2.value() && !menu->Option1.value());
        click(menu->Label2[1]);
        QVERIFY(screen<livingmountains>().visible());
        click(screen<livingmountains>().label3[2]);
        settle();
        QVERIFY(!isLoaded<livingmountains>());
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        QVERIFY(rec.sounds().isEmpty());

        // Exit then Cancel comes back to the very same menu, sound still off.
        click(menu->Label2[16]);
        Titlefrm &confirm = screen<Titlefrm>();
        QVERIFY(confirm.visible());
        QCOMPARE(confirm.Command1.caption(), QStringLiteral("Cancel"));
        click(confirm.Command1);
        settle();
        QVERIFY(!isLoaded<Titlefrm>());
        QCOMPARE(&screen<intro0>(), menu);
        QVERIFY(menu->Option2.value());
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        QVERIFY(rec.sounds().isEmpty());

        // Sound On plays the next click; a freshly loaded menu always starts with sound on.
        click(menu->Option1);
        QVERIFY(rec.sounds().isEmpty());
        click(menu->Label2[5]);
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        click(menu->Option2);
        unload<intro0>();
        settle();
        QCOMPARE(Module1::soundon, std::optional<int>(0));
        QVERIFY(screen<intro0>().Option1.value());
        QCOMPARE(Module1::soundon, std::optional<int>(1));

        // The exit confirmation's Exit clicks and ends everything.
        rec.clearSounds();
        click(screen<intro0>().Label2[16]);
        rec.clearSounds();
        click(screen<Titlefrm>().Command2);
        QCOMPARE(rec.sounds(), QStringList{QStringLiteral("wav\\click.wav")});
        QVERIFY(programEnded());
        QVERIFY(registry::loaded().empty());
    }

    void entriesLightUnderThePointerAndClearOverTheBareScreen()
    {
        ContentFolder content;
        Recorders rec;
        intro0 &menu = screen<intro0>();
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(menu.host()));
        const QPointF insideEntry1(100, 100);
        const QPointF entry1At(120 + 100, 3720 + 100);
        // First shown: every entry shows its background.
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 0, 0));
        QCOMPARE(pixelAt(menu, QPointF(7200 + 100, 5760 + 100)), QColor(0, 0, 128));

        moveOverForm(menu, QPointF(5000, 7000));
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 78, 152));
        bool anyLit = false;
        menu.Label2.forEach([&](int, Label &l) { anyLit = anyLit || l.opaque(); });
        QVERIFY(!anyLit);

        moveOver(menu.Label2[1], insideEntry1);
        QVERIFY(menu.Label2[1].opaque());
        QCOMPARE(pixelAt(menu, entry1At), QColor(0, 0, 0));
        // Over the picture, the title and the sound switch the entry stays lit.
        moveOver(menu.Image1);
        moveOver(menu.Label1);
        moveOver(menu.Option1);
        QVERIFY(menu.Label2[1].opaque());
        // A disabled entry never lights and passes the pointer to the bare screen.
        moveOver(menu.Label2[0]);
        QVERIFY(!menu.Label2[0].opaque());
        QVERIFY(!menu.Label2[1].opaque());
        click(menu.Label2[0]);
        QVERIFY(rec.sounds().isEmpty());
    }

    void contentPathsIgnoreCaseAndSeparators()
    {
        ContentFolder content;
        const QString expected =
            QFileInfo(content.path(QStringLiteral("images/andesmd.jpg"))).canonicalFilePath();
        for (const char *written : {"images\\andesmd.jpg", "Images\\andesmd.jpg",
                                    "IMAGES/AndesMD.JPG", "images//andesmd.jpg"})
            QCOMPARE(QFileInfo(contentPath(QString::fromLatin1(written))).canonicalFilePath(),
                     expected);
        QVERIFY(QFileInfo::exists(contentPath(QStringLiteral("Multiple\\TRACK.TXT"))));
        QCOMPARE(contentPath(QStringLiteral("Images\\nothing\\Here.jpg")),
                 QDir::currentPath() + QStringLiteral("/images/nothing/Here.jpg"));
    }
};

QTEST_MAIN(SpineTest)
#include "tst_spine.moc"
