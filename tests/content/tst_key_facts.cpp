// SPDX-License-Identifier: GPL-3.0-or-later
// The answers of the two topic quizzes as the build writes them, checked against the pupils'
// reading: the results screen sends a pupil who missed questions back to the Key Facts, so each
// right answer's key words must be there; an edit of a Key Facts page that drops one fails here.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <vector>

namespace {

/// A right answer and the words the topic's Key Facts must hold for a pupil to find it.
struct Answer
{
    int question; ///< 1 to 10
    const char *rightAnswer;
    std::vector<const char *> keyWords;
};

struct Topic
{
    const char *title;
    const char *keyFacts; ///< the page source, pages/<name>.md
    const char *notes;    ///< the teacher's notes page that gives the quiz's answer key
    std::vector<Answer> answers;
};

const std::vector<Topic> topics = {
    {"Living in the Mountains",
     "key livingmountains",
     "livingmountainsb",
     {
         {1, "Llama", {"llamas carry loads"}},
         {2, "To make flat fields for crops", {"terraces", "flat fields"}},
         {3, "Each breath holds less oxygen", {"air is thinner", "each breath holds less oxygen"}},
         {4, "It is too cold and windy", {"tree line", "too cold and windy for trees"}},
         {5, "Yak", {"Himalayas", "yaks give milk and wool"}},
         {6,
          "It is colder the higher you go",
          {"the higher you climb, the colder it gets", "snow stays all year"}},
         {7, "Andean condor", {"condors", "Andes"}},
         {8, "Guiding climbers on Everest", {"Sherpa", "guides for climbers", "Everest"}},
         {9, "Potato", {"potatoes were first grown in the Andes"}},
         {10, "Their hooves have grippy pads", {"mountain goats", "grippy hooves"}},
     }},
    {"Living in the Desert",
     "key livingdesert",
     "livingdesert",
     {
         {1, "Fat", {"hump stores fat"}},
         {2, "A green place with water", {"oasis is a green place with water"}},
         {3, "In its thick stem", {"cactus stores water in its thick stem"}},
         {4, "To lose heat and hear prey", {"fennec fox", "ears give off heat", "hear its prey"}},
         {5, "To find water and grazing", {"nomads", "to find water and grass"}},
         {6, "Very cold", {"very cold at night"}},
         {7, "Sahara", {"Sahara", "largest hot desert"}},
         {8, "It is one of the driest places", {"Atacama", "one of the driest places"}},
         {9, "Woven goat hair", {"traditional tents", "woven from goat hair"}},
         {10, "To stay cool and stop sunburn", {"loose robes", "sun"}},
     }},
};

/// A built quiz file: the title, a line holding a space, then for each question the question,
/// four answers, the number of the right one and a line holding a space; "&" stands for a comma.
/// Empty when the file is missing or not laid out so.
QStringList builtQuizLines(const QString &title)
{
    QFile file(QDir(QStringLiteral(HABITARA_RUN_DIR))
                   .filePath(QStringLiteral("multiple/") + title + QStringLiteral(".txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder("windows-1252");
    const QStringList lines =
        QString(decoder.decode(file.readAll())).replace(u'&', u',').split(QStringLiteral("\r\n"));
    return lines.size() == 73 && lines[0] == title ? lines : QStringList();
}

/// Question q's lines (1 to 10): the question, answers A to D and the right one's number.
QStringList questionOf(const QStringList &quiz, int q)
{
    return quiz.mid(2 + 7 * (q - 1), 6);
}

QString readPageSource(const QString &page)
{
    QFile file(
        QFINDTESTDATA(QStringLiteral("../../content/pages/") + page + QStringLiteral(".md")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

/// The words a pupil reads on a page: its source without the marks that lay it out ("# ",
/// "- ", "> ", "@picture ..."), every run of spaces and line breaks one space.
QString pageText(const QString &source)
{
    static const QRegularExpression mark(QStringLiteral("^(#+|-|>)(\\s|$)"));
    QStringList words;
    for (QString line : source.split(QLatin1Char('\n')))
        if (!(line = line.trimmed()).startsWith(QLatin1Char('@')))
            words << line.remove(mark);
    return words.join(QLatin1Char(' ')).simplified();
}

/// A key word is found at the start of a word of the page, in any letter case ("guide" finds
/// "guides"); a key phrase is found as written, with its words and punctuation in order.
bool holds(const QString &text, const QString &keyWord)
{
    return text.contains(
        QRegularExpression(QStringLiteral("\\b") + QRegularExpression::escape(keyWord.simplified()),
                           QRegularExpression::CaseInsensitiveOption));
}

} // namespace

class QuizAnswersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rightAnswerIsInTheKeyFacts_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("keyFacts");
        QTest::addColumn<int>("question");
        QTest::addColumn<QString>("rightAnswer");
        QTest::addColumn<QStringList>("keyWords");
        for (const Topic &topic : topics) {
            for (const Answer &answer : topic.answers) {
                QStringList keyWords;
                for (const char *word : answer.keyWords)
                    keyWords << QString::fromUtf8(word);
                QTest::addRow("%s, question %d", topic.title, answer.question)
                    << QString::fromUtf8(topic.title) << QString::fromUtf8(topic.keyFacts)
                    << answer.question << QString::fromUtf8(answer.rightAnswer) << keyWords;
            }
        }
    }

    void rightAnswerIsInTheKeyFacts()
    {
        QFETCH(QString, title);
        QFETCH(QString, keyFacts);
        QFETCH(int, question);
        QFETCH(QString, rightAnswer);
        QFETCH(QStringList, keyWords);
        const QStringList q = questionOf(builtQuizLines(title), question);
        QVERIFY2(q.size() == 6, qPrintable(title + ".txt is missing or not in the quiz layout"));
        const int right = q[5].toInt();
        QVERIFY(right >= 1 && right <= 4);
        // The key words below belong to this answer: a changed question needs its own.
        QCOMPARE(q[right], rightAnswer);
        const QString text = pageText(readPageSource(keyFacts));
        QVERIFY2(!text.isEmpty(), qPrintable(keyFacts + ".md is missing or empty"));
        QStringList missing;
        for (const QString &word : keyWords)
            if (!holds(text, word))
                missing << QLatin1Char('"') + word + QLatin1Char('"');
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("\"%1\": the Key Facts (pages/%2.md) no longer say %3")
                                .arg(q[0], keyFacts, missing.join(QStringLiteral(", ")))));
    }

    void eachQuizIsFairAndItsNotesKeyedFromIt_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("notes");
        for (const Topic &topic : topics)
            QTest::newRow(topic.title)
                << QString::fromUtf8(topic.title) << QString::fromUtf8(topic.notes);
    }

    void eachQuizIsFairAndItsNotesKeyedFromIt()
    {
        QFETCH(QString, title);
        QFETCH(QString, notes);
        const QStringList quiz = builtQuizLines(title);
        QVERIFY2(!quiz.isEmpty(), qPrintable(title + ".txt is missing or not in the quiz layout"));
        // No two answers of a question alike, and each letter right two or three times out of
        // ten, so that no letter is a safe guess and none is never right.
        int count[4] = {};
        for (int n = 1; n <= 10; ++n) {
            const QStringList q = questionOf(quiz, n);
            for (int a = 1; a <= 4; ++a) {
                QVERIFY2(!q[a].trimmed().isEmpty(), qPrintable(q[0]));
                for (int b = a + 1; b <= 4; ++b)
                    QVERIFY2(q[a].simplified().compare(q[b].simplified(), Qt::CaseInsensitive),
                             qPrintable(QStringLiteral("\"%1\": answers %2 and %3 are the same")
                                            .arg(q[0])
                                            .arg(a)
                                            .arg(b)));
            }
            const int right = q[5].toInt();
            QVERIFY2(right >= 1 && right <= 4, qPrintable(q[0]));
            ++count[right - 1];
        }
        for (int a = 0; a < 4; ++a)
            QVERIFY2(
                count[a] >= 2 && count[a] <= 3,
                qPrintable(
                    QStringLiteral("%1 is right %2 times").arg(QChar(u'A' + a)).arg(count[a])));

        // The build writes the answer key into the notes from the quiz's source, so it cannot
        // drift from the quiz; a key typed by hand could.
        const QString source = readPageSource(notes);
        QVERIFY2(source.contains(QStringLiteral("{answers:") + title + QLatin1Char('}')),
                 qPrintable(notes + ".md does not take its answer key from the quiz"));
        static const QRegularExpression typedKey(
            QStringLiteral("\\b1\\s*[A-D]\\s*,\\s*2\\s*[A-D]\\b"));
        QVERIFY2(!source.contains(typedKey),
                 qPrintable(notes + ".md holds an answer key typed by hand"));
    }

    void keyWordsAreFoundOnlyWhereWritten()
    {
        const QString text = pageText(QStringLiteral("# Title\n@picture desert\n\n## Heading\n"
                                                     "- Many Sherpa people work as guides\n"
                                                     "for climbers.\n> Did you know? Camels."));
        QCOMPARE(text, QStringLiteral("Title Heading Many Sherpa people work as guides for "
                                      "climbers. Did you know? Camels."));
        for (const char *found : {"guide", "GUIDES FOR CLIMBERS", "sherpa people"})
            QVERIFY2(holds(text, QString::fromLatin1(found)), found);
        for (const char *notFound : {"uides", "guides on Everest", "desert"})
            QVERIFY2(!holds(text, QString::fromLatin1(notFound)), notFound);
    }
};

QTEST_GUILESS_MAIN(QuizAnswersTest)
#include "tst_quiz_answers.moc"
