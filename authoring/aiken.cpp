// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/aiken.h"

#include <QRegularExpression>

namespace {

const QRegularExpression &optionLine()
{
    static const QRegularExpression re(QStringLiteral("^\\s*([A-Z])[.)]\\s?(.*)$"));
    return re;
}

const QRegularExpression &answerLine()
{
    static const QRegularExpression re(QStringLiteral("^\\s*ANSWER\\s*:\\s*(\\S*)\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

/// One question as it is read: its text lines, its options and its ANSWER line.
struct Block
{
    QStringList text;
    QStringList letters;
    QStringList options;
    bool answered = false;
    QString answer;

    bool empty() const { return text.isEmpty(); }
};

ParsedQuestion parsed(const Block &b)
{
    ParsedQuestion q;
    q.text = b.text.join(QLatin1Char(' ')).trimmed();
    q.answers = b.options;
    if (b.options.isEmpty()) {
        q.unusable = QStringLiteral("it has no answers A, B, C and D");
        return q;
    }
    if (!b.answered) {
        q.unusable = QStringLiteral("it has no ANSWER line saying which answer is right");
        return q;
    }
    const QString letter = b.answer.toUpper();
    const qsizetype k = b.letters.indexOf(letter);
    if (k < 0) {
        q.unusable = b.answer.isEmpty()
                         ? QStringLiteral("its ANSWER line names no answer")
                         : QStringLiteral("its ANSWER line names \"%1\", which is not one of its "
                                          "answers")
                               .arg(b.answer);
        return q;
    }
    for (qsizetype i = 0; i < b.letters.size(); ++i) {
        if (b.letters[i] != QString(QChar(char16_t(u'A' + i)))) {
            q.unusable = QStringLiteral("its answers are not lettered A, B, C, D in order");
            return q;
        }
    }
    q.rightCount = 1;
    q.right = int(k) + 1;
    return q;
}

} // namespace

namespace aiken {

QuizReading read(const QString &text)
{
    const auto parse = [](const Block &b) -> std::optional<ParsedQuestion> {
        if (b.empty())
            return std::nullopt;
        return parsed(b);
    };
    const auto step = [](const QString &line, Block &b, const auto &finish) {
        if (line.trimmed().isEmpty()) {
            // A blank line ends a question that has no answers yet; between answers it is
            // only space.
            if (b.options.isEmpty())
                finish();
            return;
        }
        if (b.empty()) {
            // The first line of a question is its text, whatever it looks like.
            b.text << line.trimmed();
            return;
        }
        if (const auto m = answerLine().match(line); m.hasMatch()) {
            b.answered = true;
            b.answer = m.captured(1);
            finish();
            return;
        }
        if (const auto m = optionLine().match(line); m.hasMatch()) {
            b.letters << m.captured(1);
            b.options << m.captured(2).trimmed();
            return;
        }
        // Text after the answers without an ANSWER line starts the next question.
        if (!b.options.isEmpty())
            finish();
        b.text << line.trimmed();
    };
    return exchange::readBlocks<Block>(text, parse, step);
}

QString write(const Worksheet &sheet)
{
    QString out;
    for (int q = 0; q < 10; ++q) {
        out += sheet.questions[q] + QLatin1Char('\n');
        for (int a = 0; a < 4; ++a)
            out += QChar(char16_t(u'A' + a)) + QStringLiteral(". ") + sheet.answers[q][a] +
                   QLatin1Char('\n');
        out += QStringLiteral("ANSWER: ") + QChar(char16_t(u'A' + sheet.right[q] - 1)) +
               QStringLiteral("\n\n");
    }
    return out;
}

} // namespace aiken
