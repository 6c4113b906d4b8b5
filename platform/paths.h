// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the program's files are. Content (pictures, pages, sounds, the built-in quizzes) is
// read from the content folder: the current folder unless the program was installed, when it is
// share/habitara beside the program. Teachers' worksheets and their register live in the
// worksheet folder, which by default is the content folder's "multiple" folder and, for an
// installed program, a folder of the user's own (or one a school sets).

/// Resolves a content path such as "Images\llama.jpg" or "multiple/track.txt" for reading: both
/// separators are accepted and letter case is ignored at every level. A path below "multiple" is
/// looked for in the worksheet folder first and then in the content folder. A path that names
/// no existing file is returned joined as written, with "/" separators, so that it can still be
/// reported. An absolute path is matched from the root.
QString contentPath(const QString &relativePath);

/// Where a file may be written: a path below "multiple" lands in the worksheet folder (matching
/// an existing file's letter case), never in the content folder.
QString writablePath(const QString &relativePath);

/// Sets the content folder; an empty folder means the current folder.
void setContentFolder(const QString &folder);
QString contentFolder();
/// The installed content folder (share/habitara beside the program's bin folder), or an empty
/// text when the program runs from where it was built.
QString installedContentFolder(const QString &programFolder);

/// Sets the worksheet folder; an empty folder means the content folder's "multiple" folder.
void setWorksheetFolder(const QString &folder);
QString worksheetFolder();
/// Whether a path names an entry of the worksheet folder itself.
bool inWorksheetFolder(const QString &path);
/// Makes the worksheet folder ready: creates it when missing and gives it an empty register
/// when it has none. Throws ProgramError, saying why, when the folder cannot be used.
void prepareWorksheetFolder();
