// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wmf.h"
#include "platform/wmfrecords.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

// A metafile's records as the reader leaves them and the player draws them: what the two halves
// of the metafile code share.
namespace wmf {
namespace detail {

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

} // namespace detail

struct Metafile::Data
{
    QRectF frame;               ///< the picture's bounds in its own units
    double unitsPerInch = 1440; ///< of frame
    int objectCount = 0;
    int recordsRead = 0;
    std::vector<detail::Record> records;
    QStringList problems;
};

} // namespace wmf
