// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

class QPainter;

namespace wmf {

/// How much work playing a file handed to the painter, counted so that tests can check that it
/// grows no faster than the file whatever the records ask for.
struct PlayCost
{
    qint64 clipRects = 0;  ///< clip rectangles looked at while the file's clip was changed
    int largestClip = 0;   ///< the most rectangles the clip held at once
    qint64 strokes = 0;    ///< polylines and polygons (or pieces of them) handed to the painter
    int longestStroke = 0; ///< the most points in one of them
    int largestFill = 0;   ///< the most points in one polygon filled with antialiasing
    double work = 0;       ///< the estimated cost of the lines and shapes asked for
    int skipped = 0;       ///< lines and shapes left out once the drawing budget was spent
};

/// A Windows Metafile read into memory: every record checked against the file on reading,
/// then played onto any QPainter (screen, printer, image) so a page draws the same everywhere.
class Metafile
{
public:
    /// Reads a placeable or plain metafile. A file that cannot be used at all gives nullptr and
    /// the reason in error; a file damaged part-way keeps the records read before the damage.
    static std::shared_ptr<const Metafile> parse(const QByteArray &bytes, QString *error = nullptr);

    ~Metafile();
    /// The picture's natural size: the placeable header's bounding box at its units per inch,
    /// or the window extent (taken as twips) of a plain file.
    QSizeF sizeTwips() const;
    /// Plays the records so that the picture's bounds fill target; cost, when given, receives
    /// the work it took.
    void play(QPainter &painter, const QRectF &target, PlayCost *cost = nullptr) const;
    /// The records read intact from the file (the end record not counted), drawn or not.
    int recordCount() const;
    /// What was wrong with the file: records skipped or the reason reading stopped early.
    QStringList problems() const;

    struct Data;

private:
    explicit Metafile(std::unique_ptr<Data> data);
    std::unique_ptr<Data> d;
};

} // namespace wmf
