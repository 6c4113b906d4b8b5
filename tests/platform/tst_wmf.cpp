// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/wmfwriter.h"
#include "platform/fonts.h"
#include "platform/wmf.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

// --- Metafiles by hand: each record a string of little-endian words ---------------------------

QByteArray words(std::initializer_list<int> list)
{
    QByteArray out;
    for (int w : list)
        out.append(char(w & 0xFF)).append(char((w >> 8) & 0xFF));
    return out;
}

/// One record; size, when given, is what the record claims whatever it holds.
QByteArray rec(int function, QByteArray params, qint64 size = -1)
{
    params.append(QByteArray(params.size() % 2, '\0'));
    size = size < 0 ? 3 + params.size() / 2 : size;
    return words({int(size & 0xFFFF), int(size >> 16), function}) + params;
}

QByteArray rec(int function, std::initializer_list<int> params)
{
    return rec(function, words(params));
}

QByteArray plain(const QByteArray &records, int objects, bool end = true)
{
    const QByteArray body = end ? records + rec(0, {}) : records;
    const int size = 9 + int(body.size() / 2);
    return words({1, 9, 0x0300, size & 0xFFFF, size >> 16, objects, 0, 0, 0}) + body;
}

QByteArray placeable(const QByteArray &records, int objects, const QRect &box = {0, 0, 100, 100},
                     int inch = 1440, bool end = true)
{
    const QByteArray head = words({0xCDD7, 0x9AC6, 0, box.left(), box.top(),
                                   box.left() + box.width(), box.top() + box.height(), inch, 0, 0});
    int sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= uchar(head[i]) | uchar(head[i + 1]) << 8;
    return head + words({sum}) + plain(records, objects, end);
}

const auto redGreen = [](QRgb c) { return qRed(c) | qGreen(c) << 8; };
const auto ext = [](int w, int h) { return rec(0x020C, {h, w}); };
const auto pen = [](int style, int width, QRgb c) {
    return rec(0x02FA, {style, width, 0, redGreen(c), qBlue(c)});
};
const auto brush = [](QRgb c) { return rec(0x02FC, {0, redGreen(c), qBlue(c), 0}); };
const auto sel = [](int index) { return rec(0x012D, {index}); };
const auto del = [](int index) { return rec(0x01F0, {index}); };
/// A rectangle record (drawing, or a clip record's function): bottom, right, top, left.
const auto box = [](int l, int t, int r, int b, int function = 0x041B) {
    return rec(function, {b, r, t, l});
};
/// No pen in slot 0, a solid brush of c in slot 1, both selected.
const auto fill = [](QRgb c) { return pen(5, 0, 0) + sel(0) + brush(c) + sel(1); };
const auto font = [](int height, int weight, bool italic, const char *face, int width = 0) {
    return rec(0x02FB, words({height, width, 0, 0, weight, italic, 0, 0, 0}) + face + '\0');
};
const auto textOut = [](int x, int y, const QByteArray &text) {
    const int n = int(text.size());
    return rec(0x0521, words({n}) + text + QByteArray(n % 2, '\0') + words({y, x}));
};
const auto poly = [](int function, const QList<QPoint> &points) {
    QByteArray p = words({int(points.size())});
    for (const QPoint &point : points)
        p += words({point.x(), point.y()});
    return rec(function, p);
};

/// A device-independent bitmap; up to 8 bits a pixel it has a table of the colours used.
QByteArray dib(int bits, int w, int h, bool topDown, const std::function<QRgb(int, int)> &colour)
{
    QList<QRgb> table;
    for (int y = 0; bits <= 8 && y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!table.contains(colour(x, y)))
                table.append(colour(x, y));
    const int stride = (w * bits + 31) / 32 * 4, sh = topDown ? -h : h, n = int(table.size());
    QByteArray out = words({40, 0, w, 0, sh & 0xFFFF, sh >> 16, 1, bits}) + QByteArray(16, '\0') +
                     words({n, 0, 0, 0});
    for (QRgb c : table)
        out += words({qBlue(c) | qGreen(c) << 8, qRed(c)});
    for (int row = 0; row < h; ++row) {
        QByteArray line(stride, '\0');
        for (int x = 0, at = 0; x < w; ++x, at = x * bits / 8) {
            const QRgb c = colour(x, topDown ? row : h - 1 - row);
            if (bits < 8)
                line[at] = char(line[at] | table.indexOf(c) << (8 - bits - x * bits % 8));
            else if (bits == 8)
                line[at] = char(table.indexOf(c));
            else
                for (int k = 0; k < 3; ++k)
                    line[at + k] = char(c >> 8 * k); // blue, green, red
        }
        out += line;
    }
    return out;
}

// --- Looking at pictures ------------------------------------------------------------------------

std::shared_ptr<const wmf::Metafile> parseOk(const QByteArray &bytes)
{
    QString error;
    auto metafile = wmf::Metafile::parse(bytes, &error);
    if (!metafile)
        qWarning("parse failed: %s", qPrintable(error));
    return metafile;
}

QImage render(const wmf::Metafile &m, const QSize &size, QRectF target = {},
              wmf::PlayCost *cost = nullptr)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    m.play(painter, target.isNull() ? QRectF(QPointF(), QSizeF(size)) : target, cost);
    return image;
}

const auto distance = [](QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
};
const auto near = [](QRgb a, QRgb b, int tolerance = 40) { return distance(a, b) <= tolerance; };
const auto name = [](QRgb c) { return QColor(c).name(); };
const auto str = [](const QRect &r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
};
/// The largest distance between the edges of two boxes.
const auto apart = [](const QRect &a, const QRect &b) {
    return std::max({std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
                     std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom())});
};

/// The box of the pixels in region (the whole picture when null) further from white than
/// threshold; amount, when given, receives the darkness of all of them, 0 to 1 a pixel.
QRect inkBox(const QImage &image, QRect region = {}, int threshold = 100, double *amount = nullptr)
{
    QRect box;
    region = region.isNull() ? image.rect() : region & image.rect();
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const int d = distance(image.pixel(x, y), qRgb(255, 255, 255));
            box |= d > threshold ? QRect(x, y, 1, 1) : QRect();
            if (amount)
                *amount += d / 255.0;
        }
    }
    return box;
}
double ink(const QImage &image, const QRect &region = {})
{
    double amount = 0;
    inkBox(image, region, 255, &amount);
    return amount;
}

/// What differs between two pictures of one size beyond the limits: the mean over 8 by 8
/// blocks of the largest channel difference of their average colours, and the pixels with
/// nothing like them within two pixels in the other, counted over the worst 16 by 16 window
/// (antialiasing and a pixel of placement are forgiven, a missing or misplaced shape is not).
QString differences(const QImage &a, const QImage &b, double maxMean, int maxWindow)
{
    const int w = a.width(), h = a.height();
    double mean = 0;
    for (int by = 0; by + 8 <= h; by += 8) {
        for (int bx = 0; bx + 8 <= w; bx += 8) {
            int sum[3] = {};
            for (int i = 0; i < 64; ++i)
                for (int k = 0; k < 3; ++k)
                    sum[k] += int(a.pixel(bx + i % 8, by + i / 8) >> 8 * k & 0xFF) -
                              int(b.pixel(bx + i % 8, by + i / 8) >> 8 * k & 0xFF);
            mean += std::max({std::abs(sum[0]), std::abs(sum[1]), std::abs(sum[2])}) / 64.0;
        }
    }
    mean /= std::max(1, (w / 8) * (h / 8));
    auto unmatched = [](const QImage &from, const QImage &in, int x, int y) {
        for (int i = 0; i < 25; ++i)
            if (in.rect().contains(x + i % 5 - 2, y + i / 5 - 2) &&
                distance(from.pixel(x, y), in.pixel(x + i % 5 - 2, y + i / 5 - 2)) <= 64)
                return false;
        return true;
    };
    QList<int> stray(w * h);
    for (int i = 0; i < w * h; ++i)
        stray[i] = unmatched(a, b, i % w, i / w) || unmatched(b, a, i % w, i / w);
    int worst = 0;
    for (int wy = 0; wy < h; wy += 8) {
        for (int wx = 0, count = 0; wx < w; wx += 8, count = 0) {
            for (int y = wy; y < std::min(wy + 16, h); ++y)
                for (int x = wx; x < std::min(wx + 16, w); ++x)
                    count += stray[y * w + x];
            worst = std::max(worst, count);
        }
    }
    return mean <= maxMean && worst <= maxWindow
               ? QString()
               : QStringLiteral("mean %1, %2 stray pixels in 16x16").arg(mean).arg(worst);
}

using Probes = QList<std::tuple<int, int, QRgb>>; // where, and the colour expected there

/// The probes whose pixel in image (moved by offset) is not near their colour, or nothing.
QString missed(const QImage &image, const Probes &probes, int tolerance, QPoint offset = {})
{
    QString wrong;
    for (const auto &[x, y, colour] : probes)
        if (const QRgb c = image.pixel(QPoint(x, y) + offset); !near(c, colour, tolerance))
            wrong += QStringLiteral("%1,%2 is %3; ").arg(x).arg(y).arg(name(c));
    return wrong;
}

/// A page as the content generator draws one: shapes, a path, dashes, a clip, a bitmap, text.
void drawSamplePage(QPainter &p)
{
    auto use = [&p](const QPen &pen, const QBrush &brush) {
        p.setPen(pen);
        p.setBrush(brush);
    };
    use(QPen(Qt::black, 30), QColor(220, 40, 40));
    p.drawRect(QRectF(300, 300, 2400, 1500));
    use(Qt::NoPen, QColor(40, 90, 220));
    p.drawEllipse(QRectF(3200, 300, 2400, 1500));
    use(QPen(QColor(0, 140, 60), 60), Qt::NoBrush);
    p.drawLine(QPointF(300, 2100), QPointF(5600, 2400));
    use(QPen(Qt::black, 15), QColor(250, 200, 0));
    QPainterPath star;
    star.setFillRule(Qt::WindingFill);
    star.addPolygon(
        QPolygonF({{1500, 2700}, {1800, 3600}, {1000, 3000}, {2000, 3000}, {1200, 3600}}));
    star.closeSubpath();
    p.drawPath(star);
    p.setBrush(QColor(120, 60, 200));
    p.drawRoundedRect(QRectF(3200, 2700, 2400, 900), 200, 200);
    p.setPen(QPen(Qt::black, 30, Qt::DashLine));
    p.drawLine(QPointF(300, 2550), QPointF(5600, 2550));
    p.save();
    p.setClipRect(QRectF(4800, 5600, 1000, 600));
    use(Qt::NoPen, QColor(0, 160, 160));
    p.drawEllipse(QRectF(4200, 5300, 2400, 1400));
    p.restore();
    QImage bitmap(40, 30, QImage::Format_RGB32);
    const QRgb quarters[] = {0xdc1e1e, 0x1eaa3c, 0x2846dc, 0xf0c814};
    for (int i = 0; i < 4; ++i)
        QPainter(&bitmap).fillRect(i % 2 * 20, i / 2 * 15, 20, 15, QColor(quarters[i]));
    p.drawImage(QRectF(300, 3900, 2000, 1500), bitmap);
    p.setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    p.setPen(Qt::black);
    p.drawText(QRectF(2700, 3900, 3000, 1600), Qt::TextWordWrap | Qt::AlignHCenter,
               QStringLiteral("Frogs lay their eggs in ponds in the spring"));
    p.setFont(QFont(QStringLiteral("Times New Roman"), 11, QFont::Normal, true));
    p.setPen(QColor(0, 0, 128));
    p.drawText(QPointF(300, 5900), QStringLiteral("Caf\u00e9 \u2013 na\u00efve r\u00f4le"));
}

} // namespace

class WmfTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFonts(); }
    void otherProgramsFiles_data();
    void otherProgramsFiles();
    void writerRoundTrip();
    void damagedRecords_data();
    void damagedRecords();
    void truncatedFiles();
    void drawings_data();
    void drawings();
    void hostileFilesDrawInBoundedWork();
    void text();
    void maskedBitmaps();
    void dashesAtOnePixel();
};

void WmfTest::otherProgramsFiles_data()
{
    QTest::addColumn<QRectF>("picture"); // where the program's PNG has it
    QTest::addColumn<Probes>("probes");
    QTest::addColumn<QList<QRect>>("texts"); // each holds one caption and nothing else
    QTest::addColumn<QRect>("misplaced");    // a caption the program draws off its baseline
    // LibreOffice centres a metafile on an A4 page; the PNGs are cut from that page, which
    // leaves the picture a fraction of a pixel in from their corner. Inkscape draws the second
    // caption of its shapes about 11 pixels below the file's baseline.
    const QRectF lo(0.67, 0.20, 372.65, 272.62), inkscape(0, 0, 400, 300);
    auto quarters = [](int x, int y) {
        return Probes{{x, y, 0xdc1e1e},
                      {x + 100, y, 0x1eaa3c},
                      {x, y + 75, 0x2846dc},
                      {x + 100, y + 75, 0xf0c814},
                      {x + 229, y + 33, 0xf0a000}};
    };
    QTest::newRow("lo_shapes") << lo
                               << Probes{{60, 45, 0xd02020},
                                         {255, 50, 0x2050d0},
                                         {86, 220, 0x20a040},
                                         {250, 160, 0xffffff}}
                               << QList<QRect>{{180, 165, 140, 45}, {180, 230, 190, 35}} << QRect();
    QTest::newRow("lo_bitmap") << lo << quarters(76, 63) + Probes{{305, 200, 0xffffff}}
                               << QList<QRect>{{20, 195, 170, 60}} << QRect();
    QTest::newRow("inkscape_shapes")
        << inkscape
        << Probes{{95, 65, 0x3070e0},
                  {290, 70, 0xe03030},
                  {100, 215, 0xf0c000},
                  {240, 150, 0xffffff}}
        << QList<QRect>{{190, 205, 150, 45}} << QRect(190, 255, 190, 45);
    QTest::newRow("inkscape_bitmap")
        << inkscape << quarters(90, 77) + Probes{{10, 150, 0x7030a0}, {300, 230, 0xffffff}}
        << QList<QRect>{{30, 205, 170, 55}} << QRect();
}

void WmfTest::otherProgramsFiles()
{
    QFETCH(QRectF, picture);
    QFETCH(Probes, probes);
    QFETCH(QList<QRect>, texts);
    QFETCH(QRect, misplaced);
    const QString path = QStringLiteral(HABITARA_TEST_DATA "/wmf/") + QTest::currentDataTag();
    QFile file(path + QStringLiteral(".wmf"));
    const QImage png(path + QStringLiteral(".png"));
    QVERIFY(file.open(QIODevice::ReadOnly) && !png.isNull());
    QImage reference(png.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter(&reference).drawImage(0, 0, png);
    QPainter(&reference).fillRect(misplaced, Qt::white); // left out of the comparison
    auto metafile = parseOk(file.readAll());
    QVERIFY(metafile && metafile->problems().isEmpty());
    auto wrongIn = [&](QImage mine) {
        QPainter(&mine).fillRect(misplaced, Qt::white);
        QStringList wrong;
        for (const QRect &r : texts) {
            double a = 0, b = 0;
            const QRect ours = inkBox(mine, r, 100, &a), theirs = inkBox(reference, r, 100, &b);
            if (ours.isEmpty() || apart(ours, theirs) > 3 || a / b < 0.7 || a / b > 1.4)
                wrong << QStringLiteral("text %1 %2, ink %3").arg(str(r), str(ours)).arg(a / b);
        }
        wrong << missed(reference, probes, 40) << missed(mine, probes, 40);
        // The outermost pixels are left out: a reader may spill a row over the picture's edge.
        const QRect inside = picture.toAlignedRect().adjusted(1, 1, -1, -1);
        if (apart(inkBox(mine, inside, 60), inkBox(reference, inside, 60)) > 3)
            wrong << QStringLiteral("ink bounds %1").arg(str(inkBox(mine, inside, 60)));
        wrong << differences(mine, reference, 8, 64);
        wrong.removeAll(QString());
        return wrong.join(u"; ");
    };
    const QImage mine = render(*metafile, reference.size(), picture);
    const QString wrong = wrongIn(mine);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QImage blotted = mine; // the comparison sees a shape left out
    QPainter(&blotted).fillRect(std::get<0>(probes[0]) - 20, std::get<1>(probes[0]) - 20, 40, 40,
                                Qt::white);
    QVERIFY(!wrongIn(blotted).isEmpty());
}

void WmfTest::writerRoundTrip()
{
    const QSizeF page(6000, 6300);
    auto metafile = parseOk(content::renderWmf(page, drawSamplePage));
    QVERIFY(metafile);
    QVERIFY2(metafile->problems().isEmpty(), qPrintable(metafile->problems().join(u"; ")));
    QCOMPARE(metafile->sizeTwips(), page);
    // The same drawing straight onto an image at 96 dpi (fonts sized for 1440 dpi).
    QImage expected(int(page.width() / 15), int(page.height() / 15), QImage::Format_RGB32);
    expected.setDotsPerMeterX(int(std::lround(1440 / 0.0254)));
    expected.setDotsPerMeterY(int(std::lround(1440 / 0.0254)));
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(1 / 15.0, 1 / 15.0);
        drawSamplePage(painter);
    }
    const QImage played = render(*metafile, expected.size());
    const QString wrong = differences(played, expected, 6, 64);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    // The wrapped and the single line of text land where QPainter put them.
    for (const QRect &region : {QRect(180, 260, 200, 110), QRect(15, 370, 300, 30)}) {
        const QRect a = inkBox(played, region), b = inkBox(expected, region);
        const double ratio = ink(played, region) / ink(expected, region);
        QVERIFY2(
            !b.isEmpty() && apart(a, b) <= 2 && ratio > 0.8 && ratio < 1.25,
            qPrintable(QStringLiteral("%1 against %2, ink %3").arg(str(a), str(b)).arg(ratio)));
    }

    // A large bitmap is stored at no more than 300 dpi, its transparent part white.
    QImage big(2000, 2000, QImage::Format_ARGB32);
    big.fill(Qt::transparent);
    QPainter(&big).fillRect(0, 0, 1000, 2000, QColor(0, 0, 255));
    const QByteArray bitmapPage = content::renderWmf(
        QSizeF(1440, 1440), [&](QPainter &p) { p.drawImage(QRectF(0, 0, 1440, 1440), big); });
    QVERIFY2(bitmapPage.size() > 300 * 300 * 3 && bitmapPage.size() < 300 * 300 * 3 + 500,
             qPrintable(QString::number(bitmapPage.size())));
    const QImage bitmapPlayed = render(*parseOk(bitmapPage), QSize(96, 96));
    QCOMPARE(name(bitmapPlayed.pixel(20, 50)), name(qRgb(0, 0, 255)));
    QCOMPARE(name(bitmapPlayed.pixel(76, 50)), name(qRgb(255, 255, 255)));

    // Text outside CP1252 is written as one '?' a character (Qt lays out each script apart,
    // so those come as records of their own); the file reads back whole.
    const QByteArray text = content::renderWmf(QSizeF(4000, 1000), [](QPainter &p) {
        p.setFont(QFont(QStringLiteral("Arial"), 12));
        p.drawText(QPointF(100, 500), QStringLiteral("\u00e9t\u00e9 \u20ac5 \u4e2d\U0001F600!"));
    });
    QVERIFY(text.contains(QByteArray("\x07\0\0\0\xe9t\xe9 \x80"
                                     "5 ",
                                     11)));
    QCOMPARE(text.count(QByteArray("\x01\0\0\0?\0", 6)), 2);
    auto textFile = parseOk(text);
    QVERIFY(textFile && textFile->problems().isEmpty());
    // A page no metafile can hold is refused.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             content::renderWmf(QSizeF(40000, 100), [](QPainter &) {}));
}

void WmfTest::damagedRecords_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSizeF>("twips"); // empty when the file cannot be used
    QTest::addColumn<int>("records");
    QTest::addColumn<QStringList>("reasons"); // one a problem expected, in part
    QTest::addColumn<QRgb>("centre");
    const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0);
    auto row = [](const char *tag, const QByteArray &file, QSizeF twips, int records = 0,
                  const QStringList &reasons = {}, QRgb centre = 0xffffff) {
        QTest::newRow(tag) << file << twips << records << reasons << centre;
    };
    const QByteArray none, rect = box(0, 0, 100, 100), zeros(8, '\0');
    const QSizeF square(100, 100);
    // Headers; files cut short are truncatedFiles' business.
    row("576 a inch", placeable(none, 0, {100, 50, 576, 288}, 576), {1440, 720});
    row("plain", plain(rec(0x020B, {-50, -100}) + ext(3000, 2000), 0), {3000, 2000}, 2);
    row("no end", placeable(none, 0, {0, 0, 144, 144}, 1440, false), {144, 144}, 0,
        {"without an end record"});
    row("plain, no size", plain(none, 0, false), {});
    row("png", "\x89PNG\r\n\x1a\n0000000000000000000000", {});
    row("no inch", placeable(none, 0, {0, 0, 100, 100}, 0), {});
    row("no width", placeable(none, 0, {0, 0, 0, 100}), {});
    // A size too small stops reading, keeping what came before; so does one past the end.
    row("size too small", placeable(fill(blue) + rec(0x041B, zeros, 2) + rect, 2), square, 4,
        {"impossible size"});
    row("size one past the end",
        placeable(rect + rec(0x041B, zeros, 8), 0, {0, 0, 100, 100}, 1440, false), square, 1,
        {"past the end"});
    // A record too short for what it needs is skipped, and reading goes on.
    row("short rectangle", placeable(rec(0x041B, {10, 10}) + brush(blue) + sel(0) + rect, 1),
        square, 4, {"record 1 (function 0x041b)"}, blue);
    row("counts beyond the record",
        placeable(
            rec(0x0324, {30000, 0, 0, 10, 10}) + rec(0x0538, {2, 30000, 30000, 0, 0}) +
                rec(0x0538, {65535}) + rec(0x0521, {32000, 0x4141}) + rec(0x0521, {-5, 0, 0}) +
                rec(0x0A32, {10, 10, 30000, 0}) + rec(0x0A32, {10, 10, 2, 0x0004, 0}) +
                rec(0x0A32, words({50, 10, 5, 0}) + QByteArray("Hello", 6) + words({10, 10})) +
                rec(0x0A32, words({50, 10, 3, 0}) + "AB"),
            0),
        square, 9, QStringList(8, "skipped"));
    row("object index outside the table",
        placeable(brush(red) + sel(0) + sel(2) + del(300) + rect, 2), square, 5,
        {"object index 2", "object index 300"}, red);
    row("enormous bitmap",
        placeable(rec(0x0F43, words({0x20, 0xCC, 0, 30000, 30000, 0, 0, 100, 100, 0, 0}) +
                                  words({40, 0, 30000, 0, 30000, 0, 1, 24}) + QByteArray(24, '\0')),
                  0),
        square, 1, {"larger than the reader accepts"});
    const QByteArray pixels = dib(24, 8, 6, false, [](int, int) { return qRgb(0, 0, 255); });
    row("bitmap cut short",
        placeable(
            rec(0x0F43, words({0x20, 0xCC, 0, 6, 8, 0, 0, 100, 100, 0, 0}) + pixels.chopped(10)),
            0),
        square, 1, {"cut short"});
    // Saves beyond any sensible depth, restores past the bottom, creations in a full table.
    QByteArray stack;
    for (int i = 0; i < 2000; ++i)
        stack += rec(0x001E, {});
    stack += rec(0x0127, {-5000}) + rec(0x0127, {3000}) + rec(0x0127, {1});
    for (int i = 0; i < 5; ++i)
        stack += pen(0, 1, 0);
    row("state stack and full table", placeable(stack + sel(1), 2), square, 2009);
}

void WmfTest::damagedRecords()
{
    QFETCH(QByteArray, file);
    QFETCH(QSizeF, twips);
    QFETCH(QStringList, reasons);
    QFETCH(QRgb, centre);
    QString error;
    auto m = wmf::Metafile::parse(file, &error);
    QVERIFY2(!m == twips.isEmpty() && error.isEmpty() == bool(m), qPrintable(error));
    if (!m)
        return;
    QCOMPARE(m->sizeTwips(), twips);
    QTEST(m->recordCount(), "records");
    const QStringList problems = m->problems();
    QVERIFY2(problems.size() == reasons.size(), qPrintable(problems.join(u"; ")));
    for (int i = 0; i < reasons.size(); ++i)
        QVERIFY2(problems[i].contains(reasons[i]), qPrintable(problems[i]));
    QCOMPARE(name(render(*m, QSize(20, 20)).pixel(10, 10)), name(centre));
}

void WmfTest::truncatedFiles()
{
    // A good file cut at every length parses or fails; what parses says it was cut, and plays.
    const QByteArray good = content::renderWmf(QSizeF(3000, 3000), drawSamplePage);
    int parsed = 0, lastCount = -1;
    for (qsizetype length = 0; length <= good.size(); length += length < 200 ? 1 : 97) {
        QString error;
        auto m = wmf::Metafile::parse(good.left(length), &error);
        QCOMPARE(error.isEmpty(), bool(m));
        if (!m)
            continue;
        ++parsed;
        QVERIFY(m->recordCount() >= lastCount);
        lastCount = m->recordCount();
        QCOMPARE(m->problems().isEmpty(), length == good.size());
        render(*m, QSize(40, 40));
    }
    QVERIFY(parsed > 10);
}

void WmfTest::drawings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Probes>("probes");
    const QRgb white = 0xffffff, black = 0, red = 0xff0000, green = 0x00c800, blue = 0x0000ff;
    auto row = [](const char *tag, const QByteArray &records, int objects, const Probes &probes,
                  const QRect &box = {0, 0, 100, 100}) {
        QTest::newRow(tag) << placeable(records, objects, box) << probes;
    };
    // A new object takes the lowest free slot; deleting an empty slot changes nothing, and a
    // selected brush stays in use after its slot is freed.
    row("object table",
        pen(5, 0, 0) + sel(0) + brush(red) + brush(blue) + brush(0xffff00) + del(1) + del(2) +
            del(2) + brush(green) + sel(1) + box(0, 0, 50, 100) + sel(3) + del(3) +
            box(50, 0, 100, 100) + brush(blue) + sel(2) + box(25, 25, 75, 75),
        4, {{10, 50, green}, {90, 50, 0xffff00}, {50, 50, blue}});
    // The window maps onto the box: y up turns the picture over; MM_TEXT keeps one unit a box
    // unit whatever the extent; isotropic keeps squares square.
    row("y up",
        rec(0x0103, {8}) + rec(0x020B, {100, 0}) + ext(100, -100) + fill(blue) + box(0, 0, 50, 50),
        2, {{25, 75, blue}, {25, 25, white}, {75, 75, white}});
    row("MM_TEXT",
        ext(1000, 1000) + rec(0x0103, {1}) + rec(0x020B, {50, 50}) + fill(red) +
            box(50, 50, 100, 100),
        2, {{25, 25, red}, {75, 75, white}}, {0, 0, 200, 200});
    row("isotropic",
        rec(0x0103, {7}) + ext(100, 100) + rec(0x020E, {100, 200}) + fill(black) +
            box(0, 0, 100, 100),
        2, {{97, 97, black}, {103, 50, white}}, {0, 0, 200, 100});
    // A clip holds until the state saved before it comes back, with the brush of then.
    row("clip and restore",
        fill(green) + rec(0x001E, {}) + box(40, 40, 60, 60, 0x0416) + brush(red) + sel(2) +
            box(0, 0, 100, 100) + rec(0x0127, {-1}) + box(0, 0, 20, 20),
        3, {{50, 50, red}, {30, 50, white}, {70, 50, white}, {10, 10, green}});
    row("excluded",
        fill(blue) + box(20, 20, 40, 40, 0x0415) + box(60, 60, 80, 80, 0x0415) +
            box(0, 0, 100, 100),
        2, {{30, 30, white}, {70, 70, white}, {50, 50, blue}});
    // From the ray through the right to the ray through the top, counter-clockwise: a pie fills
    // the upper right quarter, a chord leaves the triangle by the centre empty, an arc strokes.
    const auto arc = [&](int function) {
        return ext(100, 100) + fill(black) + pen(0, 2, black) + sel(2) +
               rec(function, {0, 50, 50, 100, 100, 100, 0, 0});
    };
    row("pie", arc(0x081A), 3, {{70, 30, black}, {30, 30, white}, {70, 70, white}});
    row("chord", arc(0x0830), 3, {{80, 20, black}, {60, 40, white}});
    row("arc", arc(0x0817), 3, {{93, 25, black}, {80, 20, white}, {14, 85, white}});
    // Bitmaps of every depth, either way up, stretched by two records to the same place.
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            // Four colours in quarters, left and right, top and bottom; one bit holds the top two.
            auto colour = [bits](int x, int y) -> QRgb {
                if (y < 3 || bits == 1)
                    return x < 4 ? 0xdc1e1e : 0x1eaa3c;
                return x < 4 ? 0x2846dc : 0xf0c814;
            };
            const QByteArray bitmap = dib(bits, 8, 6, topDown, colour);
            Probes probes = {{5, 10, white}, {50, 95, white}};
            for (int i = 0; i < 8; ++i) // the corners of each picture
                probes.append({30 + i % 2 * 50, 35 + i / 2 % 2 * 30 + i / 4 * 90,
                               colour(i % 2 * 7, i / 2 % 2 * 5)});
            QTest::addRow("%d bits%s", bits, topDown ? " top-down" : "")
                << placeable(
                       rec(0x0F43, words({0x20, 0xCC, 0, 6, 8, 0, 0, 60, 80, 20, 10}) + bitmap) +
                           rec(0x0B41, words({0x20, 0xCC, 6, 8, 0, 0, 60, 80, 110, 10}) + bitmap),
                       0, {0, 0, 120, 200})
                << probes;
        }
    }
}

void WmfTest::drawings()
{
    QFETCH(QByteArray, file);
    QFETCH(Probes, probes);
    auto m = parseOk(file);
    QVERIFY(m);
    QVERIFY2(m->problems().isEmpty(), qPrintable(m->problems().join(u"; ")));
    // Played alone, and onto a painter with a transform and a clip of its own, which it keeps.
    const QSize size = m->sizeTwips().toSize();
    QImage canvas(size + QSize(10, 10), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.translate(10, 10);
    const QRect clip(QPoint(), size / 2);
    painter.setClipRect(clip);
    m->play(painter, QRectF(QPointF(), QSizeF(size)));
    painter.end();
    const QImage image = render(*m, size);
    Probes kept;
    for (const auto &[x, y, colour] : probes)
        kept.append({x, y, clip.contains(x, y) ? colour : 0xffffff});
    const QString wrong = missed(image, probes, 12) + missed(canvas, kept, 12, {10, 10});
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void WmfTest::hostileFilesDrawInBoundedWork()
{
    auto play = [](const QByteArray &records, int objects, wmf::PlayCost &cost) {
        auto m = parseOk(placeable(ext(1000, 1000) + records, objects, {0, 0, 1000, 1000}));
        return render(*m, QSize(200, 200), {}, &cost);
    };
    // A flood of clip cuts: the clip stays a few rectangles and the first cuts still show.
    for (int count : {10, 5000}) {
        QByteArray b = fill(0x0000ff) + box(200, 200, 300, 300, 0x0415);
        for (int i = 0, x = 400, y = 400; i < count;
             ++i, x = 400 + (i * 37) % 500, y = 400 + (i * 53) % 500)
            b += box(x, y, x + 10, y + 10, 0x0415);
        wmf::PlayCost cost;
        const QImage image = play(b + box(0, 0, 1000, 1000), 2, cost);
        QVERIFY2(cost.clipRects > 0 && cost.clipRects <= count * 64 && cost.largestClip <= 64,
                 qPrintable(QStringLiteral("%1 %2").arg(cost.clipRects).arg(cost.largestClip)));
        QCOMPARE(name(image.pixel(10, 10)), name(qRgb(0, 0, 255)));
        QCOMPARE(name(image.pixel(50, 50)), name(qRgb(255, 255, 255)));
        if (count == 10)
            QCOMPARE(name(image.pixel(81, 81)), name(qRgb(255, 255, 255)));
    }

    // A long self-crossing wide line goes to the painter in short pieces within a budget.
    QList<QPoint> crossing;
    for (quint32 i = 0, seed = 1; i < 16000; ++i) {
        seed = seed * 1103515245 + 12345;
        crossing << QPoint(int((seed >> 8) % 1000), int((seed >> 4) % 1000));
    }
    auto line = [&](const QList<QPoint> &points, int width, wmf::PlayCost &cost) {
        return play(pen(0, width, 0) + sel(0) + poly(0x0325, points), 1, cost);
    };
    wmf::PlayCost wide, huge, zigzagCost, roundCost, tangleCost;
    const QImage wideImage = line(crossing, 50, wide), hugeImage = line(crossing, 30000, huge);
    QVERIFY(wide.longestStroke <= 200 && wide.strokes > 100 && wide.skipped > 0);
    QVERIFY(ink(wideImage) > 200 * 200 / 4);
    QVERIFY(huge.strokes <= 1);
    QCOMPARE(inkBox(hugeImage, {}, 250), hugeImage.rect());
    // A line crossing every row hundreds of times goes in pieces, a long smooth outline in one;
    // both look as QPainter draws them whole.
    auto direct = [](const QPolygonF &points, bool fill) {
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(0.2, 0.2);
        painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(fill ? QBrush(QColor(0, 0, 255)) : QBrush());
        fill ? painter.drawPolygon(points) : painter.drawPolyline(points);
        return image;
    };
    QList<QPoint> zigzag, circle;
    for (int i = 0; i < 300; ++i)
        zigzag << QPoint(100 + i * 800 / 300, 100 + (i % 2) * 800);
    for (int i = 0; i < 1000; ++i)
        circle << QPoint(int(std::lround(500 + 400 * std::cos(i * 2 * M_PI / 1000))),
                         int(std::lround(500 + 400 * std::sin(i * 2 * M_PI / 1000))));
    QString wrong =
        differences(line(zigzag, 5, zigzagCost), direct(QPolygon(zigzag), false), 3, 16);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY(zigzagCost.longestStroke <= 200 && zigzagCost.skipped == 0);
    const QByteArray round =
        pen(0, 5, 0) + sel(0) + brush(0x0000ff) + sel(1) + poly(0x0324, circle);
    wrong = differences(play(round, 2, roundCost), direct(QPolygon(circle), true), 1, 0);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QCOMPARE(roundCost.largestFill, 1000);
    // A filled polygon crossing itself at every point is not antialiased as one shape.
    const QImage tangle = play(fill(0x0000ff) + poly(0x0324, crossing.first(4000)), 2, tangleCost);
    QCOMPARE(tangleCost.largestFill, 0);
    QVERIFY(ink(tangle) > 200 * 200 / 10);
}

void WmfTest::text()
{
    auto inkOf = [](const QByteArray &records, int width = 400) {
        auto m = parseOk(placeable(records, 1, {0, 0, width, 200}));
        return inkBox(render(*m, QSize(width, 200)));
    };
    const QByteArray arial = font(-40, 400, false, "Arial") + sel(0) + rec(0x0102, {1});
    auto hh = [&](int align) {
        return inkOf(arial + rec(0x012E, {align}) + textOut(200, 100, "HH"));
    };
    // The same word at one point with each alignment: capitals stand on a baseline, hang from a
    // top, sit above a bottom; right and centre end and centre on the point.
    const QRect base = hh(24), top = hh(0), bottom = hh(8), right = hh(2 | 24), centre = hh(6 | 24);
    QVERIFY2(std::abs(base.bottom() - 99) <= 1 && std::abs(base.left() - 202) <= 3,
             qPrintable(str(base)));
    QVERIFY2(top.top() > 100 && top.top() < 112, qPrintable(str(top)));
    QVERIFY2(bottom.bottom() < base.bottom() - 5, qPrintable(str(bottom)));
    QVERIFY2(std::abs(right.right() - 198) <= 3 && std::abs(right.width() - base.width()) <= 1,
             qPrintable(str(right)));
    QVERIFY2(std::abs((centre.left() + centre.right()) / 2 - 200) <= 2, qPrintable(str(centre)));
    // With the current position, the second word follows the first.
    const QRect twice = inkOf(arial + rec(0x012E, {25}) + rec(0x0214, {100, 200}) +
                              textOut(0, 0, "HH") + textOut(0, 0, "HH"));
    QVERIFY2(std::abs(twice.left() - base.left()) <= 1 && twice.width() > 2 * base.width(),
             qPrintable(str(twice)));
    // Positive heights are cell heights, negative ones character heights.
    auto capHeight = [&](int height) {
        return inkOf(font(height, 400, false, "Arial") + sel(0) + rec(0x012E, {24}) +
                     textOut(10, 150, "H"))
            .height();
    };
    QVERIFY(capHeight(100) < capHeight(-100));
    QVERIFY(capHeight(-100) > 65 && capHeight(-100) < 78);
    // A width asks for an average character width: 1.5 times the face's own, half as wide again.
    QFont face(QStringLiteral("Arial"));
    face.setPixelSize(40);
    auto inkWidth = [&](double k) {
        const int width = int(std::lround(k * QFontMetricsF(face).averageCharWidth()));
        return double(inkOf(font(-40, 400, false, "Arial", width) + sel(0) + rec(0x012E, {24}) +
                                textOut(10, 100, "Hamburg"),
                            800)
                          .width());
    };
    const double natural = inkWidth(0), stretched = inkWidth(1.5) / natural,
                 squeezed = inkWidth(0.75) / natural;
    QVERIFY(natural > 100);
    QVERIFY2(std::abs(stretched - 1.5) < 0.08 && std::abs(squeezed - 0.75) < 0.06,
             qPrintable(QStringLiteral("%1 %2").arg(stretched).arg(squeezed)));
    // Extended text: an opaque box in the background colour, and advances spreading letters.
    auto m = parseOk(placeable(
        font(-40, 700, true, "Times New Roman") + sel(0) + rec(0x0102, {1}) +
            rec(0x0201, {0xFF00, 0}) + rec(0x012E, {24}) +
            rec(0x0A32, words({150, 20, 2, 0x0002, 10, 10, 110, 60}) + "AB" + words({200, 10})),
        1, {0, 0, 400, 200}));
    QVERIFY(m);
    const QImage image = render(*m, QSize(400, 200));
    QCOMPARE(name(image.pixel(50, 30)), name(qRgb(0, 255, 0)));
    QCOMPARE(name(image.pixel(150, 30)), name(qRgb(255, 255, 255)));
    const QRect a = inkBox(image, {0, 100, 200, 100}), b = inkBox(image, {200, 100, 200, 100});
    QVERIFY2(!a.isEmpty() && a.left() < 40, qPrintable(str(a)));
    QVERIFY2(!b.isEmpty() && std::abs(b.left() - 222) <= 6, qPrintable(str(b)));
}

void WmfTest::maskedBitmaps()
{
    // A transparent picture as drawing programs write one, a mask and an image: Windows' way
    // (mask by AND, image by OR) and LibreOffice's (inverted mask by OR, image on white by AND).
    // At an odd scale over green: no fringe of any other colour.
    const QRgb red = qRgb(220, 30, 30), green = qRgb(30, 170, 60);
    using Pass = std::tuple<int, QRgb, QRgb>; // raster operation, colour inside, outside
    const QList<QList<Pass>> ways = {{{0x008800C6, 0, 0xffffff}, {0x00EE0086, red, 0}},
                                     {{0x00EE0086, 0xffffff, 0}, {0x008800C6, red, 0xffffff}}};
    for (const QList<Pass> &way : ways) {
        QByteArray b = ext(100, 100) + fill(green) + box(0, 0, 100, 100);
        for (const auto &[rop, in, out] : way)
            b += rec(0x0F43, words({rop & 0xFFFF, rop >> 16, 0, 20, 20, 0, 0, 43, 43, 21, 17}) +
                                 dib(24, 20, 20, false, [&](int x, int y) {
                                     return x >= 5 && x < 15 && y >= 5 && y < 15 ? in : out;
                                 }));
        auto m = parseOk(placeable(b, 2));
        QVERIFY(m);
        const QImage image = render(*m, QSize(173, 173));
        int other = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                other += !near(image.pixel(x, y), red, 12) && !near(image.pixel(x, y), green, 12);
        QCOMPARE(other, 0);
        QCOMPARE(name(image.pixel(67, 74)), name(red));
        QCOMPARE(name(image.pixel(20, 20)), name(green));
        QCOMPARE(name(image.pixel(35, 43)), name(green));
    }
}

void WmfTest::dashesAtOnePixel()
{
    // A dotted pen ten units wide drawn at 0.9 to 1.1 pixels shows gaps at every scale; drawn
    // at three pixels it is solid.
    auto m = parseOk(placeable(ext(1000, 100) + pen(2, 10, 0) + sel(0) + rec(0x0214, {50, 50}) +
                                   rec(0x0213, {50, 950}),
                               1, {0, 0, 1000, 100}));
    QVERIFY(m);
    for (double scale : {0.9, 0.96, 1.0, 1.04, 1.1, 3.0}) {
        const QImage image = render(*m, QSize(int(100 * scale) + 2, int(10 * scale) + 2),
                                    QRectF(0, 0, 100 * scale, 10 * scale));
        int gaps = 0;
        for (int x = int(10 * scale), inked = 0; x < int(90 * scale); ++x) {
            const bool column = ink(image, QRect(x, 0, 1, image.height())) > 0.3;
            gaps += inked && !column;
            inked = column;
        }
        QVERIFY2(scale < 2 ? gaps >= 10 : gaps == 0,
                 qPrintable(QStringLiteral("%1: %2 gaps").arg(scale).arg(gaps)));
    }
}

QTEST_MAIN(WmfTest)
#include "tst_wmf.moc"
