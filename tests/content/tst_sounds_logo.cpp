// SPDX-License-Identifier: GPL-3.0-or-later
// The sounds and the logo pictures that the content build writes into the run folder: each is
// there, well formed, and fit to be played or shown.
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QTest>
#include <QtEndian>

#include "tests/support/testkit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using testkit::builtFile;

namespace {

constexpr int fullScale = 32768;
/// -3 dBFS: no sample may reach it.
constexpr int peakLimit = 23197;

quint32 le32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

/// A WAV file as its chunks describe it.
struct Wave
{
    QString error; ///< empty when the file is well formed
    int format = 0, channels = 0, rate = 0, byteRate = 0, blockAlign = 0, bits = 0;
    std::vector<int16_t> samples;
    double seconds() const { return rate > 0 ? double(samples.size()) / rate : 0.0; }
};

/// Reads a WAV file in the plain layout the build writes: the RIFF header, a 16-byte fmt chunk
/// and the data chunk, each size matching the file.
Wave readWave(const QByteArray &bytes)
{
    Wave w;
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt " ||
        le32(bytes, 16) != 16 || bytes.mid(36, 4) != "data")
        w.error = QStringLiteral("not a plain RIFF/WAVE file");
    else if (le32(bytes, 4) != quint32(bytes.size() - 8) ||
             le32(bytes, 40) != quint32(bytes.size() - 44) || bytes.size() % 2)
        w.error = QStringLiteral("the chunk sizes do not match the file");
    if (!w.error.isEmpty())
        return w;
    w.format = le16(bytes, 20);
    w.channels = le16(bytes, 22);
    w.rate = int(le32(bytes, 24));
    w.byteRate = int(le32(bytes, 28));
    w.blockAlign = le16(bytes, 32);
    w.bits = le16(bytes, 34);
    for (qsizetype i = 44; i < bytes.size(); i += 2)
        w.samples.push_back(int16_t(le16(bytes, i)));
    return w;
}

/// RMS in 20 ms windows, scaled so that the loudest window is 1.
std::vector<double> envelopeOf(const std::vector<int16_t> &samples, int rate)
{
    const size_t window = size_t(rate / 50);
    std::vector<double> envelope;
    for (size_t start = 0; start < samples.size(); start += window) {
        const size_t end = std::min(samples.size(), start + window);
        double sum = 0;
        for (size_t i = start; i < end; ++i)
            sum += double(samples[i]) * samples[i];
        envelope.push_back(std::sqrt(sum / double(end - start)));
    }
    const double loudest = *std::max_element(envelope.begin(), envelope.end());
    for (double &v : envelope)
        v /= loudest;
    return envelope;
}

const QStringList fanfares = QStringLiteral("fanf2 fanf3 fanf4 halleluj slot_payoff crowd cheer2 "
                                            "klaxon flute gong clap2 clap3 drumroll laser2 whizz "
                                            "clown")
                                 .split(u' ');

QString framePath(int frame)
{
    return QStringLiteral("logo/quil%1.gif").arg(frame, 4, 10, QLatin1Char('0'));
}

/// How much the picture changes from a to b: the pixels that differ, and the colour differences
/// summed over all pixels.
std::pair<int, double> change(const QImage &a, const QImage &b)
{
    int pixels = 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            pixels += p != q;
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return {pixels, sum};
}

/// The share of the area's pixels that are not its background (its most common colour).
double drawnShare(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    int background = 0;
    for (int count : std::as_const(counts))
        background = std::max(background, count);
    const int all = area.width() * area.height();
    return double(all - background) / all;
}

} // namespace

class SoundsLogoTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wavesAreSoundPcm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("click") << QStringLiteral("click") << 0.02 << 0.06;
        QTest::newRow("typekey") << QStringLiteral("typekey") << 0.04 << 0.09;
        QTest::newRow("thud3") << QStringLiteral("thud3") << 0.08 << 0.18;
        for (const QString &name : fanfares)
            QTest::newRow(qPrintable(name)) << name << 1.0 << 4.0;
    }

    void wavesAreSoundPcm()
    {
        QFETCH(QString, name);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const QByteArray bytes = builtFile(QStringLiteral("wav/%1.wav").arg(name));
        QVERIFY2(!bytes.isEmpty(), "missing or empty");
        const Wave w = readWave(bytes);
        QVERIFY2(w.error.isEmpty(), qPrintable(w.error));
        // What QSoundEffect plays everywhere: PCM, mono, 16-bit, 22050 Hz.
        QCOMPARE(QList<int>({w.format, w.channels, w.bits, w.rate, w.blockAlign, w.byteRate}),
                 QList<int>({1, 1, 16, 22050, 2, 44100}));
        QVERIFY2(w.seconds() >= shortest && w.seconds() <= longest,
                 qPrintable(QStringLiteral("lasts %1 s").arg(w.seconds())));

        int peak = 0;
        double sum = 0, energy = 0;
        for (int16_t s : w.samples) {
            peak = std::max(peak, std::abs(int(s)));
            sum += s;
            energy += double(s) * s;
        }
        const double mean = sum / double(w.samples.size());
        const double rms = std::sqrt(energy / double(w.samples.size()));
        // Loud enough but below -3 dBFS, centred on zero, and starting and stopping at zero (or
        // it would pop).
        const QString levels = QStringLiteral("peak %1, RMS %2, DC %3, first %4, last %5")
                                   .arg(peak)
                                   .arg(rms)
                                   .arg(mean)
                                   .arg(w.samples.front())
                                   .arg(w.samples.back());
        QVERIFY2(peak < peakLimit && peak > fullScale / 10 && rms > fullScale / 100.0 &&
                     std::abs(mean) < fullScale / 200.0 &&
                     std::abs(int(w.samples.front())) < fullScale / 100 &&
                     std::abs(int(w.samples.back())) < fullScale / 100,
                 qPrintable(levels));
    }

    void fanfaresAreDifferentSounds()
    {
        std::vector<Wave> waves;
        for (const QString &name : fanfares) {
            waves.push_back(readWave(builtFile(QStringLiteral("wav/%1.wav").arg(name))));
            QVERIFY2(waves.back().error.isEmpty() && !waves.back().samples.empty(),
                     qPrintable(name));
        }
        for (size_t a = 0; a < waves.size(); ++a) {
            const std::vector<double> ea = envelopeOf(waves[a].samples, waves[a].rate);
            for (size_t b = a + 1; b < waves.size(); ++b) {
                const QString pair =
                    fanfares[qsizetype(a)] + QStringLiteral(" and ") + fanfares[qsizetype(b)];
                QVERIFY2(waves[a].samples != waves[b].samples, qPrintable(pair + " are equal"));
                // Louder, softer or with a longer tail, the same sound keeps its shape in time.
                const std::vector<double> eb = envelopeOf(waves[b].samples, waves[b].rate);
                const size_t length = std::max(ea.size(), eb.size());
                double difference = 0;
                for (size_t i = 0; i < length; ++i)
                    difference +=
                        std::abs((i < ea.size() ? ea[i] : 0.0) - (i < eb.size() ? eb[i] : 0.0));
                QVERIFY2(difference / double(length) > 0.05,
                         qPrintable(pair + " rise and fall alike"));
            }
        }
    }

    void logoFramesAreAGifLoop()
    {
        std::vector<QImage> frames;
        for (int i = 0; i < 20; ++i) {
            const QByteArray bytes = builtFile(framePath(i));
            QVERIFY2(bytes.startsWith("GIF89a"), qPrintable(framePath(i)));
            QImage image;
            QVERIFY2(image.loadFromData(bytes, "GIF"), qPrintable(framePath(i)));
            QCOMPARE(image.size(), QSize(120, 120));
            frames.push_back(image.convertToFormat(QImage::Format_RGB32));
            QVERIFY2(drawnShare(frames.back(), QRect(10, 10, 100, 100)) > 0.01,
                     qPrintable(framePath(i) + " is blank"));
        }
        QVERIFY(builtFile(framePath(20)).isEmpty());
        // Every step of the loop, the last frame back to the first included, changes the
        // picture; and none jumps: no step is much bigger than a typical one.
        std::vector<double> steps;
        for (int i = 0; i < 20; ++i) {
            const auto [pixels, step] = change(frames[size_t(i)], frames[size_t((i + 1) % 20)]);
            QVERIFY2(pixels > 20, qPrintable(QStringLiteral("frame %1 is like the next").arg(i)));
            steps.push_back(step);
        }
        std::vector<double> sorted = steps;
        std::sort(sorted.begin(), sorted.end());
        const double typical = sorted[sorted.size() / 2];
        for (int i = 0; i < 20; ++i)
            QVERIFY2(steps[size_t(i)] <= 1.6 * typical,
                     qPrintable(QStringLiteral("frame %1 jumps to the next").arg(i)));
    }

    void stillLogoIsA24BitBmp()
    {
        const QByteArray bytes = builtFile(QStringLiteral("logo/quillan2.bmp"));
        QVERIFY2(bytes.size() > 54 && bytes.startsWith("BM"), "not a BMP file");
        QCOMPARE(le16(bytes, 28), quint16(24));
        QImage image;
        QVERIFY(image.loadFromData(bytes, "BMP"));
        QCOMPARE(image.size(), QSize(120, 89));
        QVERIFY2(drawnShare(image, QRect(10, 10, 100, 69)) > 0.1, "the logo is blank");
    }
};

QTEST_MAIN(SoundsLogoTest)
#include "tst_sounds_logo.moc"
