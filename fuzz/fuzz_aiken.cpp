// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the Aiken reader: every input is read as a Aiken file in whatever encoding
// it seems to be in. Every question is counted once, as usable or left out; a usable one fits
// a worksheet; and usable questions written out as Aiken read back as the same questions.
#include "authoring/aiken.h"

#include "platform/textfile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QuizReading reading = aiken::read(exchange::decodeText(bytes));
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
    const QuizReading back =
        aiken::read(exchange::decodeText(exchange::exportText(sheet, QuizFormat::Aiken)));
    if (back.usable != ten || !back.leftOut.isEmpty())
        __builtin_trap();
    return 0;
}
