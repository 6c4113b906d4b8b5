// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a metafile: every record parsed and checked against the file, nothing drawn.
#include "platform/wmf.h"

#include "platform/wmfdata.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace wmf {
using namespace detail;
namespace {

// Limits that keep a damaged or hostile file from taking unbounded memory or time. Real pages
// stay far below every one of them.
constexpr qsizetype maxFileBytes = 64 * 1024 * 1024;
constexpr int maxRecords = 500000;
constexpr qint64 maxTotalPoints = 4000000;
constexpr int maxBitmapSide = 16384;
constexpr qint64 maxTotalPixels = 32 * 1024 * 1024;
constexpr int maxProblems = 50;

/// A record whose parameters do not fit what its function needs; it is skipped.
struct BadRecord
{
    QString reason;
};

/// The parameter words of one record, every access checked against the record's size.
class Params
{
public:
    Params(const uchar *data, qint64 words) : m_data(data), m_words(words) {}

    qint64 count() const { return m_words; }
    qint64 bytes() const { return m_words * 2; }
    void need(qint64 words, const char *what) const
    {
        if (words < 0 || words > m_words)
            throw BadRecord{QStringLiteral("%1 needs more parameters than the record holds")
                                .arg(QLatin1String(what))};
    }
    quint16 u16(qint64 i) const { return qFromLittleEndian<quint16>(at(i, 1)); }
    int s16(qint64 i) const { return qFromLittleEndian<qint16>(at(i, 1)); }
    quint32 u32(qint64 i) const { return qFromLittleEndian<quint32>(at(i, 2)); }
    QColor color(qint64 i) const
    {
        const uchar *p = at(i, 2);
        return QColor(p[0], p[1], p[2]);
    }
    /// Points stored as y, x (the order of most records).
    QPoint yx(qint64 i) const { return QPoint(s16(i + 1), s16(i)); }
    const uchar *at(qint64 i, qint64 words) const
    {
        if (i < 0 || words < 0 || i + words > m_words)
            throw BadRecord{QStringLiteral("parameter %1 lies outside the record").arg(i)};
        return m_data + 2 * i;
    }

private:
    const uchar *m_data;
    qint64 m_words;
};

/// What a file may still allocate while it is read.
struct Budget
{
    qint64 points = maxTotalPoints;
    qint64 pixels = maxTotalPixels;

    void takePoints(qint64 n)
    {
        if (n > points)
            throw BadRecord{QStringLiteral("the file holds more points than the reader accepts")};
        points -= n;
    }
};

QString decodeText(QStringDecoder &decoder, const uchar *bytes, qsizetype size)
{
    const QByteArrayView view(reinterpret_cast<const char *>(bytes), size);
    if (!decoder.isValid())
        return QString::fromLatin1(view);
    QString text = decoder.decode(view);
    decoder.resetState();
    return text;
}

QRgb bitfield(quint32 value, quint32 mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    const quint64 max = quint64(mask) >> shift;
    return QRgb(((quint64(value & mask) >> shift) * 255 + max / 2) / max);
}

/// Reads a device-independent bitmap (header, colour table, pixels). An unsupported kind of
/// bitmap gives a null image; a damaged one throws.
QImage readDib(const uchar *p, qint64 size, bool paletteIndices, Budget &budget)
{
    auto bad = [](const QString &why) { return BadRecord{why}; };
    if (size < 12)
        throw bad(QStringLiteral("the bitmap header is cut short"));
    const quint32 headerSize = qFromLittleEndian<quint32>(p);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0, colorsUsed = 0;
    qint64 offset = 0;
    bool core = false;
    quint32 masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (headerSize == 12) {
        core = true;
        width = qFromLittleEndian<quint16>(p + 4);
        height = qFromLittleEndian<quint16>(p + 6);
        bitCount = qFromLittleEndian<quint16>(p + 10);
        offset = 12;
    } else if (headerSize >= 40 && headerSize <= size) {
        width = qFromLittleEndian<qint32>(p + 4);
        height = qFromLittleEndian<qint32>(p + 8);
        bitCount = qFromLittleEndian<quint16>(p + 14);
        compression = qFromLittleEndian<quint32>(p + 16);
        colorsUsed = qFromLittleEndian<quint32>(p + 32);
        offset = headerSize;
    } else {
        throw bad(QStringLiteral("the bitmap header has an unknown size"));
    }
    const bool topDown = height < 0;
    height = std::abs(height);
    if (width <= 0 || height <= 0)
        throw bad(QStringLiteral("the bitmap has no pixels"));
    if (width > maxBitmapSide || height > maxBitmapSide)
        throw bad(QStringLiteral("the bitmap is larger than the reader accepts"));
    if (bitCount == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;

    enum { Rgb = 0, BitFields = 3 };
    if (compression == BitFields && (bitCount == 16 || bitCount == 32)) {
        const qint64 at = headerSize >= 52 ? 40 : offset;
        if (at + 12 > size)
            throw bad(QStringLiteral("the bitmap's colour masks are cut short"));
        for (int i = 0; i < 3; ++i)
            masks[i] = qFromLittleEndian<quint32>(p + at + 4 * i);
        if (headerSize < 52)
            offset += 12;
    } else if (compression != Rgb) {
        return QImage(); // compressed bitmaps are not drawn
    }

    QList<QRgb> table;
    if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
        const qint64 full = qint64(1) << bitCount;
        const qint64 n = colorsUsed == 0 ? full : colorsUsed;
        if (n > full)
            throw bad(QStringLiteral("the bitmap's colour table is too long"));
        const int entry = core ? 3 : (paletteIndices ? 2 : 4);
        if (offset + n * entry > size)
            throw bad(QStringLiteral("the bitmap's colour table is cut short"));
        for (qint64 i = 0; i < n; ++i) {
            const uchar *e = p + offset + i * entry;
            if (paletteIndices) {
                // Indexes into a palette the file does not carry: shown as greys.
                const int grey = qFromLittleEndian<quint16>(e) & 0xFF;
                table.append(qRgb(grey, grey, grey));
            } else {
                table.append(qRgb(e[2], e[1], e[0]));
            }
        }
        table.resize(full, qRgb(0, 0, 0));
        offset += n * entry;
    } else if (bitCount == 16 || bitCount == 24 || bitCount == 32) {
        if (colorsUsed > 65536 || offset + qint64(colorsUsed) * (core ? 3 : 4) > size)
            throw bad(QStringLiteral("the bitmap's colour table is cut short"));
        offset += qint64(colorsUsed) * (core ? 3 : 4);
    } else {
        throw bad(QStringLiteral("the bitmap has an unsupported number of bits per pixel"));
    }

    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    if (offset + stride * height > size)
        throw bad(QStringLiteral("the bitmap's pixels are cut short"));
    if (width * height > budget.pixels)
        throw bad(QStringLiteral("the file holds more bitmap pixels than the reader accepts"));

    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        throw bad(QStringLiteral("no memory for the bitmap"));
    budget.pixels -= width * height;
    for (qint64 row = 0; row < height; ++row) {
        const uchar *src = p + offset + row * stride;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(int(topDown ? row : height - 1 - row)));
        for (qint64 x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1:
                dst[x] = table[(src[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                dst[x] = table[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
                break;
            case 8:
                dst[x] = table[src[x]];
                break;
            case 16: {
                const quint32 v = qFromLittleEndian<quint16>(src + 2 * x);
                dst[x] = qRgb(bitfield(v, masks[0]), bitfield(v, masks[1]), bitfield(v, masks[2]));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            default: {
                const quint32 v = qFromLittleEndian<quint32>(src + 4 * x);
                dst[x] = qRgb(bitfield(v, masks[0]), bitfield(v, masks[1]), bitfield(v, masks[2]));
                break;
            }
            }
        }
    }
    return image;
}

/// Turns the parameters of one record into a Record; unknown functions give nothing.
class RecordReader
{
public:
    RecordReader(int objectCount, Budget &budget)
        : m_objectCount(objectCount), m_budget(budget), m_decoder("windows-1252")
    {
    }

    std::optional<Record> read(quint16 function, const Params &p);
    /// Where the drawing records put ink, for plain files without a window extent.
    QRect drawnBounds() const { return m_bounds; }
    std::optional<QPoint> firstWindowOrg() const { return m_windowOrg; }
    std::optional<QPoint> firstWindowExt() const { return m_windowExt; }

private:
    void include(const QPoint &point) { m_bounds |= QRect(point, QSize(1, 1)); }
    void include(const Box &box)
    {
        include(QPoint(box.left, box.top));
        include(QPoint(box.right, box.bottom));
    }
    int objectIndex(const Params &p) const
    {
        p.need(1, "an object record");
        const int index = p.u16(0);
        if (index >= m_objectCount)
            throw BadRecord{QStringLiteral("object index %1 is outside the object table of %2")
                                .arg(index)
                                .arg(m_objectCount)};
        return index;
    }
    QPolygon points(const Params &p, qint64 at, qint64 count)
    {
        p.need(at + 2 * count, "a polygon");
        m_budget.takePoints(count);
        QPolygon polygon(static_cast<int>(count));
        for (qint64 i = 0; i < count; ++i) {
            polygon[int(i)] = QPoint(p.s16(at + 2 * i), p.s16(at + 2 * i + 1));
            include(polygon[int(i)]);
        }
        return polygon;
    }
    Box box(const Params &p, qint64 at) const
    {
        // Rectangles are stored bottom, right, top, left.
        p.need(at + 4, "a rectangle");
        return Box{p.s16(at + 3), p.s16(at + 2), p.s16(at + 1), p.s16(at)};
    }
    Record text(const Params &p);
    Record extText(const Params &p);
    Record image(quint16 function, const Params &p);
    Record font(const Params &p);

    int m_objectCount;
    Budget &m_budget;
    QStringDecoder m_decoder;
    QRect m_bounds;
    std::optional<QPoint> m_windowOrg;
    std::optional<QPoint> m_windowExt;
};

std::optional<Record> RecordReader::read(quint16 function, const Params &p)
{
    switch (function) {
    case SetWindowOrg:
    case SetWindowExt:
    case SetViewportOrg:
    case SetViewportExt:
    case OffsetWindowOrg:
    case OffsetViewportOrg:
    case MoveTo:
    case LineTo: {
        p.need(2, "a point record");
        const QPoint point = p.yx(0);
        PointRecord::Kind kind = PointRecord::WindowOrg;
        switch (function) {
        case SetWindowOrg:
            if (!m_windowOrg && !m_windowExt)
                m_windowOrg = point;
            break;
        case SetWindowExt:
            kind = PointRecord::WindowExt;
            if (point.x() == 0 || point.y() == 0)
                throw BadRecord{QStringLiteral("a window extent of zero")};
            if (!m_windowExt)
                m_windowExt = point;
            break;
        case SetViewportOrg:
            kind = PointRecord::ViewportOrg;
            break;
        case SetViewportExt:
            kind = PointRecord::ViewportExt;
            if (point.x() == 0 || point.y() == 0)
                throw BadRecord{QStringLiteral("a viewport extent of zero")};
            break;
        case OffsetWindowOrg:
            kind = PointRecord::OffsetWindow;
            break;
        case OffsetViewportOrg:
            kind = PointRecord::OffsetViewport;
            break;
        case MoveTo:
            kind = PointRecord::Move;
            include(point);
            break;
        default:
            kind = PointRecord::Line;
            include(point);
            break;
        }
        return PointRecord{kind, point};
    }
    case ScaleWindowExt:
    case ScaleViewportExt: {
        p.need(4, "a scale record");
        // Stored y denominator, y numerator, x denominator, x numerator.
        const ScaleRecord r{function == ScaleViewportExt, p.s16(3), p.s16(2), p.s16(1), p.s16(0)};
        if (r.xNum == 0 || r.xDenom == 0 || r.yNum == 0 || r.yDenom == 0)
            throw BadRecord{QStringLiteral("a scale of zero")};
        return r;
    }
    case SetMapMode: {
        p.need(1, "SETMAPMODE");
        const int mode = p.u16(0);
        if (mode < MmText || mode > MmAnisotropic)
            throw BadRecord{QStringLiteral("unknown map mode %1").arg(mode)};
        return ValueRecord{ValueRecord::MapModeValue, mode};
    }
    case SetBkMode:
        p.need(1, "SETBKMODE");
        return ValueRecord{ValueRecord::BkModeValue, p.u16(0)};
    case SetTextAlign:
        p.need(1, "SETTEXTALIGN");
        return ValueRecord{ValueRecord::TextAlignValue, p.u16(0)};
    case SetPolyFillMode:
        p.need(1, "SETPOLYFILLMODE");
        return ValueRecord{ValueRecord::FillModeValue, p.u16(0)};
    case SaveDc:
        return SaveRecord{};
    case RestoreDc:
        p.need(1, "RESTOREDC");
        return ValueRecord{ValueRecord::Restore, p.s16(0)};
    case SetTextColor:
    case SetBkColor:
        p.need(2, "a colour record");
        return ColorRecord{function == SetBkColor, p.color(0)};
    case CreatePenIndirect: {
        // Style, width as a point (only x counts), colour.
        p.need(5, "CREATEPENINDIRECT");
        return CreateRecord{PenDef{p.u16(0), std::abs(p.s16(1)), p.color(3)}};
    }
    case CreateBrushIndirect: {
        p.need(4, "CREATEBRUSHINDIRECT");
        return CreateRecord{BrushDef{p.u16(0), p.color(1), p.u16(3), QImage()}};
    }
    case CreateFontIndirect:
        return font(p);
    case DibCreatePatternBrush: {
        p.need(2, "DIBCREATEPATTERNBRUSH");
        BrushDef brush;
        if (p.u16(0) != BsPattern) {
            brush.pattern = readDib(p.at(2, 0), p.bytes() - 4, p.u16(1) == 1, m_budget);
            brush.style = brush.pattern.isNull() ? BsSolid : BsPattern;
        }
        brush.color = Qt::gray;
        return CreateRecord{brush};
    }
    case CreatePatternBrush: {
        BrushDef brush;
        brush.color = Qt::gray;
        return CreateRecord{brush};
    }
    case CreatePalette:
    case CreateRegion:
        return CreateRecord{OtherObject{}};
    case SelectObject:
        return ObjectRecord{true, objectIndex(p)};
    case DeleteObject:
        return ObjectRecord{false, objectIndex(p)};
    case TextOut:
        return text(p);
    case ExtTextOut:
        return extText(p);
    case Polyline:
    case Polygon: {
        p.need(1, "a polygon");
        return PolyRecord{function == Polygon, points(p, 1, p.u16(0))};
    }
    case PolyPolygon: {
        p.need(1, "POLYPOLYGON");
        const qint64 polygons = p.u16(0);
        p.need(1 + polygons, "POLYPOLYGON");
        PolyPolyRecord r;
        qint64 at = 1 + polygons;
        qint64 total = 0;
        for (qint64 i = 0; i < polygons; ++i)
            total += p.u16(1 + i);
        p.need(at + 2 * total, "POLYPOLYGON");
        r.polygons.reserve(size_t(polygons));
        for (qint64 i = 0; i < polygons; ++i) {
            const qint64 n = p.u16(1 + i);
            r.polygons.push_back(points(p, at, n));
            at += 2 * n;
        }
        return r;
    }
    case Rectangle:
    case Ellipse:
    case IntersectClipRect:
    case ExcludeClipRect: {
        ShapeRecord r{ShapeRecord::Rect, box(p, 0), {}, {}};
        if (function == Ellipse)
            r.kind = ShapeRecord::Ellipse;
        else if (function == IntersectClipRect)
            r.kind = ShapeRecord::ClipIntersect;
        else if (function == ExcludeClipRect)
            r.kind = ShapeRecord::ClipExclude;
        else
            include(r.box);
        if (r.kind == ShapeRecord::Ellipse)
            include(r.box);
        return r;
    }
    case RoundRect: {
        // Corner height, corner width, then the rectangle.
        ShapeRecord r{ShapeRecord::Round, box(p, 2), QPoint(p.s16(1), p.s16(0)), {}};
        include(r.box);
        return r;
    }
    case Arc:
    case Pie:
    case Chord: {
        // End y, end x, start y, start x, then the rectangle.
        const auto kind = function == Arc   ? ShapeRecord::ArcShape
                          : function == Pie ? ShapeRecord::PieShape
                                            : ShapeRecord::ChordShape;
        ShapeRecord r{kind, box(p, 4), p.yx(2), p.yx(0)};
        include(r.box);
        return r;
    }
    case SetPixel: {
        p.need(4, "SETPIXEL");
        const PixelRecord r{p.yx(2), p.color(0)};
        include(r.point);
        return r;
    }
    case PatBlt: {
        // Raster operation, height, width, y, x.
        p.need(6, "PATBLT");
        const int x = p.s16(5), y = p.s16(4);
        const BlitRecord r{Box{x, y, x + p.s16(3), y + p.s16(2)}, p.u32(0)};
        include(r.dest);
        return r;
    }
    case StretchDib:
    case DibStretchBlt:
    case DibBitBlt:
        return image(function, p);
    default:
        // Records that change nothing this player draws (raster and stretch modes, palettes,
        // escapes, regions, flood fills, old device-dependent bitmaps) are skipped.
        return std::nullopt;
    }
}

Record RecordReader::font(const Params &p)
{
    // Height, width, escapement, orientation, weight, then italic, underline, strike-out,
    // charset, precisions, quality and pitch as bytes, then the face name.
    p.need(9, "CREATEFONTINDIRECT");
    FontDef f;
    f.height = p.s16(0);
    f.width = std::abs(p.s16(1));
    f.escapement = p.s16(2);
    f.weight = p.s16(4);
    const uchar *flags = p.at(5, 1);
    f.italic = flags[0] != 0;
    f.underline = flags[1] != 0;
    const uchar *strike = p.at(6, 1);
    f.strikeOut = strike[0] != 0;
    const qint64 faceBytes = std::min<qint64>(p.bytes() - 18, 32);
    const uchar *face = p.at(9, 0);
    qint64 length = 0;
    while (length < faceBytes && face[length] != 0)
        ++length;
    f.face = decodeText(m_decoder, face, length).trimmed();
    return CreateRecord{f};
}

Record RecordReader::text(const Params &p)
{
    // Length, the string padded to whole words, y, x.
    p.need(1, "TEXTOUT");
    const int length = p.s16(0);
    if (length < 0)
        throw BadRecord{QStringLiteral("TEXTOUT with a negative length")};
    const qint64 words = (length + 1) / 2;
    p.need(1 + words + 2, "TEXTOUT");
    TextRecord r;
    r.text = decodeText(m_decoder, p.at(1, words), length);
    r.pos = p.yx(1 + words);
    include(r.pos);
    return r;
}

Record RecordReader::extText(const Params &p)
{
    // y, x, length, options, the rectangle when the options need one, the string padded to
    // whole words, and optionally one advance per character (two with ETO_PDY).
    p.need(4, "EXTTEXTOUT");
    TextRecord r;
    r.pos = p.yx(0);
    const int length = p.s16(2);
    r.options = p.u16(3);
    if (length < 0)
        throw BadRecord{QStringLiteral("EXTTEXTOUT with a negative length")};
    qint64 at = 4;
    if (r.options & (EtoOpaque | EtoClipped)) {
        p.need(at + 4, "EXTTEXTOUT");
        r.rect = Box{p.s16(at), p.s16(at + 1), p.s16(at + 2), p.s16(at + 3)};
        r.hasRect = true;
        at += 4;
        include(r.rect);
    }
    if (2 * at + length > p.bytes())
        throw BadRecord{QStringLiteral("EXTTEXTOUT's string runs past the record")};
    r.text = decodeText(m_decoder, p.at(at, 0), length);
    at += (length + 1) / 2;
    const qint64 left = p.count() - std::min(at, p.count());
    if (length > 0 && (r.options & EtoPdy) && left >= 2 * length) {
        r.dx.resize(size_t(length));
        r.dy.resize(size_t(length));
        for (int i = 0; i < length; ++i) {
            r.dx[size_t(i)] = qint16(p.s16(at + 2 * i));
            r.dy[size_t(i)] = qint16(p.s16(at + 2 * i + 1));
        }
    } else if (length > 0 && left >= length) {
        r.dx.resize(size_t(length));
        for (int i = 0; i < length; ++i)
            r.dx[size_t(i)] = qint16(p.s16(at + i));
    }
    include(r.pos);
    return r;
}

Record RecordReader::image(quint16 function, const Params &p)
{
    // A blit whose record is exactly its fixed part carries no bitmap: it paints with the brush.
    const qint64 fixedWords = (function >> 8);
    if (function != StretchDib && p.count() == fixedWords) {
        p.need(fixedWords, "a blit");
        const int x = p.s16(fixedWords - 1), y = p.s16(fixedWords - 2);
        const int w = p.s16(fixedWords - 3), h = p.s16(fixedWords - 4);
        const BlitRecord b{Box{x, y, x + w, y + h}, p.u32(0)};
        include(b.dest);
        return b;
    }
    ImageRecord r;
    qint64 dibAt = 0;
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0, x = 0, y = 0, w = 0, h = 0;
    bool fromBottom = false;
    bool paletteIndices = false;
    if (function == StretchDib) {
        // Raster operation, colour usage, source height, width, y, x, destination height,
        // width, y, x, then the bitmap. The source y counts from the bitmap's first stored row.
        p.need(11, "STRETCHDIB");
        paletteIndices = p.u16(2) == 1;
        srcH = p.s16(3), srcW = p.s16(4), srcY = p.s16(5), srcX = p.s16(6);
        h = p.s16(7), w = p.s16(8), y = p.s16(9), x = p.s16(10);
        dibAt = 11;
        fromBottom = true;
    } else if (function == DibStretchBlt) {
        p.need(10, "DIBSTRETCHBLT");
        srcH = p.s16(2), srcW = p.s16(3), srcY = p.s16(4), srcX = p.s16(5);
        h = p.s16(6), w = p.s16(7), y = p.s16(8), x = p.s16(9);
        dibAt = 10;
    } else {
        p.need(8, "DIBBITBLT");
        srcY = p.s16(2), srcX = p.s16(3);
        srcH = h = p.s16(4);
        srcW = w = p.s16(5);
        y = p.s16(6), x = p.s16(7);
        dibAt = 8;
    }
    r.rop = p.u32(0);
    r.image = readDib(p.at(dibAt, 0), p.bytes() - 2 * dibAt, paletteIndices, m_budget);
    r.dest = Box{x, y, x + w, y + h};
    include(r.dest);
    if (!r.image.isNull()) {
        // A core header's height has no sign: such bitmaps are always stored bottom-up.
        const bool core = qFromLittleEndian<quint32>(p.at(dibAt, 2)) == 12;
        const bool bottomUp = core || qFromLittleEndian<qint32>(p.at(dibAt + 4, 2)) > 0;
        double top = srcY;
        if (fromBottom && bottomUp)
            top = r.image.height() - srcY - srcH;
        r.source = QRectF(srcX, top, srcW, srcH);
    }
    return r;
}

} // namespace

Metafile::Metafile(std::unique_ptr<Data> data) : d(std::move(data)) {}

Metafile::~Metafile() = default;

QSizeF Metafile::sizeTwips() const
{
    return d->frame.size() * (1440.0 / d->unitsPerInch);
}

int Metafile::recordCount() const
{
    return d->recordsRead;
}

QStringList Metafile::problems() const
{
    return d->problems;
}

std::shared_ptr<const Metafile> Metafile::parse(const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::shared_ptr<const Metafile>();
    };
    if (bytes.size() > maxFileBytes)
        return fail(QStringLiteral("the file is larger than the reader accepts"));
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qint64 end = bytes.size();
    qint64 pos = 0;

    auto d = std::make_unique<Data>();
    std::optional<QRectF> placeableBox;
    if (end >= 4 && qFromLittleEndian<quint32>(data) == placeableKey) {
        if (end < 22)
            return fail(QStringLiteral("the placeable header is cut short"));
        const int left = qFromLittleEndian<qint16>(data + 6);
        const int top = qFromLittleEndian<qint16>(data + 8);
        const int right = qFromLittleEndian<qint16>(data + 10);
        const int bottom = qFromLittleEndian<qint16>(data + 12);
        const int inch = qFromLittleEndian<quint16>(data + 14);
        if (inch == 0)
            return fail(QStringLiteral("the placeable header gives no units per inch"));
        const QRectF box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        if (box.width() <= 0 || box.height() <= 0)
            return fail(QStringLiteral("the placeable header's bounding box is empty"));
        placeableBox = box;
        d->unitsPerInch = inch;
        pos = 22;
    }

    if (end - pos < 18)
        return fail(QStringLiteral("the metafile header is cut short"));
    const quint16 type = qFromLittleEndian<quint16>(data + pos);
    const quint16 headerWords = qFromLittleEndian<quint16>(data + pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return fail(QStringLiteral("not a Windows Metafile"));
    d->objectCount = qFromLittleEndian<quint16>(data + pos + 10);
    pos += 18;

    auto problem = [&d](const QString &what) {
        if (d->problems.size() < maxProblems)
            d->problems.append(what);
        else if (d->problems.size() == maxProblems)
            d->problems.append(QStringLiteral("further problems not listed"));
    };

    Budget budget;
    RecordReader reader(d->objectCount, budget);
    for (;;) {
        if (end - pos < 6) {
            problem(QStringLiteral("the file ends without an end record"));
            break;
        }
        const qint64 words = qFromLittleEndian<quint32>(data + pos);
        const quint16 function = qFromLittleEndian<quint16>(data + pos + 4);
        if (words < 3) {
            problem(QStringLiteral("record %1 has an impossible size").arg(d->recordsRead + 1));
            break;
        }
        if (words > (end - pos) / 2) {
            problem(
                QStringLiteral("record %1 runs past the end of the file").arg(d->recordsRead + 1));
            break;
        }
        if (function == EndOfFile)
            break;
        if (d->recordsRead >= maxRecords) {
            problem(QStringLiteral("the file holds more records than the reader accepts"));
            break;
        }
        ++d->recordsRead;
        try {
            if (auto record = reader.read(function, Params(data + pos + 6, words - 3)))
                d->records.push_back(std::move(*record));
        } catch (const BadRecord &bad) {
            problem(QStringLiteral("record %1 (function 0x%2) skipped: %3")
                        .arg(d->recordsRead)
                        .arg(function, 4, 16, QLatin1Char('0'))
                        .arg(bad.reason));
        }
        pos += 2 * words;
    }

    if (placeableBox) {
        d->frame = *placeableBox;
    } else if (const auto ext = reader.firstWindowExt()) {
        const QPoint org = reader.firstWindowOrg().value_or(QPoint());
        d->frame = QRectF(org, QSizeF(ext->x(), ext->y())).normalized();
    } else if (reader.drawnBounds().isValid()) {
        d->frame = QRectF(reader.drawnBounds());
    } else {
        return fail(QStringLiteral("the metafile has neither a size nor any drawing"));
    }
    return std::shared_ptr<const Metafile>(new Metafile(std::move(d)));
}

} // namespace wmf
