// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the quiz reader: every input is read as a quiz file. A file that is too
// short may only be refused with ProgramError, and then leaves the quiz in memory as it was; a
// file that reads fills all ten questions and never entry 0.
#include "app/Module1.h"
#include "platform/guard.h"
#include "platform/textfile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Module1::worktitle = QStringLiteral("before");
    Module1::question[0].clear();
    try {
        FieldReader reader = FieldReader::fromBytes(bytes);
        Module1::loadquest(reader);
        for (int q = 1; q <= 10; ++q)
            if (Module1::question[q].contains(QLatin1Char('&')) ||
                Module1::answerd[q].contains(QLatin1Char('&')))
                __builtin_trap();
    } catch (const ProgramError &) {
        if (Module1::worktitle != QStringLiteral("before"))
            __builtin_trap();
    }
    if (!Module1::question[0].isEmpty() || Module1::worktitle.contains(QLatin1Char('&')))
        __builtin_trap();
    return 0;
}
