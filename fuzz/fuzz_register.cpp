// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the worksheet register's reader: every input is read as a register.
// A damaged register may only be refused with ProgramError; one that reads gives no more
// titles than the register holds, and writing those titles out reads back the same count.
#include "authoring/register.h"
#include "platform/guard.h"
#include "platform/textfile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        FieldReader reader = FieldReader::fromBytes(bytes);
        const QStringList titles = parseRegister(reader);
        if (titles.size() > maxWorksheets)
            __builtin_trap();
        FieldReader again = FieldReader::fromBytes(bytes);
        if (parseRegister(again) != titles)
            __builtin_trap();
    } catch (const ProgramError &) {
    }
    return 0;
}
