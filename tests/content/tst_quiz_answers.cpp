// SPDX-License-Identifier: GPL-3.0-or-later
// The answers of the two topic quizzes as the build writes them, checked against the pupils'
// reading: the results screen sends a pupil who missed questions back to the Key Facts, so every
// right answer must be findable there. Each right answer comes with the key words a pupil needs
// to find it; a later edit of a Key Facts page that drops one of them fails here.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <array>
#include <vector>

namespace {

/// A right answer and the words the topic's Key Facts must hold for a pupil to find it. A key
/// word is found at the start of a word of the page, in any letter case ("guide" finds
/// "guides"); a key phrase is found as written, with its words and punctuation in order.
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

struct Question
{
    QString text;
    std::array<QString, 4> answers; ///< A to D
    int right = 0;                  ///< 1 to 4
};

/// The questions of a built quiz file: the title, a line holding a space, then for each question
/// the question, four answers, the number of the right one and a line holding a space. A comma
/// is stored as "&".
std::vector<Question> readBuiltQuiz(const QString &title)
{
    QFile file(QDir(QStringLiteral(HABITARA_RUN_DIR))
                   .filePath(QStringLiteral("multiple/") + title + QStringLiteral(".txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder("windows-1252");
    const QStringList lines = QString(decoder.decode(file.readAll())).split(QStringLiteral("\r\n"));
    if (lines.size() != 73 || lines.at(0) != title)
        return {};
    auto field = [&lines](int i) { return QString(lines.at(i)).replace(u'&', u','); };
    std::vector<Question> questions;
    for (int q = 0; q < 10; ++q) {
        const int first = 2 + 7 * q;
        Question question;
        question.text = field(first);
        for (int a = 0; a < 4; ++a)
            question.answers[a] = field(first + 1 + a);
        question.right = lines.at(first + 5).toInt();
        questions.push_back(question);
    }
    return questions;
}

QString pageSourcePath(const char *page)
{
    return QFINDTESTDATA(QStringLiteral("../../content/pages/") + QLatin1String(page) +
                         QStringLiteral(".md"));
}

QString readPageSource(const char *page)
{
    QFile file(pageSourcePath(page));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

/// The words a pupil reads on a page: its source without the marks that lay it out ("# ",
/// "- ", "> ", "@picture ..."), every run of spaces and line breaks one space.
QString pageText(const QString &source)
{
    QStringList words;
    for (QString line : source.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('@')))
            continue;
        static const QRegularExpression mark(QStringLiteral("^(#+|-|>)(\\s|$)"));
        words << line.remove(mark);
    }
    return words.join(QLatin1Char(' ')).simplified();
}

bool holds(const QString &text, const QString &keyWord)
{
    const QRegularExpression word(QStringLiteral("\\b") +
                                      QRegularExpression::escape(keyWord.simplified()),
                                  QRegularExpression::CaseInsensitiveOption);
    return text.contains(word);
}

} // namespace

class QuizAnswersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rightAnswerIsInTheKeyFacts_data();
    void rightAnswerIsInTheKeyFacts();
    void answersOfAQuestionDiffer_data();
    void answersOfAQuestionDiffer();
    void rightAnswersAreSpreadOverAToD_data();
    void rightAnswersAreSpreadOverAToD();
    void notesTakeTheirAnswerKeyFromTheQuiz_data();
    void notesTakeTheirAnswerKeyFromTheQuiz();
    void keyWordsAreFoundOnlyWhereWritten();
};

void QuizAnswersTest::rightAnswerIsInTheKeyFacts_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("keyFacts");
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("rightAnswer");
    QTest::addColumn<QStringList>("keyWords");
    for (const Topic &topic : topics) {
        QCOMPARE(topic.answers.size(), size_t(10));
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

void QuizAnswersTest::rightAnswerIsInTheKeyFacts()
{
    QFETCH(QString, title);
    QFETCH(QString, keyFacts);
    QFETCH(int, question);
    QFETCH(QString, rightAnswer);
    QFETCH(QStringList, keyWords);

    const std::vector<Question> quiz = readBuiltQuiz(title);
    QVERIFY2(quiz.size() == 10, qPrintable(title + ".txt is missing or not in the quiz layout"));
    const Question &q = quiz.at(question - 1);
    QVERIFY(q.right >= 1 && q.right <= 4);
    // The key words below belong to this answer: a changed question needs its own.
    QCOMPARE(q.answers[q.right - 1], rightAnswer);

    const QString source = readPageSource(keyFacts.toUtf8().constData());
    QVERIFY2(!source.isEmpty(),
             qPrintable(pageSourcePath(keyFacts.toUtf8().constData()) + " is missing or empty"));
    const QString text = pageText(source);
    QStringList missing;
    for (const QString &word : keyWords) {
        if (!holds(text, word))
            missing << QLatin1Char('"') + word + QLatin1Char('"');
    }
    QVERIFY2(
        missing.isEmpty(),
        qPrintable(QStringLiteral("\"%1\" (right answer \"%2\"): the Key Facts (pages/%3.md) "
                                  "no longer say %4")
                       .arg(q.text, rightAnswer, keyFacts, missing.join(QStringLiteral(", ")))));
}

void QuizAnswersTest::answersOfAQuestionDiffer_data()
{
    QTest::addColumn<QString>("title");
    for (const Topic &topic : topics)
        QTest::newRow(topic.title) << QString::fromUtf8(topic.title);
}

void QuizAnswersTest::answersOfAQuestionDiffer()
{
    QFETCH(QString, title);
    const std::vector<Question> quiz = readBuiltQuiz(title);
    QVERIFY2(quiz.size() == 10, qPrintable(title + ".txt is missing or not in the quiz layout"));
    for (const Question &q : quiz) {
        for (int a = 0; a < 4; ++a) {
            QVERIFY2(!q.answers[a].trimmed().isEmpty(), qPrintable(q.text));
            for (int b = a + 1; b < 4; ++b) {
                const bool same = q.answers[a].simplified().compare(q.answers[b].simplified(),
                                                                    Qt::CaseInsensitive) == 0;
                QVERIFY2(!same, qPrintable(QStringLiteral("\"%1\": answers %2 and %3 are the same")
                                               .arg(q.text)
                                               .arg(QChar(u'A' + a))
                                               .arg(QChar(u'A' + b))));
            }
        }
    }
}

void QuizAnswersTest::rightAnswersAreSpreadOverAToD_data()
{
    answersOfAQuestionDiffer_data();
}

void QuizAnswersTest::rightAnswersAreSpreadOverAToD()
{
    QFETCH(QString, title);
    const std::vector<Question> quiz = readBuiltQuiz(title);
    QVERIFY2(quiz.size() == 10, qPrintable(title + ".txt is missing or not in the quiz layout"));
    // Ten answers over four letters: each letter is right two or three times, so that no
    // letter is a safe guess and none is never right.
    std::array<int, 4> count{};
    QString letters;
    for (const Question &q : quiz) {
        QVERIFY(q.right >= 1 && q.right <= 4);
        ++count[q.right - 1];
        letters += QChar(u'A' + q.right - 1);
    }
    for (int a = 0; a < 4; ++a)
        QVERIFY2(count[a] >= 2 && count[a] <= 3,
                 qPrintable(QStringLiteral("%1 is right %2 times (%3)")
                                .arg(QChar(u'A' + a))
                                .arg(count[a])
                                .arg(letters)));
}

void QuizAnswersTest::notesTakeTheirAnswerKeyFromTheQuiz_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("notes");
    for (const Topic &topic : topics)
        QTest::newRow(topic.title)
            << QString::fromUtf8(topic.title) << QString::fromUtf8(topic.notes);
}

void QuizAnswersTest::notesTakeTheirAnswerKeyFromTheQuiz()
{
    // The build writes the answer key into the notes from the quiz's source, so it cannot
    // drift from the quiz; a key typed by hand could.
    QFETCH(QString, title);
    QFETCH(QString, notes);
    const QString source = readPageSource(notes.toUtf8().constData());
    QVERIFY2(!source.isEmpty(), qPrintable(notes + ".md is missing or empty"));
    QVERIFY2(source.contains(QStringLiteral("{answers:") + title + QLatin1Char('}')),
             qPrintable(notes + ".md does not take its answer key from the quiz"));
    static const QRegularExpression typedKey(QStringLiteral("\\b1\\s*[A-D]\\s*,\\s*2\\s*[A-D]\\b"));
    QVERIFY2(!source.contains(typedKey),
             qPrintable(notes + ".md holds an answer key typed by hand"));
}

void QuizAnswersTest::keyWordsAreFoundOnlyWhereWritten()
{
    const QString text = pageText(QStringLiteral("# Title\n@picture desert\n\n## Heading\n"
                                                 "- Many Sherpa people work as guides\n"
                                                 "for climbers.\n> Did you know? Camels."));
    QCOMPARE(text, QStringLiteral("Title Heading Many Sherpa people work as guides for climbers. "
                                  "Did you know? Camels."));
    QVERIFY(holds(text, QStringLiteral("guide")));
    QVERIFY(holds(text, QStringLiteral("GUIDES FOR CLIMBERS")));
    QVERIFY(holds(text, QStringLiteral("sherpa people")));
    QVERIFY(!holds(text, QStringLiteral("uides")));
    QVERIFY(!holds(text, QStringLiteral("guides on Everest")));
    QVERIFY(!holds(text, QStringLiteral("desert")));
}

QTEST_GUILESS_MAIN(QuizAnswersTest)
#include "tst_quiz_answers.moc"
