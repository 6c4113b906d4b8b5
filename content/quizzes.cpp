// SPDX-License-Identifier: GPL-3.0-or-later
// The topic quizzes: each source in quizzes/ becomes multiple/<title>.txt in the quiz layout
// the program reads, and an empty worksheet register is put beside them on the first build.
#include "content/quizzes.h"

#include "content/generator.h"
#include "platform/fonts.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>

#include <stdexcept>

namespace content {

namespace {

const QStringList topics = {QStringLiteral("Living in the Mountains"),
                            QStringLiteral("Living in the Desert")};

constexpr int questionCount = 10;

// The same limits as the Multiple Choice Wizard's boxes, so that a topic quiz prints and shows
// exactly like a teacher's worksheet.
constexpr int maxTitle = 25;
constexpr int maxQuestion = 60;
constexpr int maxAnswer = 30;

// Where the quiz screen shows the texts, in pixels at 96 dpi: the question box (Times New
// Roman 30 pt, word wrap) and the room beside an answer's round button (20.25 pt, one line).
constexpr double questionBoxWidth = 656;
constexpr double questionBoxHeight = 97;
constexpr double answerRoom = 440;

class SourceFile
{
public:
    explicit SourceFile(const QString &path) : m_path(path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read quiz source " + path.toStdString());
        const QString text = QString::fromUtf8(file.readAll());
        m_lines = text.split(QLatin1Char('\n'));
        for (QString &line : m_lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        if (!m_lines.isEmpty() && m_lines.constLast().isEmpty())
            m_lines.removeLast();
    }

    [[noreturn]] void fail(int lineIndex, const QString &what) const
    {
        const QString where = lineIndex < m_lines.size()
                                  ? QStringLiteral("%1:%2").arg(m_path).arg(lineIndex + 1)
                                  : QStringLiteral("%1: at the end").arg(m_path);
        throw std::runtime_error(QString(where + QStringLiteral(": ") + what).toStdString());
    }

    bool atEnd(int lineIndex) const { return lineIndex >= m_lines.size(); }
    bool isBlank(int lineIndex) const { return m_lines.at(lineIndex).trimmed().isEmpty(); }

    /// The text after "key:" on the given line, checked to be something the quiz file can carry.
    QString field(int lineIndex, const QString &key, int maxLength) const
    {
        if (atEnd(lineIndex))
            fail(lineIndex,
                 QStringLiteral("the question is incomplete: \"%1:\" expected").arg(key));
        const QString &line = m_lines.at(lineIndex);
        const QString prefix = key + QLatin1Char(':');
        if (!line.startsWith(prefix))
            fail(lineIndex, QStringLiteral("\"%1\" expected").arg(prefix));
        const QString value = line.mid(prefix.size()).trimmed();
        if (value.isEmpty())
            fail(lineIndex, QStringLiteral("\"%1\" has no text").arg(prefix));
        // The reader turns every "&" back into a comma, and a leading double quote would make
        // it read a quoted field: neither would come back as written.
        if (value.contains(QLatin1Char('&')))
            fail(lineIndex, QStringLiteral("\"&\" would read back as a comma; write \"and\""));
        if (value.startsWith(QLatin1Char('"')))
            fail(lineIndex, QStringLiteral("a text must not start with a double quote"));
        if (value.size() > maxLength)
            fail(lineIndex,
                 QStringLiteral("longer than %1 characters (%2)").arg(maxLength).arg(value.size()));
        if (!LineWriter::canEncode(value))
            fail(lineIndex, QStringLiteral("holds a character Windows-1252 cannot hold"));
        return value;
    }

private:
    QString m_path;
    QStringList m_lines;
};

QFont screenFontPixels(double points, const QString &family)
{
    QFont font(family);
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    return font;
}

void checkFitsQuizScreen(const SourceFile &source, int lineIndex, const QuizQuestion &q)
{
    const QFontMetricsF question(screenFontPixels(30, QStringLiteral("Times New Roman")));
    const QRectF box(0, 0, questionBoxWidth, 10000);
    const QRectF used = question.boundingRect(box, Qt::AlignHCenter | Qt::TextWordWrap, q.text);
    if (used.height() > questionBoxHeight)
        source.fail(lineIndex, QStringLiteral("the question needs more than the two lines the "
                                              "quiz screen has for it"));
    const QFontMetricsF answer(screenFontPixels(20.25, QStringLiteral("Times New Roman")));
    for (int a = 0; a < 4; ++a) {
        if (answer.horizontalAdvance(q.answers[a]) > answerRoom)
            source.fail(lineIndex + 1 + a,
                        QStringLiteral("the answer is too wide for one line of the quiz screen"));
    }
}

QString withAmpersands(QString text)
{
    return text.replace(QLatin1Char(','), QLatin1Char('&'));
}

void writeQuizFile(const QuizSource &quiz, const QString &path)
{
    LineWriter out(path);
    out.writeLine(withAmpersands(quiz.title));
    out.writeLine(QStringLiteral(" "));
    for (const QuizQuestion &q : quiz.questions) {
        out.writeLine(withAmpersands(q.text));
        for (const QString &answer : q.answers)
            out.writeLine(withAmpersands(answer));
        out.writeLine(QString::number(q.right));
        out.writeLine(QStringLiteral(" "));
    }
    out.commit();
}

} // namespace

QString quizSourcePath(const QString &topic)
{
    return QStringLiteral("quizzes/") + topic + QStringLiteral(".txt");
}

QuizSource readQuizSource(const QString &path)
{
    const SourceFile source(path);
    QuizSource quiz;
    int line = 0;
    while (!source.atEnd(line) && source.isBlank(line))
        ++line;
    quiz.title = source.field(line, QStringLiteral("Title"), maxTitle);
    ++line;

    while (true) {
        while (!source.atEnd(line) && source.isBlank(line))
            ++line;
        if (source.atEnd(line))
            break;
        if (quiz.questions.size() == questionCount)
            source.fail(line, QStringLiteral("more than %1 questions").arg(questionCount));
        const int first = line;
        QuizQuestion q;
        q.text = source.field(line++, QStringLiteral("Q"), maxQuestion);
        const QString letters = QStringLiteral("ABCD");
        for (int a = 0; a < 4; ++a)
            q.answers[a] = source.field(line++, letters.at(a), maxAnswer);
        const QString right = source.field(line, QStringLiteral("Right"), 1);
        q.right = letters.indexOf(right) + 1;
        if (q.right == 0)
            source.fail(line, QStringLiteral("\"Right:\" must be one of A, B, C or D"));
        ++line;
        if (!source.atEnd(line) && !source.isBlank(line))
            source.fail(line, QStringLiteral("a blank line must follow \"Right:\""));
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                if (q.answers[a] == q.answers[b])
                    source.fail(first + 1 + b, QStringLiteral("two answers are the same"));
            }
        }
        checkFitsQuizScreen(source, first, q);
        quiz.questions.push_back(q);
    }
    if (quiz.questions.size() != questionCount)
        source.fail(line, QStringLiteral("%1 questions instead of %2")
                              .arg(quiz.questions.size())
                              .arg(questionCount));
    return quiz;
}

void writeQuizzes(const Context &ctx)
{
    registerFonts(); // the quiz screen's fonts, to measure the texts in
    QDir().mkpath(ctx.runPath(QStringLiteral("multiple")));
    for (const QString &topic : topics) {
        const QString sourcePath = ctx.source.filePath(quizSourcePath(topic));
        const QuizSource quiz = readQuizSource(sourcePath);
        // The topic menus open the quiz by the topic's name, and the quiz screen shows the
        // title line: both must be the topic.
        if (quiz.title != topic)
            throw std::runtime_error(QStringLiteral("%1: the title must be \"%2\"")
                                         .arg(sourcePath, topic)
                                         .toStdString());
        writeQuizFile(quiz,
                      ctx.runPath(QStringLiteral("multiple/") + topic + QStringLiteral(".txt")));
    }

    // The register holds the teachers' worksheets between runs: it is made once, empty, and
    // never overwritten.
    const QString track = ctx.runPath(QStringLiteral("multiple/track.txt"));
    if (!QFileInfo::exists(track)) {
        LineWriter out(track);
        out.writeLine(QStringLiteral(" 0"));
        out.commit();
    }
}

} // namespace content
