// SPDX-License-Identifier: GPL-3.0-or-later
// Quiz files on disk: what the writer puts there and what the reader takes back.
#include "app/Module1.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "tests/support/testkit.h"

#include <QTest>

using namespace testkit;

namespace {

/// The 72 lines of a quiz in the file layout; question q's texts name their q.
QStringList quizLines(const QString &title)
{
    QStringList lines{title, QStringLiteral(" ")};
    for (int q = 1; q <= 10; ++q) {
        lines << QStringLiteral("Question %1").arg(q) << QStringLiteral("A%1").arg(q)
              << QStringLiteral("B%1").arg(q) << QStringLiteral("C%1").arg(q)
              << QStringLiteral("D%1").arg(q) << QString::number((q - 1) % 4 + 1)
              << QStringLiteral(" ");
    }
    return lines;
}

QByteArray crlf(const QStringList &lines, bool lastLineEnd = true)
{
    QByteArray bytes = lines.join(QStringLiteral("\r\n")).toLatin1();
    if (lastLineEnd)
        bytes += "\r\n";
    return bytes;
}

void load(const QByteArray &bytes)
{
    FieldReader file = FieldReader::fromBytes(bytes);
    Module1::loadquest(file);
}

} // namespace

class QuizFileTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void commasAmpersandsAndSpacersReadBack()
    {
        // What the writer stores: commas turned into "&"; spacer lines are never read.
        QStringList lines = quizLines(QStringLiteral("Hills& valleys& and rivers"));
        lines[1] = QStringLiteral("anything at all");
        lines[2] = QStringLiteral("Which is right&& or wrong?");
        lines[3] = QStringLiteral("Rock & roll");
        lines[7] = QStringLiteral("  3");
        lines[8] = QString();
        lines[14] = QStringLiteral("4&");
        content->write(QStringLiteral("multiple/t.txt"), crlf(lines, false));
        Module1::question[0] = QStringLiteral("untouched");
        FieldReader file(QStringLiteral("MULTIPLE\\T.TXT"));
        Module1::loadquest(file);
        QCOMPARE(Module1::worktitle, QStringLiteral("Hills, valleys, and rivers"));
        QCOMPARE(Module1::question[1], QStringLiteral("Which is right,, or wrong?"));
        QCOMPARE(Module1::answera[1], QStringLiteral("Rock , roll"));
        QCOMPARE(Module1::correct[1], QStringLiteral("3"));
        QCOMPARE(Module1::question[2], QStringLiteral("Question 2"));
        QCOMPARE(Module1::correct[2], QStringLiteral("4&"));
        QCOMPARE(Module1::answerd[10], QStringLiteral("D10"));
        QCOMPARE(Module1::question[0], QStringLiteral("untouched"));

        // Nothing after the last field is read; quoted fields keep their commas.
        lines << QStringLiteral("extra line, never read") << QStringLiteral("\"unclosed");
        load(crlf(lines));
        QCOMPARE(Module1::correct[10], QStringLiteral("2"));
        FieldReader quoted = FieldReader::fromBytes("  \"a, b\" ,c\r\n\r\n   \r\nlast");
        for (const char *field : {"a, b", "c", "", "", "last"})
            QCOMPARE(quoted.readField(), QString::fromLatin1(field));
        QVERIFY_THROWS_EXCEPTION(ProgramError, quoted.readField());
    }

    void aShortFileLeavesTheLoadedQuizAlone()
    {
        load(crlf(quizLines(QStringLiteral("Complete"))));
        QStringList lines = quizLines(QStringLiteral("Broken"));
        lines[2] = QStringLiteral("Broken question");
        QVERIFY_THROWS_EXCEPTION(ProgramError, load(crlf(lines.mid(0, 71))));
        QCOMPARE(Module1::worktitle, QStringLiteral("Complete"));
        QCOMPARE(Module1::question[1], QStringLiteral("Question 1"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, load(QByteArray()));
        QVERIFY_THROWS_EXCEPTION(ProgramError, FieldReader(QStringLiteral("multiple/none.txt")));
    }

    void theWriterKeepsWindows1252AndRefusesWhatItCannotHold()
    {
        const QByteArray written("Caf\xe9 \x96 \xa3\r\n \r\n");
        {
            LineWriter writer(QStringLiteral("multiple\\w.txt"));
            writer.writeLine(QStringLiteral("Caf\u00e9 \u2013 \u00a3"));
            writer.writeLine(QStringLiteral(" "));
            writer.commit();
        }
        QCOMPARE(content->read(QStringLiteral("multiple/w.txt")), written);
        LineWriter refused(QStringLiteral("multiple/w.txt"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, refused.writeLine(QStringLiteral("\u65e5\u672c")));
        QCOMPARE(content->read(QStringLiteral("multiple/w.txt")), written);
        LineWriter nowhere(QStringLiteral("no such folder/w.txt"));
        nowhere.writeLine(QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(ProgramError, nowhere.commit());
    }
};

QTEST_MAIN(QuizFileTest)
#include "tst_quizfile.moc"
