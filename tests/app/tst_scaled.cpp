// SPDX-License-Identifier: GPL-3.0-or-later
// Run with every window drawn at twice its size: screens keep their layout and gain detail.
#include "app/intro0.h"
#include "reading/guide.h"
#include "reading/teacher.h"
#include "tests/support/testkit.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

using namespace testkit;

namespace {

/// The screen drawn at its design size, one pixel for each of its own pixels.
QImage designSize(const Form &form)
{
    QImage image(form.host()->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    form.host()->render(&image);
    return image;
}

/// The screen as it is shown, at twice the size.
QImage shown(const Form &form)
{
    QImage image = form.host()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

/// The largest difference of mean colour between 10 x 10 blocks of the two, at design size.
int largestBlockDifference(const QImage &design, const QImage &big)
{
    const QImage back = big.scaled(design.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (int by = 0; by + 10 <= design.height(); by += 10)
        for (int bx = 0; bx + 10 <= design.width(); bx += 10) {
            int sum[2][3] = {};
            for (int y = by; y < by + 10; ++y)
                for (int x = bx; x < bx + 10; ++x)
                    for (int i = 0; i < 2; ++i) {
                        const QRgb c = (i ? back : design).pixel(x, y);
                        sum[i][0] += qRed(c);
                        sum[i][1] += qGreen(c);
                        sum[i][2] += qBlue(c);
                    }
            for (int k = 0; k < 3; ++k)
                worst = std::max(worst, std::abs(sum[0][k] - sum[1][k]) / 100);
        }
    return worst;
}

/// The energy of the change of brightness from pixel to pixel, which blurring spreads thin.
double detail(const QImage &image, const QRect &region)
{
    double total = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x < region.right(); ++x) {
            const int step = qGray(image.pixel(x + 1, y)) - qGray(image.pixel(x, y));
            total += step * step;
        }
    return total;
}

/// The detail of a region shown at twice the size, against the design size merely enlarged.
double sharpness(const QImage &design, const QImage &big, const QRect &designRegion)
{
    const QImage enlarged =
        design.scaled(design.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRect bigRegion(designRegion.topLeft() * 2, designRegion.size() * 2);
    return detail(big, bigRegion) / detail(enlarged, bigRegion);
}

} // namespace

class ScaledTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void everyScreenKeepsItsLayoutAndGainsDetail()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        intro0 &menu = screen<intro0>();
        menu.show();
        settle();
        QCOMPARE(shown(menu).size(), QSize(1600, 1200));
        QVERIFY2(largestBlockDifference(designSize(menu), shown(menu)) < 40,
                 "the main menu is laid out differently at twice the size");
        // The picture comes from its large version; captions are drawn in sharper text.
        QCOMPARE(menu.Image1.width(), 4800.f);
        QVERIFY2(sharpness(designSize(menu), shown(menu), QRect(462, 88, 320, 240)) > 1.3,
                 "the menu's picture is only enlarged");
        QVERIFY(sharpness(designSize(menu), shown(menu), QRect(8, 80, 213, 33)) > 1.3);

        // A page is a drawing, drawn afresh at the larger size.
        click(menu.Label2[20]);
        guide &pages = screen<guide>();
        settle();
        QVERIFY2(largestBlockDifference(designSize(pages), shown(pages)) < 40,
                 "the guide is laid out differently at twice the size");
        QVERIFY(sharpness(designSize(pages), shown(pages), QRect(40, 100, 600, 200)) > 1.3);
        click(pages.Label3[1]);
        settle();
        QVERIFY(!isLoaded<guide>());

        click(menu.Label2[19]);
        teacher &viewer = screen<teacher>();
        QCOMPARE(viewer.Picture2.picture().image().devicePixelRatio(), 2.0);
        QCOMPARE(viewer.Picture2.picture().sizeTwips(), QSizeF(1800, 1335));
    }
};

QTEST_MAIN(ScaledTest)
#include "tst_scaled.moc"
