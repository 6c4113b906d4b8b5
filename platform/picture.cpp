// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture.h"

#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "platform/wmf.h"
#include "platform/wmfrecords.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QGuiApplication>
#include <QtEndian>
#include <QPainter>
#include <QtDebug>

#include <future>

Picture::Picture(QImage image) : m_image(std::move(image)) {}

Picture::Picture(std::shared_ptr<const wmf::Metafile> metafile) : m_metafile(std::move(metafile)) {}

QSizeF Picture::sizeTwips() const
{
    if (m_metafile)
        return m_metafile->sizeTwips();
    return m_image.deviceIndependentSize() * twips::perPixel;
}

void Picture::draw(QPainter &painter, const QRectF &target) const
{
    if (m_metafile)
        m_metafile->play(painter, target);
    else if (!m_image.isNull())
        painter.drawImage(target, m_image);
}

namespace {

bool looksLikeMetafile(const QString &path, const QByteArray &bytes)
{
    if (path.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive))
        return true;
    return bytes.size() >= 4 &&
           qFromLittleEndian<quint32>(bytes.constData()) == wmf::record::placeableKey;
}

/// The raster format the bytes begin with, or nullptr.
const char *rasterFormat(const QByteArray &bytes)
{
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "gif";
    if (bytes.startsWith("BM"))
        return "bmp";
    return nullptr;
}

/// Decodes a raster picture. Given a format, Qt still loads every image plugin to ask each in
/// turn (the SVG one brings its own library); told not to guess, it loads only the plugin for
/// the format the bytes begin with. Anything else is left to Qt to recognise.
QImage decode(const QByteArray &bytes)
{
    if (const char *format = rasterFormat(bytes)) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAutoDetectImageFormat(false);
        if (QImage image = reader.read(); !image.isNull())
            return image;
    }
    return QImage::fromData(bytes);
}

/// On a display scaled past its design size, the picture drawn at twice the size ("name@2x.jpg"
/// beside "name.jpg") when there is one, so that it stays sharp; otherwise the image itself.
QImage sharperImage(const QString &path, QImage image)
{
    if (!qGuiApp || qGuiApp->devicePixelRatio() <= 1)
        return image;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return image;
    QFile file(contentPath(path.left(dot) + QStringLiteral("@2x") + path.mid(dot)));
    if (!file.open(QIODevice::ReadOnly))
        return image;
    QImage sharp = decode(file.readAll());
    if (sharp.size() != image.size() * 2)
        return image;
    sharp.setDevicePixelRatio(2);
    return sharp;
}

Picture readPicture(const QString &path)
{
    QFile file(contentPath(path));
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("The picture \"%1\" could not be found.").arg(path));
    const QByteArray bytes = file.readAll();
    Picture picture;
    if (looksLikeMetafile(path, bytes)) {
        QString error;
        auto metafile = wmf::Metafile::parse(bytes, &error);
        if (!metafile)
            throw ProgramError(
                QStringLiteral("The picture \"%1\" could not be read: %2").arg(path, error));
        picture = Picture(std::move(metafile));
    } else {
        QImage image = decode(bytes);
        if (image.isNull())
            throw ProgramError(QStringLiteral("The picture \"%1\" could not be read.").arg(path));
        picture = Picture(sharperImage(path, std::move(image)));
    }
    picture.setSource(path);
    return picture;
}

/// The one picture being loaded ahead, by its path.
struct Ahead
{
    QString path;
    std::future<Picture> picture;
};

Ahead &ahead()
{
    static Ahead loading;
    return loading;
}

} // namespace

void loadPictureAhead(const QString &path)
{
    // Work the device pixel ratio out here, so that the thread only reads it.
    if (qGuiApp)
        qGuiApp->devicePixelRatio();
    ahead().path = path;
    ahead().picture = std::async(std::launch::async, readPicture, path);
}

Picture LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return Picture();
    if (ahead().picture.valid() && ahead().path == path) {
        ahead().path.clear();
        return ahead().picture.get();
    }
    return readPicture(path);
}

Picture loadPictureOrEmpty(const QString &path)
{
    try {
        return LoadPicture(path);
    } catch (const ProgramError &e) {
        qWarning("Habitara: %s", e.what());
        return Picture();
    }
}
