// SPDX-License-Identifier: GPL-3.0-or-later
// The answers of the two topic quizzes as the build writes them, and of the four activities as
// their screens show them, checked against the pupils' reading: the results screen sends a pupil
// who fell short back to the Key Facts, so each right answer's key words must be there; an edit
// of a Key Facts page that drops one, or an answer the Key Facts do not back, fails here.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <algorithm>
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
         {5, "Yak", {"Himalayan yaks", "give milk and wool"}},
         {6,
          "It is colder the higher you go",
          {"the higher you climb, the colder it gets", "snow stays all year"}},
         {7, "Andean condor", {"condors", "Andes"}},
         {8, "Farming, guiding and more", {"Sherpas farm", "guide climbers"}},
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
         {9, "Woven goat hair", {"traditional Bedouin tents", "woven from goat hair"}},
         {10, "To stay cool and stop sunburn", {"loose robes", "sun"}},
     }},
};

/// An activity's answer as its screen shows it and the words the topic's Key Facts must hold
/// for a pupil to find it. Where the answer uses a hard word ("coniferous", "agile",
/// "permanent"), the words include the plain explanation that goes with it.
struct LabelAnswer
{
    const char *text;
    std::vector<const char *> keyWords;
};

struct ActivityFacts
{
    const char *name;
    const Activity *activity;
    const char *keyFacts;
    std::vector<LabelAnswer> answers;
    /// Answers the Key Facts rightly leave out: the tent owner's rifle is in the picture, not
    /// a fact about desert life.
    std::vector<const char *> leftOut = {};
};

// The zones are listed with the words that place them on the way up: the first key word of each
// must come in the Key Facts in the order a climber meets them.
const std::vector<ActivityFacts> activities = {
    {"mountains ordering",
     &mountainsOrdering,
     "key livingmountains",
     {
         {"Permanent snow and ice.", {"permanent snow and ice", "snow stays all year"}},
         {"Bare rocks, lichens and mosses.", {"lichens and mosses", "bare rocks"}},
         {"Thin grass and small flowering plants.",
          {"thin grass and small flowering plants", "above the tree line"}},
         {"Bare rock, no plants.", {"no plants", "bare rock"}},
         {"Grass and coniferous trees.",
          {"grass and coniferous trees", "coniferous trees (trees with cones"}},
     }},
    {"mountains labelling",
     &mountainsLabelling,
     "key livingmountains",
     {
         {"Have large heart and lungs to cope with thin atmosphere.",
          {"llamas carry loads and have a large heart and lungs", "thin air"}},
         {"Hibernate in the winter when there is no food.",
          {"bears hibernate", "winter", "no food"}},
         {"Have thick woolly coats.", {"yaks have thick woolly coats"}},
         {"Can live on poor grasses and are agile on steep slopes.",
          {"goats", "live on poor grasses", "agile (quick and sure-footed) on steep slopes"}},
     }},
    {"desert labelling",
     &desertLabelling,
     "key livingdesert",
     {
         {"The men's section of the tent.", {"men's section"}},
         {"The family section of the tent.", {"family section"}},
         {"Tent pole supporting the roof.", {"tent poles support the roof"}},
         {"The kitchen", {"kitchen", "cooking"}},
         {"Bedouin tent - made from goat hair.", {"Bedouin tents", "goat hair"}},
     },
     {"The owner of the tent's rifle."}},
};

/// A statement of the desert's true-or-false activity, whether it is true, and the words of the
/// Key Facts that show it true or show it false.
struct Statement
{
    const char *text;
    bool truth;
    std::vector<const char *> keyWords;
};

const std::vector<Statement> statements = {
    {"People and animals have to adapt to survive in hot desert conditions.",
     true,
     {"survive", "hot desert", "people and animals have to adapt"}},
    {"Nothing grows in the desert.", false, {"date palms and crops grow"}},
    {"No one lives in deserts.", false, {"millions of people live"}},
    {"Millions of people live in or on the edges of the world\u2019s deserts.",
     true,
     {"millions of people live in and around deserts"}},
    {"Bedouins who live in the desert are very unfriendly people.",
     false,
     {"for welcoming guests", "an important Bedouin custom"}},
    {"All desert people live in the same place all their life.",
     false,
     {"some are still nomads", "move"}},
    {"An oasis is a place in the desert where water can be found.",
     true,
     {"oasis is a green place with water"}},
    {"Some desert people are nomads.", true, {"some are still nomads"}},
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
qsizetype whereHeld(const QString &text, const QString &keyWord)
{
    return text.indexOf(
        QRegularExpression(QStringLiteral("\\b") + QRegularExpression::escape(keyWord.simplified()),
                           QRegularExpression::CaseInsensitiveOption));
}

bool holds(const QString &text, const QString &keyWord)
{
    return whereHeld(text, keyWord) >= 0;
}

QStringList toStrings(const std::vector<const char *> &words)
{
    QStringList list;
    for (const char *word : words)
        list << QString::fromUtf8(word);
    return list;
}

/// The key words the text lacks, each in quotes, joined for a failure message.
QString missingFrom(const QString &text, const QStringList &keyWords)
{
    QStringList missing;
    for (const QString &word : keyWords)
        if (!holds(text, word))
            missing << QLatin1Char('"') + word + QLatin1Char('"');
    return missing.join(QStringLiteral(", "));
}

const ActivityFacts &activityNamed(const QString &name)
{
    return *std::find_if(activities.begin(), activities.end(),
                         [&](const ActivityFacts &a) { return name == QLatin1String(a.name); });
}

} // namespace

class KeyFactsTest : public QObject
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
            for (const Answer &answer : topic.answers)
                QTest::addRow("%s, question %d", topic.title, answer.question)
                    << QString::fromUtf8(topic.title) << QString::fromUtf8(topic.keyFacts)
                    << answer.question << QString::fromUtf8(answer.rightAnswer)
                    << toStrings(answer.keyWords);
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
        const QString missing = missingFrom(text, keyWords);
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("\"%1\": the Key Facts (pages/%2.md) no longer say %3")
                                .arg(q[0], keyFacts, missing)));
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

    void activityAnswerIsInTheKeyFacts_data()
    {
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("keyWords");
        for (const ActivityFacts &a : activities)
            for (const LabelAnswer &answer : a.answers)
                QTest::addRow("%s: %s", a.name, answer.text)
                    << QString::fromUtf8(a.name) << QString::fromUtf8(answer.text)
                    << toStrings(answer.keyWords);
    }

    void activityAnswerIsInTheKeyFacts()
    {
        QFETCH(QString, activity);
        QFETCH(QString, answer);
        QFETCH(QStringList, keyWords);
        const ActivityFacts &a = activityNamed(activity);
        // The key words below belong to this answer: a reworded label needs its own.
        const auto &items = a.activity->items;
        QVERIFY2(std::any_of(items.begin(), items.end(),
                             [&](const ActivityItem &item) {
                                 return QString::fromUtf8(item.text) == answer;
                             }),
                 qPrintable(QStringLiteral("the activity no longer shows \"%1\"").arg(answer)));
        const QString facts = QString::fromUtf8(a.keyFacts);
        const QString text = pageText(readPageSource(facts));
        QVERIFY2(!text.isEmpty(), qPrintable(facts + ".md is missing or empty"));
        const QString missing = missingFrom(text, keyWords);
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("\"%1\": the Key Facts (pages/%2.md) do not say %3")
                                .arg(answer, facts, missing)));
    }

    void everyActivityAnswerHasItsKeyWords_data()
    {
        QTest::addColumn<QString>("activity");
        for (const ActivityFacts &a : activities)
            QTest::newRow(a.name) << QString::fromUtf8(a.name);
    }

    void everyActivityAnswerHasItsKeyWords()
    {
        QFETCH(QString, activity);
        const ActivityFacts &a = activityNamed(activity);
        QCOMPARE(qsizetype(a.answers.size() + a.leftOut.size()), qsizetype(a.activity->count()));
        for (const ActivityItem &item : a.activity->items) {
            const QString text = QString::fromUtf8(item.text);
            const auto known = [&](const char *t) { return text == QString::fromUtf8(t); };
            QVERIFY2(std::any_of(a.answers.begin(), a.answers.end(),
                                 [&](const LabelAnswer &l) { return known(l.text); }) ||
                         std::any_of(a.leftOut.begin(), a.leftOut.end(), known),
                     qPrintable(QStringLiteral("no key words for \"%1\"").arg(text)));
        }
    }

    void zonesComeInTheKeyFactsAsAClimberMeetsThem()
    {
        // From the lowest box on the picture to the highest.
        std::vector<ActivityItem> zones(mountainsOrdering.items.begin(),
                                        mountainsOrdering.items.end());
        std::sort(zones.begin(), zones.end(),
                  [](const ActivityItem &a, const ActivityItem &b) { return a.boxTop > b.boxTop; });
        const ActivityFacts &a = activityNamed(QStringLiteral("mountains ordering"));
        const QString text = pageText(readPageSource(QString::fromUtf8(a.keyFacts)));
        qsizetype previous = -1;
        QString previousZone;
        for (const ActivityItem &zone : zones) {
            const auto row =
                std::find_if(a.answers.begin(), a.answers.end(), [&](const LabelAnswer &l) {
                    return QString::fromUtf8(l.text) == QString::fromUtf8(zone.text);
                });
            QVERIFY2(row != a.answers.end(), zone.text);
            const qsizetype at = whereHeld(text, QString::fromUtf8(row->keyWords.front()));
            QVERIFY2(at >= 0, zone.text);
            QVERIFY2(at > previous,
                     qPrintable(QStringLiteral("the Key Facts name \"%1\" before \"%2\", which "
                                               "lies below it")
                                    .arg(QString::fromUtf8(zone.text), previousZone)));
            previous = at;
            previousZone = QString::fromUtf8(zone.text);
        }
    }

    void statementIsDecidedByTheKeyFacts_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("truth");
        QTest::addColumn<QStringList>("keyWords");
        for (const Statement &s : statements)
            QTest::newRow(s.text) << QString::fromUtf8(s.text) << s.truth << toStrings(s.keyWords);
    }

    void statementIsDecidedByTheKeyFacts()
    {
        QFETCH(QString, statement);
        QFETCH(bool, truth);
        QFETCH(QStringList, keyWords);
        // The activity marks a statement by the box on its row: boxes 0 to 3 take "False",
        // boxes 4 to 7 "True".
        const auto &shown = desertOrdering.statements;
        const auto found =
            std::find_if(shown.begin(), shown.end(), [&](const ActivityStatement &s) {
                return QString::fromUtf8(s.text) == statement;
            });
        QVERIFY2(found != shown.end(), "the activity no longer shows this statement");
        const auto &items = desertOrdering.items;
        const auto box = std::find_if(items.begin(), items.end(), [&](const ActivityItem &item) {
            return item.boxTop == found->top;
        });
        QVERIFY2(box != items.end(), "no box beside the statement");
        const bool markedTrue = box - items.begin() >= 4;
        QCOMPARE(markedTrue, truth);
        const QString text = pageText(readPageSource(QStringLiteral("key livingdesert")));
        const QString missing = missingFrom(text, keyWords);
        QVERIFY2(missing.isEmpty(),
                 qPrintable(
                     QStringLiteral("the Key Facts (pages/key livingdesert.md) do not say "
                                    "%1, which show it %2")
                         .arg(missing, truth ? QStringLiteral("true") : QStringLiteral("false"))));
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

QTEST_GUILESS_MAIN(KeyFactsTest)
#include "tst_key_facts.moc"
