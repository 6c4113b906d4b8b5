// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/author.h"

#include "app/intro0.h"
#include "authoring/wizard.h"
#include "authoring/worksheetfile.h"
#include "authoring/worksheets.h"
#include "platform/controls.h"
#include "tests/support/testkit.h"

#include <QTest>

namespace author {

QStringList titles(int n, const QString &stem)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("%1 %2").arg(stem).arg(i);
    return list;
}

QStringList shown(const worksheets &cat)
{
    QStringList list;
    for (int i = 1; i <= 24; ++i)
        if (cat.Label2[i].visible())
            list << cat.Label2[i].caption();
    return list;
}

void typeAnyText(TextBox &box, const QString &text)
{
    box.widget()->setFocus();
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, box.widget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box.widget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
}

wizard &openWizard()
{
    screen<intro0>().show();
    testkit::click(screen<intro0>().Label2[17]);
    return screen<wizard>();
}

worksheets &openCatalogue()
{
    screen<intro0>().show();
    testkit::click(screen<intro0>().Label2[18]);
    testkit::settle();
    return screen<worksheets>();
}

void writeWorksheet(wizard &w, const QString &title)
{
    testkit::typeInto(w.Text1, title);
    for (int q = 0; q < 10; ++q) {
        testkit::typeInto(w.Text2[q], QStringLiteral("Question %1 of %2").arg(q + 1).arg(title));
        for (int a = 0; a < 4; ++a)
            testkit::typeInto(w.Text3[4 * q + a],
                              QStringLiteral("%1 %2").arg(QChar(char16_t(u'A' + a))).arg(q + 1));
        testkit::click(w.Check1[4 * q + q % 4]);
    }
}

QByteArray worksheetBytes(const QString &title)
{
    QString stored = title;
    stored.replace(QLatin1Char(','), QLatin1Char('&'));
    QByteArray bytes = stored.toLatin1() + "\r\n \r\n";
    for (int q = 1; q <= 10; ++q) {
        stored = QStringLiteral("Question %1 of %2").arg(q).arg(title);
        stored.replace(QLatin1Char(','), QLatin1Char('&'));
        bytes += stored.toLatin1() + "\r\n";
        for (int a = 0; a < 4; ++a)
            bytes += QStringLiteral("%1 %2\r\n").arg(QChar(char16_t(u'A' + a))).arg(q).toLatin1();
        bytes += QByteArray::number((q - 1) % 4 + 1) + "\r\n \r\n";
    }
    return bytes;
}

Worksheet worksheet(const QString &title)
{
    Worksheet sheet;
    sheet.title = title;
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] = QStringLiteral("Question %1 of %2").arg(q + 1).arg(title);
        for (int a = 0; a < 4; ++a)
            sheet.answers[q][a] = QStringLiteral("%1 %2").arg(QChar(char16_t(u'A' + a))).arg(q + 1);
        sheet.right[q] = q % 4 + 1;
    }
    return sheet;
}

void registerSheets(const QStringList &titles, bool files)
{
    testkit::writeFile(track, registerBytes(titles));
    for (const QString &title : files ? titles : QStringList())
        testkit::writeFile(QStringLiteral("multiple/%1.txt").arg(title), worksheetBytes(title));
}

QByteArray registerBytes(const QStringList &titles)
{
    QByteArray bytes = " " + QByteArray::number(titles.size()) + "\r\n";
    for (const QString &title : titles)
        bytes += title.toLatin1() + "\r\n";
    return bytes;
}

QMap<QString, QByteArray> folderFiles()
{
    QMap<QString, QByteArray> files = testkit::everything(QStringLiteral("multiple"));
    files.removeIf([](QMap<QString, QByteArray>::iterator file) {
        return file.key().endsWith(QStringLiteral(".lock"));
    });
    return files;
}

} // namespace author
