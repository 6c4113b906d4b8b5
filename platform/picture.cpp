// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture.h"

#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "platform/wmf.h"
#include "platform/wmfrecords.h"

#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <QPainter>
#include <QtDebug>

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

/// The raster format the bytes begin with, so that only the one image plugin that reads it is
/// loaded rather than every plugin being asked in turn; nullptr leaves the choice to Qt.
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

QImage decode(const QByteArray &bytes)
{
    return QImage::fromData(bytes, rasterFormat(bytes));
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

} // namespace

Picture LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return Picture();
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

Picture loadPictureOrEmpty(const QString &path)
{
    try {
        return LoadPicture(path);
    } catch (const ProgramError &e) {
        qWarning("Habitara: %s", e.what());
        return Picture();
    }
}
