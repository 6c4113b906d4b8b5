// SPDX-License-Identifier: GPL-3.0-or-later
// GIFT and Aiken files read, written and read again; and the command line that brings a
// school's quiz file in as worksheets and takes one back out, with no window and no display.
#include "app/Module1.h"
#include "authoring/aiken.h"
#include "authoring/exchange.h"
#include "authoring/gift.h"
#include "authoring/register.h"
#include "platform/textfile.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace exchange;
using testkit::readFile;
using testkit::writeFile;
using namespace Qt::StringLiterals;

namespace {

/// A usable question as "text|A|B|C|D|right", the way the rows below write it.
QString shown(const QuizQuestion &q)
{
    QStringList parts{q.text};
    for (const QString &a : q.answers)
        parts << a;
    return (parts << QString::number(q.right)).join(u'|');
}

QString leftOutLines(const QuizReading &reading)
{
    QStringList lines;
    for (const LeftOut &l : reading.leftOut)
        lines << l.line();
    return lines.join(u'\n');
}

QByteArray windows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

/// A worksheet file's bytes: the title, then per question its text, four answers and the
/// right answer, as the quiz layout stores them.
QByteArray worksheetFile(const QString &title, const QStringList &questions)
{
    QString text = title + QStringLiteral("\r\n \r\n");
    for (int q = 0; q < 10; ++q) {
        const QStringList parts = questions[q % questions.size()].split(u'|');
        for (int i = 0; i < 5; ++i)
            text += parts[i] + QStringLiteral("\r\n");
        text += parts[5] + QStringLiteral("\r\n \r\n");
    }
    return windows1252(text);
}

Worksheet loaded(const QByteArray &file)
{
    FieldReader reader = FieldReader::fromBytes(file);
    return exchange::readWorksheet(reader);
}

QByteArray fileBytes(const Worksheet &sheet)
{
    return windows1252(worksheetLines(sheet).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

/// A GIFT question with four answers, the first right.
QString giftQuestion(int n)
{
    return QStringLiteral("::Q%1:: Which desert animal is number %1?{=Camel %1 ~Yak %1 ~Seal %1 "
                          "~Penguin %1}\n\n")
        .arg(n);
}

} // namespace

class ExchangeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readersFollowTheFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("usable");
        QTest::addColumn<QString>("leftOut");
        const QString none;
        auto row = [](const char *name, const char *format, const QString &text,
                      const QString &usable, const QString &leftOut) {
            QTest::newRow(name) << QString::fromLatin1(format) << text << usable << leftOut;
        };

        row("gift plain", "gift", u"Which is hot?{=Sun ~Moon ~Snow ~Ice}"_s,
            u"Which is hot?|Sun|Moon|Snow|Ice|1"_s, none);
        row("gift comments, category, name", "gift",
            u"// deserts\n$CATEGORY: $course$/Deserts\n\n::Q1:: Which is hot? {~Moon =Sun ~Snow "
            u"~Ice}"_s,
            u"Which is hot?|Moon|Sun|Snow|Ice|2"_s, none);
        row("gift html", "gift",
            u"::Q::[html]<p>Which is <b>hot</b> &amp; dry?</p>{=Sun ~Moon ~Snow &lt;3 "
            u"~I&\\#233;ce}"_s,
            u"Which is hot & dry?|Sun|Moon|Snow <3|Iéce|1"_s, none);
        row("gift markdown", "gift", u"[markdown]Which is **hot**?{=*Sun* ~Moon ~Snow ~Ice}"_s,
            u"Which is hot?|Sun|Moon|Snow|Ice|1"_s, none);
        row("gift plain format keeps tags", "gift",
            u"[plain]Is <b> a tag?{=Yes ~No ~Maybe ~Never}"_s,
            u"Is <b> a tag?|Yes|No|Maybe|Never|1"_s, none);
        row("gift moodle format", "gift", u"[moodle]Salt & pepper?{=A ~B ~C ~D}"_s,
            u"Salt & pepper?|A|B|C|D|1"_s, none);
        row("gift weights", "gift",
            u"Where?{~Jerusalem ~%25%Bethlehem ~%100%Nazareth ~%-50%Rome}"_s,
            u"Where?|Jerusalem|Bethlehem|Nazareth|Rome|3"_s, none);
        row("gift feedback dropped", "gift",
            u"Hot?{=Sun#Right! ~Moon#No, cold ~Snow ~Ice####It is the sun.}"_s,
            u"Hot?|Sun|Moon|Snow|Ice|1"_s, none);
        row("gift escapes", "gift",
            u"1 \\+ 1 \\= 2\\: \\{\\}\\~\\#?{=a\\=b ~c\\~d ~e\\#f ~g\\\\h}"_s,
            u"1 \\+ 1 = 2: {}~#?|a=b|c~d|e#f|g\\h|1"_s, none);
        row("gift newline escape", "gift", u"Line one\\nline two?{=a ~b ~c ~d}"_s,
            u"Line one line two?|a|b|c|d|1"_s, none);
        row("gift over several lines", "gift",
            u"::T::\nWhich\nis hot?\n{\n\t=Sun\n\t~Moon\n\t~Snow\n\t~Ice\n}"_s,
            u"Which is hot?|Sun|Moon|Snow|Ice|1"_s, none);
        row("gift missing word", "gift", u"The {~Moon =Sun ~Snow ~Ice} is hot."_s,
            u"The _____ is hot.|Moon|Sun|Snow|Ice|2"_s, none);
        row("gift true/false", "gift", u"The sun is hot.{T}"_s, none,
            u"Question 1, 'The sun is hot.': true/false questions cannot be used."_s);
        // Questions about heat that a worksheet cannot take, each with its reason.
        const std::tuple<QString, QString, QString> hot[] = {
            {u"gift"_s, u"Hot?{FALSE#No#Yes}"_s, u"true/false questions cannot be used."_s},
            {u"gift"_s, u"Hot?{=Sun ~Moon ~Snow}"_s, u"it has 3 answers, a worksheet needs 4."_s},
            {u"gift"_s, u"Hot?{=Sun =Fire ~Snow ~Ice}"_s,
             u"more than one answer is marked right."_s},
            {u"gift"_s, u"Hot?{~Sun ~Fire ~Snow ~Ice}"_s, u"no answer is marked right."_s},
            {u"gift"_s, u"Hot?{~%50%Sun ~%50%Fire ~Snow ~Ice}"_s,
             u"it gives part marks to several answers, and a worksheet needs one right answer."_s},
            {u"gift"_s, u"Hot?{=a ~b ~"_s + QString(31, u'c') + u" ~d}"_s,
             u"answer C is 31 characters long, and the wizard takes at most 30."_s},
            {u"gift"_s, u"Hot?{=\"Sun\" ~b ~c ~d}"_s,
             u"answer A starts with a double quote (\"), which a worksheet cannot keep at the "
             u"start."_s},
            {u"gift"_s, u"Hot?{=Sun ~Moon"_s, u"its answers are not closed with \"}\"."_s},
            {u"gift"_s, u"Hot?{Sun ~Moon ~Snow ~Ice}"_s,
             u"its answers do not start with \"=\" or \"~\"."_s},
            {u"aiken"_s, u"Hot?\nA. Sun\nB. Moon\nC. Snow\nANSWER: A"_s,
             u"it has 3 answers, a worksheet needs 4."_s},
            {u"aiken"_s, u"Hot?\nA. Sun\nB. Moon\nC. Snow\nD. Ice\nE. Fire\nANSWER: E"_s,
             u"it has 5 answers, a worksheet needs 4."_s},
            {u"aiken"_s, u"Hot?\nA. Sun\nB. Moon\nC. Snow\nD. Ice\nANSWER: F"_s,
             u"its ANSWER line names \"F\", which is not one of its answers."_s}};
        for (const auto &[format, text, why] : hot)
            QTest::newRow(qPrintable(format + u' ' + QString(text).replace(u'\n', u'/')))
                << format << text << none << u"Question 1, 'Hot?': "_s + why;
        row("gift short answer", "gift", u"Who?{=no one =nobody}"_s, none,
            u"Question 1, 'Who?': short-answer questions cannot be used."_s);
        row("gift numerical", "gift", u"When?{#1822:5}"_s, none,
            u"Question 1, 'When?': number questions cannot be used."_s);
        row("gift matching", "gift",
            u"Match the animal to its home.{=camel -> desert =yak -> hills =seal -> sea}"_s, none,
            u"Question 1, 'Match the animal to its…': matching questions cannot be used."_s);
        row("gift essay", "gift", u"Write about deserts.{}"_s, none,
            u"Question 1, 'Write about deserts.': essay questions cannot be used."_s);
        row("gift question too long", "gift", QString(61, u'q') + u"{=a ~b ~c ~d}"_s, none,
            u"Question 1, '"_s + QString(24, u'q') +
                u"…': the question is 61 characters long, and the wizard takes at most 60."_s);
        row("gift beyond windows-1252", "gift", u"Snow \u2603?{=a ~b ~c ~d}"_s, none,
            u"Question 1, 'Snow \u2603?': the question holds \"\u2603\", which a worksheet "
            u"cannot store."_s);
        row("gift no answers", "gift", u"Read this first."_s, none,
            u"Question 1, 'Read this first.': it has no answers in { }, so it is not a "
            u"question."_s);
        row("gift unclosed name", "gift", u"::Name Hot?{=a ~b ~c ~d}"_s, none,
            u"Question 1, 'Name Hot?{=a ~b ~c ~d}': its name is not closed with \"::\"."_s);
        row("gift mixed", "gift",
            u"Hot?{=Sun ~Moon ~Snow ~Ice}\n\n// two\nTrue?{T}\n\n::3::Cold?{~Sun =Ice ~Fire "
            u"~Lava}\n\n\nWho?{=me}"_s,
            u"Hot?|Sun|Moon|Snow|Ice|1"_s,
            u"Question 2, 'True?': true/false questions cannot be used.\nQuestion 4, 'Who?': "
            u"short-answer questions cannot be used."_s);

        row("aiken plain", "aiken", u"What is hot?\nA. Sun\nB. Moon\nC. Snow\nD. Ice\nANSWER: A"_s,
            u"What is hot?|Sun|Moon|Snow|Ice|1"_s, none);
        row("aiken brackets, no spaces", "aiken",
            u"What is hot?\nA)Sun\nB)Moon\nC)Snow\nD)Ice\nANSWER:B"_s,
            u"What is hot?|Sun|Moon|Snow|Ice|2"_s, none);
        row("aiken question over lines", "aiken",
            u"What is\nhot?\nA. Sun\nB. Moon\nC. Snow\nD. Ice\nANSWER: D\n"_s,
            u"What is hot?|Sun|Moon|Snow|Ice|4"_s, none);
        row("aiken no answer line", "aiken",
            u"Hot?\nA. Sun\nB. Moon\nC. Snow\nD. Ice\n\nCold?\nA. Sun\nB. Ice\nC. Fire\nD. "
            u"Lava\nANSWER: B\n"_s,
            u"Cold?|Sun|Ice|Fire|Lava|2"_s,
            u"Question 1, 'Hot?': it has no ANSWER line saying which answer is right."_s);
        row("aiken no options", "aiken",
            u"Deserts quiz\n\nHot?\nA. Sun\nB. Moon\nC. Snow\nD. "
            u"Ice\nANSWER: A"_s,
            u"Hot?|Sun|Moon|Snow|Ice|1"_s,
            u"Question 1, 'Deserts quiz': it has no answers A, B, C and D."_s);
        row("aiken mixed with blank lines", "aiken",
            u"\n\nHot?\nA. Sun\nB. Moon\n\nC. Snow\nD. Ice\nANSWER: A\n\n\nLong?\nA. "_s +
                QString(31, u'x') + u"\nB. b\nC. c\nD. d\nANSWER: B\n"_s,
            u"Hot?|Sun|Moon|Snow|Ice|1"_s,
            u"Question 2, 'Long?': answer A is 31 characters long, and the wizard takes at "
            u"most 30."_s);
    }

    void readersFollowTheFormats()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(QString, usable);
        QFETCH(QString, leftOut);
        const QuizFormat f = format == QLatin1String("gift") ? QuizFormat::Gift : QuizFormat::Aiken;
        const QuizReading reading = readQuiz(text, f);
        QCOMPARE(reading.usable.isEmpty() ? QString() : shown(reading.usable.first()), usable);
        QCOMPARE(leftOutLines(reading), leftOut);
        QCOMPARE(reading.found, int(reading.usable.size() + reading.leftOut.size()));
        // The format is told from the content alone.
        QCOMPARE(detectFormat(text), f);
    }

    void filesComeInAnyEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = u"Café’s crème?\nA. é\nB. ’\nC. c\nD. d\nANSWER: B\n"_s;
        QByteArray crlf = text.toUtf8();
        crlf.replace("\n", "\r\n");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with mark, CR LF") << QByteArray("\xEF\xBB\xBF") + crlf;
        QTest::newRow("windows-1252, CR LF") << windows1252(QString::fromUtf8(crlf));
        QByteArray utf16("\xFF\xFE");
        for (QChar c : text)
            utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
        QTest::newRow("utf-16 with mark") << utf16;
    }

    void filesComeInAnyEncoding()
    {
        QFETCH(QByteArray, bytes);
        const QString text = decodeText(bytes);
        const QuizReading reading = readQuiz(text, detectFormat(text));
        QCOMPARE(reading.usable.size(), 1);
        QCOMPARE(shown(reading.usable[0]), u"Café’s crème?|é|’|c|d|2"_s);
    }

    void worksheetsGoOutAndComeBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("format");
        QList<std::pair<QString, QByteArray>> files;
        for (const char *quiz : {"Living in the Mountains", "Living in the Desert"}) {
            QFile f(QStringLiteral(HABITARA_RUN_DIR "/multiple/%1.txt").arg(quiz));
            QVERIFY(f.open(QIODevice::ReadOnly));
            files.append({QString::fromLatin1(quiz), f.readAll()});
        }
        // Every character a teacher can type that means something to one of the formats; "&"
        // in the file is a comma in the wizard.
        files.append({u"Specials"_s,
                      worksheetFile(u"Specials"_s,
                                    {u"Is 1 + 1 = 2 & or 2 ~ 3?|=equals|~tilde|#hash|{braces}|2"_s,
                                     u"What do {braces} mean: \"x\" or 'y'?|::colons::|a\\b|"
                                     u"A. dotted|ANSWER: B|4"_s,
                                     u"Back\\slash # hash & more \\|%50 off|%5%|// slashes|"
                                     u"$CATEGORY: x|1"_s,
                                     u"Café’s crème: é& ’|é|’s|Ça& va|naïve|3"_s,
                                     u"[html] is it a tag?|<b>bold</b>|3 < 4 -> yes|a &amp; b|"
                                     u"x|2"_s})});
        files.append({u"Plain one"_s, author::worksheetBytes(u"Plain one"_s)});
        for (const auto &[title, bytes] : files) {
            for (int format : {0, 1})
                QTest::newRow(qPrintable(title + (format ? u" as Aiken"_s : u" as GIFT"_s)))
                    << bytes << format;
        }
    }

    void worksheetsGoOutAndComeBackByteForByte()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, format);
        const QuizFormat f = format ? QuizFormat::Aiken : QuizFormat::Gift;
        const Worksheet sheet = loaded(file);
        QCOMPARE(exportProblem(sheet, false), QString());
        const QByteArray exported = exportText(sheet, f);
        QVERIFY(!exported.contains("\n\n") && exported.contains("\r\n"));
        const QString text = decodeText(exported);
        QCOMPARE(detectFormat(text), f);
        const QuizReading back = readQuiz(text, f);
        QCOMPARE(leftOutLines(back), QString());
        QCOMPARE(back.usable.size(), 10);
        QCOMPARE(fileBytes(worksheetOf(sheet.title, back.usable)), file);
    }

    void exportRefusesWhatCannotGoOut()
    {
        Worksheet sheet = loaded(author::worksheetBytes(u"Fine"_s));
        QCOMPARE(exportProblem(sheet), QString());
        const std::pair<std::function<void(Worksheet &)>, QString> rows[] = {
            {[](Worksheet &s) { s.answers[2][1] = u"  "_s; },
             u"Question 3, answer B, holds only spaces"_s},
            {[](Worksheet &s) { s.questions[4] = u" "_s; }, u"Question 5 holds only spaces"_s},
            {[](Worksheet &s) { s.title = u"a/b"_s; }, u"cannot contain \"/\""_s},
            {[](Worksheet &s) { s.answers[0][0] = u"\u2603"_s; },
             u"Question 1, answer A, holds a character"_s}};
        for (const auto &[change, says] : rows) {
            Worksheet changed = sheet;
            change(changed);
            const QString problem = exportProblem(changed);
            QVERIFY2(problem.contains(says), qPrintable(problem));
        }
    }

    void titlesComeFromTheFileName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("title");
        const QStringList none;
        QTest::newRow("plain") << u"/x/Deserts.gift"_s << 1 << 1 << none << u"Deserts"_s;
        QTest::newRow("cut at a word") << u"/x/Animals of the hot and dry deserts.txt"_s << 1 << 1
                                       << none << u"Animals of the hot and"_s;
        QTest::newRow("characters a title cannot hold")
            << u"/x/Year 4, deserts & camels_quiz.gift"_s << 1 << 1 << none
            << u"Year 4 deserts camels"_s;
        QTest::newRow("one of several") << u"Deserts.gift"_s << 2 << 3 << none << u"Deserts 2"_s;
        QTest::newRow("registered")
            << u"Deserts.gift"_s << 1 << 1 << QStringList{u"deserts"_s} << u"Deserts 2"_s;
        QTest::newRow("numbered past registered")
            << u"Deserts.gift"_s << 1 << 2 << QStringList{u"Deserts 1"_s, u"Deserts 2"_s}
            << u"Deserts 3"_s;
        QTest::newRow("built-in quiz's name")
            << u"Living in the Desert.gift"_s << 1 << 1 << none << u"Living in the Desert 2"_s;
        QTest::newRow("numbered and cut") << u"Animals of the hot and dry deserts.gift"_s << 12
                                          << 12 << none << u"Animals of the hot and 12"_s;
        QTest::newRow("nothing left") << u"/x/???.gift"_s << 1 << 1 << none << u"Imported quiz"_s;
    }

    void titlesComeFromTheFileName()
    {
        QFETCH(QString, file);
        QFETCH(int, part);
        QFETCH(int, parts);
        QFETCH(QStringList, taken);
        QFETCH(QString, title);
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QDir().mkdir(u"multiple"_s);
        QCOMPARE(importTitle(titleFromFileName(file), part, parts, taken), title);
        QVERIFY(title.size() <= 25);
    }

    void theCommandLineImportsAndExportsWithoutADisplay()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"school"_s);
        QDir().mkpath(folder);
        // The folder already holds a worksheet whose title the import would take first.
        writeFile(folder + u"/Deserts 1.txt"_s, author::worksheetBytes(u"Deserts 1"_s));
        writeFile(folder + u"/track.txt"_s, author::registerBytes({u"Deserts 1"_s}));
        const auto before = testkit::everything(folder);

        // Twenty-three questions: twenty fit, three do not.
        QString gift = u"// From the school's platform\n$CATEGORY: Deserts\n\n"_s;
        for (int n = 1; n <= 23; ++n) {
            if (n == 4)
                gift += u"Match the animal to its home.{=camel -> desert =yak -> hills}\n\n"_s;
            else if (n == 7)
                gift += u"Which is hot?{=Sun ~Moon ~Snow}\n\n"_s;
            else if (n == 9)
                gift += u"Which are hot?{=Sun =Fire ~Snow ~Ice}\n\n"_s;
            else
                gift += giftQuestion(n);
        }
        const QString source = dir.filePath(u"Deserts.gift"_s);
        writeFile(source, gift.toUtf8());

        auto run = [&](const QStringList &arguments, QString *out = nullptr) {
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
            program.setProcessEnvironment(env);
            program.setWorkingDirectory(QStringLiteral(HABITARA_RUN_DIR));
            program.start(QStringLiteral(HABITARA_PROGRAM),
                          QStringList{u"--worksheets"_s, folder} + arguments);
            program.waitForFinished(60000);
            if (out)
                *out = QString::fromUtf8(program.readAllStandardOutput() +
                                         program.readAllStandardError());
            return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        };

        QString said;
        QCOMPARE(run({u"--import"_s, source}, &said), 0);
        for (const QString &line :
             {u"holds 23 questions, 20 of them usable"_s, u"3 questions were left out"_s,
              u"Question 4, 'Match the animal to its…': matching questions cannot be used."_s,
              u"Question 7, 'Which is hot?': it has 3 answers, a worksheet needs 4."_s,
              u"Question 9, 'Which are hot?': more than one answer is marked right."_s,
              u"Made 2 worksheets: \"Deserts 2\", \"Deserts 3\""_s})
            QVERIFY2(said.contains(line), qPrintable(said));

        auto after = testkit::everything(folder);
        QCOMPARE(after.value(u"track.txt"_s),
                 author::registerBytes({u"Deserts 1"_s, u"Deserts 2"_s, u"Deserts 3"_s}));
        QCOMPARE(after.take(u"Deserts 1.txt"_s), before.value(u"Deserts 1.txt"_s));
        const Worksheet second = loaded(after.value(u"Deserts 2.txt"_s));
        QCOMPARE(second.title, u"Deserts 2"_s);
        QCOMPARE(second.questions[3], u"Which desert animal is number 5?"_s);
        QCOMPARE(loaded(after.value(u"Deserts 3.txt"_s)).questions[9],
                 u"Which desert animal is number 23?"_s);

        // Exported back, the second worksheet is the file's first ten usable questions.
        const auto imported = testkit::everything(folder);
        const QString out = dir.filePath(u"back.gift"_s);
        QCOMPARE(run({u"--export"_s, u"Deserts 2"_s, out}, &said), 0);
        QVERIFY2(said.contains(out), qPrintable(said));
        const QuizReading first = gift::read(decodeText(readFile(out)));
        QCOMPARE(first.usable, readQuiz(gift, QuizFormat::Gift).usable.mid(0, 10));
        const QString aikenOut = dir.filePath(u"back.txt"_s);
        QCOMPARE(
            run({u"--export"_s, u"Living in the Desert"_s, aikenOut, u"--format"_s, u"aiken"_s}),
            0);
        QCOMPARE(aiken::read(decodeText(readFile(aikenOut))).usable.size(), 10);

        // Nothing is made from too few questions, an unknown title, the worksheet folder
        // itself or a link to another file; wrong options are usage errors. The folder and
        // the link's target stay as they were.
        writeFile(dir.filePath(u"Few.gift"_s), (giftQuestion(1) + giftQuestion(2)).toUtf8());
        const QString decoy = dir.filePath(u"decoy.txt"_s), link = dir.filePath(u"link.gift"_s);
        writeFile(decoy, "keep me");
        QVERIFY(QFile::link(decoy, link));
        const std::pair<QStringList, int> refused[] = {
            {{u"--import"_s, dir.filePath(u"Few.gift"_s)}, 1},
            {{u"--import"_s, dir.filePath(u"missing.gift"_s)}, 1},
            {{u"--export"_s, u"Nothing"_s, dir.filePath(u"n.gift"_s)}, 1},
            {{u"--export"_s, u"../track"_s, dir.filePath(u"n.gift"_s)}, 1},
            {{u"--export"_s, u"Deserts 1"_s, folder + u"/Deserts 2.txt"_s, u"--format"_s,
              u"aiken"_s},
             1},
            {{u"--export"_s, u"Deserts 1"_s, link}, 1},
            {{u"--export"_s, u"Deserts 1"_s}, 2},
            {{u"--export"_s, u"Deserts 1"_s, out, u"--format"_s, u"qti"_s}, 2},
            {{u"--import"_s, source, u"--export"_s, u"Deserts 1"_s, out}, 2},
            {{u"--format"_s, u"gift"_s}, 2}};
        QCOMPARE(run({u"--help"_s}, &said), 0);
        QVERIFY(said.contains(u"--import FILE"_s) && said.contains(u"--export TITLE FILE"_s) &&
                said.contains(u"--format aiken|gift"_s));
        for (const auto &[arguments, code] : refused) {
            QCOMPARE(run(arguments, &said), code);
            QVERIFY(!said.isEmpty());
            QCOMPARE(testkit::everything(folder), imported);
        }
        QCOMPARE(readFile(decoy), QByteArray("keep me"));
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
