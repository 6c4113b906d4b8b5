// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/filechooser.h"

#include <QApplication>
#include <QFileDialog>

namespace {
FileChooserResponder responder;
}

FileChoice chooseFile(const FileRequest &request)
{
    if (responder)
        return responder(request);
    const QString filters = request.filters.join(QStringLiteral(";;"));
    QString filter = request.filters.value(0);
    FileChoice choice;
    if (request.mode == FileRequest::Open)
        choice.path = QFileDialog::getOpenFileName(QApplication::activeWindow(), request.caption,
                                                   request.suggested, filters, &filter);
    else
        choice.path = QFileDialog::getSaveFileName(QApplication::activeWindow(), request.caption,
                                                   request.suggested, filters, &filter);
    choice.filter = filter;
    return choice;
}

void setFileChooserResponder(FileChooserResponder r)
{
    responder = std::move(r);
}
