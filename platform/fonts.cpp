// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include "platform/twips.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QtDebug>

#include <fontconfig/fontconfig.h>

#include <future>

namespace {

std::future<void> &fontConfiguration()
{
    static std::future<void> reading;
    return reading;
}

} // namespace

void readFontConfigurationAhead()
{
    // The first font drawn waits for fontconfig to parse its configuration and load the font
    // caches, which takes as long as opening the display; done once per process, and thread
    // safe, it can go on beside the display's set-up.
    if (!fontConfiguration().valid())
        fontConfiguration() = std::async(std::launch::async, [] { FcInit(); });
}

void registerFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (fontConfiguration().valid())
        fontConfiguration().wait();
    const QDir wine(QStringLiteral("/usr/share/wine/fonts"));
    // Wine's tahomabd.ttf maps no characters, so a registered bold face would draw every bold
    // caption in a fallback font; Tahoma's bold is made from the regular face instead.
    // MS Sans Serif is drawn from bitmaps at three pixel sizes only, so a program scaled up on
    // a large screen draws it in the scalable sans serif with the nearest metrics instead.
    const bool scaled = qGuiApp && qGuiApp->devicePixelRatio() > 1;
    if (scaled)
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
    for (const char *file : {"tahoma.ttf", "ms_sans_serif.ttf"}) {
        if (scaled && QLatin1String(file) == QLatin1String("ms_sans_serif.ttf"))
            continue;
        const QString path = wine.filePath(QLatin1String(file));
        if (QFontDatabase::addApplicationFont(path) < 0)
            qWarning("Habitara: the font %s is missing; captions may not fit their boxes",
                     qPrintable(path));
    }
    // The Liberation fonts have the metrics of the faces the screens are designed in.
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

QFont screenFont(const QString &face, double points, bool bold)
{
    QFont font(face);
    font.setPixelSize(twips::fontPixels(points));
    font.setBold(bold);
    return font;
}

QFont deviceFont(const QString &face, double points, bool bold)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
