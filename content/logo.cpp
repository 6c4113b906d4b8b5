// SPDX-License-Identifier: GPL-3.0-or-later
// The publisher's logo, Quillmoor Publishing: twenty GIF frames of a quill writing a Q, which
// the program plays as a loop, and the still logo as a BMP.
#include "content/generator.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace content {
namespace {

constexpr int frameCount = 20;
constexpr int frameSide = 120;

// The colours of the logo. The screens around it are RGB(128, 128, 255).
const QColor surround(128, 128, 255);
const QColor paper(250, 248, 255);
const QColor border(86, 86, 196);
const QColor ink(31, 39, 102);
const QColor featherBase(206, 72, 38);
const QColor featherTip(244, 170, 60);
const QColor featherEdge(128, 42, 22);
const QColor barrel(236, 222, 182);
const QColor nib(44, 44, 60);

/// The card the logo sits on: rounded, pale paper with a blue edge.
void drawCard(QPainter &p, const QRectF &area)
{
    p.fillRect(area, surround);
    const QRectF card = area.adjusted(3, 3, -3, -3);
    p.setPen(QPen(border, 2));
    p.setBrush(paper);
    p.drawRoundedRect(card, 12, 12);
}

/// A broad-nib stroke along the polyline: the nib is a short slanted edge, so the line is
/// thick where it runs across the nib and thin where it runs along it. The stroke is drawn
/// whole onto its own layer and laid on at the given opacity, so that faded ink stays even.
void drawInk(QPainter &p, const std::vector<QPointF> &points, const QColor &colour, double nibWidth,
             double opacity = 1.0)
{
    if (points.size() < 2)
        return;
    const double angle = qDegreesToRadians(35.0);
    const QPointF half(std::cos(angle) * nibWidth / 2, -std::sin(angle) * nibWidth / 2);
    QPainterPath stroke;
    stroke.setFillRule(Qt::WindingFill);
    for (size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        // Each piece is a parallelogram; all of them turn the same way, so that where they
        // overlap the winding adds up instead of cancelling out.
        const QPointF d = b - a;
        if (d.x() * half.y() - d.y() * half.x() > 0)
            stroke.addPolygon(QPolygonF({a + half, b + half, b - half, a - half, a + half}));
        else
            stroke.addPolygon(QPolygonF({a + half, a - half, b - half, b + half, a + half}));
    }
    QPainterPath line(points.front());
    for (size_t i = 1; i < points.size(); ++i)
        line.lineTo(points[i]);

    QImage layer(p.device()->width(), p.device()->height(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter lp(&layer);
    lp.setRenderHint(QPainter::Antialiasing);
    lp.setPen(Qt::NoPen);
    lp.setBrush(colour);
    lp.drawPath(stroke);
    // A hairline through the middle, so no part of the letter vanishes.
    lp.setBrush(Qt::NoBrush);
    lp.setPen(QPen(colour, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    lp.drawPath(line);
    lp.end();
    p.save();
    p.setOpacity(opacity);
    p.drawImage(0, 0, layer);
    p.restore();
}

/// The first part (0 to 1) of a path, as points.
std::vector<QPointF> partOf(const QPainterPath &path, double part)
{
    std::vector<QPointF> points;
    const int steps = 160;
    const double end = std::clamp(part, 0.0, 1.0);
    for (int i = 0; i <= steps; ++i) {
        const double t = end * i / steps;
        points.push_back(path.pointAtPercent(t));
    }
    return points;
}

/// The quill, drawn with its nib at the origin pointing down and to the left.
void drawQuill(QPainter &p, QPointF tip, double angleDegrees, double length, bool shadow)
{
    p.save();
    p.translate(tip);
    p.rotate(angleDegrees);
    // Local coordinates: x runs from the nib (0) up the shaft to the feather's end (length).
    const double vaneStart = length * 0.24;
    QPainterPath vane;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double s = double(i) / steps;
        const double x = vaneStart + s * (length - vaneStart);
        const double width = 9.5 * std::pow(std::sin(M_PI * std::pow(s, 0.8)), 0.75);
        if (i == 0)
            vane.moveTo(x, -width);
        else
            vane.lineTo(x, -width);
    }
    for (int i = steps; i >= 0; --i) {
        const double s = double(i) / steps;
        const double x = vaneStart + s * (length - vaneStart);
        const double width = 6.0 * std::pow(std::sin(M_PI * std::pow(s, 0.9)), 0.8);
        vane.lineTo(x, width);
    }
    vane.closeSubpath();
    QPainterPath shaft;
    shaft.moveTo(6, -1.6);
    shaft.lineTo(length + 3, -0.4);
    shaft.lineTo(length + 3, 0.4);
    shaft.lineTo(6, 1.6);
    shaft.closeSubpath();
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(7, -2.0);
    point.lineTo(7, 2.0);
    point.closeSubpath();

    if (shadow) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 110, 45));
        p.drawPath(vane.united(shaft).united(point));
        p.restore();
        return;
    }
    QLinearGradient feather(QPointF(vaneStart, 0), QPointF(length, 0));
    feather.setColorAt(0, featherBase);
    feather.setColorAt(1, featherTip);
    p.setPen(QPen(featherEdge, 0.8));
    p.setBrush(feather);
    p.drawPath(vane);
    // Barbs: fine lines sweeping back from the shaft.
    p.setPen(QPen(QColor(255, 226, 170, 150), 0.7));
    for (double x = vaneStart + 5; x < length - 3; x += 4.5) {
        p.drawLine(QPointF(x, -0.5), QPointF(x + 4.5, -6.5));
        p.drawLine(QPointF(x, 0.5), QPointF(x + 3.5, 4.0));
    }
    p.setPen(QPen(featherEdge, 0.6));
    p.setBrush(barrel);
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(nib);
    p.drawPath(point);
    p.setPen(QPen(QColor(200, 200, 220), 0.6));
    p.drawLine(QPointF(1.5, 0), QPointF(5.5, 0));
    p.restore();
}

/// The letter Q in two strokes: the bowl, drawn anticlockwise from the upper right, and the
/// tail swash.
QPainterPath letterBowl()
{
    const QPointF centre(52, 64);
    const double rx = 23, ry = 27;
    QPainterPath bowl;
    const int steps = 90;
    for (int i = 0; i <= steps; ++i) {
        const double a = qDegreesToRadians(-55.0 - 372.0 * i / steps);
        const QPointF pt(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
        if (i == 0)
            bowl.moveTo(pt);
        else
            bowl.lineTo(pt);
    }
    return bowl;
}

QPainterPath letterTail()
{
    QPainterPath tail(QPointF(48, 76));
    tail.cubicTo(QPointF(58, 84), QPointF(64, 100), QPointF(80, 98));
    tail.cubicTo(QPointF(88, 97), QPointF(94, 93), QPointF(96, 88));
    return tail;
}

double easeInOut(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

/// One frame of the loop. The quill writes the bowl (frames 0 to 8), moves across and writes
/// the tail (9 to 12), lifts (13 to 15) and floats back to the start while the ink fades
/// (16 to 19), so that frame 19 leads into frame 0. `scale` draws it larger, for large screens.
QImage logoFrame(int frame, int scale)
{
    const QPainterPath bowl = letterBowl();
    const QPainterPath tail = letterTail();
    double bowlPart = 1, tailPart = 0, inkAlpha = 1, lift = 0;
    QPointF tip;
    const QPointF start = bowl.pointAtPercent(0);
    const QPointF tailEnd = tail.pointAtPercent(1);
    const QPointF away = tailEnd + QPointF(-4, -12);
    if (frame <= 8) {
        bowlPart = frame / 8.0;
        tip = bowl.pointAtPercent(bowlPart);
    } else if (frame == 9) {
        lift = 0.4;
        tip = (bowl.pointAtPercent(1) + tail.pointAtPercent(0)) / 2;
    } else if (frame <= 12) {
        tailPart = (frame - 9) / 3.0;
        tip = tail.pointAtPercent(tailPart);
    } else if (frame <= 15) {
        tailPart = 1;
        lift = (frame - 12) / 3.0;
        tip = tailEnd + (away - tailEnd) * easeInOut(lift);
    } else {
        tailPart = 1;
        const double back = (frame - 15) / 5.0;
        inkAlpha = 1 - back;
        lift = 1 - back;
        tip = away + (start - away) * easeInOut(back);
    }
    // The quill stands more upright towards the right and the bottom of the letter, so that
    // the feather stays on the card; lifted, it bobs gently and leans back.
    const double bob = std::sin(2 * M_PI * frame / frameCount);
    const QPointF drawnTip = tip + QPointF(0, -lift * (7 + 1.5 * bob));
    const double lean = -40 - 28 * std::clamp((tip.x() - 52) / 44, 0.0, 1.0) -
                        16 * std::clamp((tip.y() - 37) / 27, 0.0, 1.0);
    const double angle = std::max(-82.0, lean) + 2 * bob - 5 * lift;

    QImage image(frameSide * scale, frameSide * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    drawCard(p, QRectF(0, 0, frameSide, frameSide));
    if (bowlPart > 0)
        drawInk(p, partOf(bowl, bowlPart), ink, 5.4, inkAlpha);
    if (tailPart > 0)
        drawInk(p, partOf(tail, tailPart), ink, 5.4, inkAlpha);
    const double length = 44;
    drawQuill(p, tip + QPointF(2 + 5 * lift, 2 + 3 * lift), angle, length, true);
    drawQuill(p, drawnTip, angle, length, false);
    p.end();
    return image;
}

/// The still logo: a quill finishing a swash over the publisher's name.
QImage stillLogo(int scale)
{
    const QSize size(120, 89);
    QImage image(size * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(scale, scale);
    drawCard(p, QRectF(QPointF(0, 0), size));

    QPainterPath swash(QPointF(18, 42));
    swash.cubicTo(QPointF(28, 32), QPointF(36, 48), QPointF(50, 40));
    drawInk(p, partOf(swash, 1), ink, 3.2);
    drawQuill(p, QPointF(52, 41), -20, 56, true);
    drawQuill(p, QPointF(50, 40), -24, 56, false);

    // The largest size, up to the one given, at which the text fits the width.
    auto fitted = [](const QString &text, int pixels, bool bold, double width) {
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setStyleHint(QFont::Serif);
        font.setBold(bold);
        for (;; --pixels) {
            font.setPixelSize(pixels);
            if (QFontMetricsF(font).horizontalAdvance(text) <= width || pixels <= 8)
                return font;
        }
    };
    const QString name = QStringLiteral("Quillmoor");
    const QString trade = QStringLiteral("Publishing");
    const QRectF textArea(8, 0, size.width() - 16, size.height());
    p.setPen(ink);
    p.setFont(fitted(name, 18, true, textArea.width()));
    p.drawText(QRectF(textArea.left(), 44, textArea.width(), 22),
               Qt::AlignHCenter | Qt::AlignVCenter, name);
    p.setPen(featherEdge);
    p.setFont(fitted(trade, 13, false, textArea.width() - 16));
    p.drawText(QRectF(textArea.left(), 64, textArea.width(), 16),
               Qt::AlignHCenter | Qt::AlignVCenter, trade);
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Colour reduction and GIF writing.

/// A palette of at most 256 colours for the given images, by median cut over their colours:
/// the box of colours with the widest spread is split at its median until there are enough.
QList<QRgb> paletteFor(const std::vector<QImage> &images)
{
    QHash<QRgb, int> counts;
    for (const QImage &image : images) {
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                ++counts[line[x] | 0xff000000u];
        }
    }
    struct Entry
    {
        QRgb colour;
        int count;
    };
    std::vector<Entry> entries;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        entries.push_back({it.key(), it.value()});
    // Hash order is not fixed; sorting makes the palette the same on every build.
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.colour < b.colour; });

    using Box = std::pair<size_t, size_t>; // [first, last) into entries
    auto channel = [](QRgb c, int which) {
        return which == 0 ? qRed(c) : which == 1 ? qGreen(c) : qBlue(c);
    };
    auto widest = [&](const Box &box, int *which) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int low = 255, high = 0;
            for (size_t i = box.first; i < box.second; ++i) {
                low = std::min(low, channel(entries[i].colour, ch));
                high = std::max(high, channel(entries[i].colour, ch));
            }
            if (high - low > best) {
                best = high - low;
                *which = ch;
            }
        }
        return best;
    };
    std::vector<Box> boxes{{0, entries.size()}};
    while (boxes.size() < 256) {
        size_t chosen = boxes.size();
        int chosenSpread = 0, chosenChannel = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].second - boxes[b].first < 2)
                continue;
            int which = 0;
            const int spread = widest(boxes[b], &which);
            if (spread > chosenSpread) {
                chosen = b;
                chosenSpread = spread;
                chosenChannel = which;
            }
        }
        if (chosen == boxes.size())
            break;
        const Box box = boxes[chosen];
        std::sort(entries.begin() + long(box.first), entries.begin() + long(box.second),
                  [&](const Entry &a, const Entry &b) {
                      const int ca = channel(a.colour, chosenChannel);
                      const int cb = channel(b.colour, chosenChannel);
                      return ca != cb ? ca < cb : a.colour < b.colour;
                  });
        const size_t middle = box.first + (box.second - box.first) / 2;
        boxes[chosen] = {box.first, middle};
        boxes.push_back({middle, box.second});
    }
    QList<QRgb> palette;
    for (const Box &box : boxes) {
        double r = 0, g = 0, b = 0, weight = 0;
        for (size_t i = box.first; i < box.second; ++i) {
            const double w = entries[i].count;
            r += w * qRed(entries[i].colour);
            g += w * qGreen(entries[i].colour);
            b += w * qBlue(entries[i].colour);
            weight += w;
        }
        palette.append(qRgb(int(std::lround(r / weight)), int(std::lround(g / weight)),
                            int(std::lround(b / weight))));
    }
    return palette;
}

/// Each pixel as the index of the nearest palette colour.
std::vector<GifPixelType> indexed(const QImage &image, const QList<QRgb> &palette)
{
    QHash<QRgb, GifPixelType> nearest;
    std::vector<GifPixelType> pixels;
    pixels.reserve(size_t(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xff000000u;
            auto found = nearest.constFind(c);
            if (found == nearest.constEnd()) {
                int best = 0;
                long bestDistance = -1;
                for (int i = 0; i < palette.size(); ++i) {
                    const long dr = qRed(c) - qRed(palette[i]);
                    const long dg = qGreen(c) - qGreen(palette[i]);
                    const long db = qBlue(c) - qBlue(palette[i]);
                    const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestDistance < 0 || distance < bestDistance) {
                        best = i;
                        bestDistance = distance;
                    }
                }
                found = nearest.insert(c, GifPixelType(best));
            }
            pixels.push_back(*found);
        }
    }
    return pixels;
}

int appendToBuffer(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

std::string gifError(int code)
{
    const char *text = GifErrorString(code);
    return text ? std::string(text) : "error " + std::to_string(code);
}

/// The image as a GIF89a file in the given palette.
QByteArray gif(const QImage &image, const QList<QRgb> &palette)
{
    std::array<GifColorType, 256> colours{};
    for (int i = 0; i < palette.size(); ++i)
        colours[size_t(i)] = {GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                              GifByteType(qBlue(palette[i]))};
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> map(
        GifMakeMapObject(256, colours.data()), GifFreeMapObject);
    if (!map)
        throw std::runtime_error("GIF: cannot make the colour map");
    std::vector<GifPixelType> pixels = indexed(image, palette);

    QByteArray bytes;
    int error = 0;
    GifFileType *file = EGifOpen(&bytes, appendToBuffer, &error);
    if (!file)
        throw std::runtime_error("GIF open: " + gifError(error));
    // Closing frees the file, failed or not; nothing else between here and the close throws.
    auto put = [&file, &error](int result, const char *step) {
        if (result == GIF_OK)
            return;
        const std::string why = gifError(file->Error);
        EGifCloseFile(file, &error);
        throw std::runtime_error(std::string("GIF ") + step + ": " + why);
    };
    EGifSetGifVersion(file, true);
    put(EGifPutScreenDesc(file, image.width(), image.height(), 8, 0, map.get()), "screen");
    put(EGifPutImageDesc(file, 0, 0, image.width(), image.height(), false, nullptr), "image");
    for (int y = 0; y < image.height(); ++y)
        put(EGifPutLine(file, pixels.data() + size_t(y * image.width()), image.width()), "line");
    if (EGifCloseFile(file, &error) != GIF_OK)
        throw std::runtime_error("GIF close: " + gifError(error));
    return bytes;
}

QByteArray bmp(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP"))
        throw std::runtime_error("cannot write the still logo as BMP");
    return bytes;
}

} // namespace

void writeLogo(const Context &ctx)
{
    // Drawn at its size and again at twice it ("@2x"), for a program scaled up on a large screen.
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
        std::vector<QImage> frames;
        for (int i = 0; i < frameCount; ++i)
            frames.push_back(logoFrame(i, scale));
        const QList<QRgb> palette = paletteFor(frames);
        for (int i = 0; i < frameCount; ++i)
            ctx.write(
                QStringLiteral("logo/quil%1%2.gif").arg(i, 4, 10, QLatin1Char('0')).arg(suffix),
                gif(frames[size_t(i)], palette));
        ctx.write(QStringLiteral("logo/quillan2%1.bmp").arg(suffix), bmp(stillLogo(scale)));
    }
}

} // namespace content
