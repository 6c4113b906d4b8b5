// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/wmfwriter.h"

#include "platform/enginedevice.h"
#include "platform/wmfrecords.h"

#include <QFontMetricsF>
#include <QGradient>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QHash>
#include <QStringDecoder>
#include <QTextLayout>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <set>
#include <stdexcept>
#include <vector>

namespace content {
namespace {

constexpr double twipsPerInch = 1440;
/// Bitmaps are stored at no more than this resolution on the page, and no more pixels than this
/// (12 MB as a 24-bit bitmap).
constexpr double maxBitmapDpi = 300;
constexpr double maxBitmapPixels = 4 * 1024 * 1024;
/// The most points one polygon record may carry.
constexpr int maxPolygonPoints = 32000;

using namespace wmf::record;

qint16 clamp16(double v)
{
    if (!std::isfinite(v))
        return 0;
    return qint16(std::clamp(std::lround(v), -32768L, 32767L));
}

/// A colour on white paper: metafiles have no transparency, so a translucent colour is mixed
/// with white.
QRgb onWhite(const QColor &color)
{
    const QColor c = color.toRgb();
    const double a = c.alphaF();
    auto mix = [a](int v) { return int(std::lround(v * a + 255 * (1 - a))); };
    return qRgb(mix(c.red()), mix(c.green()), mix(c.blue()));
}

/// The CP1252 byte of each character the code page holds. Built from the decoder once, so
/// every character is looked up the same way, with no converter state between calls.
const QHash<char32_t, char> &cp1252()
{
    static const QHash<char32_t, char> table = [] {
        QHash<char32_t, char> t;
        QStringDecoder decoder("windows-1252");
        for (int byte = 1; byte < 256; ++byte) {
            const char c = char(byte);
            const QString decoded = decoder.isValid()
                                        ? QString(decoder.decode(QByteArrayView(&c, 1)))
                                        : QString(QChar(byte));
            decoder.resetState();
            if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter)
                t.insert(decoded[0].unicode(), c);
        }
        return t;
    }();
    return table;
}

/// text in CP1252, each character the code page lacks written as '?'.
QByteArray toCp1252(QStringView text)
{
    QByteArray out;
    for (char32_t c : text.toUcs4())
        out.append(cp1252().value(c, '?'));
    return out;
}

/// One record's parameters, built word by word.
class Params
{
public:
    Params &operator<<(qint16 word)
    {
        m_bytes.append(char(quint16(word) & 0xFF));
        m_bytes.append(char(quint16(word) >> 8));
        return *this;
    }
    Params &u32(quint32 value) { return *this << qint16(value & 0xFFFF) << qint16(value >> 16); }
    Params &color(QRgb rgb)
    {
        m_bytes.append(char(qRed(rgb)));
        m_bytes.append(char(qGreen(rgb)));
        m_bytes.append(char(qBlue(rgb)));
        m_bytes.append('\0');
        return *this;
    }
    Params &point(const QPoint &p) { return *this << qint16(p.x()) << qint16(p.y()); }
    /// Raw bytes, padded to a whole number of words.
    Params &bytes(const QByteArray &raw)
    {
        m_bytes.append(raw);
        if (raw.size() % 2)
            m_bytes.append('\0');
        return *this;
    }
    const QByteArray &data() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

/// The pen, brush or font a record selects, compared to avoid creating the same object twice.
struct ObjectKey
{
    quint16 function = 0;
    QByteArray params;
    bool operator==(const ObjectKey &) const = default;
};

/// The records of a metafile and the object table they use.
class RecordWriter
{
public:
    void add(quint16 function, const Params &params = Params())
    {
        const qint64 words = 3 + params.data().size() / 2;
        if (words > UINT_MAX / 2)
            throw std::runtime_error("a metafile record is too large");
        char head[6];
        qToLittleEndian<quint32>(quint32(words), head);
        qToLittleEndian<quint16>(function, head + 4);
        m_records.append(head, 6);
        m_records.append(params.data());
        m_maxRecordWords = std::max<qint64>(m_maxRecordWords, words);
    }

    /// Selects an object like key (pen, brush or font), creating it when the one selected
    /// differs. kind is 0, 1 or 2.
    void select(int kind, const ObjectKey &key)
    {
        Selected &s = m_selected[kind];
        if (s.slot >= 0 && s.key == key)
            return;
        const int slot = takeSlot();
        Params p;
        p.bytes(key.params);
        add(key.function, p);
        add(SelectObject, Params() << qint16(slot));
        if (s.slot >= 0)
            release(s.slot);
        s = Selected{slot, key};
    }

    /// Saves the device state; the objects selected now stay alive until the restore.
    void save()
    {
        add(SaveDc);
        m_saved = true;
        for (const Selected &s : m_selected)
            if (s.slot >= 0)
                m_kept.insert(s.slot);
    }

    /// Restores the saved state, selects again what is current and frees what waited.
    void restore()
    {
        add(RestoreDc, Params() << qint16(-1));
        m_saved = false;
        for (const Selected &s : m_selected)
            if (s.slot >= 0)
                add(SelectObject, Params() << qint16(s.slot));
        m_kept.clear();
        for (int slot : m_waiting) {
            add(DeleteObject, Params() << qint16(slot));
            m_used[size_t(slot)] = false;
        }
        m_waiting.clear();
    }

    bool saved() const { return m_saved; }

    QByteArray finish(const QSize &frame) const
    {
        QByteArray out;
        char placeable[22] = {};
        qToLittleEndian<quint32>(placeableKey, placeable);
        qToLittleEndian<qint16>(qint16(frame.width()), placeable + 10);
        qToLittleEndian<qint16>(qint16(frame.height()), placeable + 12);
        qToLittleEndian<quint16>(quint16(twipsPerInch), placeable + 14);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(placeable + 2 * i);
        qToLittleEndian<quint16>(checksum, placeable + 20);
        out.append(placeable, 22);

        const qint64 words = 9 + m_records.size() / 2 + 3;
        char header[18] = {};
        qToLittleEndian<quint16>(1, header);
        qToLittleEndian<quint16>(9, header + 2);
        qToLittleEndian<quint16>(0x0300, header + 4);
        qToLittleEndian<quint32>(quint32(words), header + 6);
        qToLittleEndian<quint16>(quint16(m_used.size()), header + 10);
        qToLittleEndian<quint32>(quint32(m_maxRecordWords), header + 12);
        out.append(header, 18);
        out.append(m_records);
        const char end[6] = {3, 0, 0, 0, 0, 0};
        out.append(end, 6);
        return out;
    }

private:
    struct Selected
    {
        int slot = -1;
        ObjectKey key;
    };

    int takeSlot()
    {
        // A reader puts each new object in the lowest free slot; so do we.
        const auto free = std::find(m_used.begin(), m_used.end(), false);
        const int slot = int(free - m_used.begin());
        if (free == m_used.end())
            m_used.push_back(true);
        else
            *free = true;
        if (m_used.size() > 65535)
            throw std::runtime_error("a metafile needs too many objects");
        return slot;
    }

    void release(int slot)
    {
        if (m_kept.count(slot)) {
            m_waiting.push_back(slot);
            return;
        }
        add(DeleteObject, Params() << qint16(slot));
        m_used[size_t(slot)] = false;
    }

    QByteArray m_records;
    qint64 m_maxRecordWords = 3;
    std::vector<bool> m_used;
    Selected m_selected[3];
    bool m_saved = false;
    std::set<int> m_kept;
    std::vector<int> m_waiting;
};

enum ObjectKind { PenObject = 0, BrushObject = 1, FontObject = 2 };

/// Turns QPainter calls into metafile records, in twips.
class WmfEngine : public QPaintEngine
{
public:
    explicit WmfEngine(RecordWriter &out) : QPaintEngine(AllFeatures), m_out(out) {}

    bool begin(QPaintDevice *device) override;
    bool end() override;
    void updateState(const QPaintEngineState &state) override;
    Type type() const override { return User; }

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawRects(const QRectF *rects, int rectCount) override;
    void drawLines(const QLineF *lines, int lineCount) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawPoints(const QPointF *points, int pointCount) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;

private:
    QPoint map(const QPointF &p) const
    {
        const QPointF d = m_transform.map(p);
        return QPoint(clamp16(d.x()), clamp16(d.y()));
    }
    bool axisAligned() const { return m_transform.type() <= QTransform::TxScale; }
    void syncClip();
    void usePen(const QPen &pen);
    void useNoPen();
    void useBrush(const QBrush &brush);
    void useFillRule(Qt::FillRule rule);
    void useTextColor(QRgb color);
    bool dashed() const { return m_pen.style() != Qt::SolidLine && m_pen.style() != Qt::NoPen; }
    /// Fills the pen's outline of path, for strokes a metafile pen cannot draw (dashes).
    void strokeAsFill(const QPainterPath &path);
    void polygons(const QList<QPolygonF> &deviceSubpaths, bool fill);
    void image(const QRectF &r, const QImage &image);

    RecordWriter &m_out;
    QPaintDevice *m_device = nullptr;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    bool m_clipDirty = false;
    std::optional<QRect> m_clip; ///< the clip rectangle in force, in twips
    std::optional<Qt::FillRule> m_fillRule;
    std::optional<QRgb> m_textColor;
};

bool WmfEngine::begin(QPaintDevice *device)
{
    m_device = device;
    const int w = device->width(), h = device->height();
    m_out.add(SetMapMode, Params() << qint16(8)); // anisotropic
    m_out.add(SetWindowOrg, Params() << qint16(0) << qint16(0));
    m_out.add(SetWindowExt, Params() << qint16(h) << qint16(w));
    m_out.add(SetBkMode, Params() << qint16(1));     // transparent
    m_out.add(SetTextAlign, Params() << qint16(24)); // left, on the baseline
    setActive(true);
    return true;
}

bool WmfEngine::end()
{
    if (m_out.saved())
        m_out.restore();
    setActive(false);
    return true;
}

void WmfEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyTransform)
        m_transform = state.transform();
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled | DirtyTransform))
        m_clipDirty = true;
}

void WmfEngine::syncClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    std::optional<QRect> clip;
    if (QPainter *p = painter(); p && p->hasClipping()) {
        // Clips are kept as their bounding rectangle: the page composer clips only to boxes.
        const QRectF r = p->combinedTransform().mapRect(p->clipBoundingRect());
        clip = QRect(QPoint(clamp16(r.left()), clamp16(r.top())),
                     QPoint(clamp16(r.right()), clamp16(r.bottom())));
    }
    if (clip == m_clip)
        return;
    if (m_out.saved())
        m_out.restore();
    if (clip) {
        m_out.save();
        m_out.add(IntersectClipRect, Params() << qint16(clip->bottom()) << qint16(clip->right())
                                              << qint16(clip->top()) << qint16(clip->left()));
    }
    m_clip = clip;
}

void WmfEngine::usePen(const QPen &pen)
{
    ObjectKey key{CreatePenIndirect, {}};
    Params p;
    const QBrush &brush = pen.brush();
    const bool visible = pen.style() != Qt::NoPen && brush.style() != Qt::NoBrush &&
                         (brush.style() != Qt::SolidPattern || brush.color().alpha() > 0);
    if (!visible) {
        p << qint16(5) << qint16(0) << qint16(0) << qint16(0) << qint16(0);
    } else {
        int style = 0;
        switch (pen.capStyle()) {
        case Qt::SquareCap:
            style |= 0x0100;
            break;
        case Qt::FlatCap:
            style |= 0x0200;
            break;
        default:
            break;
        }
        switch (pen.joinStyle()) {
        case Qt::BevelJoin:
            style |= 0x1000;
            break;
        case Qt::MiterJoin:
        case Qt::SvgMiterJoin:
            style |= 0x2000;
            break;
        default:
            break;
        }
        int width = 0;
        if (!pen.isCosmetic()) {
            const double scale = std::sqrt(std::abs(m_transform.determinant()));
            width = std::max(1, int(clamp16(pen.widthF() * scale)));
        }
        QColor color = brush.color();
        if (brush.gradient() && !brush.gradient()->stops().isEmpty())
            color = brush.gradient()->stops().first().second;
        p << qint16(style) << qint16(width) << qint16(0);
        p.color(onWhite(color));
    }
    key.params = p.data();
    m_out.select(PenObject, key);
}

void WmfEngine::useNoPen()
{
    usePen(QPen(Qt::NoPen));
}

void WmfEngine::useBrush(const QBrush &brush)
{
    ObjectKey key{CreateBrushIndirect, {}};
    Params p;
    std::optional<QColor> color;
    int hatch = -1;
    switch (brush.style()) {
    case Qt::NoBrush:
        break;
    case Qt::LinearGradientPattern:
    case Qt::RadialGradientPattern:
    case Qt::ConicalGradientPattern: {
        // A gradient becomes its average colour.
        const QGradientStops stops = brush.gradient()->stops();
        if (!stops.isEmpty()) {
            double r = 0, g = 0, b = 0, a = 0;
            for (const QGradientStop &stop : stops) {
                const QColor c = stop.second.toRgb();
                r += c.redF(), g += c.greenF(), b += c.blueF(), a += c.alphaF();
            }
            const double n = double(stops.size());
            color = QColor::fromRgbF(float(r / n), float(g / n), float(b / n), float(a / n));
        }
        break;
    }
    case Qt::TexturePattern: {
        // A texture becomes its average colour.
        const QImage texture = brush.textureImage().convertToFormat(QImage::Format_ARGB32);
        if (!texture.isNull())
            color = QColor::fromRgba(
                texture.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
        break;
    }
    case Qt::HorPattern:
        hatch = 0;
        break;
    case Qt::VerPattern:
        hatch = 1;
        break;
    case Qt::FDiagPattern:
        hatch = 2;
        break;
    case Qt::BDiagPattern:
        hatch = 3;
        break;
    case Qt::CrossPattern:
        hatch = 4;
        break;
    case Qt::DiagCrossPattern:
        hatch = 5;
        break;
    case Qt::SolidPattern:
        color = brush.color();
        break;
    default: {
        // The dense patterns become their colour thinned with white by their density.
        static const double density[] = {0.94, 0.88, 0.63, 0.5, 0.37, 0.12, 0.06};
        const int i = std::clamp(int(brush.style()) - int(Qt::Dense1Pattern), 0, 6);
        QColor c = brush.color();
        c.setAlphaF(float(c.alphaF() * density[i]));
        color = c;
        break;
    }
    }
    if (hatch >= 0) {
        p << qint16(2);
        p.color(onWhite(brush.color()));
        p << qint16(hatch);
    } else if (color && color->alpha() > 0) {
        p << qint16(0);
        p.color(onWhite(*color));
        p << qint16(0);
    } else {
        p << qint16(1) << qint16(0) << qint16(0) << qint16(0);
    }
    key.params = p.data();
    m_out.select(BrushObject, key);
}

void WmfEngine::useFillRule(Qt::FillRule rule)
{
    if (m_fillRule == rule)
        return;
    m_out.add(SetPolyFillMode, Params() << qint16(rule == Qt::WindingFill ? 2 : 1));
    m_fillRule = rule;
}

void WmfEngine::useTextColor(QRgb color)
{
    if (m_textColor == color)
        return;
    m_out.add(SetTextColor, Params().color(color));
    m_textColor = color;
}

void WmfEngine::strokeAsFill(const QPainterPath &path)
{
    QPainterPathStroker stroker(m_pen);
    if (m_pen.isCosmetic() || m_pen.widthF() == 0) {
        // A hairline keeps a width of one pixel on screen (15 twips).
        const double scale = std::sqrt(std::abs(m_transform.determinant()));
        stroker.setWidth(scale > 0 ? 15 / scale : 1);
    }
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    useNoPen();
    useBrush(m_pen.brush());
    useFillRule(Qt::WindingFill);
    polygons(outline.toSubpathPolygons(m_transform), true);
}

void WmfEngine::polygons(const QList<QPolygonF> &deviceSubpaths, bool fill)
{
    std::vector<QPolygon> shapes;
    for (const QPolygonF &subpath : deviceSubpaths) {
        QPolygon points;
        points.reserve(subpath.size());
        for (const QPointF &p : subpath) {
            const QPoint q(clamp16(p.x()), clamp16(p.y()));
            if (points.isEmpty() || points.last() != q)
                points.append(q);
        }
        if (points.size() > maxPolygonPoints) {
            // Thin out a path longer than a record can carry, keeping its ends.
            const int step = int(points.size() / maxPolygonPoints) + 1;
            QPolygon thinned;
            for (int i = 0; i < points.size(); i += step)
                thinned.append(points[i]);
            if (thinned.last() != points.last())
                thinned.append(points.last());
            points = thinned;
        }
        if (points.size() >= 2)
            shapes.push_back(points);
    }
    if (shapes.empty())
        return;
    if (!fill) {
        for (const QPolygon &shape : shapes) {
            Params p;
            p << qint16(shape.size());
            for (const QPoint &q : shape)
                p.point(q);
            m_out.add(Polyline, p);
        }
        return;
    }
    Params p;
    if (shapes.size() == 1) {
        p << qint16(shapes.front().size());
        for (const QPoint &q : shapes.front())
            p.point(q);
        m_out.add(Polygon, p);
        return;
    }
    // One record per 32000 points, so every count fits its word.
    size_t first = 0;
    while (first < shapes.size()) {
        size_t last = first;
        qint64 total = 0;
        while (last < shapes.size() &&
               (last == first || total + shapes[last].size() <= maxPolygonPoints))
            total += shapes[last++].size();
        Params pp;
        pp << qint16(last - first);
        for (size_t i = first; i < last; ++i)
            pp << qint16(shapes[i].size());
        for (size_t i = first; i < last; ++i)
            for (const QPoint &q : shapes[i])
                pp.point(q);
        m_out.add(PolyPolygon, pp);
        first = last;
    }
}

void WmfEngine::drawPath(const QPainterPath &path)
{
    syncClip();
    const QList<QPolygonF> subpaths = path.toSubpathPolygons(m_transform);
    const bool fill = m_brush.style() != Qt::NoBrush;
    const bool stroke = m_pen.style() != Qt::NoPen;
    bool allClosed = true;
    for (const QPolygonF &s : subpaths)
        allClosed = allClosed && s.size() > 2 && s.isClosed();
    if (fill) {
        useBrush(m_brush);
        useFillRule(path.fillRule());
        if (stroke && !dashed() && allClosed)
            usePen(m_pen);
        else
            useNoPen();
        polygons(subpaths, true);
        if (!stroke || (!dashed() && allClosed))
            return;
    }
    if (!stroke)
        return;
    if (dashed()) {
        strokeAsFill(path);
        return;
    }
    usePen(m_pen);
    polygons(subpaths, false);
}

void WmfEngine::drawRects(const QRectF *rects, int rectCount)
{
    if (!axisAligned() || dashed()) {
        for (int i = 0; i < rectCount; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            drawPath(path);
        }
        return;
    }
    syncClip();
    usePen(m_pen);
    useBrush(m_brush);
    for (int i = 0; i < rectCount; ++i) {
        const QPoint a = map(rects[i].topLeft()), b = map(rects[i].bottomRight());
        m_out.add(Rectangle,
                  Params() << qint16(std::max(a.y(), b.y())) << qint16(std::max(a.x(), b.x()))
                           << qint16(std::min(a.y(), b.y())) << qint16(std::min(a.x(), b.x())));
    }
}

void WmfEngine::drawEllipse(const QRectF &rect)
{
    if (!axisAligned() || dashed()) {
        QPainterPath path;
        path.addEllipse(rect);
        drawPath(path);
        return;
    }
    syncClip();
    usePen(m_pen);
    useBrush(m_brush);
    const QPoint a = map(rect.topLeft()), b = map(rect.bottomRight());
    m_out.add(Ellipse, Params() << qint16(std::max(a.y(), b.y())) << qint16(std::max(a.x(), b.x()))
                                << qint16(std::min(a.y(), b.y()))
                                << qint16(std::min(a.x(), b.x())));
}

void WmfEngine::drawLines(const QLineF *lines, int lineCount)
{
    QPainterPath path;
    for (int i = 0; i < lineCount; ++i) {
        path.moveTo(lines[i].p1());
        path.lineTo(lines[i].p2());
    }
    const QBrush brush = m_brush;
    m_brush = QBrush(Qt::NoBrush);
    drawPath(path);
    m_brush = brush;
}

void WmfEngine::drawPoints(const QPointF *points, int pointCount)
{
    // A point is a dot as wide as the pen.
    const double width = m_pen.isCosmetic() ? 0 : m_pen.widthF();
    const QBrush brush = m_brush;
    const QPen pen = m_pen;
    m_brush = pen.brush();
    m_pen = QPen(Qt::NoPen);
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const double radius = width > 0 ? width / 2 : (scale > 0 ? 7.5 / scale : 0.5);
    for (int i = 0; i < pointCount; ++i) {
        QPainterPath path;
        path.addEllipse(points[i], radius, radius);
        drawPath(path);
    }
    m_pen = pen;
    m_brush = brush;
}

void WmfEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    QPainterPath path;
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    path.addPolygon(QPolygonF(QList<QPointF>(points, points + pointCount)));
    if (mode == PolylineMode) {
        const QBrush brush = m_brush;
        m_brush = QBrush(Qt::NoBrush);
        drawPath(path);
        m_brush = brush;
        return;
    }
    path.closeSubpath();
    drawPath(path);
}

void WmfEngine::drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr)
{
    const QRect source = sr.toAlignedRect() & pm.rect();
    image(r, pm.copy(source).toImage());
}

void WmfEngine::drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                          Qt::ImageConversionFlags)
{
    const QRect source = sr.toAlignedRect() & image.rect();
    this->image(r, image.copy(source));
}

void WmfEngine::image(const QRectF &r, const QImage &source)
{
    if (source.isNull())
        return;
    syncClip();
    const QRectF dest = m_transform.mapRect(r);
    if (dest.isEmpty())
        return;
    // Keep no more pixels than the page can show, then lay the picture on white.
    QImage picture = source;
    double wide = std::ceil(dest.width() * maxBitmapDpi / twipsPerInch);
    double high = std::ceil(dest.height() * maxBitmapDpi / twipsPerInch);
    if (wide * high > maxBitmapPixels) {
        const double k = std::sqrt(maxBitmapPixels / (wide * high));
        wide = std::floor(wide * k);
        high = std::floor(high * k);
    }
    const QSize most(std::max(1, int(wide)), std::max(1, int(high)));
    if (picture.width() > most.width() || picture.height() > most.height())
        picture = picture.scaled(std::min(picture.width(), most.width()),
                                 std::min(picture.height(), most.height()), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    QImage rgb(picture.size(), QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.drawImage(0, 0, picture);
    }
    const int w = rgb.width(), h = rgb.height();
    const qint64 stride = (qint64(w) * 3 + 3) / 4 * 4;
    QByteArray dib(40 + stride * h, '\0');
    char *d = dib.data();
    qToLittleEndian<quint32>(40, d);
    qToLittleEndian<qint32>(w, d + 4);
    qToLittleEndian<qint32>(h, d + 8); // bottom-up
    qToLittleEndian<quint16>(1, d + 12);
    qToLittleEndian<quint16>(24, d + 14);
    qToLittleEndian<quint32>(quint32(stride * h), d + 20);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(h - 1 - y));
        char *row = d + 40 + y * stride;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
    }
    // A mirrored transform gives a negative destination size: the reader mirrors the bitmap.
    const QPointF a = m_transform.map(r.topLeft()), b = m_transform.map(r.bottomRight());
    const bool flipX = b.x() < a.x(), flipY = b.y() < a.y();
    const qint16 x = clamp16(flipX ? dest.right() : dest.left());
    const qint16 y = clamp16(flipY ? dest.bottom() : dest.top());
    const qint16 dw = clamp16(flipX ? -dest.width() : dest.width());
    const qint16 dh = clamp16(flipY ? -dest.height() : dest.height());
    Params p;
    p.u32(0x00CC0020); // copy the source
    p << qint16(0) << qint16(h) << qint16(w) << qint16(0) << qint16(0) << dh << dw << y << x;
    p.bytes(dib);
    m_out.add(StretchDib, p);
}

void WmfEngine::drawTextItem(const QPointF &pos, const QTextItem &textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty())
        return;
    syncClip();
    const QFont font = textItem.font();
    const double sx = std::hypot(m_transform.m11(), m_transform.m12());
    const double sy = std::hypot(m_transform.m21(), m_transform.m22());
    const double angle = qRadiansToDegrees(std::atan2(m_transform.m12(), m_transform.m11()));
    const double pixels = font.pixelSize() > 0 ? font.pixelSize()
                                               : font.pointSizeF() * m_device->logicalDpiY() / 72.0;

    Params f;
    f << clamp16(-pixels * sy) << qint16(0) << clamp16(-angle * 10) << clamp16(-angle * 10)
      << qint16(std::clamp(int(font.weight()), 1, 1000));
    // Italic, underline, strike-out, charset (ANSI), precisions, quality, pitch and family.
    // Underline and strike-out stay off: QPainter draws them itself as lines.
    QByteArray flags(8, '\0');
    flags[0] = font.style() != QFont::StyleNormal ? 1 : 0;
    flags[6] = 4; // antialiased quality
    f.bytes(flags);
    QByteArray face = toCp1252(font.family()).left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    f.bytes(face);
    m_out.select(FontObject, ObjectKey{CreateFontIndirect, f.data()});
    useTextColor(onWhite(m_pen.color()));

    // Every character is written with its advance from Qt's layout, so the page reads back
    // with the lines exactly as wide as they were composed. A character CP1252 lacks is
    // written as '?'.
    QTextLayout layout(text, font, m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    const double natural = line.isValid() ? line.naturalTextWidth() : 0;
    const double fit = natural > 0 ? textItem.width() / natural : 1;

    QByteArray bytes;
    std::vector<qint16> dx;
    int placed = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray encoded = toCp1252(QStringView(text).mid(i, length));
        bytes.append(encoded.size() == 1 ? encoded[0] : '?');
        i += length;
        const double x = line.isValid() ? line.cursorToX(int(i)) * fit : 0;
        const int next = int(std::lround(x * sx));
        dx.push_back(clamp16(next - placed));
        placed = next;
    }

    const QPoint at = map(pos);
    Params t;
    t << qint16(at.y()) << qint16(at.x()) << qint16(bytes.size()) << qint16(0);
    t.bytes(bytes);
    for (qint16 advance : dx)
        t << advance;
    m_out.add(ExtTextOut, t);
}

/// A page of the given size in twips whose painting is written as metafile records.
class WmfDevice : public EngineDevice
{
public:
    WmfDevice(const QSize &size, RecordWriter &out)
        : EngineDevice(size, int(twipsPerInch), 24, m_engine), m_engine(out)
    {
    }

private:
    WmfEngine m_engine;
};

} // namespace

QByteArray renderWmf(const QSizeF &sizeTwips, const std::function<void(QPainter &)> &draw)
{
    const QSize size(int(std::lround(sizeTwips.width())), int(std::lround(sizeTwips.height())));
    if (size.width() < 1 || size.height() < 1 || size.width() > 32767 || size.height() > 32767)
        throw std::runtime_error("a metafile page must be between 1 and 32767 twips each way");
    RecordWriter out;
    WmfDevice device(size, out);
    QPainter painter;
    if (!painter.begin(&device))
        throw std::runtime_error("cannot paint a metafile page");
    draw(painter);
    painter.end();
    return out.finish(size);
}

} // namespace content
