// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// What a file dialog is asked: to open a file or to choose where to save one.
struct FileRequest
{
    enum Mode { Open, Save } mode = Open;
    QString caption;
    QString suggested;   ///< the folder, or for saving the suggested file
    QStringList filters; ///< "GIFT files (*.gift *.txt)", the first chosen at the start
};

/// The file the teacher chose and the filter they left selected; an empty path is Cancel.
struct FileChoice
{
    QString path;
    QString filter;
};

/// Shows a modal file dialog and waits for the choice.
FileChoice chooseFile(const FileRequest &request);

/// Answers file dialogs without showing them (tests choose files this way).
using FileChooserResponder = std::function<FileChoice(const FileRequest &request)>;
void setFileChooserResponder(FileChooserResponder responder);
