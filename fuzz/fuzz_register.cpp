// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the worksheet register's reader and its changes: every input is read as
// a register. One that cannot be used says why and lists nothing; one that can keeps its lines
// through a change: adding a title lists every title and the new one, with the count put right,
// and removing the last title lists the others.
#include "authoring/register.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RegisterFile r = parseRegister(bytes);
    if (r.titles.size() != r.titleLines.size() || r.titles.size() > r.lines.size())
        __builtin_trap();
    if (!r.unusable.isEmpty()) {
        if (!r.titles.isEmpty() || !r.damage.isEmpty())
            __builtin_trap();
        return 0;
    }
    const QString added = QStringLiteral("Fuzz title");
    const RegisterFile more = parseRegister(r.withTitle(added));
    if (!more.unusable.isEmpty() || !more.damage.isEmpty() ||
        more.titles != r.titles + QStringList{added})
        __builtin_trap();
    if (!r.titles.isEmpty()) {
        const RegisterFile fewer = parseRegister(r.withoutTitle(r.titles.size() - 1));
        if (!fewer.unusable.isEmpty() || !fewer.damage.isEmpty() ||
            fewer.titles != r.titles.mid(0, r.titles.size() - 1))
            __builtin_trap();
        // Every line but the one removed is kept byte for byte.
        if (fewer.lines.size() != r.lines.size() - 1)
            __builtin_trap();
    }
    return 0;
}
