// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon for the desktop: its SVG drawn as PNG at the sizes of the hicolor theme.
#include "content/generator.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <stdexcept>

namespace content {

void writeIcons(const QString &svgPath, const QString &themeFolder, const QString &name)
{
    QSvgRenderer renderer;
    if (!renderer.load(svgPath) || !renderer.isValid())
        throw std::runtime_error("cannot read the icon " + svgPath.toStdString());
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        const QString folder = themeFolder + QStringLiteral("/%1x%1/apps").arg(side);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !image.save(path, "PNG"))
            throw std::runtime_error("cannot write the icon " + path.toStdString());
    }
}

} // namespace content
