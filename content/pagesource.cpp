// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the page sources, pages/<name>.md, and the credits they name.
#include "content/page.h"

#include "content/quizzes.h"
#include "platform/textfile.h"

#include <QFile>
#include <QRegularExpression>

namespace content::page {
namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(path));
    return QString::fromUtf8(file.readAll());
}

/// The answer letters of a topic quiz, "1 B, 2 A, ...", read from the quiz's own source so
/// that the teacher's notes always match the quiz.
QString answerKey(const Context &ctx, const QString &topic)
{
    const QuizSource quiz = readQuizSource(ctx.source.filePath(quizSourcePath(topic)));
    QStringList parts;
    for (size_t i = 0; i < quiz.questions.size(); ++i)
        parts << QStringLiteral("%1\u00a0%2")
                     .arg(i + 1)
                     .arg(QChar(u'A' + quiz.questions[i].right - 1));
    return parts.join(QStringLiteral(", "));
}

/// Replaces {answers:<topic>} and {credit:<role>} in a line of page text.
QString expand(const Context &ctx, const Credits &credits, const QString &text,
               const SourceError &error)
{
    static const QRegularExpression field(QStringLiteral("\\{(\\w+):([^}]*)\\}"));
    QString out;
    qsizetype done = 0;
    for (auto it = field.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(done, m.capturedStart() - done);
        const QString kind = m.captured(1);
        const QString key = m.captured(2);
        if (kind == QLatin1String("answers")) {
            out += answerKey(ctx, key);
        } else if (kind == QLatin1String("credit")) {
            const auto found = credits.find(key);
            if (found == credits.end())
                error(QStringLiteral("no credit \"%1\" in pages/credits.txt").arg(key));
            out += found->second;
        } else {
            error(QStringLiteral("unknown field {%1:...}").arg(kind));
        }
        done = m.capturedEnd();
    }
    out += text.mid(done);
    return out;
}

} // namespace

/// Reads a page source: "# " a title, "## " a heading, "- " a bullet, "> " a boxed note,
/// "@picture <name>" a picture at the right, "@buttons a | b" the program's captions as they
/// look on screen; other lines are paragraphs. Lines that follow one another join; a blank
/// line ends a block.
std::vector<Block> readPageSource(const Context &ctx, const Credits &credits, const QString &path)
{
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    std::vector<Block> blocks;
    bool open = false; // the last block takes the following lines
    for (int i = 0; i < lines.size(); ++i) {
        const SourceError error(path, i + 1);
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line = line.trimmed();
        if (line.isEmpty()) {
            open = false;
            continue;
        }
        line = expand(ctx, credits, line, error);
        // The program's captions "Next Page >>" and "<< Previous Page" never break at
        // their arrows.
        line.replace(QLatin1String(" >>"), QStringLiteral("\u00a0>>"));
        line.replace(QLatin1String("<< "), QStringLiteral("<<\u00a0"));
        if (!LineWriter::canEncode(line))
            error(QStringLiteral("holds a character a Windows metafile cannot carry"));

        auto start = [&](Block::Kind kind, const QString &text, bool takesMore) {
            blocks.push_back(Block{kind, text, {}, i + 1});
            open = takesMore;
        };
        if (line.startsWith(QLatin1String("## "))) {
            start(Block::Heading, line.mid(3).trimmed(), false);
        } else if (line.startsWith(QLatin1String("# "))) {
            start(Block::Title, line.mid(2).trimmed(), false);
        } else if (line.startsWith(QLatin1String("- "))) {
            start(Block::Bullet, line.mid(2).trimmed(), true);
        } else if (line == QLatin1String(">") || line.startsWith(QLatin1String("> "))) {
            const QString text = line.mid(1).trimmed();
            if (open && blocks.back().kind == Block::Note)
                blocks.back().text += QLatin1Char(' ') + text;
            else
                start(Block::Note, text, true);
        } else if (line.startsWith(QLatin1String("@picture "))) {
            start(Block::Picture, line.mid(9).trimmed(), false);
        } else if (line.startsWith(QLatin1String("@buttons "))) {
            start(Block::Buttons, QString(), false);
            for (const QString &caption : line.mid(9).split(QLatin1Char('|')))
                blocks.back().items << caption.trimmed();
        } else if (line.startsWith(QLatin1Char('@')) || line.startsWith(QLatin1Char('#'))) {
            error(QStringLiteral("unknown line \"%1\"").arg(line));
        } else if (open) {
            blocks.back().text += QLatin1Char(' ') + line;
        } else {
            start(Block::Paragraph, line, true);
        }
    }
    if (blocks.empty())
        fail(QStringLiteral("%1: the page is empty").arg(path));
    return blocks;
}

Credits readCredits(const QString &path)
{
    Credits credits;
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString role = line.left(colon).trimmed();
        const QString who = line.mid(colon + 1).trimmed();
        if (colon < 1 || who.isEmpty() || !LineWriter::canEncode(who))
            fail(QStringLiteral("%1:%2: \"Role: Name\" expected").arg(path).arg(i + 1));
        if (!credits.emplace(role, who).second)
            fail(QStringLiteral("%1:%2: \"%3\" is named twice").arg(path).arg(i + 1).arg(role));
    }
    for (const char *role : {"Author", "Programmer", "Series editor"}) {
        if (credits.find(QLatin1String(role)) == credits.end())
            fail(QStringLiteral("%1: no \"%2:\" line").arg(path, QLatin1String(role)));
    }
    return credits;
}

} // namespace content::page
