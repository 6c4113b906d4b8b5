// SPDX-License-Identifier: GPL-3.0-or-later
// The illustrations: each images/<name>.svg in the content folder is drawn at the size its
// screen shows it and written as images/<name>.jpg, and at twice that size as
// images/<name>@2x.jpg for a program scaled up on a large screen.
#include "content/generator.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <cmath>
#include <stdexcept>
#include <string>

namespace content {

namespace {

struct PictureSize
{
    const char *name;
    int width;
    int height;
};

// Sizes in pixels (15 twips each), from the boxes that show the pictures.
constexpr PictureSize pictureSizes[] = {
    {"andesmd", 320, 240},      // title screen and main menu
    {"llama", 320, 400},        // mountains topic menu
    {"camel", 320, 400},        // desert topic menu
    {"llamamd", 324, 222},      // llamas on the mountains labelling activity; the mountains
                                // quiz shows it scaled down in its corner picture box
    {"camelsm", 57, 41},        // corner of the quiz screen, desert quiz
    {"andessm", 320, 240},      // results screen
    {"goatsm", 264, 186},       // goats on the mountains labelling activity
    {"yakssm", 307, 215},       // yaks on the mountains labelling activity
    {"bearssm", 235, 304},      // bears on the mountains labelling activity
    {"mountain2", 694, 460},    // the mountain of the mountains ordering activity
    {"bedouin tent", 800, 368}, // the tent of the desert labelling activity
};

[[noreturn]] void fail(const QString &what)
{
    throw std::runtime_error(what.toStdString());
}

// Collects what the SVG renderer reports while it reads and draws a file: it skips what it
// cannot resolve with no more than a warning, and a picture with parts missing is a broken
// picture. Other messages go on to the handler that was installed before.
class SvgWarnings
{
public:
    SvgWarnings()
    {
        s_messages.clear();
        s_previous = qInstallMessageHandler(&SvgWarnings::collect);
    }
    ~SvgWarnings() { qInstallMessageHandler(s_previous); }
    SvgWarnings(const SvgWarnings &) = delete;
    SvgWarnings &operator=(const SvgWarnings &) = delete;

    const QStringList &messages() const { return s_messages; }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (context.category && QByteArray(context.category).startsWith("qt.svg")) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                s_messages.append(message);
        } else if (s_previous) {
            s_previous(type, context, message);
        }
    }

    static inline QStringList s_messages;
    static inline QtMessageHandler s_previous = nullptr;
};

// The renderer draws SVG Tiny: anything else in a drawing would silently vanish from the
// picture, so the drawings keep to the elements and attributes below.
void checkDrawingFeatures(const QString &svgPath)
{
    static const QStringList elements = {QStringLiteral("svg"),
                                         QStringLiteral("g"),
                                         QStringLiteral("defs"),
                                         QStringLiteral("title"),
                                         QStringLiteral("desc"),
                                         QStringLiteral("path"),
                                         QStringLiteral("rect"),
                                         QStringLiteral("circle"),
                                         QStringLiteral("ellipse"),
                                         QStringLiteral("line"),
                                         QStringLiteral("polyline"),
                                         QStringLiteral("polygon"),
                                         QStringLiteral("linearGradient"),
                                         QStringLiteral("radialGradient"),
                                         QStringLiteral("stop"),
                                         QStringLiteral("use")};
    static const QStringList attributes = {
        QStringLiteral("class"),      QStringLiteral("style"),     QStringLiteral("filter"),
        QStringLiteral("mask"),       QStringLiteral("clip-path"), QStringLiteral("marker-start"),
        QStringLiteral("marker-mid"), QStringLiteral("marker-end")};

    QFile file(svgPath);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read picture source ") + svgPath);
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString where = svgPath + QLatin1Char(':') + QString::number(xml.lineNumber());
        if (!elements.contains(xml.name()))
            fail(where + QStringLiteral(": the renderer cannot draw <") + xml.name().toString() +
                 QStringLiteral(">"));
        for (const QXmlStreamAttribute &attribute : xml.attributes())
            if (attributes.contains(attribute.name()))
                fail(where + QStringLiteral(": the renderer ignores the attribute ") +
                     attribute.name().toString());
    }
    if (xml.hasError())
        fail(QStringLiteral("invalid SVG picture ") + svgPath + QStringLiteral(": ") +
             xml.errorString());
}

QImage renderPicture(const QString &svgPath, int width, int height)
{
    if (!QFileInfo(svgPath).isFile())
        fail(QStringLiteral("missing picture source ") + svgPath);
    checkDrawingFeatures(svgPath);

    SvgWarnings warnings;
    QSvgRenderer renderer;
    if (!renderer.load(svgPath) || !renderer.isValid())
        fail(QStringLiteral("invalid SVG picture ") + svgPath);
    if (!warnings.messages().isEmpty())
        fail(svgPath + QStringLiteral(": ") + warnings.messages().join(QStringLiteral("; ")));

    // The drawing must have the shape of its box, so that nothing is squeezed or cut off.
    const QRectF box = renderer.viewBoxF();
    if (box.width() <= 0 || box.height() <= 0)
        fail(QStringLiteral("SVG picture without a size ") + svgPath);
    const double drawn = box.width() / box.height();
    const double wanted = double(width) / height;
    if (std::abs(drawn / wanted - 1.0) > 0.01)
        fail(QStringLiteral("SVG picture %1 is %2 x %3, which is not the shape of %4 x %5")
                 .arg(svgPath)
                 .arg(box.width())
                 .arg(box.height())
                 .arg(width)
                 .arg(height));

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    if (!warnings.messages().isEmpty())
        fail(svgPath + QStringLiteral(": ") + warnings.messages().join(QStringLiteral("; ")));
    return image;
}

QByteArray encodeJpeg(const QImage &image, const QString &name)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    writer.setOptimizedWrite(true);
    if (!writer.write(image))
        fail(QStringLiteral("cannot encode ") + name + QStringLiteral(": ") + writer.errorString());
    return bytes;
}

} // namespace

void writePictures(const Context &ctx)
{
    for (const PictureSize &picture : pictureSizes) {
        const QString name = QString::fromLatin1(picture.name);
        const QString source =
            ctx.source.filePath(QStringLiteral("images/") + name + QStringLiteral(".svg"));
        ctx.write(QStringLiteral("images/") + name + QStringLiteral(".jpg"),
                  encodeJpeg(renderPicture(source, picture.width, picture.height), name));
        // Drawn again at twice the size for a program scaled up on a large screen.
        ctx.write(QStringLiteral("images/") + name + QStringLiteral("@2x.jpg"),
                  encodeJpeg(renderPicture(source, 2 * picture.width, 2 * picture.height), name));
    }
}

} // namespace content
