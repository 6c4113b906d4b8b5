// SPDX-License-Identifier: GPL-3.0-or-later
// The built illustrations: each a JPEG of the size of the box that shows it, with a drawing in it.
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>

#include <cmath>

class PicturesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachPictureIsADrawingOfItsSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        // Pixels of the boxes that show them, at 15 twips to the pixel.
        const std::pair<const char *, QSize> pictures[] = {
            {"andesmd", {320, 240}},   {"llama", {320, 400}},        {"camel", {320, 400}},
            {"llamamd", {324, 222}},   {"camelsm", {57, 41}},        {"andessm", {320, 240}},
            {"goatsm", {264, 186}},    {"yakssm", {307, 215}},       {"bearssm", {235, 304}},
            {"mountain2", {694, 460}}, {"bedouin tent", {800, 368}},
        };
        for (const auto &[name, size] : pictures)
            QTest::newRow(name) << QString::fromLatin1(name) << size;
    }

    void eachPictureIsADrawingOfItsSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QImageReader reader(
            QDir(QStringLiteral(HABITARA_RUN_DIR)).filePath("images/" + name + ".jpg"));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), size);
        // A drawing has many colours and light and dark parts; a flat fill or bare gradient has
        // not.
        QSet<QRgb> colours;
        double sum = 0, sumOfSquares = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                colours.insert(c & 0xf0f0f0);
                sum += qGray(c);
                sumOfSquares += qGray(c) * qGray(c);
            }
        const double n = double(image.width()) * image.height();
        const double spread = std::sqrt(sumOfSquares / n - (sum / n) * (sum / n));
        QVERIFY2(colours.size() >= 150, qPrintable(QString::number(colours.size()) + " colours"));
        QVERIFY2(spread >= 20, qPrintable(QStringLiteral("brightness spread %1").arg(spread)));
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
