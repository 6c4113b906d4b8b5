// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speech/processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

pid_t childProcess(const QByteArray &name)
{
    const QByteArray me = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state parent ..."
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (open > 0 && rest.size() > 1 && rest[0] != "Z" && rest[1] == me &&
            line.mid(open + 1, close - open - 1) == name)
            return pid.toInt();
    }
    return 0;
}
