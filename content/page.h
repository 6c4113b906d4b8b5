// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/generator.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <map>
#include <stdexcept>
#include <vector>

class QPainter;

// What the parts of the page build share: the two looks of a page, the blocks read from a page
// source, and the pictures drawn into a page.
namespace content::page {

[[noreturn]] inline void fail(const QString &what)
{
    throw std::runtime_error(what.toStdString());
}

/// Large type for the pupils' pages and the credits, compact type for the teachers' notes
/// and guide.
enum class Type { Large, Compact };
enum class Medium { Screen, Print };

/// The people named in pages/credits.txt, by role ("Author", "Programmer", ...).
using Credits = std::map<QString, QString>;

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

/// Reads a page source into its blocks (pagesource.cpp).
std::vector<Block> readPageSource(const Context &ctx, const Credits &credits, const QString &path);
/// Reads pages/credits.txt: one "Role: Name" a line.
Credits readCredits(const QString &path);

class Sketch;

/// A picture drawn with plain shapes (pagepictures.cpp).
struct Illustration
{
    const char *name;
    QSizeF design; ///< the drawing's own grid
    double width;  ///< on the screen page, in twips
    void (*draw)(Sketch &);
};

/// The picture of that name; an unknown name is an error in the source.
const Illustration &illustration(const QString &name, const SourceError &error);
/// Draws the picture into box, in the look of style.
void drawIllustration(QPainter &painter, const QRectF &box, const Illustration &picture,
                      const Style &style);

} // namespace content::page
