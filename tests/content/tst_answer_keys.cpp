// SPDX-License-Identifier: GPL-3.0-or-later
// Each activity's answer key, kept here as the activity was designed and typed apart from the
// activity tables: a pupil who puts every answer where this key says scores full marks, so two
// answers swapped in a table, a box moved or a statement put on another row fails here.
// The answers of the two topic quizzes as the build writes them, and of the activities, are
// checked against the pupils' reading too: the results screen sends a pupil who fell short back
// to the Key Facts, so each right answer's key words must be there; an edit of a Key Facts page
// that drops one, or an answer the Key Facts do not back, fails here.
#include "activities/livingdesertlab.h"
#include "activities/livingdesertord.h"
#include "activities/livingmountainslab.h"
#include "activities/livingmountainsord.h"
#include "app/intro0.h"
#include "app/livingdesert.h"
#include "app/livingmountains.h"
#include "quiz/Welldone.h"
#include "tests/support/testkit.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <algorithm>
#include <set>
#include <vector>

using namespace testkit;

namespace {

/// A right answer and the words the topic's Key Facts must hold for a pupil to find it.
struct Answer
{
    int question; ///< 1 to 10
    const char *rightAnswer;
    std::vector<const char *> keyWords;
};

struct TopicQuiz
{
    const char *title;
    const char *keyFacts; ///< the page source, pages/<name>.md
    const char *notes;    ///< the teacher's notes page that gives the quiz's answer key
    std::vector<Answer> answers;
};

const std::vector<TopicQuiz> topics = {
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

/// An answer, the corner of the box it belongs in, in twips, and the words the topic's Key Facts
/// must hold for a pupil to find it. Where the answer uses a hard word ("coniferous", "agile",
/// "permanent"), the words include the plain explanation that goes with it. An answer with no
/// words is one the Key Facts rightly leave out (the tent owner's rifle is in the picture, not a
/// fact about desert life), or a "True" or "False" whose statement has the words.
struct LabelAnswer
{
    const char *text;
    float left, top;
    std::vector<const char *> keyWords = {};
};

/// A statement beside the true-or-false boxes, the top of the row it stands on, and the words of
/// the Key Facts that show it true or show it false.
struct Statement
{
    const char *text;
    float top;
    std::vector<const char *> keyWords;
};

struct AnswerKey
{
    const char *name;
    bool mountains;
    bool labelling;
    const char *instruction;
    const char *keyFacts;
    std::vector<LabelAnswer> answers;
    std::vector<Statement> statements = {};
};

// The zones are listed with the words that place them on the way up: the first key word of each
// must come in the Key Facts in the order a climber meets them.
const std::vector<AnswerKey> keys = {
    {"mountains ordering",
     true,
     false,
     "Imagine that you are making a journey up a mountain. What would you see as you climbed "
     "the mountain?",
     "key livingmountains",
     {
         {"Permanent snow and ice.", 4320, 1875, {"permanent snow and ice", "snow stays all year"}},
         {"Bare rocks, lichens and mosses.", 4320, 4440, {"lichens and mosses", "bare rocks"}},
         {"Thin grass and small flowering plants.",
          4320,
          5400,
          {"thin grass and small flowering plants", "above the tree line"}},
         {"Bare rock, no plants.", 4320, 3480, {"no plants", "bare rock"}},
         {"Grass and coniferous trees.",
          4320,
          6300,
          {"grass and coniferous trees", "coniferous trees (trees with cones"}},
     }},
    {"mountains labelling",
     true,
     true,
     "Match the animals with their adaptations for survival in the mountains.",
     "key livingmountains",
     {
         {"Have large heart and lungs to cope with thin atmosphere.",
          2250,
          3555,
          {"llamas carry loads and have a large heart and lungs", "thin air"}},
         {"Hibernate in the winter when there is no food.",
          8550,
          7065,
          {"bears hibernate", "winter", "no food"}},
         {"Have thick woolly coats.", 4170, 7050, {"yaks have thick woolly coats"}},
         {"Can live on poor grasses and are agile on steep slopes.",
          6990,
          2295,
          {"goats", "live on poor grasses", "agile (quick and sure-footed) on steep slopes"}},
     }},
    {"desert ordering",
     false,
     false,
     "Are these statements about life in the desert true or false?",
     "key livingdesert",
     {
         {"False", 9360, 2640},
         {"False", 9360, 4440},
         {"False", 9360, 5040},
         {"False", 9360, 3240},
         {"True", 9360, 6240},
         {"True", 9360, 3840},
         {"True", 9360, 2040},
         {"True", 9360, 5640},
     },
     {
         {"People and animals have to adapt to survive in hot desert conditions.",
          2040,
          {"survive", "hot desert", "people and animals have to adapt"}},
         {"Nothing grows in the desert.", 2640, {"date palms and crops grow"}},
         {"No one lives in deserts.", 3240, {"millions of people live"}},
         {"Millions of people live in or on the edges of the world\u2019s deserts.",
          3840,
          {"millions of people live in and around deserts"}},
         {"Bedouins who live in the desert are very unfriendly people.",
          4440,
          {"for welcoming guests", "an important Bedouin custom"}},
         {"All desert people live in the same place all their life.",
          5040,
          {"some are still nomads", "move"}},
         {"An oasis is a place in the desert where water can be found.",
          5640,
          {"oasis is a green place with water"}},
         {"Some desert people are nomads.", 6240, {"some are still nomads"}},
     }},
    {"desert labelling",
     false,
     true,
     "Bedouins live in the deserts of North Africa and the Middle East. Label this picture of a "
     "Bedouin tent.",
     "key livingdesert",
     {
         {"The men's section of the tent.", 3960, 1020, {"men's section"}},
         {"The owner of the tent's rifle.", 3480, 5520},
         {"The family section of the tent.", 6480, 1020, {"family section"}},
         {"Tent pole supporting the roof.", 1320, 5520, {"tent poles support the roof"}},
         {"The kitchen", 8520, 1020, {"kitchen", "cooking"}},
         {"Bedouin tent - made from goat hair.", 960, 1020, {"Bedouin tents", "goat hair"}},
     }},
};

/// A built quiz file: the title, a line holding a space, then for each question the question,
/// four answers, the number of the right one and a line holding a space; "&" stands for a comma.
/// Empty when the file is missing or not laid out so.
QStringList builtQuizLines(const QString &title)
{
    QStringDecoder decoder("windows-1252");
    const QStringList lines =
        QString(decoder.decode(testkit::builtFile(QStringLiteral("multiple/") + title + ".txt")))
            .replace(u'&', u',')
            .split(QStringLiteral("\r\n"));
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

QString keyFactsText(const char *page)
{
    return pageText(readPageSource(QString::fromUtf8(page)));
}

/// Opens an activity as a pupil does: the topic on the main menu, then the activity.
DragDrop &open(const AnswerKey &key)
{
    screen<intro0>().show();
    click(screen<intro0>().Label2[key.mountains ? 1 : 5]);
    const int entry = key.labelling ? 1 : 3;
    click(key.mountains ? screen<livingmountains>().label3[entry]
                        : screen<livingdesert>().label3[entry]);
    if (key.mountains)
        return key.labelling ? static_cast<DragDrop &>(screen<livingmountainslab>())
                             : static_cast<DragDrop &>(screen<livingmountainsord>());
    return key.labelling ? static_cast<DragDrop &>(screen<livingdesertlab>())
                         : static_cast<DragDrop &>(screen<livingdesertord>());
}

} // namespace

class AnswerKeysTest : public ScreenTest
{
    Q_OBJECT

private Q_SLOTS:
    void everyAnswerInItsBoxScoresFullMarks_data()
    {
        QTest::addColumn<int>("key");
        for (size_t k = 0; k < keys.size(); ++k)
            QTest::newRow(keys[k].name) << int(k);
    }

    void everyAnswerInItsBoxScoresFullMarks()
    {
        QFETCH(int, key);
        const AnswerKey &k = keys[size_t(key)];
        // The Key Facts back every answer and statement.
        const QString facts = keyFactsText(k.keyFacts);
        QVERIFY2(!facts.isEmpty(),
                 qPrintable(QStringLiteral("%1.md is missing or empty").arg(k.keyFacts)));
        auto backed = [&](const char *shown, const std::vector<const char *> &keyWords) {
            const QString missing = missingFrom(facts, toStrings(keyWords));
            QVERIFY2(missing.isEmpty(),
                     qPrintable(QStringLiteral("\"%1\": the Key Facts (pages/%2.md) do not say %3")
                                    .arg(QString::fromUtf8(shown), QString::fromUtf8(k.keyFacts),
                                         missing)));
        };
        for (const LabelAnswer &answer : k.answers)
            backed(answer.text, answer.keyWords);
        for (const Statement &s : k.statements)
            backed(s.text, s.keyWords);
        if (QTest::currentTestFailed())
            return;
        if (k.mountains && !k.labelling) {
            // The zones, from the lowest box on the picture to the highest, come in the Key
            // Facts in the order a climber meets them (by the first key word of each).
            std::vector<LabelAnswer> zones = k.answers;
            std::sort(zones.begin(), zones.end(),
                      [](const LabelAnswer &a, const LabelAnswer &b) { return a.top > b.top; });
            for (size_t z = 1; z < zones.size(); ++z)
                QVERIFY2(
                    whereHeld(facts, QString::fromUtf8(zones[z].keyWords.front())) >
                        whereHeld(facts, QString::fromUtf8(zones[z - 1].keyWords.front())),
                    qPrintable(QStringLiteral(
                                   "the Key Facts name \"%1\" before \"%2\", which lies below it")
                                   .arg(QString::fromUtf8(zones[z].text),
                                        QString::fromUtf8(zones[z - 1].text))));
        }

        DragDrop &a = open(k);
        QVERIFY(a.visible());
        QCOMPARE(a.Label7.caption(), QString::fromUtf8(k.instruction));

        // Each statement stands on its row, beside its box.
        for (const Statement &s : k.statements) {
            bool found = false;
            a.Label1.forEach([&](int, const Label &label) {
                found = found || (label.caption() == QString::fromUtf8(s.text) &&
                                  label.left() == 1200 && label.top() == s.top);
            });
            QVERIFY2(found, s.text);
        }

        // Every answer label, found by its words, is dragged onto the box at its corner.
        QCOMPARE(int(k.answers.size()), a.activity().count());
        std::set<int> used;
        for (const LabelAnswer &answer : k.answers) {
            int label = -1;
            a.Label2.forEach([&](int i, const Label &l) {
                if (label < 0 && !used.count(i) && l.caption() == QString::fromUtf8(answer.text))
                    label = i;
            });
            QVERIFY2(label >= 0, answer.text);
            used.insert(label);
            bool box = false;
            a.Label1.forEach([&](int, const Label &l) {
                box = box || (l.left() == answer.left && l.top() == answer.top &&
                              l.width() == a.Label2[label].width());
            });
            QVERIFY2(box, qPrintable(QStringLiteral("no box at %1, %2 for \"%3\"")
                                         .arg(answer.left)
                                         .arg(answer.top)
                                         .arg(QString::fromUtf8(answer.text))));
            Label &l = a.Label2[label];
            drag(l, QPointF(answer.left + l.width() / 2, answer.top + l.height() / 2));
            QCOMPARE(QPointF(l.left(), l.top()), QPointF(answer.left, answer.top));
        }

        QVERIFY(a.Label3[2].visible());
        click(a.Label3[2]);
        const int n = int(k.answers.size());
        QCOMPARE(screen<Welldone>().Label1.caption(),
                 QStringLiteral("Excellent work. You have scored %1 out of %1.").arg(n));
    }

    void eachQuizIsFairAndBackedByTheKeyFacts_data()
    {
        QTest::addColumn<int>("topic");
        for (size_t t = 0; t < topics.size(); ++t)
            QTest::newRow(topics[t].title) << int(t);
    }

    void eachQuizIsFairAndBackedByTheKeyFacts()
    {
        QFETCH(int, topic);
        const TopicQuiz &t = topics[size_t(topic)];
        const QString title = QString::fromUtf8(t.title);
        const QStringList quiz = builtQuizLines(title);
        QVERIFY2(!quiz.isEmpty(), qPrintable(title + ".txt is missing or not in the quiz layout"));
        const QString text = keyFactsText(t.keyFacts);
        QVERIFY2(!text.isEmpty(),
                 qPrintable(QStringLiteral("%1.md is missing or empty").arg(t.keyFacts)));
        // No two answers of a question alike, and each letter right two or three times out of
        // ten, so that no letter is a safe guess and none is never right. The right answer's
        // key words are in the Key Facts; the key words belong to the answer, so a changed
        // question needs its own.
        int count[4] = {};
        for (const Answer &answer : t.answers) {
            const QStringList q = questionOf(quiz, answer.question);
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
            QCOMPARE(q[right], QString::fromUtf8(answer.rightAnswer));
            const QString missing = missingFrom(text, toStrings(answer.keyWords));
            QVERIFY2(
                missing.isEmpty(),
                qPrintable(QStringLiteral("\"%1\": the Key Facts (pages/%2.md) no longer say %3")
                               .arg(q[0], QString::fromUtf8(t.keyFacts), missing)));
        }
        for (int a = 0; a < 4; ++a)
            QVERIFY2(
                count[a] >= 2 && count[a] <= 3,
                qPrintable(
                    QStringLiteral("%1 is right %2 times").arg(QChar(u'A' + a)).arg(count[a])));

        // The build writes the answer key into the notes from the quiz's source, so it cannot
        // drift from the quiz; a key typed by hand could.
        const QString notes = QString::fromUtf8(t.notes);
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

QTEST_MAIN(AnswerKeysTest)
#include "tst_answer_keys.moc"
