// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the GIFT reader, or the Aiken reader when built with FUZZ_AIKEN: every
// input is read as a file of that format in whatever encoding it seems to be in. Every question
// is counted once, as usable or left out; a usable one fits a worksheet; and usable questions
// written out in the same format read back as the same questions.
#include "authoring/aiken.h"
#include "authoring/gift.h"

#include "platform/textfile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

#ifdef FUZZ_AIKEN
constexpr QuizFormat format = QuizFormat::Aiken;
QuizReading (*const readQuiz)(const QString &) = aiken::read;
#else
constexpr QuizFormat format = QuizFormat::Gift;
QuizReading (*const readQuiz)(const QString &) = gift::read;
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QuizReading reading = readQuiz(exchange::decodeText(bytes));
    if (reading.found != reading.usable.size() + reading.leftOut.size())
        __builtin_trap();
    for (const QuizQuestion &q : reading.usable) {
        if (q.text.isEmpty() || q.text.size() > exchange::questionLimit || q.right < 1 ||
            q.right > 4 || !LineWriter::canEncode(q.text))
            __builtin_trap();
        for (const QString &answer : q.answers)
            if (answer.isEmpty() || answer.size() > exchange::answerLimit ||
                !LineWriter::canEncode(answer))
                __builtin_trap();
    }
    if (reading.usable.isEmpty())
        return 0;
    QList<QuizQuestion> ten = reading.usable.mid(0, 10);
    while (ten.size() < 10)
        ten << ten.first();
    const Worksheet sheet = exchange::worksheetOf(QStringLiteral("Fuzz"), ten);
    const QuizReading back = readQuiz(exchange::decodeText(exchange::exportText(sheet, format)));
    if (back.usable != ten || !back.leftOut.isEmpty())
        __builtin_trap();
    return 0;
}
