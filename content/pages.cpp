// SPDX-License-Identifier: GPL-3.0-or-later
// The reading pages: key facts, teacher's notes, the acknowledgments and the teachers' guide.
// Each page is written once, in pages/<name>.md, and laid out twice: for the screen (light text
// on the program's blue, beside the viewer's buttons) and for the printer (black on white).
// A page whose text does not fit stops the build with the page's name.
#include "content/generator.h"
#include "content/quizzes.h"
#include "content/wmfwriter.h"
#include "platform/fonts.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace content {

namespace {

[[noreturn]] void fail(const QString &what)
{
    throw std::runtime_error(what.toStdString());
}

/// Large type for the pupils' pages and the credits, compact type for the teachers' notes
/// and guide.
enum class Type { Large, Compact };
enum class Medium { Screen, Print };

/// The people named in pages/credits.txt, by role ("Author", "Programmer", ...).
using Credits = std::map<QString, QString>;

// ---------------------------------------------------------------------------------------------
// The pages and their two looks

struct PageInfo
{
    const char *name;
    Type type;
    const char *footer; ///< printed at the foot of the paper version
    bool logoCorner;    ///< the acknowledgments page: the viewer animates a logo bottom right
};

constexpr PageInfo pageTable[] = {
    {"key livingmountains", Type::Large, "Living in the Mountains: Key Facts", false},
    {"key livingdesert", Type::Large, "Living in the Desert: Key Facts", false},
    {"livingmountainsa", Type::Compact, "Living in the Mountains: Teacher's Notes, page 1 of 2",
     false},
    {"livingmountainsb", Type::Compact, "Living in the Mountains: Teacher's Notes, page 2 of 2",
     false},
    {"livingdesert", Type::Compact, "Living in the Desert: Teacher's Notes", false},
    {"acknowledgments", Type::Large, "Acknowledgments", true},
    {"guide1", Type::Compact, "Teachers' Guide, page 1 of 5", false},
    {"guide2", Type::Compact, "Teachers' Guide, page 2 of 5", false},
    {"guide3", Type::Compact, "Teachers' Guide, page 3 of 5", false},
    {"guide4", Type::Compact, "Teachers' Guide, page 4 of 5", false},
    {"guide5", Type::Compact, "Teachers' Guide, page 5 of 5", false},
};

// Where the notes viewer puts its animated logo, in page coordinates (the page is shown at
// left 120): 8880..10680 x 4320..7575 on the screen, with a margin.
const QRectF logoCorner(8560, 4200, 10400 - 8560, 7750 - 4200);

struct Style
{
    Medium medium;
    QSizeF size;
    QRectF area; ///< where text and pictures go
    QFont title, heading, body, note, chip, caption, footer;
    QColor titleColour, headingColour, bodyColour, bulletColour, ruleColour;
    QColor noteFill, noteBorder, noteColour; ///< noteFill invalid: no fill
    QColor chipFill, chipBorder, chipColour; ///< chipFill invalid: no fill
    double lineFactor;                       ///< line spacing as a multiple of the font's
    double pictureScale;                     ///< pictures are designed for the screen
    double rule;                             ///< thickness of lines
};

Style styleFor(Medium medium, Type type)
{
    const bool large = type == Type::Large;
    Style s;
    s.medium = medium;
    if (medium == Medium::Screen) {
        s.size = QSizeF(10400, 7750);
        s.area = QRectF(180, 90, 10400 - 180 - 240, 7750 - 90 - 60);
        // Tahoma as on the program's screens; the bold faces are Arial, whose bold is
        // drawn from a real bold font wherever the program runs.
        const QString face = QStringLiteral("Tahoma");
        const QString bold = QStringLiteral("Arial");
        s.title = deviceFont(bold, large ? 22 : 20, true);
        s.heading = deviceFont(bold, large ? 15 : 13.5, true);
        s.body = deviceFont(face, large ? 14 : 12, false);
        s.note = deviceFont(face, large ? 13.5 : 12, false);
        s.chip = deviceFont(bold, 11, true);
        s.caption = deviceFont(bold, 9.75, true);
        s.footer = deviceFont(face, 8, false);
        s.titleColour = QColor(255, 255, 0);
        s.headingColour = QColor(255, 255, 0);
        s.bodyColour = QColor(255, 255, 255);
        s.bulletColour = QColor(255, 255, 0);
        s.ruleColour = QColor(255, 255, 0);
        s.noteFill = QColor(0, 45, 100);
        s.noteBorder = QColor(128, 255, 255);
        s.noteColour = QColor(255, 255, 255);
        s.chipFill = QColor(0, 0, 0);
        s.chipBorder = QColor(160, 160, 160);
        s.chipColour = QColor(255, 255, 0);
        s.lineFactor = large ? 1.08 : 1.1;
        s.pictureScale = 1.0;
        s.rule = 30;
    } else {
        // Printed at (1000, 1000) on an A4 or Letter sheet.
        s.size = QSizeF(9800, 13500);
        s.area = QRectF(0, 0, 9800, 13500 - 700);
        const QString sans = QStringLiteral("Arial");
        const QString serif = QStringLiteral("Times New Roman");
        s.title = deviceFont(sans, large ? 24 : 20, true);
        s.heading = deviceFont(sans, large ? 16 : 13, true);
        s.body = large ? deviceFont(sans, 14, false) : deviceFont(serif, 12, false);
        s.note = large ? deviceFont(sans, 13, false) : deviceFont(serif, 11.5, false);
        s.chip = deviceFont(sans, 10, true);
        s.caption = deviceFont(sans, 9, true);
        s.footer = deviceFont(sans, 8, false);
        s.titleColour = s.headingColour = s.bodyColour = s.bulletColour = s.ruleColour =
            QColor(0, 0, 0);
        s.noteBorder = s.noteColour = QColor(0, 0, 0);
        s.chipBorder = s.chipColour = QColor(0, 0, 0);
        s.lineFactor = large ? 1.15 : 1.1;
        s.pictureScale = large ? 1.15 : 0.9;
        s.rule = 15;
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// Page sources

struct Block
{
    enum Kind { Title, Heading, Paragraph, Bullet, Note, Picture, Buttons };
    Kind kind;
    QString text;
    QStringList items;
    int line;
};

class SourceError
{
public:
    SourceError(QString path, int line) : m_path(std::move(path)), m_line(line) {}
    [[noreturn]] void operator()(const QString &what) const
    {
        fail(QStringLiteral("%1:%2: %3").arg(m_path).arg(m_line).arg(what));
    }

private:
    QString m_path;
    int m_line;
};

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(path));
    return QString::fromUtf8(file.readAll());
}

/// The answer letters of a topic quiz, "1 B, 2 A, ...", read from the quiz's own source so
/// that the teacher's notes always match the quiz.
QString answerKey(const Context &ctx, const QString &topic)
{
    const QuizSource quiz = readQuizSource(ctx.source.filePath(quizSourcePath(topic)));
    QStringList parts;
    for (size_t i = 0; i < quiz.questions.size(); ++i)
        parts << QStringLiteral("%1\u00a0%2")
                     .arg(i + 1)
                     .arg(QChar(u'A' + quiz.questions[i].right - 1));
    return parts.join(QStringLiteral(", "));
}

/// Replaces {answers:<topic>} and {credit:<role>} in a line of page text.
QString expand(const Context &ctx, const Credits &credits, const QString &text,
               const SourceError &error)
{
    static const QRegularExpression field(QStringLiteral("\\{(\\w+):([^}]*)\\}"));
    QString out;
    qsizetype done = 0;
    for (auto it = field.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(done, m.capturedStart() - done);
        const QString kind = m.captured(1);
        const QString key = m.captured(2);
        if (kind == QLatin1String("answers")) {
            out += answerKey(ctx, key);
        } else if (kind == QLatin1String("credit")) {
            const auto found = credits.find(key);
            if (found == credits.end())
                error(QStringLiteral("no credit \"%1\" in pages/credits.txt").arg(key));
            out += found->second;
        } else {
            error(QStringLiteral("unknown field {%1:...}").arg(kind));
        }
        done = m.capturedEnd();
    }
    out += text.mid(done);
    return out;
}

/// Reads a page source: "# " a title, "## " a heading, "- " a bullet, "> " a boxed note,
/// "@picture <name>" a picture at the right, "@buttons a | b" the program's captions as they
/// look on screen; other lines are paragraphs. Lines that follow one another join; a blank
/// line ends a block.
std::vector<Block> readPageSource(const Context &ctx, const Credits &credits, const QString &path)
{
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    std::vector<Block> blocks;
    bool open = false; // the last block takes the following lines
    for (int i = 0; i < lines.size(); ++i) {
        const SourceError error(path, i + 1);
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line = line.trimmed();
        if (line.isEmpty()) {
            open = false;
            continue;
        }
        line = expand(ctx, credits, line, error);
        // The program's captions "Next Page >>" and "<< Previous Page" never break at
        // their arrows.
        line.replace(QLatin1String(" >>"), QStringLiteral("\u00a0>>"));
        line.replace(QLatin1String("<< "), QStringLiteral("<<\u00a0"));
        if (!LineWriter::canEncode(line))
            error(QStringLiteral("holds a character a Windows metafile cannot carry"));

        auto start = [&](Block::Kind kind, const QString &text, bool takesMore) {
            blocks.push_back(Block{kind, text, {}, i + 1});
            open = takesMore;
        };
        if (line.startsWith(QLatin1String("## "))) {
            start(Block::Heading, line.mid(3).trimmed(), false);
        } else if (line.startsWith(QLatin1String("# "))) {
            start(Block::Title, line.mid(2).trimmed(), false);
        } else if (line.startsWith(QLatin1String("- "))) {
            start(Block::Bullet, line.mid(2).trimmed(), true);
        } else if (line == QLatin1String(">") || line.startsWith(QLatin1String("> "))) {
            const QString text = line.mid(1).trimmed();
            if (open && blocks.back().kind == Block::Note)
                blocks.back().text += QLatin1Char(' ') + text;
            else
                start(Block::Note, text, true);
        } else if (line.startsWith(QLatin1String("@picture "))) {
            start(Block::Picture, line.mid(9).trimmed(), false);
        } else if (line.startsWith(QLatin1String("@buttons "))) {
            start(Block::Buttons, QString(), false);
            for (const QString &caption : line.mid(9).split(QLatin1Char('|')))
                blocks.back().items << caption.trimmed();
        } else if (line.startsWith(QLatin1Char('@')) || line.startsWith(QLatin1Char('#'))) {
            error(QStringLiteral("unknown line \"%1\"").arg(line));
        } else if (open) {
            blocks.back().text += QLatin1Char(' ') + line;
        } else {
            start(Block::Paragraph, line, true);
        }
    }
    if (blocks.empty())
        fail(QStringLiteral("%1: the page is empty").arg(path));
    return blocks;
}

// ---------------------------------------------------------------------------------------------
// Pictures, drawn with plain shapes so that they stay sharp on screen and paper

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

struct Illustration
{
    const char *name;
    QSizeF design; ///< the drawing's own grid
    double width;  ///< on the screen page, in twips
    void (*draw)(Sketch &);
};

constexpr Illustration illustrations[] = {
    {"mountain", {410, 256}, 4000, drawMountain}, {"desert", {380, 232}, 3600, drawDesert},
    {"terraces", {340, 222}, 3000, drawTerraces}, {"llama", {182, 210}, 1650, drawLlama},
    {"tent", {392, 202}, 3200, drawTent},         {"dragging", {360, 150}, 3300, drawDragging},
    {"emblem", {200, 200}, 2000, drawEmblem},
};

const Illustration &illustration(const QString &name, const SourceError &error)
{
    for (const Illustration &i : illustrations) {
        if (name == QLatin1String(i.name))
            return i;
    }
    error(QStringLiteral("no picture called \"%1\"").arg(name));
}

// ---------------------------------------------------------------------------------------------
// Layout

using Paint = std::function<void(QPainter &)>;

/// Lays out the blocks of one page from the top down. Text flows around the pictures and
/// around any area the viewer keeps for itself; nothing may leave the page's area.
class Composer
{
public:
    Composer(const Style &style, QString label, const std::vector<QRectF> &keepClear)
        : m_style(style), m_label(std::move(label)), m_device(8, 8, QImage::Format_ARGB32),
          m_y(style.area.top())
    {
        // Measure as the metafile will: 1440 dots to the inch, one dot a twip.
        const int dotsPerMeter = qRound(1440 / 0.0254);
        m_device.setDotsPerMeterX(dotsPerMeter);
        m_device.setDotsPerMeterY(dotsPerMeter);
        for (const QRectF &r : keepClear)
            m_floats.push_back(r);
    }

    void add(const Block &block, const SourceError &error)
    {
        switch (block.kind) {
        case Block::Title:
            addTitle(block.text);
            break;
        case Block::Heading:
            space(m_lastKind == -1 ? 0 : 0.55 * lineHeight(m_style.body));
            flow(block.text, m_style.heading, m_style.headingColour, 0, &m_paint);
            space(0.12 * lineHeight(m_style.body));
            break;
        case Block::Paragraph:
            space(paragraphGap(block.kind));
            flow(block.text, m_style.body, m_style.bodyColour, 0, &m_paint);
            break;
        case Block::Bullet:
            space(paragraphGap(block.kind));
            addBullet(block.text);
            break;
        case Block::Note:
            space(paragraphGap(block.kind) + 0.2 * lineHeight(m_style.body));
            addNote(block.text);
            break;
        case Block::Picture:
            addPicture(illustration(block.text, error));
            break;
        case Block::Buttons:
            space(paragraphGap(block.kind) + 0.15 * lineHeight(m_style.body));
            addButtons(block.items);
            break;
        }
        if (block.kind != Block::Picture)
            m_lastKind = block.kind;
        if (m_y > m_style.area.bottom() + 0.5)
            fail(QStringLiteral("page %1: the text runs %2 twips past the bottom of the page (at "
                                "line %3 of its source)")
                     .arg(m_label)
                     .arg(qRound(m_y - m_style.area.bottom()))
                     .arg(block.line));
    }

    void addFooter(const QString &text)
    {
        const QFontMetricsF fm(m_style.footer, &m_device);
        const double ruleY = m_style.size.height() - 420;
        const double baseline = m_style.size.height() - 190;
        const QString left = QStringLiteral("Habitara  \u2014  ") + text;
        const QString right = QStringLiteral("Quillmoor Publishing Ltd");
        const double rightX = m_style.size.width() - fm.horizontalAdvance(right);
        if (fm.horizontalAdvance(left) + 400 > rightX)
            fail(QStringLiteral("page %1: the footer is too long").arg(m_label));
        const Style &s = m_style;
        m_paint.push_back([s, ruleY, baseline, left, right, rightX](QPainter &p) {
            p.setPen(QPen(s.ruleColour, 10));
            p.drawLine(QPointF(0, ruleY), QPointF(s.size.width(), ruleY));
            p.setFont(s.footer);
            p.setPen(s.bodyColour);
            p.drawText(QPointF(0, baseline), left);
            p.drawText(QPointF(rightX, baseline), right);
        });
    }

    /// Every shape and line of text, checked against the page's size.
    std::vector<Paint> result() const
    {
        const QRectF page(QPointF(0, 0), m_style.size);
        for (const QRectF &r : m_used) {
            if (!page.contains(r.adjusted(0.5, 0.5, -0.5, -0.5)))
                fail(QStringLiteral("page %1: something is drawn outside the page").arg(m_label));
        }
        return m_paint;
    }

private:
    double lineHeight(const QFont &font) const
    {
        return QFontMetricsF(font, &m_device).lineSpacing() * m_style.lineFactor;
    }

    double paragraphGap(Block::Kind kind) const
    {
        if (m_lastKind == -1 || m_lastKind == Block::Title || m_lastKind == Block::Heading)
            return 0;
        if (kind == Block::Bullet && m_lastKind == Block::Bullet)
            return 0.22 * lineHeight(m_style.body);
        return 0.5 * lineHeight(m_style.body);
    }

    void space(double amount) { m_y += amount; }

    /// The right end of the room for text between top and bottom, left of every float there.
    double roomRight(double top, double bottom) const
    {
        double right = m_style.area.right();
        for (const QRectF &f : m_floats) {
            if (f.top() < bottom && f.bottom() > top)
                right = std::min(right, f.left());
        }
        return right;
    }

    void use(const QRectF &r) { m_used.push_back(r); }

    /// Breaks text into lines at the current height, each as wide as the room beside the
    /// floats allows, and queues them; returns the widest line's right end.
    double flow(const QString &text, const QFont &font, const QColor &colour, double indent,
                std::vector<Paint> *into, double fixedRight = 0)
    {
        const QFontMetricsF fm(font, &m_device);
        const double height = fm.lineSpacing() * m_style.lineFactor;
        QTextLayout layout(text, font, &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        double widest = 0;
        while (true) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            const double left = m_style.area.left() + indent;
            const double right = fixedRight > 0 ? fixedRight : roomRight(m_y, m_y + height);
            line.setLineWidth(right - left);
            const QString words = text.mid(line.textStart(), line.textLength()).trimmed();
            const double width = line.naturalTextWidth();
            if (left + width > right + 1)
                fail(
                    QStringLiteral("page %1: \"%2\" is too long for its line").arg(m_label, words));
            const QPointF at(left, m_y + fm.ascent());
            into->push_back([font, colour, at, words](QPainter &p) {
                p.setFont(font);
                p.setPen(colour);
                p.drawText(at, words);
            });
            use(QRectF(left, m_y, width, fm.height()));
            widest = std::max(widest, left + width);
            m_y += height;
        }
        layout.endLayout();
        return widest;
    }

    void addTitle(const QString &text)
    {
        flow(text, m_style.title, m_style.titleColour, 0, &m_paint);
        const double y = m_y + 40;
        const double left = m_style.area.left();
        const double right = roomRight(y - 10, y + 10);
        const Style &s = m_style;
        m_paint.push_back([s, y, left, right](QPainter &p) {
            p.setPen(QPen(s.ruleColour, s.rule));
            p.drawLine(QPointF(left, y), QPointF(right, y));
        });
        use(QRectF(left, y - s.rule / 2, right - left, s.rule));
        m_y = y + 0.5 * lineHeight(m_style.body);
    }

    void addBullet(const QString &text)
    {
        const QFontMetricsF fm(m_style.body, &m_device);
        const double indent = fm.height() * 1.05;
        const double d = fm.xHeight() * 0.62;
        const QRectF dot(m_style.area.left() + fm.height() * 0.3,
                         m_y + fm.ascent() - fm.xHeight() / 2 - d / 2, d, d);
        const QColor colour = m_style.bulletColour;
        m_paint.push_back([dot, colour](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QBrush(colour, Qt::SolidPattern));
            p.drawEllipse(dot);
        });
        use(dot);
        flow(text, m_style.body, m_style.bodyColour, indent, &m_paint);
    }

    void addNote(const QString &text)
    {
        const QFontMetricsF fm(m_style.note, &m_device);
        const double pad = fm.height() * 0.45;
        const double top = m_y;
        const double left = m_style.area.left();
        // The box is as wide as the room beside the floats over the whole height it takes.
        double right = roomRight(top, top + 1);
        std::vector<Paint> lines;
        while (true) {
            lines.clear();
            m_y = top + pad;
            const size_t usedBefore = m_used.size();
            flow(text, m_style.note, m_style.noteColour, pad, &lines, right - pad);
            const double room = roomRight(top, m_y + pad);
            if (room >= right)
                break;
            m_used.resize(usedBefore);
            right = room;
        }
        const QRectF box(left, top, right - left, m_y + pad * 0.6 - top);
        const Style &s = m_style;
        m_paint.push_back([s, box, pad](QPainter &p) {
            p.setPen(QPen(s.noteBorder, s.rule));
            p.setBrush(s.noteFill.isValid() ? QBrush(s.noteFill, Qt::SolidPattern)
                                            : QBrush(Qt::NoBrush));
            p.drawRoundedRect(box, pad, pad);
        });
        use(box);
        m_paint.insert(m_paint.end(), lines.begin(), lines.end());
        m_y = box.bottom();
    }

    void addButtons(const QStringList &captions)
    {
        const QFontMetricsF fm(m_style.chip, &m_device);
        const double padX = fm.height() * 0.6;
        const double height = fm.height() * 1.45;
        const double gap = fm.height() * 0.5;
        double x = m_style.area.left();
        const Style &s = m_style;
        for (const QString &caption : captions) {
            const double width = fm.horizontalAdvance(caption) + 2 * padX;
            if (x + width > roomRight(m_y, m_y + height)) {
                x = m_style.area.left();
                m_y += height + gap * 0.6;
            }
            const QRectF box(x, m_y, width, height);
            const QPointF at(x + padX, m_y + (height - fm.height()) / 2 + fm.ascent());
            m_paint.push_back([s, box, at, caption](QPainter &p) {
                p.setPen(QPen(s.chipBorder, s.rule / 2));
                p.setBrush(s.chipFill.isValid() ? QBrush(s.chipFill, Qt::SolidPattern)
                                                : QBrush(Qt::NoBrush));
                p.drawRect(box);
                p.setFont(s.chip);
                p.setPen(s.chipColour);
                p.drawText(at, caption);
            });
            use(box);
            x += width + gap;
        }
        m_y += height;
    }

    void addPicture(const Illustration &picture)
    {
        const double width = picture.width * m_style.pictureScale;
        const double height = width * picture.design.height() / picture.design.width();
        const double gap = 240 * m_style.pictureScale;
        // Beside whatever comes next, at the right of the area.
        const QRectF box(m_style.area.right() - width, m_y + 60, width, height);
        if (box.bottom() > m_style.area.bottom())
            fail(QStringLiteral("page %1: the picture \"%2\" runs past the bottom of the page")
                     .arg(m_label, QLatin1String(picture.name)));
        m_floats.push_back(box.adjusted(-gap, 0, 0, gap / 2));
        use(box);
        const Style &s = m_style;
        const Illustration *pic = &picture;
        m_paint.push_back([s, box, pic](QPainter &p) {
            Sketch sketch(p, box, pic->design, s);
            pic->draw(sketch);
        });
    }

    const Style &m_style;
    QString m_label;
    QImage m_device;
    double m_y;
    int m_lastKind = -1;
    std::vector<QRectF> m_floats;
    std::vector<QRectF> m_used;
    std::vector<Paint> m_paint;
};

Credits readCredits(const QString &path)
{
    Credits credits;
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString role = line.left(colon).trimmed();
        const QString who = line.mid(colon + 1).trimmed();
        if (colon < 1 || who.isEmpty() || !LineWriter::canEncode(who))
            fail(QStringLiteral("%1:%2: \"Role: Name\" expected").arg(path).arg(i + 1));
        if (!credits.emplace(role, who).second)
            fail(QStringLiteral("%1:%2: \"%3\" is named twice").arg(path).arg(i + 1).arg(role));
    }
    for (const char *role : {"Author", "Programmer", "Series editor"}) {
        if (credits.find(QLatin1String(role)) == credits.end())
            fail(QStringLiteral("%1: no \"%2:\" line").arg(path, QLatin1String(role)));
    }
    return credits;
}

QByteArray composePage(const Context &ctx, const Credits &credits, const PageInfo &page,
                       Medium medium)
{
    const QString name = QLatin1String(page.name);
    const QString path =
        ctx.source.filePath(QStringLiteral("pages/") + name + QStringLiteral(".md"));
    const std::vector<Block> blocks = readPageSource(ctx, credits, path);
    const Style style = styleFor(medium, page.type);
    std::vector<QRectF> keepClear;
    if (page.logoCorner && medium == Medium::Screen)
        keepClear.push_back(logoCorner);
    const QString label = name + (medium == Medium::Screen ? QStringLiteral(" (screen)")
                                                           : QStringLiteral(" (print)"));
    Composer composer(style, label, keepClear);
    for (const Block &block : blocks)
        composer.add(block, SourceError(path, block.line));
    if (medium == Medium::Print)
        composer.addFooter(QLatin1String(page.footer));
    const std::vector<Paint> paint = composer.result();
    return renderWmf(style.size, [&paint](QPainter &p) {
        for (const Paint &step : paint)
            step(p);
    });
}

} // namespace

void writePages(const Context &ctx)
{
    registerFonts();
    const Credits credits = readCredits(ctx.source.filePath(QStringLiteral("pages/credits.txt")));
    for (const PageInfo &page : pageTable) {
        const QString file = QLatin1String(page.name) + QStringLiteral(".wmf");
        ctx.write(QStringLiteral("wmf/") + file, composePage(ctx, credits, page, Medium::Screen));
        ctx.write(QStringLiteral("wmf2/") + file, composePage(ctx, credits, page, Medium::Print));
    }
}

} // namespace content
