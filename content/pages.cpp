// SPDX-License-Identifier: GPL-3.0-or-later
// The reading pages: key facts, teacher's notes, the acknowledgments and the teachers' guide.
// Each page is written once, in pages/<name>.md, and laid out twice: for the screen (light text
// on the program's blue, beside the viewer's buttons) and for the printer (black on white).
// A page whose text does not fit stops the build with the page's name.
// The page sources are read in pagesource.cpp and the pictures drawn in pagepictures.cpp.
#include "content/generator.h"
#include "content/page.h"
#include "content/wmfwriter.h"
#include "platform/fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace content {

namespace {

using namespace page;

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
        m_paint.push_back([s, box, pic](QPainter &p) { drawIllustration(p, box, *pic, s); });
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
