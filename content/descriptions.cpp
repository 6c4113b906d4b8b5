// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures' descriptions for screen readers: images/descriptions.txt is copied beside the
// pictures, once every illustration has been found to have one.
#include "content/generator.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <stdexcept>

namespace content {

void writeDescriptions(const Context &ctx)
{
    const QString from = ctx.source.filePath(QStringLiteral("images/descriptions.txt"));
    QFile file(from);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + from.toStdString());
    const QByteArray bytes = file.readAll();
    QSet<QString> described;
    for (const QByteArray &line : bytes.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (text.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        if (text.mid(eq + 1).trimmed().isEmpty())
            throw std::runtime_error("images/descriptions.txt: " + text.toStdString() +
                                     " describes nothing");
        described.insert(text.left(eq).trimmed().toLower());
    }
    const QDir images(ctx.source.filePath(QStringLiteral("images")));
    const QStringList pictures = images.entryList({QStringLiteral("*.svg")}, QDir::Files);
    for (const QString &svg : pictures) {
        const QString name = QFileInfo(svg).completeBaseName().toLower();
        if (!described.contains(name))
            throw std::runtime_error("images/descriptions.txt has no description of " +
                                     name.toStdString());
    }
    ctx.write(QStringLiteral("images/descriptions.txt"), bytes);
}

} // namespace content
