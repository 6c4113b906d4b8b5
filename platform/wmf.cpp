// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wmf.h"

#include "platform/wmfrecords.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QStringDecoder>
#include <QStringList>
#include <QTransform>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace wmf {
namespace {

// Limits that keep a damaged or hostile file from taking unbounded memory or time. Real pages
// stay far below every one of them.
constexpr qsizetype maxFileBytes = 64 * 1024 * 1024;
constexpr int maxRecords = 500000;
constexpr qint64 maxTotalPoints = 4000000;
constexpr int maxBitmapSide = 16384;
constexpr qint64 maxTotalPixels = 32 * 1024 * 1024;
constexpr int maxSavedStates = 256;
constexpr int maxProblems = 50;
constexpr double maxTextPixels = 20000;
// Playing: the file's clip is kept as at most this many rectangles; a cut that would need more
// is left out, so the clip keeps the area it had.
constexpr int maxClipRects = 64;
// Antialiased filling and stroking slow down with the square of the edges that cross one row of
// the device. A line or shape of more points than this whose edges cross a row more often than
// this on average is stroked in pieces of at most that many points and filled without
// antialiasing, at a cost that grows with the points and not with their square.
constexpr int maxPathPoints = 200;
constexpr double maxRowCrossings = 32;
// What one play may spend on lines and shapes, in units of roughly a nanosecond of painting
// (see Player::spend): a fixed amount, or more on a large device. A page spends a small part
// of it; a file that asks for more draws its lines and shapes until the budget is gone.
constexpr double drawingBudget = 40e6;
constexpr double drawingBudgetPerPixel = 40;

using namespace record;

enum MapMode {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};

enum TextAlign {
    TaUpdateCp = 0x0001,
    TaRight = 0x0002,
    TaCenter = 0x0006,
    TaHorizontalMask = 0x0006,
    TaBottom = 0x0008,
    TaBaseline = 0x0018,
    TaVerticalMask = 0x0018,
};

enum TextOptions {
    EtoOpaque = 0x0002,
    EtoClipped = 0x0004,
    EtoGlyphIndex = 0x0010,
    EtoPdy = 0x2000
};

enum PenStyle {
    PsSolid = 0,
    PsDash,
    PsDot,
    PsDashDot,
    PsDashDotDot,
    PsNull,
    PsInsideFrame,
    PsStyleMask = 0x000F,
    PsEndCapSquare = 0x0100,
    PsEndCapFlat = 0x0200,
    PsEndCapMask = 0x0F00,
    PsJoinBevel = 0x1000,
    PsJoinMiter = 0x2000,
    PsJoinMask = 0xF000,
};

enum BrushStyle { BsSolid = 0, BsNull = 1, BsHatched = 2, BsPattern = 3 };

enum BkMode { Transparent = 1, Opaque = 2 };

enum RasterOperation : quint32 {
    Blackness = 0x00000042,
    NotSrcCopy = 0x00330008,
    DstInvert = 0x00550009,
    PatInvert = 0x005A0049,
    SrcInvert = 0x00660046,
    SrcAnd = 0x008800C6,
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,
    PatCopy = 0x00F00021,
    Whiteness = 0x00FF0062,
};

// --- Records as read from the file --------------------------------------------------------

/// Left, top, right, bottom exactly as the file gives them (they may be in any order).
struct Box
{
    int left = 0, top = 0, right = 0, bottom = 0;
    QRectF rect() const { return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized(); }
};

struct PenDef
{
    int style = PsSolid;
    int width = 0;
    QColor color = Qt::black;
};

struct BrushDef
{
    int style = BsSolid;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern; ///< for brushes made from a bitmap
};

struct FontDef
{
    int height = 0;
    int width = 0; ///< the average character width, or 0 for the face's own
    int escapement = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

/// Objects the player keeps a slot for without drawing with them (palettes, regions).
struct OtherObject
{
};

using ObjectDef = std::variant<PenDef, BrushDef, FontDef, OtherObject>;

struct PointRecord
{
    enum Kind {
        WindowOrg,
        WindowExt,
        ViewportOrg,
        ViewportExt,
        OffsetWindow,
        OffsetViewport,
        Move,
        Line
    };
    Kind kind;
    QPoint point;
};

struct ScaleRecord
{
    bool viewport;
    int xNum, xDenom, yNum, yDenom;
};

struct ValueRecord
{
    enum Kind { MapModeValue, BkModeValue, TextAlignValue, FillModeValue, Restore };
    Kind kind;
    int value;
};

struct SaveRecord
{
};

struct ColorRecord
{
    bool background;
    QColor color;
};

struct CreateRecord
{
    ObjectDef object;
};

struct ObjectRecord
{
    bool select; ///< select, else delete
    int index;
};

struct TextRecord
{
    QPoint pos;
    QString text;
    int options = 0;
    bool hasRect = false;
    Box rect;
    std::vector<qint16> dx;
    std::vector<qint16> dy;
};

struct PolyRecord
{
    bool closed;
    QPolygon points;
};

struct PolyPolyRecord
{
    std::vector<QPolygon> polygons;
};

struct ShapeRecord
{
    enum Kind { Rect, Ellipse, Round, ArcShape, PieShape, ChordShape, ClipIntersect, ClipExclude };
    Kind kind;
    Box box;
    QPoint a, b; ///< corner size of a rounded rect, or start and end of an arc
};

struct ImageRecord
{
    QImage image;
    QRectF source; ///< in the image's pixels, top-down; may have negative sizes (mirrored)
    Box dest;      ///< left, top, and left + width, top + height; may be mirrored
    quint32 rop = SrcCopy;
};

struct BlitRecord
{
    Box dest;
    quint32 rop;
};

struct PixelRecord
{
    QPoint point;
    QColor color;
};

using Record = std::variant<PointRecord, ScaleRecord, ValueRecord, SaveRecord, ColorRecord,
                            CreateRecord, ObjectRecord, TextRecord, PolyRecord, PolyPolyRecord,
                            ShapeRecord, ImageRecord, BlitRecord, PixelRecord>;

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

// --- The parsed file ------------------------------------------------------------------------

struct Metafile::Data
{
    QRectF frame;               ///< the picture's bounds in its own units
    double unitsPerInch = 1440; ///< of frame
    int objectCount = 0;
    int recordsRead = 0;
    std::vector<Record> records;
    QStringList problems;
};

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

// --- Playing ---------------------------------------------------------------------------------

namespace {

/// The drawing state of a Windows device context as the records change it.
struct DeviceState
{
    int mapMode = MmAnisotropic;
    QPointF windowOrg, windowExt, viewportOrg, viewportExt;
    PenDef pen;
    BrushDef brush;
    FontDef font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = Opaque;
    int textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF position;
    /// The area drawing may touch: disjoint rectangles in the painter's coordinates before the
    /// picture's, or nothing for no clip.
    std::optional<std::vector<QRectF>> clip;
};

/// Plays records onto a painter; one player per play() call.
class Player
{
public:
    Player(QPainter &painter, const Metafile::Data &data, const QRectF &target, PlayCost &cost);

    void operator()(const PointRecord &r);
    void operator()(const ScaleRecord &r);
    void operator()(const ValueRecord &r);
    void operator()(const SaveRecord &);
    void operator()(const ColorRecord &r);
    void operator()(const CreateRecord &r);
    void operator()(const ObjectRecord &r);
    void operator()(const TextRecord &r);
    void operator()(const PolyRecord &r);
    void operator()(const PolyPolyRecord &r);
    void operator()(const ShapeRecord &r);
    void operator()(const ImageRecord &r);
    void operator()(const BlitRecord &r);
    void operator()(const PixelRecord &r);

private:
    void updateTransform();
    void changeClip(const QRectF &box, bool exclude);
    void syncClip();
    QPen pen() const;
    QBrush brush() const;
    bool drawShape(const QPainterPath &path, bool fill);
    double rowCrossings(const QPainterPath &path, double rows) const;
    void drawPolygons(const std::vector<QPolygonF> &polygons, bool closed);
    void stroke(const QPolygonF &line, const QPen &pen);
    QRectF visibleArea() const;
    bool spend(const QPainterPath &path, const QPen &pen, bool fill);
    std::optional<QFont> font(double pixelsPerUnit, double widthPixelsPerUnit) const;
    bool rasterOps() const;

    QPainter &m_painter;
    const Metafile::Data &m_data;
    QRectF m_target;
    QTransform m_base;                      ///< the painter's own transform when play began
    std::optional<QPainterPath> m_baseClip; ///< the painter's own clip when play began
    QTransform m_toTarget;                  ///< logical units to the painter's coordinates
    QTransform m_full;                      ///< m_toTarget then m_base
    DeviceState m_state;
    std::vector<DeviceState> m_saved;
    std::vector<std::optional<ObjectDef>> m_objects; ///< grows as slots are first used
    std::set<int> m_freed;                           ///< freed slots, all below m_objects.size()
    PlayCost &m_cost;
    bool m_clipChanged = false;      ///< the painter has yet to be given m_state.clip
    double m_budget = drawingBudget; ///< what lines and shapes may still spend
};

Player::Player(QPainter &painter, const Metafile::Data &data, const QRectF &target, PlayCost &cost)
    : m_painter(painter), m_data(data), m_target(target), m_base(painter.worldTransform()),
      m_cost(cost)
{
    if (painter.hasClipping())
        m_baseClip = painter.clipPath();
    m_state.windowOrg = m_state.viewportOrg = data.frame.topLeft();
    m_state.windowExt = m_state.viewportExt = QPointF(data.frame.width(), data.frame.height());
    m_state.font.face = QStringLiteral("Arial");
    if (const QPaintDevice *device = painter.device())
        m_budget = std::max(drawingBudget,
                            drawingBudgetPerPixel * double(device->width()) * device->height());
    updateTransform();
}

void Player::updateTransform()
{
    const DeviceState &s = m_state;
    double sx = 1, sy = 1;
    switch (s.mapMode) {
    case MmIsotropic:
    case MmAnisotropic:
        sx = s.viewportExt.x() / s.windowExt.x();
        sy = s.viewportExt.y() / s.windowExt.y();
        if (s.mapMode == MmIsotropic) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    case MmText:
        break;
    default: {
        static const double unitsPerInch[] = {254, 2540, 100, 1000, 1440};
        const double k = m_data.unitsPerInch / unitsPerInch[s.mapMode - MmLoMetric];
        sx = k;
        sy = -k;
        break;
    }
    }
    const QTransform toFrame(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx,
                             s.viewportOrg.y() - s.windowOrg.y() * sy);
    const QRectF &f = m_data.frame;
    const double kx = m_target.width() / f.width();
    const double ky = m_target.height() / f.height();
    const QTransform frameToTarget(kx, 0, 0, ky, m_target.x() - f.x() * kx,
                                   m_target.y() - f.y() * ky);
    m_toTarget = toFrame * frameToTarget;
    m_full = m_toTarget * m_base;
    m_painter.setWorldTransform(m_full);
}

void Player::changeClip(const QRectF &logical, bool exclude)
{
    const QRectF box = m_toTarget.mapRect(logical);
    auto overlaps = [&box](const QRectF &r) {
        return r.left() < box.right() && box.left() < r.right() && r.top() < box.bottom() &&
               box.top() < r.bottom();
    };
    if (!exclude) {
        if (!m_state.clip) {
            m_state.clip = std::vector<QRectF>{box};
        } else {
            std::vector<QRectF> &rects = *m_state.clip;
            m_cost.clipRects += qint64(rects.size());
            qsizetype kept = 0;
            for (const QRectF &r : rects)
                if (overlaps(r))
                    rects[size_t(kept++)] = r & box;
            rects.resize(size_t(kept));
        }
        m_clipChanged = true;
        return;
    }

    if (!m_state.clip) {
        const QRectF big = m_target.adjusted(-m_target.width(), -m_target.height(),
                                             m_target.width(), m_target.height());
        m_state.clip = std::vector<QRectF>{big | box};
        m_clipChanged = true;
    }
    const std::vector<QRectF> &all = *m_state.clip;
    m_cost.clipRects += qint64(all.size());
    // What is left of a rectangle the cut overlaps: the bands above and below the cut, and
    // beside it between them.
    auto pieces = [&box](const QRectF &r, std::vector<QRectF> *out) {
        const double top = std::max(r.top(), box.top());
        const double bottom = std::min(r.bottom(), box.bottom());
        const QRectF parts[] = {
            QRectF(r.left(), r.top(), r.width(), box.top() - r.top()),
            QRectF(r.left(), box.bottom(), r.width(), r.bottom() - box.bottom()),
            QRectF(r.left(), top, box.left() - r.left(), bottom - top),
            QRectF(box.right(), top, r.right() - box.right(), bottom - top)};
        int count = 0;
        for (const QRectF &part : parts) {
            if (part.width() > 0 && part.height() > 0) {
                ++count;
                if (out)
                    out->push_back(part);
            }
        }
        return count;
    };
    size_t after = 0;
    bool cut = false;
    for (const QRectF &r : all) {
        const bool overlap = overlaps(r);
        cut = cut || overlap;
        after += overlap ? size_t(pieces(r, nullptr)) : 1;
    }
    if (!cut || after > size_t(maxClipRects))
        return;
    std::vector<QRectF> rects;
    rects.reserve(after);
    for (const QRectF &r : all) {
        if (overlaps(r))
            pieces(r, &rects);
        else
            rects.push_back(r);
    }
    m_state.clip = std::move(rects);
    m_cost.largestClip = std::max(m_cost.largestClip, int(m_state.clip->size()));
    m_clipChanged = true;
}

void Player::syncClip()
{
    if (!m_clipChanged)
        return;
    m_clipChanged = false;
    m_painter.setWorldTransform(m_base);
    if (m_state.clip) {
        QPainterPath area;
        for (const QRectF &r : *m_state.clip)
            area.addRect(r);
        if (m_baseClip)
            m_painter.setClipPath(*m_baseClip);
        m_painter.setClipPath(area, m_baseClip ? Qt::IntersectClip : Qt::ReplaceClip);
    } else if (m_baseClip) {
        m_painter.setClipPath(*m_baseClip);
    } else {
        m_painter.setClipping(false);
    }
    m_painter.setWorldTransform(m_full);
}

bool Player::rasterOps() const
{
    return m_painter.paintEngine() &&
           m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

QPen Player::pen() const
{
    const PenDef &p = m_state.pen;
    const int style = p.style & PsStyleMask;
    if (style == PsNull)
        return QPen(Qt::NoPen);
    QPen pen(p.color);
    // A width of zero, or one that maps to less than a device pixel, draws one pixel wide; so
    // does a dashed pen that rounds to one pixel, which keeps its dashes.
    const double scale = std::sqrt(std::abs(m_full.determinant()));
    const bool dashed = style >= PsDash && style <= PsDashDotDot;
    if (p.width == 0 || p.width * scale < 1.0 || (dashed && p.width * scale < 1.5)) {
        pen.setWidth(0);
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(p.width);
    }
    // Dashes exist only for pens one pixel wide; wider dashed pens draw solid.
    if (pen.isCosmetic()) {
        switch (style) {
        case PsDash:
            pen.setStyle(Qt::DashLine);
            break;
        case PsDot:
            pen.setStyle(Qt::DotLine);
            break;
        case PsDashDot:
            pen.setStyle(Qt::DashDotLine);
            break;
        case PsDashDotDot:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
        }
    }
    switch (p.style & PsEndCapMask) {
    case PsEndCapSquare:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case PsEndCapFlat:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (p.style & PsJoinMask) {
    case PsJoinBevel:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case PsJoinMiter:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QBrush Player::brush() const
{
    const BrushDef &b = m_state.brush;
    switch (b.style) {
    case BsNull:
        return QBrush(Qt::NoBrush);
    case BsHatched: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                 Qt::FDiagPattern, Qt::BDiagPattern,
                                                 Qt::CrossPattern, Qt::DiagCrossPattern};
        QBrush brush(b.color, hatches[std::clamp(b.hatch, 0, 5)]);
        // Hatching keeps its spacing in device pixels, whatever the picture's scale.
        brush.setTransform(
            QTransform(m_full.m11(), m_full.m12(), m_full.m21(), m_full.m22(), 0, 0).inverted());
        return brush;
    }
    case BsPattern:
        if (!b.pattern.isNull()) {
            QBrush brush(b.pattern);
            brush.setTransform(
                QTransform(m_full.m11(), m_full.m12(), m_full.m21(), m_full.m22(), 0, 0)
                    .inverted());
            return brush;
        }
        return QBrush(b.color);
    default:
        return QBrush(b.color);
    }
}

/// Takes what drawing path will cost from the budget; false, leaving the budget as it was,
/// when too little is left. The cost is an estimate from the device pixels the fill and the
/// stroke cover and from the points, weighted by what each costs the painter: a thin
/// antialiased line costs most for each pixel, a wide one less, a fill least.
bool Player::spend(const QPainterPath &path, const QPen &pen, bool fill)
{
    const QRectF visible = m_full.mapRect(visibleArea());
    const QRectF box = m_full.mapRect(path.controlPointRect()) & visible;
    double work = 200.0 * path.elementCount();
    if (fill) {
        // Every row a fill covers costs for each edge that crosses it.
        work += 5 * box.width() * box.height() + 70 * rowCrossings(path, visible.height());
    }
    if (pen.style() != Qt::NoPen) {
        const double scale = std::sqrt(std::abs(m_full.determinant()));
        const double length = path.length() * scale;
        if (pen.isCosmetic())
            work += 150 * length;
        else
            work += 80 * (length + pen.widthF() * scale) * (pen.widthF() * scale + 1);
    }
    m_cost.work += work;
    if (!(work <= m_budget)) {
        m_cost.skipped += 1;
        return false;
    }
    m_budget -= work;
    return true;
}

/// The device rows the edges of path cross, counting no edge for more than rows.
double Player::rowCrossings(const QPainterPath &path, double rows) const
{
    double crossings = 0;
    const double dy = std::abs(m_full.m22()) + std::abs(m_full.m12());
    for (int i = 1; i < path.elementCount(); ++i) {
        if (!path.elementAt(i).isMoveTo())
            crossings +=
                std::min(std::abs(path.elementAt(i).y - path.elementAt(i - 1).y) * dy, rows);
    }
    return crossings;
}

/// Draws path with the pen, and filled with the brush when fill is true; false when the
/// drawing budget does not run to it.
bool Player::drawShape(const QPainterPath &path, bool fill)
{
    syncClip();
    if (!spend(path, pen(), fill))
        return false;
    if (fill && m_state.brush.style == BsHatched && m_state.bkMode == Opaque)
        m_painter.fillPath(path, m_state.bkColor);
    m_painter.setPen(pen());
    m_painter.setBrush(fill ? brush() : QBrush(Qt::NoBrush));
    m_painter.drawPath(path);
    return true;
}

void Player::operator()(const PointRecord &r)
{
    DeviceState &s = m_state;
    switch (r.kind) {
    case PointRecord::WindowOrg:
        s.windowOrg = r.point;
        break;
    case PointRecord::WindowExt:
        s.windowExt = r.point;
        break;
    case PointRecord::ViewportOrg:
        s.viewportOrg = r.point;
        break;
    case PointRecord::ViewportExt:
        s.viewportExt = r.point;
        break;
    case PointRecord::OffsetWindow:
        s.windowOrg += r.point;
        break;
    case PointRecord::OffsetViewport:
        s.viewportOrg += r.point;
        break;
    case PointRecord::Move:
        s.position = r.point;
        return;
    case PointRecord::Line: {
        syncClip();
        QPainterPath line(s.position);
        line.lineTo(r.point);
        if (spend(line, pen(), false)) {
            m_painter.setPen(pen());
            m_painter.drawLine(s.position, QPointF(r.point));
        }
        s.position = r.point;
        return;
    }
    }
    updateTransform();
}

void Player::operator()(const ScaleRecord &r)
{
    QPointF &ext = r.viewport ? m_state.viewportExt : m_state.windowExt;
    ext = QPointF(ext.x() * r.xNum / r.xDenom, ext.y() * r.yNum / r.yDenom);
    if (ext.x() == 0 || ext.y() == 0 || !std::isfinite(ext.x()) || !std::isfinite(ext.y()))
        ext = QPointF(1, 1);
    updateTransform();
}

void Player::operator()(const ValueRecord &r)
{
    DeviceState &s = m_state;
    switch (r.kind) {
    case ValueRecord::MapModeValue:
        s.mapMode = r.value;
        updateTransform();
        break;
    case ValueRecord::BkModeValue:
        if (r.value == Transparent || r.value == Opaque)
            s.bkMode = r.value;
        break;
    case ValueRecord::TextAlignValue:
        s.textAlign = r.value;
        break;
    case ValueRecord::FillModeValue:
        s.fillRule = r.value == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case ValueRecord::Restore: {
        // Negative: that many states back; positive: the state saved by that numbered save.
        const qint64 depth = qint64(m_saved.size());
        qint64 keep = -1;
        if (r.value < 0 && -qint64(r.value) <= depth)
            keep = depth + r.value;
        else if (r.value > 0 && r.value <= depth)
            keep = r.value - 1;
        if (keep < 0)
            break;
        m_state = m_saved[size_t(keep)];
        m_saved.resize(size_t(keep));
        updateTransform();
        m_clipChanged = true;
        break;
    }
    }
}

void Player::operator()(const SaveRecord &)
{
    if (m_saved.size() < maxSavedStates)
        m_saved.push_back(m_state);
}

void Player::operator()(const ColorRecord &r)
{
    (r.background ? m_state.bkColor : m_state.textColor) = r.color;
}

void Player::operator()(const CreateRecord &r)
{
    // Each new object takes the lowest free slot; when the table is full it is lost, and the
    // records that would use it find another object or nothing there.
    if (!m_freed.empty()) {
        m_objects[size_t(*m_freed.begin())] = r.object;
        m_freed.erase(m_freed.begin());
    } else if (m_objects.size() < size_t(m_data.objectCount)) {
        m_objects.push_back(r.object);
    }
}

void Player::operator()(const ObjectRecord &r)
{
    if (size_t(r.index) >= m_objects.size() || !m_objects[size_t(r.index)])
        return;
    std::optional<ObjectDef> &slot = m_objects[size_t(r.index)];
    if (!r.select) {
        // The device keeps what it had selected; only the slot is freed.
        slot.reset();
        m_freed.insert(r.index);
        return;
    }
    if (const auto *pen = std::get_if<PenDef>(&*slot))
        m_state.pen = *pen;
    else if (const auto *brush = std::get_if<BrushDef>(&*slot))
        m_state.brush = *brush;
    else if (const auto *font = std::get_if<FontDef>(&*slot))
        m_state.font = *font;
}

std::optional<QFont> Player::font(double pixelsPerUnit, double widthPixelsPerUnit) const
{
    const FontDef &f = m_state.font;
    QFont font(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
    if (f.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setKerning(false);
    const double dpi = m_painter.device() ? m_painter.device()->logicalDpiY() : 96;
    double pixels = 0;
    if (f.height < 0) {
        // A negative height is the em size.
        pixels = -f.height * pixelsPerUnit;
    } else if (f.height > 0) {
        // A positive height is the cell (ascent plus descent); find the em that gives it.
        QFont probe(font);
        probe.setPointSizeF(100 * 72.0 / dpi);
        const QFontMetricsF metrics(probe, m_painter.device());
        const double cell = metrics.ascent() + metrics.descent();
        pixels = cell > 0 ? f.height * pixelsPerUnit * 100 / cell : 0;
    } else {
        // No height: twelve points at the picture's scale.
        const double frameUnitsPerPoint = m_data.unitsPerInch / 72.0;
        pixels = 12 * frameUnitsPerPoint * m_target.height() / m_data.frame.height() *
                 std::sqrt(std::abs(m_base.determinant()));
    }
    if (!(pixels >= 0.5) || pixels > maxTextPixels)
        return std::nullopt;
    font.setPointSizeF(pixels * 72.0 / dpi);
    if (f.width > 0) {
        // A width asks for the characters stretched or squeezed until their average width is
        // that many units.
        const double average = QFontMetricsF(font, m_painter.device()).averageCharWidth();
        const double stretch = 100 * f.width * widthPixelsPerUnit / average;
        if (average > 0 && std::isfinite(stretch))
            font.setStretch(int(std::clamp(std::lround(stretch), 1L, 4000L)));
    }
    return font;
}

void Player::operator()(const TextRecord &r)
{
    DeviceState &s = m_state;
    const bool useCp = s.textAlign & TaUpdateCp;
    const QPointF anchor = useCp ? s.position : QPointF(r.pos);

    syncClip();
    m_painter.save();
    if (r.hasRect && (r.options & EtoOpaque))
        m_painter.fillRect(r.rect.rect(), s.bkColor);
    if (r.hasRect && (r.options & EtoClipped))
        m_painter.setClipRect(r.rect.rect(), Qt::IntersectClip);

    // Text is drawn upright in the painter's coordinates, at a size mapped from logical units.
    const double sx = std::hypot(m_full.m11(), m_full.m12());
    const double sy = std::hypot(m_full.m21(), m_full.m22());
    const std::optional<QFont> font =
        r.text.isEmpty() || (r.options & EtoGlyphIndex) ? std::nullopt : this->font(sy, sx);
    if (!font || !(sx > 0) || !(sy > 0)) {
        m_painter.restore();
        return;
    }
    const QFontMetricsF metrics(*font, m_painter.device());
    const int n = int(r.text.size());
    std::vector<double> x(size_t(n) + 1, 0.0);
    if (!r.dx.empty()) {
        for (int i = 0; i < n; ++i)
            x[size_t(i) + 1] = x[size_t(i)] + r.dx[size_t(i)] * sx;
    } else {
        x[size_t(n)] = metrics.horizontalAdvance(r.text);
    }
    const double width = x[size_t(n)];
    double left = 0;
    switch (s.textAlign & TaHorizontalMask) {
    case TaRight:
        left = -width;
        break;
    case TaCenter:
        left = -width / 2;
        break;
    default:
        break;
    }
    double baseline = 0;
    switch (s.textAlign & TaVerticalMask) {
    case TaBaseline:
        break;
    case TaBottom:
        baseline = -metrics.descent();
        break;
    default:
        baseline = metrics.ascent();
        break;
    }

    const QPointF origin = m_full.map(anchor);
    QTransform upright = QTransform::fromTranslate(origin.x(), origin.y());
    if (s.font.escapement != 0)
        upright.rotate(-s.font.escapement / 10.0);
    m_painter.setWorldTransform(upright);
    if (s.bkMode == Opaque) {
        m_painter.fillRect(
            QRectF(left, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
            s.bkColor);
    }
    m_painter.setFont(*font);
    m_painter.setPen(s.textColor);
    if (r.dx.empty()) {
        m_painter.drawText(QPointF(left, baseline), r.text);
    } else {
        // Vertical advances are logical, so they turn over with the window.
        const double down = m_full.m22() < 0 ? -sy : sy;
        double dy = 0;
        for (int i = 0; i < n; ++i) {
            m_painter.drawText(QPointF(left + x[size_t(i)], baseline + dy), QString(r.text[i]));
            if (!r.dy.empty())
                dy += r.dy[size_t(i)] * down;
        }
    }
    m_painter.restore();

    if (useCp) {
        const double advance = width / sx;
        if ((s.textAlign & TaHorizontalMask) == 0)
            s.position.rx() += advance;
        else if ((s.textAlign & TaHorizontalMask) == TaRight)
            s.position.rx() -= advance;
    }
}

void Player::operator()(const PolyRecord &r)
{
    if (r.points.size() < 2)
        return;
    drawPolygons({QPolygonF(r.points)}, r.closed);
}

void Player::operator()(const PolyPolyRecord &r)
{
    std::vector<QPolygonF> polygons;
    for (const QPolygon &polygon : r.polygons)
        if (polygon.size() >= 2)
            polygons.emplace_back(polygon);
    drawPolygons(polygons, true);
}

void Player::drawPolygons(const std::vector<QPolygonF> &polygons, bool closed)
{
    qint64 points = 0;
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    for (const QPolygonF &polygon : polygons) {
        points += polygon.size();
        path.addPolygon(polygon);
        if (closed)
            path.closeSubpath();
    }
    const double rows = std::max(1.0, m_full.mapRect(path.controlPointRect()).height());
    if (points <= maxPathPoints || rowCrossings(path, rows) / rows <= maxRowCrossings) {
        // As one path, so that a wide line's joins and a translucent edge come out whole.
        if (drawShape(path, closed)) {
            m_cost.strokes += 1;
            m_cost.longestStroke = std::max(m_cost.longestStroke, int(points) + (closed ? 1 : 0));
            if (closed)
                m_cost.largestFill = std::max(m_cost.largestFill, int(points));
        }
        return;
    }

    // A long line or shape that crosses itself again and again: the fill without
    // antialiasing, the outline in pieces that meet at shared points.
    syncClip();
    m_painter.save();
    if (closed && m_state.brush.style != BsNull && spend(path, QPen(Qt::NoPen), true)) {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        if (m_state.brush.style == BsHatched && m_state.bkMode == Opaque)
            m_painter.fillPath(path, m_state.bkColor);
        m_painter.fillPath(path, brush());
        m_painter.setRenderHint(QPainter::Antialiasing, true);
    }
    const QPen pen = this->pen();
    if (pen.style() != Qt::NoPen) {
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        for (const QPolygonF &polygon : polygons) {
            QPolygonF line = polygon;
            if (closed && line.first() != line.last())
                line.append(line.first());
            stroke(line, pen);
        }
    }
    m_painter.restore();
}

void Player::stroke(const QPolygonF &line, const QPen &pen)
{
    // A pen so wide that one point's round end or one segment covers all that can be seen
    // paints all of it: the rest of the line adds nothing.
    const QRectF visible = visibleArea();
    const bool solid = pen.style() == Qt::SolidLine && pen.color().alpha() == 255 &&
                       !pen.isCosmetic() && !visible.isEmpty() &&
                       pen.widthF() >= std::min(visible.width(), visible.height());
    const double half = pen.widthF() / 2;
    const QPointF corners[] = {visible.topLeft(), visible.topRight(), visible.bottomLeft(),
                               visible.bottomRight()};
    auto coversFromPoint = [&](const QPointF &p) {
        return std::all_of(std::begin(corners), std::end(corners), [&](const QPointF &c) {
            return std::hypot(c.x() - p.x(), c.y() - p.y()) <= half;
        });
    };
    auto coversFromSegment = [&](const QPointF &a, const QPointF &b) {
        const QPointF d = b - a;
        const double length = std::hypot(d.x(), d.y());
        if (length <= 0)
            return false;
        return std::all_of(std::begin(corners), std::end(corners), [&](const QPointF &c) {
            const QPointF v = c - a;
            const double along = (v.x() * d.x() + v.y() * d.y()) / length;
            const double across = std::abs(v.x() * d.y() - v.y() * d.x()) / length;
            return along >= 0 && along <= length && across <= half;
        });
    };
    const bool roundJoins = pen.joinStyle() == Qt::RoundJoin;
    for (qsizetype i = 0; solid && i < line.size(); ++i) {
        const bool end = i == 0 || i == line.size() - 1;
        if (((end && pen.capStyle() != Qt::FlatCap) || (!end && roundJoins)) &&
            coversFromPoint(line[i])) {
            m_painter.fillRect(visible, pen.color());
            return;
        }
        if (i > 0 && coversFromSegment(line[i - 1], line[i])) {
            m_painter.fillRect(visible, pen.color());
            return;
        }
    }
    // A wide antialiased line costs the painter more for every segment it is drawn with, so
    // it goes one segment at a time; a thin one in pieces.
    const qsizetype piece = pen.isCosmetic() ? maxPathPoints : 2;
    for (qsizetype from = 0; from + 1 < line.size(); from += piece - 1) {
        const qsizetype count = std::min<qsizetype>(piece, line.size() - from);
        QPainterPath part;
        part.addPolygon(QPolygonF(line.mid(from, count)));
        if (!spend(part, pen, false))
            return;
        m_painter.drawPolyline(line.constData() + from, int(count));
        m_cost.strokes += 1;
        m_cost.longestStroke = std::max(m_cost.longestStroke, int(count));
    }
}

QRectF Player::visibleArea() const
{
    const QPaintDevice *device = m_painter.device();
    if (!device)
        return QRectF();
    QRectF area = m_full.inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    if (m_painter.hasClipping())
        area &= m_painter.clipBoundingRect();
    return area;
}

/// The angle, in Qt's degrees on the ellipse inscribed in box, of the ray from its centre
/// through point.
double ellipseAngle(const QRectF &box, const QPointF &point)
{
    const QPointF c = box.center();
    const double a = box.width() / 2, b = box.height() / 2;
    if (a <= 0 || b <= 0)
        return 0;
    return qRadiansToDegrees(std::atan2(-(point.y() - c.y()) / b, (point.x() - c.x()) / a));
}

void Player::operator()(const ShapeRecord &r)
{
    const QRectF box = r.box.rect();
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    switch (r.kind) {
    case ShapeRecord::Rect:
        path.addRect(box);
        break;
    case ShapeRecord::Ellipse:
        path.addEllipse(box);
        break;
    case ShapeRecord::Round:
        path.addRoundedRect(box, std::min(std::abs(r.a.x()) / 2.0, box.width() / 2),
                            std::min(std::abs(r.a.y()) / 2.0, box.height() / 2));
        break;
    case ShapeRecord::ArcShape:
    case ShapeRecord::PieShape:
    case ShapeRecord::ChordShape: {
        // Counter-clockwise from the ray through the start point to the ray through the end.
        const double start = ellipseAngle(box, r.a);
        double sweep = ellipseAngle(box, r.b) - start;
        while (sweep <= 0)
            sweep += 360;
        if (r.kind == ShapeRecord::PieShape)
            path.moveTo(box.center());
        else
            path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        if (r.kind != ShapeRecord::ArcShape)
            path.closeSubpath();
        drawShape(path, r.kind != ShapeRecord::ArcShape);
        return;
    }
    case ShapeRecord::ClipIntersect:
    case ShapeRecord::ClipExclude:
        changeClip(box, r.kind == ShapeRecord::ClipExclude);
        return;
    }
    drawShape(path, true);
}

void Player::operator()(const ImageRecord &r)
{
    if (r.image.isNull())
        return;
    QRectF source = r.source.normalized() & QRectF(r.image.rect());
    if (source.isEmpty())
        return;
    const QRectF dest = r.dest.rect();
    if (dest.isEmpty())
        return;
    const bool flipX = (r.dest.right < r.dest.left) != (r.source.width() < 0);
    const bool flipY = (r.dest.bottom < r.dest.top) != (r.source.height() < 0);
    syncClip();

    QImage image = r.image;
    // Images combined with what is under them (a transparent picture comes as a mask and an
    // image): by the raster operation itself where the device has them, else by the blend that
    // gives the same result on black and white masks.
    const bool raster = rasterOps();
    const bool blend = !raster && m_painter.paintEngine() &&
                       m_painter.paintEngine()->hasFeature(QPaintEngine::BlendModes);
    std::optional<QPainter::CompositionMode> mode;
    switch (r.rop) {
    case NotSrcCopy:
        image.invertPixels();
        break;
    case SrcAnd:
        if (raster || blend)
            mode = raster ? QPainter::RasterOp_SourceAndDestination
                          : QPainter::CompositionMode_Multiply;
        break;
    case SrcPaint:
        if (raster || blend)
            mode =
                raster ? QPainter::RasterOp_SourceOrDestination : QPainter::CompositionMode_Screen;
        break;
    case SrcInvert:
        if (raster || blend)
            mode = raster ? QPainter::RasterOp_SourceXorDestination
                          : QPainter::CompositionMode_Difference;
        break;
    default:
        break;
    }
    m_painter.save();
    QRectF at = dest;
    if (mode) {
        // Combined pixel by pixel, unsmoothed, on whole device pixels, as Windows does: a mask
        // and its image then cover the same pixels, and no blurred edge of one is combined
        // with the other into a dark fringe.
        m_painter.setCompositionMode(*mode);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (m_full.type() <= QTransform::TxScale) {
            const QRectF device = m_full.mapRect(dest);
            at = QRectF(QPointF(std::round(device.left()), std::round(device.top())),
                        QPointF(std::round(device.right()), std::round(device.bottom())));
            m_painter.resetTransform();
            if (at.isEmpty()) {
                m_painter.restore();
                return;
            }
        }
    } else {
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    if (flipX || flipY) {
        m_painter.translate(at.center());
        m_painter.scale(flipX ? -1 : 1, flipY ? -1 : 1);
        m_painter.translate(-at.center());
    }
    m_painter.drawImage(at, image, source);
    m_painter.restore();
}

void Player::operator()(const BlitRecord &r)
{
    const QRectF dest = r.dest.rect();
    syncClip();
    switch (r.rop) {
    case PatCopy:
        m_painter.fillRect(dest, brush());
        break;
    case Blackness:
        m_painter.fillRect(dest, Qt::black);
        break;
    case Whiteness:
        m_painter.fillRect(dest, Qt::white);
        break;
    case DstInvert:
    case PatInvert:
        if (rasterOps()) {
            m_painter.save();
            m_painter.setCompositionMode(r.rop == DstInvert
                                             ? QPainter::RasterOp_NotDestination
                                             : QPainter::RasterOp_SourceXorDestination);
            m_painter.fillRect(dest, r.rop == DstInvert ? QBrush(Qt::white) : brush());
            m_painter.restore();
        }
        break;
    default:
        break;
    }
}

void Player::operator()(const PixelRecord &r)
{
    const QPointF at = m_full.map(QPointF(r.point));
    syncClip();
    m_painter.save();
    m_painter.resetTransform();
    m_painter.fillRect(QRectF(at, QSizeF(1, 1)), r.color);
    m_painter.restore();
}

} // namespace

void Metafile::play(QPainter &painter, const QRectF &target, PlayCost *cost) const
{
    PlayCost spent;
    if (!painter.isActive() || !target.isValid() || !std::isfinite(target.width()) ||
        !std::isfinite(target.height()))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    {
        Player player(painter, *d, target, spent);
        for (const Record &record : d->records)
            std::visit(player, record);
    }
    painter.restore();
    if (cost)
        *cost = spent;
}

} // namespace wmf
