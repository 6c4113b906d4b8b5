// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/gift.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

/// One character of a question, and whether a backslash took away its special meaning.
struct Ch
{
    char16_t c;
    bool escaped;
};
using Chars = std::vector<Ch>;

enum class TextFormat { Moodle, Html, Plain, Markdown };

const QString specials = QStringLiteral("~=#{}:\\");

Chars charsOf(const QString &block)
{
    Chars chars;
    chars.reserve(size_t(block.size()));
    for (qsizetype i = 0; i < block.size(); ++i) {
        const QChar c = block[i];
        if (c == QLatin1Char('\\') && i + 1 < block.size()) {
            const QChar next = block[i + 1];
            if (specials.contains(next)) {
                chars.push_back({next.unicode(), true});
                ++i;
                continue;
            }
            if (next == QLatin1Char('n')) {
                chars.push_back({u'\n', true});
                ++i;
                continue;
            }
        }
        chars.push_back({c.unicode(), c == QLatin1Char('\\')});
    }
    return chars;
}

bool special(const Chars &s, size_t i, char16_t c)
{
    return i < s.size() && s[i].c == c && !s[i].escaped;
}

/// The first unescaped c from `from`, looking no further than `to`; `to` when there is none.
size_t find(const Chars &s, size_t from, char16_t c, size_t to = SIZE_MAX)
{
    to = std::min(to, s.size());
    for (size_t i = from; i < to; ++i)
        if (special(s, i, c))
            return i;
    return to;
}

QString text(const Chars &s, size_t from, size_t to)
{
    QString out;
    out.reserve(qsizetype(to - from));
    for (size_t i = from; i < to && i < s.size(); ++i)
        out += QChar(s[i].c);
    return out;
}

bool isSpace(char16_t c)
{
    return QChar(c).isSpace();
}

QString decodeEntities(const QString &in)
{
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|"
                                                          "[a-zA-Z]{2,8});"));
    static const QHash<QString, QString> named{{QStringLiteral("amp"), QStringLiteral("&")},
                                               {QStringLiteral("lt"), QStringLiteral("<")},
                                               {QStringLiteral("gt"), QStringLiteral(">")},
                                               {QStringLiteral("quot"), QStringLiteral("\"")},
                                               {QStringLiteral("apos"), QStringLiteral("'")},
                                               {QStringLiteral("nbsp"), QStringLiteral(" ")},
                                               {QStringLiteral("rsquo"), QStringLiteral("’")},
                                               {QStringLiteral("lsquo"), QStringLiteral("‘")},
                                               {QStringLiteral("rdquo"), QStringLiteral("”")},
                                               {QStringLiteral("ldquo"), QStringLiteral("“")},
                                               {QStringLiteral("ndash"), QStringLiteral("–")},
                                               {QStringLiteral("mdash"), QStringLiteral("—")},
                                               {QStringLiteral("hellip"), QStringLiteral("…")},
                                               {QStringLiteral("eacute"), QStringLiteral("é")},
                                               {QStringLiteral("egrave"), QStringLiteral("è")},
                                               {QStringLiteral("agrave"), QStringLiteral("à")},
                                               {QStringLiteral("ccedil"), QStringLiteral("ç")},
                                               {QStringLiteral("uuml"), QStringLiteral("ü")},
                                               {QStringLiteral("ouml"), QStringLiteral("ö")},
                                               {QStringLiteral("auml"), QStringLiteral("ä")},
                                               {QStringLiteral("deg"), QStringLiteral("°")},
                                               {QStringLiteral("copy"), QStringLiteral("©")}};
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(in); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(1);
        QString replacement;
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex =
                name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'));
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else {
            replacement = named.value(name);
        }
        if (replacement.isNull())
            continue;
        out += in.mid(last, m.capturedStart() - last) + replacement;
        last = m.capturedEnd();
    }
    return out + in.mid(last);
}

QString stripTags(const QString &in)
{
    static const QRegularExpression breaks(QStringLiteral("<(br|/p|/div|/li|/h[1-6])\\b[^<>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[a-zA-Z/!][^<>]*>"));
    QString out = in;
    out.replace(breaks, QStringLiteral(" "));
    out.replace(tags, QString());
    return out;
}

QString stripMarkdown(const QString &in)
{
    static const QRegularExpression strong(QStringLiteral("(\\*\\*|__)(\\S(?:.*?\\S)?)\\1"));
    static const QRegularExpression emphasis(
        QStringLiteral("(?<![\\w*])([*_`])(\\S(?:.*?\\S)?)\\1(?![\\w*])"));
    QString out = in;
    out.replace(strong, QStringLiteral("\\2"));
    out.replace(emphasis, QStringLiteral("\\2"));
    return out;
}

/// A text of the question as a worksheet shows it: its format undone, on one line.
QString plain(const QString &raw, TextFormat format)
{
    QString out = raw;
    if (format == TextFormat::Html || format == TextFormat::Moodle)
        out = decodeEntities(stripTags(out));
    else if (format == TextFormat::Markdown && out.size() <= 2000)
        out = stripMarkdown(out); // a longer text is refused anyway, and is left as it is
    for (QChar &c : out)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return out.trimmed();
}

struct Answer
{
    bool right;
    double weight;
    QString text;
    bool matching;
};

/// Reads one question's block; the block's text has its comments removed.
ParsedQuestion parseQuestion(const QString &block)
{
    ParsedQuestion q;
    const Chars s = charsOf(block);
    size_t pos = 0;
    while (pos < s.size() && isSpace(s[pos].c))
        ++pos;
    if (special(s, pos, u':') && special(s, pos + 1, u':')) {
        size_t end = pos + 2;
        while (end < s.size() && !(special(s, end, u':') && special(s, end + 1, u':')))
            ++end;
        if (end >= s.size()) {
            q.text = plain(text(s, pos + 2, s.size()), TextFormat::Plain);
            q.unusable = QStringLiteral("its name is not closed with \"::\"");
            return q;
        }
        pos = end + 2;
    }
    while (pos < s.size() && isSpace(s[pos].c))
        ++pos;
    TextFormat format = TextFormat::Moodle;
    if (special(s, pos, u'[')) {
        const size_t close = find(s, pos, u']');
        const QString name = text(s, pos + 1, close).toLower();
        const std::pair<const char *, TextFormat> formats[] = {{"html", TextFormat::Html},
                                                               {"moodle", TextFormat::Moodle},
                                                               {"plain", TextFormat::Plain},
                                                               {"markdown", TextFormat::Markdown}};
        for (const auto &[word, f] : formats) {
            if (close < s.size() && name == QLatin1String(word)) {
                format = f;
                pos = close + 1;
            }
        }
    }

    const size_t open = find(s, pos, u'{');
    if (open >= s.size()) {
        q.text = plain(text(s, pos, s.size()), format);
        q.unusable = QStringLiteral("it has no answers in { }, so it is not a question");
        return q;
    }
    const size_t close = find(s, open + 1, u'}');
    const QString before = text(s, pos, open);
    const QString after =
        close < s.size() ? plain(text(s, close + 1, s.size()), format) : QString();
    // Answers in the middle of the text leave a blank for the missing word.
    q.text = after.isEmpty()
                 ? plain(before, format)
                 : plain(before + QStringLiteral("_____") + text(s, close + 1, s.size()), format);
    if (close >= s.size()) {
        q.unusable = QStringLiteral("its answers are not closed with \"}\"");
        return q;
    }

    size_t a = open + 1;
    while (a < close && isSpace(s[a].c))
        ++a;
    if (a == close) {
        q.unusable = QStringLiteral("essay questions cannot be used");
        return q;
    }
    if (special(s, a, u'#')) {
        q.unusable = QStringLiteral("number questions cannot be used");
        return q;
    }
    const QString trueFalse = text(s, a, find(s, a, u'#', close)).trimmed().toUpper();
    if (trueFalse == QLatin1String("T") || trueFalse == QLatin1String("F") ||
        trueFalse == QLatin1String("TRUE") || trueFalse == QLatin1String("FALSE")) {
        q.unusable = QStringLiteral("true/false questions cannot be used");
        return q;
    }
    if (!special(s, a, u'=') && !special(s, a, u'~')) {
        q.unusable = QStringLiteral("its answers do not start with \"=\" or \"~\"");
        return q;
    }

    std::vector<Answer> answers;
    while (a < close) {
        const bool right = s[a].c == u'=';
        size_t end = a + 1;
        while (end < close && !special(s, end, u'=') && !special(s, end, u'~'))
            ++end;
        const size_t feedback = find(s, a + 1, u'#', end);
        QString content = text(s, a + 1, feedback);
        bool matching = false;
        for (size_t i = a + 1; i + 1 < feedback; ++i)
            matching = matching || (special(s, i, u'-') && special(s, i + 1, u'>'));
        double weight = right ? 100 : 0;
        if (content.startsWith(QLatin1Char('%'))) {
            const qsizetype second = content.indexOf(QLatin1Char('%'), 1);
            bool ok = false;
            const double given = second > 0 ? content.mid(1, second - 1).toDouble(&ok) : 0;
            if (ok) {
                weight = given;
                content = content.mid(second + 1);
            }
        }
        answers.push_back({right, weight, plain(content, format), matching});
        a = end;
    }

    bool anyWrong = false, anyMatching = false, anyPart = false;
    for (const Answer &answer : answers) {
        anyWrong = anyWrong || !answer.right;
        anyMatching = anyMatching || (answer.right && answer.matching);
        anyPart = anyPart || (answer.weight > 0 && answer.weight < 100);
        q.answers << answer.text;
        if (answer.weight == 100) {
            ++q.rightCount;
            q.right = int(q.answers.size());
        }
    }
    if (anyMatching)
        q.unusable = QStringLiteral("matching questions cannot be used");
    else if (!anyWrong)
        q.unusable = QStringLiteral("short-answer questions cannot be used");
    else if (q.rightCount == 0 && anyPart)
        q.unusable = QStringLiteral("it gives part marks to several answers, and a worksheet "
                                    "needs one right answer");
    return q;
}

bool isComment(const QString &line)
{
    return line.trimmed().startsWith(QStringLiteral("//"));
}

bool isCategory(const QString &line)
{
    return line.trimmed().startsWith(QStringLiteral("$CATEGORY:"), Qt::CaseInsensitive);
}

QString escaped(const QString &in)
{
    QString out;
    out.reserve(in.size() + 8);
    for (QChar c : in) {
        if (specials.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString html(const QString &in)
{
    QString out = in;
    out.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    out.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    out.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return out;
}

} // namespace

namespace gift {

QuizReading read(const QString &text)
{
    const auto parse = [](const QString &block) -> std::optional<ParsedQuestion> {
        if (block.trimmed().isEmpty())
            return std::nullopt;
        return parseQuestion(block);
    };
    const auto step = [](const QString &line, QString &block, const auto &finish) {
        if (isComment(line))
            return;
        if (line.trimmed().isEmpty() || isCategory(line)) {
            finish();
            return;
        }
        if (!block.isEmpty())
            block += QLatin1Char('\n');
        block += line;
    };
    return exchange::readBlocks<QString>(text, parse, step);
}

QString write(const Worksheet &sheet)
{
    QString out = QStringLiteral("// ") + sheet.title + QStringLiteral(", from Habitara\n\n");
    for (int q = 0; q < 10; ++q) {
        const QStringList texts = questionTexts(sheet, q);
        // Texts a platform would take for markup, or for a matching pair, go as HTML with
        // those characters written as entities; so does a text that starts like a format.
        bool asHtml = sheet.questions[q].startsWith(QLatin1Char('['));
        for (const QString &t : texts)
            asHtml = asHtml || t.contains(QLatin1Char('<')) || t.contains(QLatin1Char('>')) ||
                     t.contains(QLatin1Char('&'));
        auto encode = [asHtml](const QString &t) { return escaped(asHtml ? html(t) : t); };
        out += QStringLiteral("::") +
               escaped(sheet.title + QStringLiteral(", question ") + QString::number(q + 1)) +
               QStringLiteral("::") + (asHtml ? QStringLiteral("[html]") : QString()) +
               encode(sheet.questions[q]) + QStringLiteral(" {\n");
        for (int a = 0; a < 4; ++a) {
            const bool right = sheet.right[q] == a + 1;
            const QString &answer = sheet.answers[q][a];
            // An answer that starts with "%" would read as a weight: its weight is written.
            const QString weight = answer.startsWith(QLatin1Char('%'))
                                       ? (right ? QStringLiteral("%100%") : QStringLiteral("%0%"))
                                       : QString();
            out += QStringLiteral("\t") + (right ? QLatin1Char('=') : QLatin1Char('~')) + weight +
                   encode(answer) + QLatin1Char('\n');
        }
        out += QStringLiteral("}\n\n");
    }
    return out;
}

} // namespace gift
