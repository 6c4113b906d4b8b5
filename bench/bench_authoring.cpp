// SPDX-License-Identifier: GPL-3.0-or-later
// bench_authoring: times opening the worksheet catalogue on a register of 1000 titles, turning
// through all of its pages, and saving one worksheet into a register of 999. Prints each figure
// beside its budget: opening 30 ms, a page turn one 60 Hz frame (16.7 ms), a save 50 ms.
#include "authoring/register.h"
#include "authoring/worksheetfile.h"
#include "authoring/worksheets.h"
#include "bench/benchkit.h"
#include "platform/form.h"
#include "tests/support/author.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

Worksheet sheetTitled(const QString &title)
{
    Worksheet sheet;
    sheet.title = title;
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] =
            QStringLiteral("Which animal lives highest in the mountains, %1?").arg(q);
        for (int a = 0; a < 4; ++a)
            sheet.answers[q][a] = QStringLiteral("Answer %1 of question %2").arg(a).arg(q);
        sheet.right[q] = q % 4 + 1;
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    benchkit::Application app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("multiple"));
    writeRegister(author::titles(1000, QStringLiteral("Worksheet number")));

    std::vector<double> open, turn;
    for (int run = 0; run < 20; ++run) {
        open.push_back(benchkit::millisecondsOf([] {
            screen<worksheets>().show();
            QCoreApplication::processEvents();
        }));
        worksheets &cat = screen<worksheets>();
        int pages = 1;
        for (; cat.Label3[1].visible(); ++pages) {
            turn.push_back(benchkit::millisecondsOf([&cat] {
                cat.Label3_Click(1);
                cat.host()->repaint();
            }));
        }
        if (pages != 42) {
            std::fprintf(stderr, "bench_authoring: %d pages, not 42\n", pages);
            return 1;
        }
        unload<worksheets>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::vector<double> save;
    for (int run = 0; run < 20; ++run) {
        writeRegister(author::titles(999, QStringLiteral("Worksheet number")));
        save.push_back(benchkit::millisecondsOf(
            [] { storeWorksheet(sheetTitled(QStringLiteral("The new one"))); }));
    }

    bool ok = benchkit::report("open the catalogue (1000 titles)", open, 30);
    ok = benchkit::report("turn a page", turn, 1000.0 / 60) && ok;
    ok = benchkit::report("save into a register of 999", save, 50) && ok;
    return ok ? 0 : 1;
}
