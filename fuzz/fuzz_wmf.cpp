// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the metafile reader: every input is parsed and, when it parses, played
// onto a small image. Its seed corpus is tests/fuzz/corpus_wmf.
#include "platform/wmf.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

// Fontconfig keeps the patterns Qt's font database looks up the first time a family is asked
// for, and never frees them: not a leak of the reader's.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Fonts need an application object; it gets arguments of its own so that it takes none of
    // the fuzzer's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_wmf";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const auto metafile = wmf::Metafile::parse(bytes, &error);
    if (!metafile)
        return 0;
    const QSizeF natural = metafile->sizeTwips();
    if (metafile->recordCount() < 0 || !(natural.width() > 0) || !(natural.height() > 0))
        __builtin_trap();
    QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile->play(painter, QRectF(0, 0, 64, 48));
    return 0;
}
