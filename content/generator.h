// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>

// The parts of the content build. Each writes its files below run, reading its sources from
// source (the content folder of the repository), and throws std::runtime_error on failure.
namespace content {

struct Context
{
    QDir source; ///< the content folder of the repository
    QDir run;    ///< the program's working folder
    /// Writes bytes to the relative path below run, creating folders as needed.
    void write(const QString &relativePath, const QByteArray &bytes) const;
    QString runPath(const QString &relativePath) const;
};

void writePictures(const Context &ctx); // images/*.jpg
void writeSounds(const Context &ctx);   // wav/*.wav
void writeLogo(const Context &ctx);     // logo/quil0000.gif .. quil0019.gif, logo/quillan2.bmp, @2x
void writeQuizzes(const Context &ctx);  // multiple/*.txt and the empty register
void writePages(const Context &ctx);    // wmf/*.wmf and wmf2/*.wmf
void writeDescriptions(const Context &ctx); // images/descriptions.txt

/// Draws the desktop icon svgPath as <themeFolder>/<N>x<N>/apps/<name>.png at each theme size.
void writeIcons(const QString &svgPath, const QString &themeFolder, const QString &name);

} // namespace content
