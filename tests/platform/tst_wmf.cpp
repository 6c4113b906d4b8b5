// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/wmfwriter.h"
#include "platform/fonts.h"
#include "platform/wmf.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <initializer_list>

namespace {

// --- Building metafiles by hand ---------------------------------------------------------------

/// Writes metafile records one by one; the tests make good and broken files with it.
class Builder
{
public:
    Builder &record(quint16 function, std::initializer_list<int> words)
    {
        QByteArray params;
        for (int w : words)
            appendWord(params, w);
        return raw(function, params);
    }
    /// A record with the given parameter bytes (padded to whole words).
    Builder &raw(quint16 function, QByteArray params)
    {
        if (params.size() % 2)
            params.append('\0');
        return sized(function, 3 + quint32(params.size() / 2), params);
    }
    /// A record whose size field says words, whatever the parameters hold.
    Builder &sized(quint16 function, quint32 words, const QByteArray &params)
    {
        char head[6];
        qToLittleEndian<quint32>(words, head);
        qToLittleEndian<quint16>(function, head + 4);
        m_records.append(head, 6);
        m_records.append(params);
        return *this;
    }
    Builder &end() { return record(0x0000, {}); }

    QByteArray plain(int objects) const
    {
        QByteArray out;
        appendWord(out, 1);
        appendWord(out, 9);
        appendWord(out, 0x0300);
        appendLong(out, quint32(9 + m_records.size() / 2));
        appendWord(out, objects);
        appendLong(out, 0);
        appendWord(out, 0);
        return out + m_records;
    }
    QByteArray placeable(const QRect &box, int inch, int objects) const
    {
        QByteArray out;
        appendLong(out, 0x9AC6CDD7);
        appendWord(out, 0);
        appendWord(out, box.left());
        appendWord(out, box.top());
        appendWord(out, box.left() + box.width());
        appendWord(out, box.top() + box.height());
        appendWord(out, inch);
        appendLong(out, 0);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(out.constData() + 2 * i);
        appendWord(out, checksum);
        return out + plain(objects);
    }

    static void appendWord(QByteArray &out, int word)
    {
        out.append(char(word & 0xFF));
        out.append(char((word >> 8) & 0xFF));
    }
    static void appendLong(QByteArray &out, quint32 value)
    {
        appendWord(out, int(value & 0xFFFF));
        appendWord(out, int(value >> 16));
    }

    // Records the tests use often.
    Builder &windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    Builder &windowExt(int w, int h) { return record(0x020C, {h, w}); }
    Builder &mapMode(int mode) { return record(0x0103, {mode}); }
    Builder &pen(int style, int width, QRgb c)
    {
        return record(0x02FA, {style, width, 0, qRed(c) | qGreen(c) << 8, qBlue(c)});
    }
    Builder &brush(int style, QRgb c, int hatch = 0)
    {
        return record(0x02FC, {style, qRed(c) | qGreen(c) << 8, qBlue(c), hatch});
    }
    Builder &nullPen() { return pen(5, 0, 0); }
    Builder &select(int index) { return record(0x012D, {index}); }
    Builder &remove(int index) { return record(0x01F0, {index}); }
    Builder &rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    Builder &ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    Builder &textColor(QRgb c) { return record(0x0209, {qRed(c) | qGreen(c) << 8, qBlue(c)}); }
    Builder &bkMode(int mode) { return record(0x0102, {mode}); }
    Builder &textAlign(int align) { return record(0x012E, {align}); }
    Builder &font(int height, int weight, bool italic, const QByteArray &face, int escapement = 0,
                  int width = 0)
    {
        QByteArray p;
        for (int w : {height, width, escapement, escapement, weight})
            appendWord(p, w);
        p.append(char(italic ? 1 : 0));
        p.append(QByteArray(7, '\0'));
        p.append(face);
        p.append('\0');
        return raw(0x02FB, p);
    }
    Builder &textOut(int x, int y, const QByteArray &text)
    {
        QByteArray p;
        appendWord(p, int(text.size()));
        p.append(text);
        if (text.size() % 2)
            p.append('\0');
        appendWord(p, y);
        appendWord(p, x);
        return raw(0x0521, p);
    }
    Builder &extTextOut(int x, int y, const QByteArray &text, int options = 0,
                        const QRect &rect = QRect(), const QList<int> &dx = {})
    {
        QByteArray p;
        for (int w : {y, x, int(text.size()), options})
            appendWord(p, w);
        if (options & 0x0006)
            for (int w :
                 {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()})
                appendWord(p, w);
        p.append(text);
        if (text.size() % 2)
            p.append('\0');
        for (int d : dx)
            appendWord(p, d);
        return raw(0x0A32, p);
    }

private:
    QByteArray m_records;
};

/// A device-independent bitmap of w by h pixels at bits per pixel, its colours from colour().
/// Bitmaps up to 8 bits get a table of the colours used.
QByteArray dib(int bits, int w, int h, bool topDown, const std::function<QRgb(int, int)> &colour)
{
    QList<QRgb> table;
    if (bits <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!table.contains(colour(x, y)))
                    table.append(colour(x, y));
    }
    const int stride = (w * bits + 31) / 32 * 4;
    QByteArray out;
    Builder::appendLong(out, 40);
    Builder::appendLong(out, quint32(w));
    Builder::appendLong(out, quint32(topDown ? -h : h));
    Builder::appendWord(out, 1);
    Builder::appendWord(out, bits);
    Builder::appendLong(out, 0);
    Builder::appendLong(out, quint32(stride * h));
    Builder::appendLong(out, 0);
    Builder::appendLong(out, 0);
    Builder::appendLong(out, quint32(table.size()));
    Builder::appendLong(out, 0);
    for (QRgb c : table) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = colour(x, y);
            switch (bits) {
            case 1:
                line[x / 8] = char(line[x / 8] | (int(table.indexOf(c)) << (7 - x % 8)));
                break;
            case 4:
                line[x / 2] = char(line[x / 2] | (int(table.indexOf(c)) << (x % 2 ? 0 : 4)));
                break;
            case 8:
                line[x] = char(table.indexOf(c));
                break;
            case 24:
                line[3 * x] = char(qBlue(c));
                line[3 * x + 1] = char(qGreen(c));
                line[3 * x + 2] = char(qRed(c));
                break;
            default:
                line[4 * x] = char(qBlue(c));
                line[4 * x + 1] = char(qGreen(c));
                line[4 * x + 2] = char(qRed(c));
                break;
            }
        }
        out.append(line);
    }
    return out;
}

// --- Looking at pictures ------------------------------------------------------------------------

QImage render(const wmf::Metafile &metafile, const QSize &size, const QRectF &target = QRectF())
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile.play(painter, target.isNull() ? QRectF(QPointF(), QSizeF(size)) : target);
    painter.end();
    return image;
}

std::shared_ptr<const wmf::Metafile> parseOrFail(const QByteArray &bytes)
{
    QString error;
    auto metafile = wmf::Metafile::parse(bytes, &error);
    if (!metafile)
        qWarning("parse failed: %s", qPrintable(error));
    return metafile;
}

int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return distance(a, b) <= tolerance;
}

QString name(QRgb c)
{
    return QColor(c).name();
}

/// The bounding box of the pixels in region that differ from white by more than threshold.
QRect inkBox(const QImage &image, const QRect &region, int threshold = 100)
{
    QRect box;
    const QRect r = region & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (distance(image.pixel(x, y), qRgb(255, 255, 255)) > threshold)
                box |= QRect(x, y, 1, 1);
    return box;
}

/// How much ink region holds: the sum over its pixels of their darkness, 0 to 1 each.
double ink(const QImage &image, const QRect &region)
{
    double sum = 0;
    const QRect r = region & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            sum += distance(image.pixel(x, y), qRgb(255, 255, 255)) / 255.0;
    return sum;
}

/// How far two same-sized pictures differ: the mean, over blocks of 8 by 8 pixels, of the
/// largest channel difference between the blocks' average colours; and the pixels of either
/// picture with nothing like them within two pixels in the other (antialiasing and a pixel or
/// two of placement are forgiven, a missing or misplaced shape or word is not), counted over
/// the worst 16 by 16 window.
struct Difference
{
    double mean = 0;
    int stray = 0;
    int worstWindow = 0;
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    constexpr int block = 8;
    int blocks = 0;
    for (int by = 0; by + block <= a.height(); by += block) {
        for (int bx = 0; bx + block <= a.width(); bx += block) {
            double sa[3] = {}, sb[3] = {};
            for (int y = by; y < by + block; ++y) {
                for (int x = bx; x < bx + block; ++x) {
                    const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
                    sa[0] += qRed(pa), sa[1] += qGreen(pa), sa[2] += qBlue(pa);
                    sb[0] += qRed(pb), sb[1] += qGreen(pb), sb[2] += qBlue(pb);
                }
            }
            double worst = 0;
            for (int i = 0; i < 3; ++i)
                worst = std::max(worst, std::abs(sa[i] - sb[i]) / (block * block));
            d.mean += worst;
            ++blocks;
        }
    }
    d.mean /= std::max(blocks, 1);

    QImage stray(a.size(), QImage::Format_Grayscale8);
    stray.fill(0);
    auto unmatched = [](const QImage &from, const QImage &in, int x, int y) {
        const QRgb p = from.pixel(x, y);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (in.rect().contains(x + dx, y + dy) &&
                    distance(p, in.pixel(x + dx, y + dy)) <= 64)
                    return false;
        return true;
    };
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (unmatched(a, b, x, y) || unmatched(b, a, x, y)) {
                stray.scanLine(y)[x] = 1;
                ++d.stray;
            }
        }
    }
    for (int wy = 0; wy < a.height(); wy += 8) {
        for (int wx = 0; wx < a.width(); wx += 8) {
            int count = 0;
            for (int y = wy; y < std::min(wy + 16, a.height()); ++y)
                for (int x = wx; x < std::min(wx + 16, a.width()); ++x)
                    count += stray.constScanLine(y)[x];
            d.worstWindow = std::max(d.worstWindow, count);
        }
    }
    return d;
}

QImage loadReference(const QString &path)
{
    QImage png(path);
    if (png.isNull())
        return png;
    QImage out(png.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, png);
    return out;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Probe
{
    QPoint at;
    QRgb colour;
};

struct TextCheck
{
    QRect region; ///< holds the caption and nothing else
    bool trustReferenceHeight = true;
    int expectedBaseline = 0; ///< where the file puts the baseline, when the reference errs
};

struct OtherFile
{
    QString name;
    QRectF picture; ///< where the reference PNG has the picture
    QList<Probe> probes;
    QList<TextCheck> texts;
};

/// Compares our rendering of a file with the reference; returns what is wrong, or nothing.
QStringList compareWithReference(const QImage &ours, const QImage &theirs, const OtherFile &f)
{
    QStringList wrong;
    // A caption the reference draws out of place is checked on its own, and left out of the
    // comparison of the whole.
    QImage mine = ours, reference = theirs;
    for (const TextCheck &t : f.texts) {
        if (t.trustReferenceHeight)
            continue;
        QPainter a(&mine), b(&reference);
        a.fillRect(t.region, Qt::white);
        b.fillRect(t.region, Qt::white);
    }
    const Difference d = compare(mine, reference);
    if (d.mean > 8 || d.worstWindow > 64)
        wrong << QStringLiteral("pictures differ: mean %1, %2 stray pixels, %3 in one place")
                     .arg(d.mean, 0, 'f', 1)
                     .arg(d.stray)
                     .arg(d.worstWindow);
    // The outermost pixels are left out: a reader may spill a row over the picture's edge.
    const QRect inside = f.picture.toAlignedRect().adjusted(1, 1, -1, -1);
    const QRect whole = inkBox(mine, inside, 60), other = inkBox(reference, inside, 60);
    if (std::abs(whole.left() - other.left()) > 3 || std::abs(whole.top() - other.top()) > 3 ||
        std::abs(whole.right() - other.right()) > 3 ||
        std::abs(whole.bottom() - other.bottom()) > 3)
        wrong << QStringLiteral("ink bounds differ: ours %1,%2 %3x%4, theirs %5,%6 %7x%8")
                     .arg(whole.x())
                     .arg(whole.y())
                     .arg(whole.width())
                     .arg(whole.height())
                     .arg(other.x())
                     .arg(other.y())
                     .arg(other.width())
                     .arg(other.height());
    for (const Probe &p : f.probes) {
        const QRgb a = mine.pixel(p.at), b = reference.pixel(p.at);
        if (!near(b, p.colour) || !near(a, p.colour))
            wrong << QStringLiteral("at %1,%2 expected %3: ours %4, theirs %5")
                         .arg(p.at.x())
                         .arg(p.at.y())
                         .arg(name(p.colour), name(a), name(b));
    }
    for (const TextCheck &t : f.texts) {
        const QRect mineBox = inkBox(ours, t.region), ref = inkBox(theirs, t.region);
        const double inkOurs = ink(ours, t.region), inkRef = ink(theirs, t.region);
        const bool across = !mineBox.isEmpty() && std::abs(mineBox.left() - ref.left()) <= 3 &&
                            std::abs(mineBox.right() - ref.right()) <= 4;
        const bool down = t.trustReferenceHeight
                              ? std::abs(mineBox.top() - ref.top()) <= 3 &&
                                    std::abs(mineBox.bottom() - ref.bottom()) <= 3
                              : std::abs(mineBox.bottom() - t.expectedBaseline) <= 3 &&
                                    std::abs(mineBox.height() - ref.height()) <= 3;
        const bool amount = inkRef > 0 && inkOurs / inkRef > 0.7 && inkOurs / inkRef < 1.4;
        if (!across || !down || !amount)
            wrong << QStringLiteral("text in %1,%2 %3x%4: ours %5,%6 %7x%8 ink %9, theirs "
                                    "%10,%11 %12x%13 ink %14")
                         .arg(t.region.x())
                         .arg(t.region.y())
                         .arg(t.region.width())
                         .arg(t.region.height())
                         .arg(mineBox.x())
                         .arg(mineBox.y())
                         .arg(mineBox.width())
                         .arg(mineBox.height())
                         .arg(inkOurs, 0, 'f', 0)
                         .arg(ref.x())
                         .arg(ref.y())
                         .arg(ref.width())
                         .arg(ref.height())
                         .arg(inkRef, 0, 'f', 0);
    }
    return wrong;
}

const QString dataDir = QStringLiteral(HABITARA_TEST_DATA "/wmf/");

QList<OtherFile> otherFiles()
{
    // LibreOffice renders a metafile centred on an A4 page; the PNGs are cut from that page,
    // which leaves the picture a fraction of a pixel in from their corner.
    const QRectF libreOffice(0.67, 0.20, 372.65, 272.62);
    const QRectF inkscape(0, 0, 400, 300);
    return {
        {QStringLiteral("lo_shapes"),
         libreOffice,
         {{{60, 45}, qRgb(0xd0, 0x20, 0x20)},
          {{255, 50}, qRgb(0x20, 0x50, 0xd0)},
          {{86, 220}, qRgb(0x20, 0xa0, 0x40)},
          {{250, 160}, qRgb(255, 255, 255)}},
         {{QRect(180, 165, 140, 45)}, {QRect(180, 230, 190, 35)}}},
        {QStringLiteral("lo_bitmap"),
         libreOffice,
         {{{76, 63}, qRgb(220, 30, 30)},
          {{176, 63}, qRgb(30, 170, 60)},
          {{76, 138}, qRgb(40, 70, 220)},
          {{176, 138}, qRgb(240, 200, 20)},
          {{305, 96}, qRgb(0xf0, 0xa0, 0x00)},
          {{305, 200}, qRgb(255, 255, 255)}},
         {{QRect(20, 195, 170, 60)}}},
        {QStringLiteral("inkscape_shapes"),
         inkscape,
         {{{95, 65}, qRgb(0x30, 0x70, 0xe0)},
          {{290, 70}, qRgb(0xe0, 0x30, 0x30)},
          {{100, 215}, qRgb(0xf0, 0xc0, 0x00)},
          {{240, 150}, qRgb(255, 255, 255)}},
         // Inkscape's own reader draws the second caption about 11 pixels below where the
         // file puts its baseline (y = 272, as in the drawing it came from).
         {{QRect(190, 205, 150, 45)}, {QRect(190, 255, 190, 45), false, 273}}},
        {QStringLiteral("inkscape_bitmap"),
         inkscape,
         {{{90, 77}, qRgb(220, 30, 30)},
          {{190, 77}, qRgb(30, 170, 60)},
          {{90, 152}, qRgb(40, 70, 220)},
          {{190, 152}, qRgb(240, 200, 20)},
          {{320, 110}, qRgb(0xf0, 0xa0, 0x00)},
          {{10, 150}, qRgb(0x70, 0x30, 0xa0)},
          {{300, 230}, qRgb(255, 255, 255)}},
         {{QRect(30, 205, 170, 55)}}},
    };
}

/// A page as the content generator draws one: wrapped text, shapes, a path and a bitmap.
void drawSamplePage(QPainter &p, bool withEllipse)
{
    p.setPen(QPen(QColor(0, 0, 0), 30));
    p.setBrush(QColor(220, 40, 40));
    p.drawRect(QRectF(300, 300, 2400, 1500));
    if (withEllipse) {
        p.setBrush(QColor(40, 90, 220));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(3200, 300, 2400, 1500));
    }
    p.setPen(QPen(QColor(0, 140, 60), 60));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(300, 2100), QPointF(5600, 2400));
    p.setPen(QPen(QColor(0, 0, 0), 15));
    p.setBrush(QColor(250, 200, 0));
    QPainterPath star;
    star.moveTo(1500, 2700);
    star.lineTo(1800, 3600);
    star.lineTo(1000, 3000);
    star.lineTo(2000, 3000);
    star.lineTo(1200, 3600);
    star.closeSubpath();
    star.setFillRule(Qt::WindingFill);
    p.drawPath(star);
    p.setBrush(QColor(120, 60, 200));
    p.drawRoundedRect(QRectF(3200, 2700, 2400, 900), 200, 200);
    p.setPen(QPen(QColor(0, 0, 0), 30, Qt::DashLine));
    p.drawLine(QPointF(300, 2550), QPointF(5600, 2550));
    p.save();
    p.setClipRect(QRectF(4800, 5600, 1000, 600));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 160, 160));
    p.drawEllipse(QRectF(4200, 5300, 2400, 1400));
    p.restore();
    QImage bitmap(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            bitmap.setPixel(x, y,
                            x < 20 ? (y < 15 ? qRgb(220, 30, 30) : qRgb(40, 70, 220))
                                   : (y < 15 ? qRgb(30, 170, 60) : qRgb(240, 200, 20)));
    p.drawImage(QRectF(300, 3900, 2000, 1500), bitmap);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 0));
    p.drawText(QRectF(2700, 3900, 3000, 1600), Qt::TextWordWrap | Qt::AlignHCenter,
               QStringLiteral("Frogs lay their eggs in ponds in the spring"));
    QFont small(QStringLiteral("Times New Roman"));
    small.setPointSizeF(11);
    small.setItalic(true);
    p.setFont(small);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QPointF(300, 5900), QStringLiteral("Caf\u00e9 \u2013 na\u00efve r\u00f4le"));
}

} // namespace

class WmfTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void otherProgramsFiles();
    void writerRoundTrip();
    void writerText();
    void placeableAndPlainSizes();
    void damagedFilesFailCleanly();
    void objectTable();
    void bitmaps();
    void textAlignment();
    void mappingAndClipping();
    void arcsAndPies();
    void hostileFilesDrawInBoundedWork();
    void dashesAtOnePixel();
    void stretchedText();
    void maskedBitmaps();
};

void WmfTest::initTestCase()
{
    registerFonts();
}

void WmfTest::otherProgramsFiles()
{
    for (const OtherFile &f : otherFiles()) {
        const QByteArray bytes = readFile(dataDir + f.name + QStringLiteral(".wmf"));
        QVERIFY2(!bytes.isEmpty(), qPrintable(f.name));
        const QImage reference = loadReference(dataDir + f.name + QStringLiteral(".png"));
        QVERIFY2(!reference.isNull(), qPrintable(f.name));
        auto metafile = parseOrFail(bytes);
        QVERIFY2(metafile, qPrintable(f.name));
        QVERIFY2(metafile->problems().isEmpty(),
                 qPrintable(f.name + QLatin1Char(' ') +
                            metafile->problems().join(QStringLiteral("; "))));
        const QImage mine = render(*metafile, reference.size(), f.picture);
        const QStringList wrong = compareWithReference(mine, reference, f);
        if (!wrong.isEmpty())
            mine.save(QDir::temp().filePath(f.name + QStringLiteral("-ours.png")));
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(f.name + QStringLiteral(": ") + wrong.join(QStringLiteral("; "))));

        // The comparison notices a picture drawn out of place or with a shape missing.
        const QImage shifted = render(*metafile, reference.size(), f.picture.translated(8, 0));
        QVERIFY2(!compareWithReference(shifted, reference, f).isEmpty(), qPrintable(f.name));
        QImage blotted = mine;
        {
            QPainter painter(&blotted);
            const Probe &first = f.probes.first();
            painter.fillRect(QRect(first.at - QPoint(20, 20), QSize(40, 40)), Qt::white);
        }
        QVERIFY2(!compareWithReference(blotted, reference, f).isEmpty(), qPrintable(f.name));
        // A caption left out shows even without the checks made for each caption.
        QImage unwritten = mine;
        {
            QPainter painter(&unwritten);
            painter.fillRect(f.texts.first().region, Qt::white);
        }
        OtherFile wholeOnly = f;
        wholeOnly.texts.removeIf([](const TextCheck &t) { return t.trustReferenceHeight; });
        QVERIFY2(!compareWithReference(unwritten, reference, wholeOnly).isEmpty(),
                 qPrintable(f.name));
    }
}

void WmfTest::writerRoundTrip()
{
    const QSizeF page(6000, 6300);
    const QByteArray bytes = content::renderWmf(page, [](QPainter &p) { drawSamplePage(p, true); });
    auto metafile = parseOrFail(bytes);
    QVERIFY(metafile);
    QVERIFY2(metafile->problems().isEmpty(),
             qPrintable(metafile->problems().join(QStringLiteral("; "))));
    QCOMPARE(metafile->sizeTwips(), page);

    // The same drawing straight onto an image at 96 dpi: fonts sized for 1440 dpi, painter
    // scaled from twips to pixels.
    auto direct = [&](bool withEllipse) {
        QImage image(int(page.width() / 15), int(page.height() / 15), QImage::Format_RGB32);
        image.setDotsPerMeterX(int(std::lround(1440 / 0.0254)));
        image.setDotsPerMeterY(int(std::lround(1440 / 0.0254)));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(1 / 15.0, 1 / 15.0);
        drawSamplePage(painter, withEllipse);
        return image;
    };
    const QImage expected = direct(true);
    const QImage played = render(*metafile, expected.size());
    const Difference d = compare(played, expected);
    if (d.mean > 6 || d.worstWindow > 64) {
        played.save(QDir::temp().filePath(QStringLiteral("roundtrip-played.png")));
        expected.save(QDir::temp().filePath(QStringLiteral("roundtrip-expected.png")));
    }
    QVERIFY2(d.mean <= 6 && d.worstWindow <= 64,
             qPrintable(QStringLiteral("mean %1, %2 stray pixels, %3 in one place")
                            .arg(d.mean)
                            .arg(d.stray)
                            .arg(d.worstWindow)));
    // Text lands where QPainter put it: same lines, same extent.
    const QRect wrapped(180, 260, 200, 110), single(15, 370, 300, 30);
    for (const QRect &region : {wrapped, single}) {
        const QRect a = inkBox(played, region), b = inkBox(expected, region);
        QVERIFY2(!b.isEmpty(), "the sample page has no text there");
        QVERIFY2(std::abs(a.left() - b.left()) <= 2 && std::abs(a.right() - b.right()) <= 2 &&
                     std::abs(a.top() - b.top()) <= 2 && std::abs(a.bottom() - b.bottom()) <= 2,
                 qPrintable(QStringLiteral("text box %1,%2 %3x%4 against %5,%6 %7x%8")
                                .arg(a.x())
                                .arg(a.y())
                                .arg(a.width())
                                .arg(a.height())
                                .arg(b.x())
                                .arg(b.y())
                                .arg(b.width())
                                .arg(b.height())));
        const double ratio = ink(played, region) / ink(expected, region);
        QVERIFY2(ratio > 0.8 && ratio < 1.25, qPrintable(QString::number(ratio)));
    }
    // Colours come back where they were drawn.
    QVERIFY(near(played.pixel(100, 70), qRgb(220, 40, 40), 8));
    QVERIFY(near(played.pixel(293, 70), qRgb(40, 90, 220), 8));
    QVERIFY(near(played.pixel(100, 196), qRgb(250, 200, 0), 8));
    QVERIFY(near(played.pixel(293, 210), qRgb(120, 60, 200), 8));
    QVERIFY(near(played.pixel(50, 290), qRgb(220, 30, 30), 24));
    QVERIFY(near(played.pixel(110, 340), qRgb(240, 200, 20), 24));
    // Clipped: inside the clip and the ellipse, outside the clip but inside the ellipse.
    QVERIFY(near(played.pixel(360, 400), qRgb(0, 160, 160), 8));
    QVERIFY(near(played.pixel(300, 400), qRgb(255, 255, 255), 0));
    QVERIFY(near(played.pixel(360, 360), qRgb(255, 255, 255), 0));

    // A large bitmap is stored at no more than 300 dpi on the page, and what is transparent in
    // it comes out white.
    QImage big(2000, 2000, QImage::Format_ARGB32);
    big.fill(Qt::transparent);
    QPainter(&big).fillRect(0, 0, 1000, 2000, QColor(0, 0, 255));
    const QByteArray bitmapPage = content::renderWmf(
        QSizeF(1440, 1440), [&](QPainter &p) { p.drawImage(QRectF(0, 0, 1440, 1440), big); });
    QVERIFY2(bitmapPage.size() > 300 * 300 * 3 && bitmapPage.size() < 300 * 300 * 3 + 500,
             qPrintable(QString::number(bitmapPage.size())));
    auto bitmapFile = parseOrFail(bitmapPage);
    QVERIFY(bitmapFile);
    const QImage bitmapPlayed = render(*bitmapFile, QSize(96, 96));
    QCOMPARE(name(bitmapPlayed.pixel(20, 50)), name(qRgb(0, 0, 255)));
    QCOMPARE(name(bitmapPlayed.pixel(76, 50)), name(qRgb(255, 255, 255)));

    // The tolerance is tight enough to see a missing shape.
    const QImage without = direct(false);
    const Difference missing = compare(played, without);
    QVERIFY(missing.worstWindow > 64);
}

void WmfTest::writerText()
{
    // Characters CP1252 lacks are written as '?', one per character, and the rest as CP1252.
    const QByteArray bytes = content::renderWmf(QSizeF(4000, 1000), [](QPainter &p) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(12);
        p.setFont(font);
        p.drawText(QPointF(100, 500), QStringLiteral("\u00e9t\u00e9 \u20ac5 \u4e2d\U0001F600!"));
    });
    // Qt lays out each script apart, so the two strangers come as records of their own.
    QVERIFY(bytes.contains(QByteArray("\x07\0\0\0\xe9t\xe9 \x80"
                                      "5 ",
                                      11)));
    QCOMPARE(bytes.count(QByteArray("\x01\0\0\0?\0", 6)), 2);
    QVERIFY(bytes.contains(QByteArray("Arial")));
    auto metafile = parseOrFail(bytes);
    QVERIFY(metafile);
    QVERIFY(metafile->problems().isEmpty());
    const QImage image = render(*metafile, QSize(267, 67));
    const QRect box = inkBox(image, image.rect());
    // 12 points is 16 pixels here: the capitals and accents stand about 12 pixels tall.
    QVERIFY2(box.height() >= 10 && box.height() <= 20, qPrintable(QString::number(box.height())));
    QVERIFY(box.left() >= 5 && box.left() <= 9);
    QVERIFY(box.bottom() >= 30 && box.bottom() <= 37);

    // A page size no metafile can hold is refused.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             content::renderWmf(QSizeF(40000, 100), [](QPainter &) {}));
}

void WmfTest::placeableAndPlainSizes()
{
    Builder b;
    b.end();
    auto twips = parseOrFail(b.placeable(QRect(0, 0, 2880, 1440), 1440, 0));
    QVERIFY(twips);
    QCOMPARE(twips->sizeTwips(), QSizeF(2880, 1440));
    QCOMPARE(twips->recordCount(), 0);
    auto coarse = parseOrFail(b.placeable(QRect(100, 50, 576, 288), 576, 0));
    QVERIFY(coarse);
    QCOMPARE(coarse->sizeTwips(), QSizeF(1440, 720));

    Builder plain;
    plain.windowOrg(-100, -50).windowExt(3000, 2000).end();
    auto p = parseOrFail(plain.plain(0));
    QVERIFY(p);
    QCOMPARE(p->sizeTwips(), QSizeF(3000, 2000));
    QCOMPARE(p->recordCount(), 2);

    // A header and nothing else: a placeable file has its size and draws nothing; a plain one
    // has no size at all.
    QByteArray onlyHeader = Builder().placeable(QRect(0, 0, 1440, 1440), 1440, 0);
    auto empty = wmf::Metafile::parse(onlyHeader);
    QVERIFY(empty);
    QCOMPARE(empty->recordCount(), 0);
    QVERIFY(!empty->problems().isEmpty()); // no end record
    const QImage blank = render(*empty, QSize(20, 20));
    QCOMPARE(inkBox(blank, blank.rect(), 0), QRect());
    QString error;
    QVERIFY(!wmf::Metafile::parse(Builder().plain(0), &error));
    QVERIFY(!error.isEmpty());
}

void WmfTest::damagedFilesFailCleanly()
{
    QString error;
    // Not a metafile, too short, nonsense headers.
    QVERIFY(!wmf::Metafile::parse(QByteArray("\x89PNG\r\n\x1a\n0000000000000000000000"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!wmf::Metafile::parse(QByteArray(), &error));
    QVERIFY(!wmf::Metafile::parse(QByteArray::fromHex("d7cdc69a0000"), &error));
    QVERIFY(!wmf::Metafile::parse(Builder().placeable(QRect(0, 0, 100, 100), 0, 0), &error));
    QVERIFY(!wmf::Metafile::parse(Builder().placeable(QRect(0, 0, 0, 100), 1440, 0), &error));

    // A good file cut at every length parses or fails, and what parses plays.
    const QByteArray good =
        content::renderWmf(QSizeF(3000, 3000), [](QPainter &p) { drawSamplePage(p, true); });
    int parsed = 0;
    int lastCount = -1;
    for (qsizetype length = 0; length <= good.size(); length += length < 200 ? 1 : 97) {
        auto m = wmf::Metafile::parse(good.left(length));
        if (!m)
            continue;
        ++parsed;
        QVERIFY(m->recordCount() >= lastCount);
        lastCount = m->recordCount();
        if (length < good.size())
            QVERIFY(!m->problems().isEmpty());
        render(*m, QSize(40, 40));
    }
    QVERIFY(parsed > 10);

    // Record sizes that lie: one too small stops reading, keeping what came before; one that
    // runs past the end stops reading too.
    Builder tooSmall;
    tooSmall.nullPen()
        .select(0)
        .sized(0x041B, 2, QByteArray(8, '\0'))
        .rectangle(0, 0, 10, 10)
        .end();
    auto small = wmf::Metafile::parse(tooSmall.placeable(QRect(0, 0, 100, 100), 1440, 1));
    QVERIFY(small);
    QCOMPARE(small->recordCount(), 2);
    QVERIFY(small->problems().join(QLatin1Char(' ')).contains(QLatin1String("impossible size")));
    Builder tooLong;
    tooLong.rectangle(0, 0, 10, 10).sized(0x041B, 1000, QByteArray(8, '\0'));
    auto longer = wmf::Metafile::parse(tooLong.placeable(QRect(0, 0, 100, 100), 1440, 0));
    QVERIFY(longer);
    QCOMPARE(longer->recordCount(), 1);
    QVERIFY(longer->problems().join(QLatin1Char(' ')).contains(QLatin1String("past the end")));

    // A record too short for its parameters is skipped; reading goes on after it.
    Builder shortRect;
    shortRect.record(0x041B, {10, 10})
        .brush(0, qRgb(0, 0, 255))
        .select(0)
        .rectangle(0, 0, 100, 100)
        .end();
    auto skipped = wmf::Metafile::parse(shortRect.placeable(QRect(0, 0, 100, 100), 1440, 1));
    QVERIFY(skipped);
    QCOMPARE(skipped->recordCount(), 4);
    QCOMPARE(skipped->problems().size(), 1);
    QVERIFY(near(render(*skipped, QSize(10, 10)).pixel(5, 5), qRgb(0, 0, 255), 0));

    // Counts far beyond the record: polygon, polypolygon, text, extended text with and without
    // a rectangle, a dx array cut short.
    Builder huge;
    huge.record(0x0324, {30000, 0, 0, 10, 10})
        .record(0x0538, {2, 30000, 30000, 0, 0})
        .record(0x0538, {65535})
        .record(0x0521, {32000, 0x4141})
        .record(0x0521, {-5, 0, 0})
        .record(0x0A32, {10, 10, 30000, 0})
        .record(0x0A32, {10, 10, 2, 0x0004, 0})
        .extTextOut(10, 50, "Hello", 0, QRect(), {10, 10})
        .end();
    auto hugeFile = wmf::Metafile::parse(huge.placeable(QRect(0, 0, 100, 100), 1440, 0));
    QVERIFY(hugeFile);
    QCOMPARE(hugeFile->recordCount(), 8);
    QCOMPARE(hugeFile->problems().size(), 7);
    render(*hugeFile, QSize(50, 50));

    // Object indexes outside the table are skipped when read.
    Builder outside;
    outside.brush(0, qRgb(255, 0, 0)).select(0).select(7).remove(300).rectangle(0, 0, 50, 50).end();
    auto outsideFile = wmf::Metafile::parse(outside.placeable(QRect(0, 0, 50, 50), 1440, 2));
    QVERIFY(outsideFile);
    QCOMPARE(outsideFile->problems().size(), 2);
    QVERIFY(
        outsideFile->problems().join(QLatin1Char(' ')).contains(QLatin1String("object index 7")));
    QVERIFY(near(render(*outsideFile, QSize(10, 10)).pixel(5, 5), qRgb(255, 0, 0), 0));

    // Enormous bitmaps are refused before anything is allocated for them.
    QByteArray header;
    for (int w : {40, 0, 30000, 0, 30000, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        Builder::appendWord(header, w);
    Builder bigBitmap;
    QByteArray stretch;
    for (int w : {0x0020, 0x00CC, 0, 30000, 30000, 0, 0, 100, 100, 0, 0})
        Builder::appendWord(stretch, w);
    bigBitmap.raw(0x0F43, stretch + header).end();
    auto bigFile = wmf::Metafile::parse(bigBitmap.placeable(QRect(0, 0, 100, 100), 1440, 0));
    QVERIFY(bigFile);
    QCOMPARE(bigFile->problems().size(), 1);

    // Many records each asking for a state save, restores past the bottom, a table full.
    Builder stack;
    for (int i = 0; i < 2000; ++i)
        stack.record(0x001E, {});
    stack.record(0x0127, {-5000}).record(0x0127, {3000}).record(0x0127, {1});
    for (int i = 0; i < 5; ++i)
        stack.pen(0, 1, 0);
    stack.select(1).end();
    auto stackFile = wmf::Metafile::parse(stack.placeable(QRect(0, 0, 100, 100), 1440, 2));
    QVERIFY(stackFile);
    QVERIFY(stackFile->problems().isEmpty());
    render(*stackFile, QSize(20, 20));
}

void WmfTest::objectTable()
{
    // Red pen in slot 0, blue brush in slot 1; freeing slot 0 makes the green brush land there,
    // so selecting slot 0 selects green. Deleting an empty slot or an unselected object does
    // nothing to what is selected.
    Builder b;
    b.windowExt(100, 100)
        .pen(0, 0, qRgb(255, 0, 0))
        .brush(0, qRgb(0, 0, 255))
        .remove(0)
        .remove(0)
        .remove(2)
        .brush(0, qRgb(0, 200, 0))
        .nullPen()
        .select(2)
        .select(0)
        .rectangle(0, 0, 50, 100)
        .select(1)
        .remove(1)
        .rectangle(50, 0, 100, 100)
        .brush(0, qRgb(255, 255, 0))
        .select(1)
        .remove(0)
        .remove(1)
        .rectangle(25, 25, 75, 75)
        .end();
    auto m = parseOrFail(b.placeable(QRect(0, 0, 100, 100), 1440, 3));
    QVERIFY(m);
    QVERIFY2(m->problems().isEmpty(), qPrintable(m->problems().join(QStringLiteral("; "))));
    const QImage image = render(*m, QSize(100, 100));
    QCOMPARE(name(image.pixel(10, 50)), name(qRgb(0, 200, 0)));
    QCOMPARE(name(image.pixel(90, 50)), name(qRgb(0, 0, 255)));
    // The selected yellow brush stays in use after its slot is freed.
    QCOMPARE(name(image.pixel(50, 50)), name(qRgb(255, 255, 0)));
}

void WmfTest::bitmaps()
{
    auto quadrants = [](int x, int y) {
        return x < 4 ? (y < 3 ? qRgb(220, 30, 30) : qRgb(40, 70, 220))
                     : (y < 3 ? qRgb(30, 170, 60) : qRgb(240, 200, 20));
    };
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            const QString what =
                QStringLiteral("%1 bits %2").arg(bits).arg(topDown ? "top-down" : "bottom-up");
            // One bit holds two colours: left red, right green.
            auto colour = [&](int x, int y) {
                return bits == 1 ? (x < 4 ? qRgb(220, 30, 30) : qRgb(30, 170, 60))
                                 : quadrants(x, y);
            };
            const QByteArray bitmap = dib(bits, 8, 6, topDown, colour);
            QByteArray stretch, blit;
            for (int w : {0x0020, 0x00CC, 0, 6, 8, 0, 0, 60, 80, 20, 10})
                Builder::appendWord(stretch, w);
            for (int w : {0x0020, 0x00CC, 6, 8, 0, 0, 60, 80, 110, 10})
                Builder::appendWord(blit, w);
            Builder b;
            b.raw(0x0F43, stretch + bitmap).raw(0x0B41, blit + bitmap).end();
            auto m = parseOrFail(b.placeable(QRect(0, 0, 120, 200), 1440, 0));
            QVERIFY2(m, qPrintable(what));
            QVERIFY2(m->problems().isEmpty(),
                     qPrintable(what + m->problems().join(QStringLiteral("; "))));
            const QImage image = render(*m, QSize(120, 200));
            QVERIFY2(near(image.pixel(5, 10), qRgb(255, 255, 255), 0), qPrintable(what));
            QVERIFY2(near(image.pixel(50, 95), qRgb(255, 255, 255), 0), qPrintable(what));
            for (int top : {20, 110}) {
                const QRgb topLeft = colour(0, 0), topRight = colour(7, 0);
                const QRgb bottomLeft = colour(0, 5), bottomRight = colour(7, 5);
                const int y0 = top + 15, y1 = top + 45;
                QVERIFY2(near(image.pixel(30, y0), topLeft, 12),
                         qPrintable(what + name(image.pixel(30, y0))));
                QVERIFY2(near(image.pixel(80, y0), topRight, 12), qPrintable(what));
                QVERIFY2(near(image.pixel(30, y1), bottomLeft, 12), qPrintable(what));
                QVERIFY2(near(image.pixel(80, y1), bottomRight, 12), qPrintable(what));
            }
        }
    }

    // A bitmap whose pixels are cut short is skipped with a reason.
    const QByteArray bitmap = dib(24, 8, 6, false, quadrants);
    QByteArray stretch;
    for (int w : {0x0020, 0x00CC, 0, 6, 8, 0, 0, 60, 80, 0, 0})
        Builder::appendWord(stretch, w);
    Builder cut;
    cut.raw(0x0F43, stretch + bitmap.left(bitmap.size() - 10)).end();
    auto m = wmf::Metafile::parse(cut.placeable(QRect(0, 0, 100, 100), 1440, 0));
    QVERIFY(m);
    QVERIFY(m->problems().join(QLatin1Char(' ')).contains(QLatin1String("cut short")));
}

void WmfTest::textAlignment()
{
    // The same word at the same point with each alignment; the ink moves as the alignment says.
    auto inkFor = [](int align, bool updateCp = false) {
        Builder b;
        b.windowExt(400, 200)
            .font(-40, 400, false, "Arial")
            .select(0)
            .bkMode(1)
            .textColor(qRgb(0, 0, 0))
            .textAlign(align | (updateCp ? 1 : 0));
        if (updateCp)
            b.record(0x0214, {100, 200}).textOut(0, 0, "HH").textOut(0, 0, "HH");
        else
            b.textOut(200, 100, "HH");
        b.end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 400, 200), 1440, 1));
        const QImage image = render(*m, QSize(400, 200));
        return inkBox(image, image.rect());
    };
    const QRect leftTop = inkFor(0), leftBaseline = inkFor(24), leftBottom = inkFor(8);
    const QRect right = inkFor(2 | 24), centre = inkFor(6 | 24);
    // Capital H: from the baseline up by the cap height; top alignment puts the cell top there.
    QVERIFY2(std::abs(leftBaseline.bottom() - 99) <= 1,
             qPrintable(QString::number(leftBaseline.bottom())));
    QVERIFY(leftTop.top() > 100 && leftTop.top() < 112);
    QVERIFY(leftBottom.bottom() < leftBaseline.bottom() - 5);
    QVERIFY(std::abs(leftBaseline.left() - 202) <= 3);
    QVERIFY(std::abs(right.right() - 198) <= 3);
    QVERIFY(std::abs((centre.left() + centre.right()) / 2 - 200) <= 2);
    QVERIFY(std::abs(right.width() - leftBaseline.width()) <= 1);
    // With the current position, the second word follows the first.
    const QRect twice = inkFor(24, true);
    QVERIFY(std::abs(twice.left() - leftBaseline.left()) <= 1);
    QVERIFY(twice.width() > 2 * leftBaseline.width());

    // Positive heights are cell heights: the same font is smaller than with a negative height.
    auto capHeight = [](int height) {
        Builder b;
        b.windowExt(400, 200).font(height, 400, false, "Arial").select(0).bkMode(1).textAlign(24);
        b.textOut(10, 150, "H").end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 400, 200), 1440, 1));
        const QImage image = render(*m, QSize(400, 200));
        return inkBox(image, image.rect()).height();
    };
    QVERIFY(capHeight(100) < capHeight(-100));
    QVERIFY(capHeight(-100) > 65 && capHeight(-100) < 78);

    // Extended text: an opaque box, the dx array spreading the letters, opaque background.
    Builder b;
    b.windowExt(400, 200)
        .font(-40, 700, true, "Times New Roman")
        .select(0)
        .bkMode(1)
        .record(0x0201, {0xFF00, 0x00})
        .textAlign(24)
        .extTextOut(20, 150, "AB", 0x0002, QRect(10, 10, 100, 50), {200, 10})
        .end();
    auto m = parseOrFail(b.placeable(QRect(0, 0, 400, 200), 1440, 1));
    QVERIFY(m);
    const QImage image = render(*m, QSize(400, 200));
    QCOMPARE(name(image.pixel(50, 30)), name(qRgb(0, 255, 0)));
    const QRect a = inkBox(image, QRect(0, 100, 200, 100)),
                bInk = inkBox(image, QRect(200, 100, 200, 100));
    QVERIFY(!a.isEmpty() && a.left() < 40);
    QVERIFY(!bInk.isEmpty() && std::abs(bInk.left() - 222) <= 6);
}

void WmfTest::mappingAndClipping()
{
    // The window maps onto the picture's bounds: a y-up window turns the picture over, and an
    // MM_TEXT picture keeps one logical unit per bounding-box unit whatever the extent.
    Builder up;
    up.mapMode(8)
        .windowOrg(0, 100)
        .windowExt(100, -100)
        .nullPen()
        .select(0)
        .brush(0, qRgb(0, 0, 255))
        .select(1);
    up.rectangle(0, 0, 50, 50).end();
    auto m = parseOrFail(up.placeable(QRect(0, 0, 100, 100), 1440, 2));
    QVERIFY(m);
    QImage image = render(*m, QSize(100, 100));
    QCOMPARE(name(image.pixel(25, 75)), name(qRgb(0, 0, 255)));
    QCOMPARE(name(image.pixel(25, 25)), name(qRgb(255, 255, 255)));

    Builder text;
    text.windowExt(1000, 1000)
        .mapMode(1)
        .windowOrg(50, 50)
        .nullPen()
        .select(0)
        .brush(0, qRgb(255, 0, 0))
        .select(1);
    text.rectangle(50, 50, 100, 100).end();
    m = parseOrFail(text.placeable(QRect(0, 0, 200, 200), 1440, 2));
    QVERIFY(m);
    image = render(*m, QSize(200, 200));
    QCOMPARE(name(image.pixel(25, 25)), name(qRgb(255, 0, 0)));
    QCOMPARE(name(image.pixel(75, 75)), name(qRgb(255, 255, 255)));

    // Isotropic keeps the aspect: a 100 by 100 window on a 200 by 100 picture gives squares.
    Builder iso;
    iso.mapMode(7)
        .windowExt(100, 100)
        .record(0x020E, {100, 200})
        .nullPen()
        .select(0)
        .brush(0, qRgb(0, 0, 0))
        .select(1);
    iso.rectangle(0, 0, 100, 100).end();
    m = parseOrFail(iso.placeable(QRect(0, 0, 200, 100), 1440, 2));
    QVERIFY(m);
    image = render(*m, QSize(200, 100));
    QCOMPARE(inkBox(image, image.rect()).size(), QSize(100, 100));

    // A clip rectangle limits drawing until the state saved before it comes back; the pen and
    // brush come back too.
    Builder clip;
    clip.windowExt(100, 100)
        .nullPen()
        .select(0)
        .brush(0, qRgb(0, 128, 0))
        .select(1)
        .record(0x001E, {});
    clip.record(0x0416, {60, 60, 40, 40})
        .brush(0, qRgb(255, 0, 0))
        .select(2)
        .rectangle(0, 0, 100, 100);
    clip.record(0x0127, {-1}).rectangle(0, 0, 20, 20).end();
    m = parseOrFail(clip.placeable(QRect(0, 0, 100, 100), 1440, 3));
    QVERIFY(m);
    image = render(*m, QSize(100, 100));
    QCOMPARE(name(image.pixel(50, 50)), name(qRgb(255, 0, 0)));
    QCOMPARE(name(image.pixel(30, 50)), name(qRgb(255, 255, 255)));
    QCOMPARE(name(image.pixel(10, 10)), name(qRgb(0, 128, 0)));

    // A picture drawn into part of a painter that has its own transform and clip stays inside.
    Builder full;
    full.windowExt(10, 10)
        .nullPen()
        .select(0)
        .brush(0, qRgb(0, 0, 0))
        .select(1)
        .rectangle(-5, -5, 15, 15)
        .end();
    m = parseOrFail(full.placeable(QRect(0, 0, 10, 10), 1440, 2));
    QVERIFY(m);
    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.translate(10, 10);
        painter.setClipRect(QRect(0, 0, 50, 50));
        m->play(painter, QRectF(20, 20, 20, 20));
    }
    QCOMPARE(inkBox(canvas, canvas.rect()), QRect(20, 20, 40, 40));
}

void WmfTest::arcsAndPies()
{
    // A pie from the ray through the right to the ray through the top fills the upper right
    // quarter; a chord the same way leaves the triangle by the centre empty; an arc only
    // strokes.
    auto shape = [](quint16 function) {
        Builder b;
        b.windowExt(100, 100).nullPen().select(0).brush(0, qRgb(0, 0, 0)).select(1);
        b.pen(0, 2, qRgb(0, 0, 0)).select(2);
        b.record(function, {0, 50, 50, 100, 100, 100, 0, 0}).end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 100, 100), 1440, 3));
        return render(*m, QSize(100, 100));
    };
    const QImage pie = shape(0x081A), chord = shape(0x0830), arc = shape(0x0817);
    QCOMPARE(name(pie.pixel(70, 30)), name(qRgb(0, 0, 0)));
    QCOMPARE(name(pie.pixel(30, 30)), name(qRgb(255, 255, 255)));
    QCOMPARE(name(pie.pixel(70, 70)), name(qRgb(255, 255, 255)));
    QCOMPARE(name(chord.pixel(80, 20)), name(qRgb(0, 0, 0)));
    QCOMPARE(name(chord.pixel(60, 40)), name(qRgb(255, 255, 255)));
    QCOMPARE(name(arc.pixel(80, 20)), name(qRgb(255, 255, 255)));
    QVERIFY(inkBox(arc, QRect(50, 0, 50, 50)).width() > 40);
    QCOMPARE(inkBox(arc, QRect(0, 55, 100, 45)), QRect());
}

void WmfTest::hostileFilesDrawInBoundedWork()
{
    // A flood of clip cuts: the work grows with the records, the clip stays a few rectangles,
    // and the first cuts still show.
    auto excludes = [](int count, wmf::PlayCost &cost) {
        Builder b;
        b.windowExt(1000, 1000).nullPen().select(0).brush(0, qRgb(0, 0, 255)).select(1);
        b.record(0x0415, {300, 300, 200, 200});
        for (int i = 0; i < count; ++i) {
            const int x = 400 + (i * 37) % 500, y = 400 + (i * 53) % 500;
            b.record(0x0415, {y + 10, x + 10, y, x});
        }
        b.rectangle(0, 0, 1000, 1000).end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 1000, 1000), 1440, 2));
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        m->play(painter, QRectF(0, 0, 200, 200), &cost);
        return image;
    };
    wmf::PlayCost few, many;
    const QImage fewImage = excludes(10, few);
    const QImage manyImage = excludes(5000, many);
    QVERIFY(few.clipRects > 0);
    QVERIFY2(many.clipRects <= 5000 * 64 && many.largestClip <= 64,
             qPrintable(QStringLiteral("%1 %2").arg(many.clipRects).arg(many.largestClip)));
    for (const QImage &image : {fewImage, manyImage}) {
        QCOMPARE(name(image.pixel(10, 10)), name(qRgb(0, 0, 255)));
        QCOMPARE(name(image.pixel(50, 50)), name(qRgb(255, 255, 255)));
    }
    QCOMPARE(name(fewImage.pixel(81, 81)), name(qRgb(255, 255, 255)));

    // A long self-crossing wide line goes to the painter in short pieces and within a budget
    // of work; a shorter one that fits the budget looks as QPainter draws it in one piece.
    auto polyline = [](const QPolygon &points, int width, wmf::PlayCost &cost) {
        Builder b;
        b.windowExt(1000, 1000).pen(0, width, qRgb(0, 0, 0)).select(0);
        QByteArray p;
        Builder::appendWord(p, int(points.size()));
        for (const QPoint &point : points) {
            Builder::appendWord(p, point.x());
            Builder::appendWord(p, point.y());
        }
        b.raw(0x0325, p).end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 1000, 1000), 1440, 1));
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        m->play(painter, QRectF(0, 0, 200, 200), &cost);
        return image;
    };
    QPolygon crossing;
    quint32 seed = 1;
    for (int i = 0; i < 16000; ++i) {
        seed = seed * 1103515245 + 12345;
        crossing << QPoint(int((seed >> 8) % 1000), int((seed >> 4) % 1000));
    }
    wmf::PlayCost wide, huge;
    const QImage wideImage = polyline(crossing, 50, wide);
    QVERIFY(wide.longestStroke <= 200 && wide.strokes > 100 && wide.skipped > 0);
    QVERIFY(ink(wideImage, wideImage.rect()) > 200 * 200 / 4);
    const QImage hugeImage = polyline(crossing, 30000, huge);
    QVERIFY(huge.strokes <= 1);
    QCOMPARE(inkBox(hugeImage, hugeImage.rect(), 250), hugeImage.rect());

    // A line that crosses every row hundreds of times goes in pieces, a long smooth outline in
    // one; both look as QPainter draws them in one piece.
    auto direct = [](const QPolygon &points, bool fill) {
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(0.2, 0.2);
        QPen pen(Qt::black, 5);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(fill ? QBrush(QColor(0, 0, 255)) : QBrush());
        if (fill)
            painter.drawPolygon(QPolygonF(points));
        else
            painter.drawPolyline(QPolygonF(points));
        return image;
    };
    QPolygon zigzag, circle;
    for (int i = 0; i < 300; ++i)
        zigzag << QPoint(100 + i * 800 / 300, 100 + (i % 2) * 800);
    for (int i = 0; i < 1000; ++i)
        circle << QPoint(int(std::lround(500 + 400 * std::cos(i * 2 * M_PI / 1000))),
                         int(std::lround(500 + 400 * std::sin(i * 2 * M_PI / 1000))));
    wmf::PlayCost zigzagCost;
    const QImage pieces = polyline(zigzag, 5, zigzagCost);
    QVERIFY(zigzagCost.longestStroke <= 200 && zigzagCost.skipped == 0);
    Difference d = compare(pieces, direct(zigzag, false));
    QVERIFY2(d.mean < 3 && d.worstWindow <= 16,
             qPrintable(QStringLiteral("%1 %2").arg(d.mean).arg(d.worstWindow)));

    Builder round;
    round.windowExt(1000, 1000).pen(0, 5, qRgb(0, 0, 0)).select(0);
    round.brush(0, qRgb(0, 0, 255)).select(1);
    QByteArray p;
    Builder::appendWord(p, int(circle.size()));
    for (const QPoint &point : circle) {
        Builder::appendWord(p, point.x());
        Builder::appendWord(p, point.y());
    }
    round.raw(0x0324, p).end();
    auto roundFile = parseOrFail(round.placeable(QRect(0, 0, 1000, 1000), 1440, 2));
    QImage roundImage(200, 200, QImage::Format_RGB32);
    roundImage.fill(Qt::white);
    wmf::PlayCost roundCost;
    {
        QPainter painter(&roundImage);
        roundFile->play(painter, QRectF(0, 0, 200, 200), &roundCost);
    }
    QCOMPARE(roundCost.largestFill, 1000);
    d = compare(roundImage, direct(circle, true));
    QVERIFY2(d.mean < 1 && d.worstWindow == 0,
             qPrintable(QStringLiteral("%1 %2").arg(d.mean).arg(d.worstWindow)));

    // A filled polygon that crosses itself at every point is filled at a cost that grows with
    // its points, not antialiased as one shape.
    Builder tangle;
    tangle.windowExt(1000, 1000).nullPen().select(0).brush(0, qRgb(0, 0, 255)).select(1);
    QByteArray q;
    Builder::appendWord(q, 4000);
    for (int i = 0; i < 4000; ++i) {
        Builder::appendWord(q, crossing[i].x());
        Builder::appendWord(q, crossing[i].y());
    }
    tangle.raw(0x0324, q).end();
    auto tangleFile = parseOrFail(tangle.placeable(QRect(0, 0, 1000, 1000), 1440, 2));
    QImage tangleImage(200, 200, QImage::Format_RGB32);
    tangleImage.fill(Qt::white);
    wmf::PlayCost tangleCost;
    {
        QPainter painter(&tangleImage);
        tangleFile->play(painter, QRectF(0, 0, 200, 200), &tangleCost);
    }
    QCOMPARE(tangleCost.largestFill, 0);
    QVERIFY(ink(tangleImage, tangleImage.rect()) > 200 * 200 / 10);
}

void WmfTest::dashesAtOnePixel()
{
    // A dotted pen ten units wide drawn at 0.9 to 1.1 pixels: gaps at every scale. Drawn at
    // three pixels it is solid.
    for (double scale : {0.9, 0.96, 1.0, 1.04, 1.1, 3.0}) {
        Builder b;
        b.windowExt(1000, 100).pen(2, 10, qRgb(0, 0, 0)).select(0);
        b.record(0x0214, {50, 50}).record(0x0213, {50, 950}).end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 1000, 100), 1440, 1));
        QImage image(int(100 * scale) + 2, int(10 * scale) + 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        m->play(painter, QRectF(0, 0, 100 * scale, 10 * scale));
        painter.end();
        int gaps = 0;
        bool inked = false;
        for (int x = int(10 * scale); x < int(90 * scale); ++x) {
            const bool column = ink(image, QRect(x, 0, 1, image.height())) > 0.3;
            gaps += inked && !column;
            inked = column;
        }
        if (scale < 2)
            QVERIFY2(gaps >= 10, qPrintable(QStringLiteral("%1: %2 gaps").arg(scale).arg(gaps)));
        else
            QVERIFY2(gaps == 0, qPrintable(QStringLiteral("%1: %2 gaps").arg(scale).arg(gaps)));
    }
}

void WmfTest::stretchedText()
{
    // The width field asks for an average character width: 1.5 times the face's own makes
    // the word half as wide again.
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(40);
    const double average = QFontMetricsF(arial).averageCharWidth();
    auto inkWidth = [](int width) {
        Builder b;
        b.windowExt(800, 200).font(-40, 400, false, "Arial", 0, width).select(0).bkMode(1);
        b.textAlign(24).textOut(10, 100, "Hamburg").end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 800, 200), 1440, 1));
        const QImage image = render(*m, QSize(800, 200));
        return inkBox(image, image.rect()).width();
    };
    const double natural = inkWidth(0);
    const double stretched = inkWidth(int(std::lround(1.5 * average)));
    const double squeezed = inkWidth(int(std::lround(0.75 * average)));
    QVERIFY(natural > 100);
    QVERIFY2(std::abs(stretched / natural - 1.5) < 0.08,
             qPrintable(QString::number(stretched / natural)));
    QVERIFY2(std::abs(squeezed / natural - 0.75) < 0.06,
             qPrintable(QString::number(squeezed / natural)));
}

void WmfTest::maskedBitmaps()
{
    // A transparent picture as drawing programs write it: a mask and an image combined with
    // what is under them. Drawn at an odd scale over green, nothing darker than either colour
    // appears around the red square. Windows' own way (mask by AND, image by OR) and
    // LibreOffice's (inverted mask by OR, image on white by AND) both.
    const QRgb red = qRgb(220, 30, 30), green = qRgb(30, 170, 60);
    auto inside = [](int x, int y) { return x >= 5 && x < 15 && y >= 5 && y < 15; };
    struct Pass
    {
        quint32 rop;
        QRgb in, out;
    };
    const QList<QList<Pass>> ways = {
        {{0x008800C6, qRgb(0, 0, 0), qRgb(255, 255, 255)}, {0x00EE0086, red, qRgb(0, 0, 0)}},
        {{0x00EE0086, qRgb(255, 255, 255), qRgb(0, 0, 0)}, {0x008800C6, red, qRgb(255, 255, 255)}},
    };
    for (const QList<Pass> &way : ways) {
        Builder b;
        b.windowExt(100, 100).nullPen().select(0).brush(0, green).select(1).rectangle(0, 0, 100,
                                                                                      100);
        for (const Pass &pass : way) {
            QByteArray stretch;
            for (int w :
                 {int(pass.rop & 0xFFFF), int(pass.rop >> 16), 0, 20, 20, 0, 0, 43, 43, 21, 17})
                Builder::appendWord(stretch, w);
            b.raw(0x0F43, stretch + dib(24, 20, 20, false, [&](int x, int y) {
                              return inside(x, y) ? pass.in : pass.out;
                          }));
        }
        b.end();
        auto m = parseOrFail(b.placeable(QRect(0, 0, 100, 100), 1440, 2));
        QVERIFY(m);
        const QImage image = render(*m, QSize(173, 173));
        // Every pixel is the square's or the background's: no fringe of anything else.
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

QTEST_MAIN(WmfTest)
#include "tst_wmf.moc"
