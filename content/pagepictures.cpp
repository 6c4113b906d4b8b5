// SPDX-License-Identifier: GPL-3.0-or-later
// The pages' pictures, drawn with plain shapes so that they stay sharp on screen and paper.
#include "content/page.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace content::page {

/// Draws in a design grid of its own, mapped onto a box of the page.
class Sketch
{
public:
    Sketch(QPainter &painter, const QRectF &box, const QSizeF &design, const Style &style)
        : m_p(painter), m_box(box), m_scale(box.width() / design.width()), m_style(style)
    {
    }

    bool onPaper() const { return m_style.medium == Medium::Print; }
    /// Ink for lines and words that stand on the page itself.
    QColor ink() const { return onPaper() ? QColor(0, 0, 0) : QColor(255, 255, 255); }

    void fill(const QColor &colour) { m_p.setBrush(QBrush(colour, Qt::SolidPattern)); }
    void noFill() { m_p.setBrush(Qt::NoBrush); }
    void pen(const QColor &colour, double width = 1.5)
    {
        QPen pen(colour, std::max(1.0, width * m_scale), Qt::SolidLine);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        m_p.setPen(pen);
    }
    void noPen() { m_p.setPen(Qt::NoPen); }

    void polygon(const std::vector<QPointF> &points)
    {
        QPolygonF poly;
        for (const QPointF &pt : points)
            poly << map(pt);
        m_p.drawPolygon(poly);
    }
    void polyline(const std::vector<QPointF> &points)
    {
        QPolygonF poly;
        for (const QPointF &pt : points)
            poly << map(pt);
        m_p.drawPolyline(poly);
    }
    void ellipse(double x, double y, double w, double h) { m_p.drawEllipse(rect(x, y, w, h)); }
    void rectangle(double x, double y, double w, double h) { m_p.drawRect(rect(x, y, w, h)); }
    void roundRect(double x, double y, double w, double h, double r)
    {
        m_p.drawRoundedRect(rect(x, y, w, h), r * m_scale, r * m_scale);
    }
    void line(double x1, double y1, double x2, double y2)
    {
        m_p.drawLine(map(QPointF(x1, y1)), map(QPointF(x2, y2)));
    }
    /// A label in the page's caption font, its left end at (x, baseline y).
    void label(double x, double y, const QString &text, const QColor &colour)
    {
        m_p.setFont(m_style.caption);
        m_p.setPen(colour);
        m_p.drawText(map(QPointF(x, y)), text);
    }
    /// The width of a label, in the design grid.
    double labelWidth(const QString &text) const
    {
        return QFontMetricsF(m_style.caption, m_p.device()).horizontalAdvance(text) / m_scale;
    }
    /// The height of a label's capitals, in the design grid.
    double labelCapHeight() const
    {
        return QFontMetricsF(m_style.caption, m_p.device()).capHeight() / m_scale;
    }

private:
    QPointF map(const QPointF &pt) const
    {
        return QPointF(m_box.left() + pt.x() * m_scale, m_box.top() + pt.y() * m_scale);
    }
    QRectF rect(double x, double y, double w, double h) const
    {
        return QRectF(map(QPointF(x, y)), QSizeF(w * m_scale, h * m_scale));
    }

    QPainter &m_p;
    QRectF m_box;
    double m_scale;
    const Style &m_style;
};

namespace {

void drawSun(Sketch &s, double cx, double cy, double r)
{
    s.pen(QColor(255, 200, 0), 4);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        s.line(cx + std::cos(a) * (r + 6), cy + std::sin(a) * (r + 6), cx + std::cos(a) * (r + 16),
               cy + std::sin(a) * (r + 16));
    }
    s.noPen();
    s.fill(QColor(255, 214, 40));
    s.ellipse(cx - r, cy - r, 2 * r, 2 * r);
}

void drawConifer(Sketch &s, double x, double base, double h)
{
    s.fill(QColor(120, 80, 40));
    s.rectangle(x - 1.5, base - h * 0.2, 3, h * 0.2);
    s.fill(QColor(20, 90, 40));
    s.polygon({{x, base - h}, {x + h * 0.3, base - h * 0.15}, {x - h * 0.3, base - h * 0.15}});
}

/// A mountain from the valley to the summit, its zones coloured, the tree line and the snow
/// line marked (the same zones as the ordering activity).
void drawMountain(Sketch &s)
{
    const double apexX = 150, apexY = 24, baseY = 250, halfBase = 140;
    auto edge = [&](double y, int side) {
        return apexX + side * halfBase * (y - apexY) / (baseY - apexY);
    };
    auto band = [&](double top, double bottom, const QColor &colour) {
        s.fill(colour);
        s.polygon({{edge(top, -1), top},
                   {edge(top, 1), top},
                   {edge(bottom, 1), bottom},
                   {edge(bottom, -1), bottom}});
    };
    drawSun(s, 36, 40, 20);

    // A second peak behind.
    s.pen(QColor(70, 80, 100), 1);
    s.fill(QColor(150, 160, 185));
    s.polygon({{170, 250}, {252, 96}, {300, 150}, {300, 250}});
    s.fill(QColor(250, 250, 255));
    s.polygon({{231, 136}, {252, 96}, {277, 123}, {266, 132}, {256, 124}, {244, 138}});

    s.noPen();
    band(apexY, 80, QColor(250, 250, 255)); // snow and ice
    band(80, 112, QColor(150, 150, 150));   // bare rock
    band(112, 148, QColor(135, 145, 110));  // rock, lichens and mosses
    band(148, 190, QColor(130, 195, 85));   // grass and small flowers
    band(190, baseY, QColor(55, 130, 60));  // grass and conifers
    // The snow's ragged lower edge.
    s.fill(QColor(250, 250, 255));
    std::vector<QPointF> drift{{edge(80, -1), 80}};
    for (int i = 1; i < 8; ++i) {
        const double x = edge(80, -1) + (edge(80, 1) - edge(80, -1)) * i / 8;
        drift.push_back({x, i % 2 ? 90.0 : 80.0});
    }
    drift.push_back({edge(80, 1), 80});
    s.polygon(drift);
    // Rocks and lichens, flowers, trees.
    s.fill(QColor(110, 110, 110));
    s.ellipse(135, 92, 14, 7);
    s.ellipse(165, 100, 10, 6);
    s.fill(QColor(190, 200, 90));
    s.ellipse(120, 126, 9, 5);
    s.ellipse(172, 134, 11, 5);
    s.ellipse(150, 140, 8, 4);
    for (int i = 0; i < 9; ++i) {
        const QColor petals[] = {QColor(255, 255, 255), QColor(255, 220, 0), QColor(220, 90, 200)};
        s.fill(petals[i % 3]);
        s.ellipse(98 + i * 12.5, 165 + (i % 3) * 7, 5, 5);
    }
    for (int i = 0; i < 12; ++i)
        drawConifer(s, 30 + i * 20, 222 + (i % 2) * 24, 30 + (i % 3) * 5);
    s.pen(QColor(60, 60, 70), 1);
    s.noFill();
    s.polygon({{edge(baseY, -1), baseY}, {apexX, apexY}, {edge(baseY, 1), baseY}});

    // The two lines, with their names at the right of the picture.
    const double cap = s.labelCapHeight();
    for (const auto &[y, name] : {std::pair{80.0, QStringLiteral("snow line")},
                                  std::pair{190.0, QStringLiteral("tree line")}}) {
        const double x = 410 - s.labelWidth(name);
        s.pen(s.ink(), 1.2);
        s.line(edge(y, -1) - 6, y, x - 4, y);
        s.label(x, y + cap / 2, name, s.ink());
    }
}

void drawPalm(Sketch &s, double x, double base, double h)
{
    s.pen(QColor(90, 60, 30), 1);
    s.fill(QColor(150, 100, 50));
    s.polygon({{x - 4, base}, {x + 4, base}, {x + 12, base - h}, {x + 6, base - h}});
    const double tx = x + 9, ty = base - h;
    s.fill(QColor(40, 150, 60));
    s.pen(QColor(20, 90, 30), 1);
    const double leaves[][2] = {{-42, 8}, {-30, -18}, {0, -26}, {30, -16},
                                {44, 10}, {-14, 20},  {18, 22}};
    for (const auto &leaf : leaves) {
        const double ex = tx + leaf[0], ey = ty + leaf[1];
        const double mx = (tx + ex) / 2, my = (ty + ey) / 2 - 8;
        s.polygon({{tx, ty}, {mx - 4, my - 4}, {ex, ey}, {mx + 4, my + 4}});
    }
    s.noPen();
    s.fill(QColor(140, 70, 30));
    s.ellipse(tx - 7, ty + 2, 6, 6);
    s.ellipse(tx + 1, ty + 3, 6, 6);
}

void drawCamel(Sketch &s, double x, double y)
{
    // One silhouette of overlapping shapes in the same colour; the far legs darker.
    s.noPen();
    s.fill(QColor(150, 105, 55));
    s.rectangle(x + 20, y + 40, 8, 46);
    s.rectangle(x + 76, y + 40, 8, 46);
    s.fill(QColor(190, 135, 75));
    s.rectangle(x + 8, y + 40, 9, 46);
    s.rectangle(x + 64, y + 40, 9, 46);
    s.ellipse(x + 4, y + 84, 15, 6);
    s.ellipse(x + 62, y + 84, 15, 6);
    s.ellipse(x, y + 14, 92, 40);     // body
    s.ellipse(x + 24, y - 8, 50, 46); // hump
    s.polygon({{x + 2, y + 34},
               {x - 18, y + 4},
               {x - 26, y - 14},
               {x - 14, y - 20},
               {x - 4, y - 2},
               {x + 22, y + 20}});                                     // neck
    s.ellipse(x - 32, y - 26, 26, 16);                                 // head
    s.ellipse(x - 44, y - 22, 20, 11);                                 // muzzle
    s.polygon({{x - 16, y - 24}, {x - 12, y - 32}, {x - 10, y - 22}}); // ear
    s.pen(QColor(150, 105, 55), 2);
    s.line(x + 90, y + 28, x + 96, y + 52);
    s.noPen();
    s.fill(QColor(40, 30, 20));
    s.ellipse(x - 28, y - 22, 4, 4);
}

/// Sand dunes, an oasis with date palms, a camel and the sun.
void drawDesert(Sketch &s)
{
    drawSun(s, 330, 38, 22);
    s.noPen();
    s.fill(QColor(235, 205, 140));
    std::vector<QPointF> back{{0, 230}};
    for (int x = 0; x <= 380; x += 10)
        back.push_back({double(x), 150 - 22 * std::sin(x / 60.0)});
    back.push_back({380, 230});
    s.polygon(back);
    s.fill(QColor(220, 175, 100));
    std::vector<QPointF> front{{0, 230}};
    for (int x = 0; x <= 380; x += 10)
        front.push_back({double(x), 195 - 14 * std::sin(x / 45.0 + 1.5)});
    front.push_back({380, 230});
    s.polygon(front);
    s.fill(QColor(70, 150, 220));
    s.pen(QColor(40, 100, 170), 1);
    s.ellipse(20, 190, 120, 24);
    drawPalm(s, 50, 198, 110);
    drawPalm(s, 100, 200, 80);
    drawCamel(s, 250, 120);
}

/// Terraced fields climbing a hillside below a snowy peak, with a farmhouse at the top.
void drawTerraces(Sketch &s)
{
    drawSun(s, 34, 34, 16);
    s.pen(QColor(70, 80, 100), 1);
    s.fill(QColor(150, 160, 185));
    s.polygon({{110, 150}, {246, 12}, {340, 104}, {340, 150}});
    s.fill(QColor(250, 250, 255));
    s.polygon({{216, 42}, {246, 12}, {276, 42}, {262, 38}, {250, 48}, {236, 36}});
    // Each step: soil below, a stone wall at its front, crops along its top.
    for (int i = 0; i < 6; ++i) {
        const double x = i * 52.0, top = 200 - i * 26.0;
        s.pen(QColor(90, 65, 40), 1);
        s.fill(QColor(150, 105, 65));
        s.rectangle(x, top, 340 - x, 222 - top);
        s.fill(QColor(165, 160, 150));
        s.rectangle(x, top, 8, 222 - top);
        s.pen(QColor(110, 105, 95), 0.8);
        for (double y = top + 6; y < 222; y += 7)
            s.line(x, y, x + 8, y);
        s.noPen();
        s.fill(QColor(90, 170, 70));
        s.rectangle(x + 8, top, 44, 5);
        s.fill(QColor(35, 115, 45));
        for (double px = x + 12; px < x + 48; px += 9)
            s.ellipse(px, top - 7, 8, 8);
    }
    // The farmhouse on the top step.
    s.pen(QColor(80, 60, 40), 1);
    s.fill(QColor(235, 225, 200));
    s.rectangle(288, 46, 42, 24);
    s.fill(QColor(170, 60, 40));
    s.polygon({{282, 48}, {309, 28}, {336, 48}});
    s.fill(QColor(90, 60, 30));
    s.rectangle(303, 56, 10, 14);
}

/// A llama with a woven blanket, as kept in the Andes.
void drawLlama(Sketch &s)
{
    const QColor wool(240, 232, 212);
    s.pen(QColor(110, 80, 50), 1.5);
    s.fill(wool);
    for (double lx : {44.0, 60.0, 112.0, 128.0})
        s.roundRect(lx, 128, 12, 80, 4);
    s.ellipse(24, 100, 20, 30);                                // tail
    s.roundRect(30, 92, 124, 58, 26);                          // body
    s.polygon({{120, 108}, {130, 44}, {152, 42}, {150, 110}}); // neck
    s.polygon({{132, 32}, {128, 8}, {140, 28}});               // ears
    s.polygon({{144, 30}, {146, 6}, {154, 30}});
    s.roundRect(126, 22, 56, 24, 11); // head, the muzzle to the right
    s.noPen();
    s.fill(QColor(200, 40, 40));
    s.rectangle(62, 90, 52, 28);
    s.fill(QColor(255, 210, 0));
    s.rectangle(62, 99, 52, 6);
    s.fill(QColor(30, 120, 160));
    s.rectangle(62, 109, 52, 4);
    s.fill(QColor(40, 30, 20));
    s.ellipse(150, 29, 6, 6);
    s.ellipse(176, 34, 4, 3);
}

/// A Bedouin tent of woven goat hair, open at the front, on the sand.
void drawTent(Sketch &s)
{
    s.noPen();
    s.fill(QColor(225, 190, 120));
    s.polygon({{0, 168}, {80, 158}, {200, 164}, {392, 156}, {392, 200}, {0, 200}});
    drawPalm(s, 336, 168, 96);
    s.pen(QColor(230, 220, 200), 1);
    s.line(24, 96, 4, 170);
    s.line(296, 96, 318, 170);
    s.pen(QColor(30, 25, 20), 1);
    s.fill(QColor(55, 45, 40));
    s.polygon({{24, 96}, {90, 64}, {160, 80}, {230, 62}, {296, 96}, {290, 166}, {30, 166}});
    s.pen(QColor(100, 85, 70), 2);
    s.line(40, 100, 280, 100);
    s.line(36, 130, 286, 130);
    // The open men's section with its rug, and the poles.
    s.noPen();
    s.fill(QColor(25, 20, 18));
    s.rectangle(120, 104, 90, 62);
    s.fill(QColor(180, 40, 40));
    s.rectangle(126, 150, 78, 14);
    s.fill(QColor(240, 200, 60));
    s.rectangle(126, 155, 78, 3);
    s.pen(QColor(170, 130, 80), 3);
    s.line(120, 80, 120, 166);
    s.line(210, 72, 210, 166);
}

/// A label of the desert's labelling activity being dragged from its starting place into
/// its box.
void drawDragging(Sketch &s)
{
    const bool paper = s.onPaper();
    const QColor outline = paper ? QColor(0, 0, 0) : QColor(200, 200, 200);
    const QColor caption = paper ? QColor(0, 0, 0) : QColor(255, 255, 0);
    const QString text = QStringLiteral("The kitchen");
    const double w = s.labelWidth(text) + 24, h = s.labelCapHeight() * 2.8;
    const double homeX = 8, homeY = 150 - h - 4, boxX = 360 - w - 4, boxY = 10;
    s.pen(outline, 1.2);
    s.noFill();
    s.rectangle(homeX, homeY, w, h);
    s.rectangle(boxX, boxY, w, h);
    s.pen(caption, 2.5);
    s.polyline({{homeX + w / 2, homeY - 4},
                {homeX + w * 0.7, 60},
                {boxX - 40, boxY + h * 0.6},
                {boxX - 10, boxY + h / 2}});
    s.noPen();
    s.fill(caption);
    s.polygon(
        {{boxX - 3, boxY + h / 2}, {boxX - 16, boxY + h / 2 - 7}, {boxX - 14, boxY + h / 2 + 8}});
    // The label on its way, with the pointer holding it.
    const double chipX = (homeX + boxX) / 2, chipY = (homeY + boxY) / 2;
    s.pen(paper ? QColor(0, 0, 0) : QColor(160, 160, 160), 1);
    s.fill(paper ? QColor(255, 255, 255) : QColor(0, 0, 0));
    s.rectangle(chipX, chipY, w, h);
    s.label(chipX + 12, chipY + h / 2 + s.labelCapHeight() / 2, text, caption);
    const double px = chipX + w * 0.6, py = chipY + h * 0.55;
    s.pen(QColor(0, 0, 0), 1);
    s.fill(QColor(255, 255, 255));
    s.polygon({{px, py},
               {px, py + 26},
               {px + 6, py + 20},
               {px + 11, py + 31},
               {px + 15, py + 29},
               {px + 10, py + 18},
               {px + 18, py + 18}});
}

/// The title's emblem: a snowy peak and a desert dune under the sun, in a ring.
void drawEmblem(Sketch &s)
{
    const double cx = 100, cy = 100, r = 92;
    s.pen(s.onPaper() ? QColor(0, 0, 0) : QColor(255, 255, 0), 5);
    s.fill(s.onPaper() ? QColor(255, 255, 255) : QColor(0, 78, 152));
    s.ellipse(cx - r, cy - r, 2 * r, 2 * r);
    drawSun(s, 136, 60, 16);
    s.pen(QColor(70, 80, 100), 1.5);
    s.fill(QColor(150, 160, 185));
    s.polygon({{26, 146}, {78, 46}, {132, 146}});
    s.fill(QColor(250, 250, 255));
    s.polygon({{78, 46}, {98, 84}, {88, 78}, {80, 88}, {70, 78}, {60, 84}});
    // The sand fills the ring's lower part, its top a dune.
    s.pen(QColor(170, 120, 60), 1.5);
    s.fill(QColor(225, 185, 110));
    std::vector<QPointF> sand;
    for (int x = 14; x <= 186; x += 4) {
        const double dune = 142 - 18 * std::exp(-std::pow((x - 140) / 30.0, 2));
        sand.push_back({double(x), dune});
    }
    for (int i = 0; i <= 40; ++i) {
        const double a =
            std::asin((142 - cy) / r) + (M_PI - 2 * std::asin((142 - cy) / r)) * i / 40;
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        if (x <= 186 && x >= 14)
            sand.push_back({x, std::max(y, 142.0)});
    }
    s.polygon(sand);
    s.pen(s.onPaper() ? QColor(0, 0, 0) : QColor(255, 255, 0), 5);
    s.noFill();
    s.ellipse(cx - r, cy - r, 2 * r, 2 * r);
}

constexpr Illustration illustrations[] = {
    {"mountain", {410, 256}, 4000, drawMountain}, {"desert", {380, 232}, 3600, drawDesert},
    {"terraces", {340, 222}, 3000, drawTerraces}, {"llama", {182, 210}, 1650, drawLlama},
    {"tent", {392, 202}, 3200, drawTent},         {"dragging", {360, 150}, 3300, drawDragging},
    {"emblem", {200, 200}, 2000, drawEmblem},
};

} // namespace

const Illustration &illustration(const QString &name, const SourceError &error)
{
    for (const Illustration &i : illustrations) {
        if (name == QLatin1String(i.name))
            return i;
    }
    error(QStringLiteral("no picture called \"%1\"").arg(name));
}

void drawIllustration(QPainter &painter, const QRectF &box, const Illustration &picture,
                      const Style &style)
{
    Sketch sketch(painter, box, picture.design, style);
    picture.draw(sketch);
}

} // namespace content::page
