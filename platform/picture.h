// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QRectF;
namespace wmf {
class Metafile;
}

/// A loaded picture: a raster image (JPEG, GIF, BMP) or a vector page (Windows Metafile).
/// An empty picture draws nothing and has no size.
class Picture
{
public:
    Picture() = default;
    explicit Picture(QImage image);
    explicit Picture(std::shared_ptr<const wmf::Metafile> metafile);

    bool isNull() const { return m_image.isNull() && !m_metafile; }
    bool isVector() const { return m_metafile != nullptr; }
    /// Natural size: raster pixels at 15 twips each, a metafile by its own bounding box.
    QSizeF sizeTwips() const;
    /// Draws the picture scaled into target (in the painter's coordinates).
    void draw(QPainter &painter, const QRectF &target) const;
    /// Where the picture came from (empty for an empty picture); tests and printouts use it.
    QString source() const { return m_source; }
    void setSource(const QString &source) { m_source = source; }
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    std::shared_ptr<const wmf::Metafile> m_metafile;
    QString m_source;
};

/// Loads a content picture by its relative path. An empty path gives an empty picture; a
/// missing or unreadable file throws ProgramError.
Picture LoadPicture(const QString &path);
/// Starts loading a picture on a thread of its own, so that it is read and decoded while the
/// program sets up its first screen; the next LoadPicture of the same path waits for it and
/// gives what LoadPicture itself would have given, error included. Call it once the content
/// folder and the scale are settled.
void loadPictureAhead(const QString &path);
/// As LoadPicture, but a file that cannot be loaded gives an empty picture (with a warning on
/// the console), for screens that carry on without their picture.
Picture loadPictureOrEmpty(const QString &path);
