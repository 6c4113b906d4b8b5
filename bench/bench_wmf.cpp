// SPDX-License-Identifier: GPL-3.0-or-later
// bench_wmf [FILE|FOLDER ...]: times reading and playing metafiles onto an 800 by 600 image.
// Without arguments it takes the pages in the run folder's wmf/ and wmf2/ folders, the
// metafiles the tests keep, and hostile files it makes itself (floods of clip records, long
// self-crossing lines and polygons). "bench_wmf --hostile [NAME ...]" times only the hostile
// files, or those whose names contain one of the NAMEs.
#include "platform/wmf.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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

/// Runs work repeatedly for at least a quarter of a second (and at least five times), or once
/// when that one run takes more than a second; gives the mean time of one run in milliseconds.
template <typename Work> double timeOf(Work work)
{
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    while (runs == 0 ||
           ((runs < 5 || timer.nsecsElapsed() < 250'000'000) && timer.nsecsElapsed() < 1e9)) {
        work();
        ++runs;
    }
    return timer.nsecsElapsed() / 1e6 / runs;
}

// --- Hostile files ---------------------------------------------------------------------------

/// The records of a placeable metafile, 16000 by 12000 units at 1440 to the inch (800 by 600
/// pixels at 20 units to the pixel).
class Records
{
public:
    void add(quint16 function, const std::vector<int> &words)
    {
        const qint64 size = 3 + qint64(words.size());
        word(int(size & 0xFFFF));
        word(int(size >> 16));
        word(function);
        for (int w : words)
            word(w);
    }
    void pen(int width) { add(0x02FA, {0, width, 0, 0x4020, 0x00A0}); }
    void brush() { add(0x02FC, {0, 0x8020, 0x00C0, 0}); }
    void select(int index) { add(0x012D, {index}); }
    QByteArray file(int objects) const
    {
        QByteArray out;
        auto put = [&out](int w) { out.append(char(w & 0xFF)).append(char((w >> 8) & 0xFF)); };
        for (int w : {0xCDD7, 0x9AC6, 0, 0, 0, 16000, 12000, 1440, 0, 0})
            put(w);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(out.constData() + 2 * i);
        put(checksum);
        const qint64 words = 9 + m_bytes.size() / 2 + 3;
        for (int w : {1, 9, 0x0300, int(words & 0xFFFF), int(words >> 16), objects, 0, 0, 0})
            put(w);
        return out + m_bytes + QByteArray("\x03\0\0\0\0\0", 6);
    }

private:
    void word(int w) { m_bytes.append(char(w & 0xFF)).append(char((w >> 8) & 0xFF)); }
    QByteArray m_bytes;
};

/// Points spread at random over the picture, so that the line between them crosses itself
/// again and again.
std::vector<int> crossingPoints(int count)
{
    std::vector<int> words{count};
    quint32 seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245 + 12345;
        return int((seed >> 8) % quint32(range));
    };
    for (int i = 0; i < count; ++i) {
        words.push_back(next(16000));
        words.push_back(next(12000));
    }
    return words;
}

/// count ExcludeClipRect records cutting small squares out of the picture, then a filled
/// rectangle over all of it.
QByteArray excludes(int count)
{
    Records r;
    r.brush();
    r.select(0);
    quint32 seed = 99;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245 + 12345;
        const int x = int((seed >> 8) % 15800), y = int((seed >> 4) % 11800);
        r.add(0x0415, {y + 150, x + 150, y, x});
    }
    r.add(0x041B, {12000, 16000, 0, 0});
    return r.file(1);
}

/// records polylines (or filled polygons) of count self-crossing points each, drawn with a pen
/// width units wide.
QByteArray crossing(int records, int count, int width, bool polygon)
{
    Records r;
    r.pen(width);
    r.select(0);
    r.brush();
    r.select(1);
    for (int i = 0; i < records; ++i)
        r.add(polygon ? 0x0324 : 0x0325, crossingPoints(count));
    return r.file(2);
}

struct Hostile
{
    const char *name;
    std::function<QByteArray()> make;
};

const std::vector<Hostile> &hostileFiles()
{
    static const std::vector<Hostile> files{
        {"hostile/exclude-400", [] { return excludes(400); }},
        {"hostile/exclude-1000", [] { return excludes(1000); }},
        {"hostile/exclude-5000", [] { return excludes(5000); }},
        {"hostile/exclude-1MB", [] { return excludes(74000); }},
        {"hostile/polyline-16000-pen10px", [] { return crossing(1, 16000, 200, false); }},
        {"hostile/polyline-400-pen10px", [] { return crossing(1, 400, 200, false); }},
        {"hostile/polyline-16000-thin", [] { return crossing(1, 16000, 0, false); }},
        {"hostile/polyline-16000-pen100px", [] { return crossing(1, 16000, 2000, false); }},
        {"hostile/polyline-16000-hugepen", [] { return crossing(1, 16000, 32767, false); }},
        {"hostile/polygon-16000-filled", [] { return crossing(1, 16000, 0, true); }},
        {"hostile/polyline-1MB-pen10px", [] { return crossing(4, 65000, 200, false); }},
        {"hostile/polyline-1MB-hugepen", [] { return crossing(4, 65000, 32767, false); }},
        {"hostile/polygon-1MB-filled", [] { return crossing(4, 65000, 0, true); }},
    };
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    const bool hostileOnly = args.removeAll(QStringLiteral("--hostile")) > 0;
    QStringList files;
    if (!hostileOnly) {
        for (const QString &arg : args)
            files << (QFileInfo(arg).isDir() ? metafilesIn(arg) : QStringList{arg});
    }
    if (args.isEmpty() && !hostileOnly) {
        const QDir run(QStringLiteral(HABITARA_RUN_DIR));
        files << metafilesIn(run.filePath(QStringLiteral("wmf")))
              << metafilesIn(run.filePath(QStringLiteral("wmf2")));
        const QDir source = QFileInfo(QStringLiteral(__FILE__)).dir();
        files << metafilesIn(source.filePath(QStringLiteral("../tests/data/wmf")))
              << metafilesIn(source.filePath(QStringLiteral("../tests/fuzz/corpus_wmf")));
    }
    std::vector<std::pair<QString, QByteArray>> pages, hostile;
    for (const QString &path : files) {
        QFile file(path);
        const QString name =
            QFileInfo(QFileInfo(path).dir().dirName(), QFileInfo(path).fileName()).filePath();
        if (!file.open(QIODevice::ReadOnly))
            std::printf("%-40s cannot be opened\n", qPrintable(name));
        else
            pages.emplace_back(name, file.readAll());
    }
    if (hostileOnly || args.isEmpty()) {
        for (const Hostile &h : hostileFiles()) {
            const QString name = QString::fromLatin1(h.name);
            if (args.isEmpty() || std::any_of(args.begin(), args.end(),
                                              [&](const QString &a) { return name.contains(a); }))
                hostile.emplace_back(name, h.make());
        }
    }
    if (pages.empty() && hostile.empty()) {
        std::fprintf(stderr, "bench_wmf: no metafiles found\n");
        return 1;
    }

    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    std::printf("%-40s %8s %8s %10s %10s\n", "page", "KB", "records", "parse ms", "play ms");
    auto bench = [&image](const QString &name, const QByteArray &bytes, double &parse,
                          double &play) {
        QString error;
        const auto metafile = wmf::Metafile::parse(bytes, &error);
        if (!metafile) {
            std::printf("%-40s not read: %s\n", qPrintable(name), qPrintable(error));
            return false;
        }
        parse = timeOf([&] { wmf::Metafile::parse(bytes); });
        play = timeOf([&] {
            image.fill(Qt::white);
            QPainter painter(&image);
            metafile->play(painter, QRectF(0, 0, 800, 600));
        });
        std::printf("%-40s %8.1f %8d %10.3f %10.3f\n", qPrintable(name), bytes.size() / 1024.0,
                    metafile->recordCount(), parse, play);
        std::fflush(stdout);
        return true;
    };
    double totalParse = 0, totalPlay = 0;
    int count = 0;
    for (const auto &[name, bytes] : pages) {
        double parse = 0, play = 0;
        if (bench(name, bytes, parse, play)) {
            totalParse += parse;
            totalPlay += play;
            ++count;
        }
    }
    if (count > 0)
        std::printf("%-40s %8s %8s %10.3f %10.3f\n", "mean per page", "", "", totalParse / count,
                    totalPlay / count);
    double worst = 0;
    for (const auto &[name, bytes] : hostile) {
        double parse = 0, play = 0;
        if (bench(name, bytes, parse, play))
            worst = std::max(worst, parse + play);
    }
    if (!hostile.empty())
        std::printf("%-40s %8s %8s %21.3f\n", "slowest hostile file, parse and play", "", "",
                    worst);
    return 0;
}
