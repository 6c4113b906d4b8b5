// SPDX-License-Identifier: GPL-3.0-or-later
// habitara-content SOURCE RUN: builds the program's content files from SOURCE into RUN.
// habitara-content --icons SVG THEME NAME: draws the desktop icon into an icon theme folder.
#include "content/generator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <stdexcept>

namespace content {

QString Context::runPath(const QString &relativePath) const
{
    return run.filePath(relativePath);
}

void Context::write(const QString &relativePath, const QByteArray &bytes) const
{
    const QString path = runPath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace content

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--icons") {
        try {
            content::writeIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                QString::fromLocal8Bit(argv[4]));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "habitara-content: %s\n", e.what());
            return 1;
        }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: habitara-content SOURCE RUN\n");
        return 2;
    }
    content::Context ctx{QDir(QString::fromLocal8Bit(argv[1])),
                         QDir(QString::fromLocal8Bit(argv[2]))};
    QDir().mkpath(ctx.run.absolutePath());
    try {
        content::writePictures(ctx);
        content::writeSounds(ctx);
        content::writeLogo(ctx);
        content::writeQuizzes(ctx);
        content::writePages(ctx);
        content::writeDescriptions(ctx);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "habitara-content: %s\n", e.what());
        return 1;
    }
    return 0;
}
