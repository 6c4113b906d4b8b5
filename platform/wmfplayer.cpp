// SPDX-License-Identifier: GPL-3.0-or-later
// Playing a metafile's records onto a QPainter: drawing only, on records the reader checked.
#include "platform/wmf.h"

#include "platform/wmfdata.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

namespace wmf {
using namespace detail;
namespace {

// Limits that keep a damaged or hostile file from taking unbounded time while it is played.
// Real pages stay far below every one of them.
constexpr int maxSavedStates = 256;
constexpr double maxTextPixels = 20000;
// The file's clip is kept as at most this many rectangles; a cut that would need more
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
