// SPDX-License-Identifier: GPL-3.0-or-later
// bench_wmf [FILE|FOLDER ...]: times reading and playing metafiles onto an 800 by 600 image.
// Without arguments it takes the pages in the run folder's wmf/ and wmf2/ folders and the
// metafiles the tests keep.
#include "platform/wmf.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

QStringList metafilesIn(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({QStringLiteral("*.wmf"), QStringLiteral("*.WMF")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

/// Runs work repeatedly for at least a quarter of a second (and at least five times); gives
/// the mean time of one run in milliseconds.
template <typename Work> double timeOf(Work work)
{
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    while (runs < 5 || timer.nsecsElapsed() < 250'000'000) {
        work();
        ++runs;
    }
    return timer.nsecsElapsed() / 1e6 / runs;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList files;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args)
        files << (QFileInfo(arg).isDir() ? metafilesIn(arg) : QStringList{arg});
    if (args.isEmpty()) {
        const QDir run(QStringLiteral(HABITARA_RUN_DIR));
        files << metafilesIn(run.filePath(QStringLiteral("wmf")))
              << metafilesIn(run.filePath(QStringLiteral("wmf2")));
        const QDir source = QFileInfo(QStringLiteral(__FILE__)).dir();
        files << metafilesIn(source.filePath(QStringLiteral("../tests/data/wmf")))
              << metafilesIn(source.filePath(QStringLiteral("../fuzz/corpus")));
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "bench_wmf: no metafiles found\n");
        return 1;
    }

    std::printf("%-40s %8s %10s %10s\n", "page", "records", "parse ms", "play ms");
    double totalParse = 0, totalPlay = 0;
    int pages = 0;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::printf("%-40s cannot be opened\n", qPrintable(QFileInfo(path).fileName()));
            continue;
        }
        const QByteArray bytes = file.readAll();
        QString error;
        const auto metafile = wmf::Metafile::parse(bytes, &error);
        const QString name =
            QFileInfo(QFileInfo(path).dir().dirName(), QFileInfo(path).fileName()).filePath();
        if (!metafile) {
            std::printf("%-40s not read: %s\n", qPrintable(name), qPrintable(error));
            continue;
        }
        const double parse = timeOf([&] { wmf::Metafile::parse(bytes); });
        const double play = timeOf([&] {
            image.fill(Qt::white);
            QPainter painter(&image);
            metafile->play(painter, QRectF(0, 0, 800, 600));
        });
        std::printf("%-40s %8d %10.3f %10.3f\n", qPrintable(name), metafile->recordCount(), parse,
                    play);
        totalParse += parse;
        totalPlay += play;
        ++pages;
    }
    if (pages > 0)
        std::printf("%-40s %8s %10.3f %10.3f\n", "mean per page", "", totalParse / pages,
                    totalPlay / pages);
    return 0;
}
