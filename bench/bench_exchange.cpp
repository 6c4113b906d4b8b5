// SPDX-License-Identifier: GPL-3.0-or-later
// bench_exchange: times reading a GIFT file of 1000 questions (about 200 KB) into usable
// questions and a report, and exporting 100 worksheets as GIFT and as Aiken; then 100
// worksheets read from their files and each written whole to a file as --export does. Prints
// each figure beside its budget of 100 ms.
#include "authoring/exchange.h"
#include "bench/benchkit.h"
#include "platform/paths.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

/// A thousand questions as a school's platform writes them: names, HTML, feedback, and every
/// tenth one of a kind a worksheet cannot take.
QByteArray thousandQuestions()
{
    QString text = QStringLiteral("// Deserts and mountains, exported from the platform\n"
                                  "$CATEGORY: $course$/Habitats/Deserts\n\n");
    for (int n = 1; n <= 1000; ++n) {
        text += QStringLiteral("::Habitats question %1::[html]<p>Which animal lives in desert "
                               "number %1?</p>{\n")
                    .arg(n);
        if (n % 10 == 0) {
            text += QStringLiteral("\t=camel -> desert\n\t=yak -> mountains\n}\n\n");
            continue;
        }
        text += QStringLiteral("\t=The camel, %1 #Right: it stores fat.\n"
                               "\t~The polar bear #No.\n"
                               "\t~The penguin \\= a bird\n"
                               "\t~The seal\n"
                               "\t####Camels go for days without water.\n}\n\n")
                    .arg(n);
    }
    return text.toUtf8();
}

Worksheet sheet(int n)
{
    Worksheet s;
    s.title = QStringLiteral("Worksheet %1").arg(n);
    for (int q = 0; q < 10; ++q) {
        s.questions[q] = QStringLiteral("Which animal: {a} = b, ~c #%1 of %2?").arg(q).arg(n);
        for (int a = 0; a < 4; ++a)
            s.answers[q][a] = QStringLiteral("Answer %1: it's é’").arg(a);
        s.right[q] = q % 4 + 1;
    }
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    benchkit::Application app(argc, argv);
    const QByteArray file = thousandQuestions();
    std::printf("GIFT file of 1000 questions: %lld bytes\n", static_cast<long long>(file.size()));

    std::vector<double> reads, gift, aiken;
    const char *failure = nullptr;
    for (int run = 0; run < 20; ++run) {
        QuizReading reading;
        reads.push_back(benchkit::millisecondsOf([&] {
            const QString text = exchange::decodeText(file);
            reading = exchange::readQuiz(text, exchange::detectFormat(text));
        }));
        if (reading.usable.size() != 900 || reading.leftOut.size() != 100)
            failure = "WRONG COUNT";
    }
    std::vector<Worksheet> sheets;
    for (int n = 1; n <= 100; ++n)
        sheets.push_back(sheet(n));
    qsizetype written = 0;
    for (int run = 0; run < 20; ++run) {
        gift.push_back(benchkit::millisecondsOf([&] {
            for (const Worksheet &s : sheets)
                written += exchange::exportText(s, QuizFormat::Gift).size();
        }));
        aiken.push_back(benchkit::millisecondsOf([&] {
            for (const Worksheet &s : sheets)
                written += exchange::exportText(s, QuizFormat::Aiken).size();
        }));
    }
    if (written == 0)
        failure = "NOTHING WRITTEN";

    // The worksheets saved in a worksheet folder, then exported one file each as --export
    // does: read from its file, checked, and written whole.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkpath(QStringLiteral("multiple"));
    QDir().mkpath(QStringLiteral("out"));
    prepareWorksheetFolder();
    for (const Worksheet &s : sheets)
        storeWorksheet(s);
    std::vector<double> files;
    const char *fileFailure = nullptr;
    double total = 0;
    for (int run = 0; run < 3; ++run) {
        for (const Worksheet &s : sheets) {
            files.push_back(benchkit::millisecondsOf([&] {
                const exchange::CommandResult r = exchange::exportCommand(
                    s.title, dir.filePath(QStringLiteral("out/") + s.title + ".gift"),
                    QuizFormat::Gift);
                if (r.exitCode != 0)
                    fileFailure = "EXPORT FAILED";
            }));
            total += files.back();
        }
    }

    bool ok = benchkit::report("import 1000 GIFT questions", reads, 100, 0.5, failure);
    ok = benchkit::report("export 100 worksheets as GIFT", gift, 100) && ok;
    ok = benchkit::report("export 100 worksheets as Aiken", aiken, 100) && ok;
    ok = benchkit::report("export one worksheet to a file", files, 100, 0.95, fileFailure) && ok;
    std::printf("(100 worksheets to files take %.0f ms in all: each read from its file, checked "
                "and written whole)\n",
                total / 3);
    return ok ? 0 : 1;
}
