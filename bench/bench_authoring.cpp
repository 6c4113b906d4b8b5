// SPDX-License-Identifier: GPL-3.0-or-later
// bench_authoring: times opening the worksheet catalogue on a register of 1000 titles, turning
// through all of its pages, and saving one worksheet into a register of 999. Prints each figure
// beside its budget: opening 30 ms, a page turn one 60 Hz frame (16.7 ms), a save 50 ms.
#include "authoring/register.h"
#include "authoring/worksheetfile.h"
#include "authoring/worksheets.h"
#include "platform/fonts.h"
#include "platform/form.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double worst(const std::vector<double> &v)
{
    return *std::max_element(v.begin(), v.end());
}

QStringList titles(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("Worksheet number %1").arg(i);
    return list;
}

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

bool report(const char *what, const std::vector<double> &ms, double budget)
{
    const bool ok = median(ms) <= budget;
    std::printf("%-34s median %7.2f ms  worst %7.2f ms  budget %5.1f ms  %s\n", what, median(ms),
                worst(ms), budget, ok ? "ok" : "OVER BUDGET");
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerFonts();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("multiple"));
    writeRegister(titles(1000));

    std::vector<double> open, turn;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer timer;
        timer.start();
        worksheets &cat = screen<worksheets>();
        cat.show();
        QCoreApplication::processEvents();
        open.push_back(timer.nsecsElapsed() / 1e6);
        int pages = 1;
        while (cat.Label3[1].visible()) {
            timer.restart();
            cat.Label3_Click(1);
            cat.host()->repaint();
            turn.push_back(timer.nsecsElapsed() / 1e6);
            ++pages;
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
        writeRegister(titles(999));
        QElapsedTimer timer;
        timer.start();
        storeWorksheet(sheetTitled(QStringLiteral("The new one")));
        save.push_back(timer.nsecsElapsed() / 1e6);
    }

    bool ok = report("open the catalogue (1000 titles)", open, 30);
    ok = report("turn a page", turn, 1000.0 / 60) && ok;
    ok = report("save into a register of 999", save, 50) && ok;
    return ok ? 0 : 1;
}
