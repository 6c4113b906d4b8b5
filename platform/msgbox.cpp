// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MsgBoxResponder responder;
}

int MsgBox(const QString &prompt, int buttons)
{
    return MsgBox(prompt, buttons, QStringLiteral("Habitara"));
}

int MsgBox(const QString &prompt, int buttons, const QString &caption)
{
    if (responder)
        return responder(prompt, buttons, caption);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(prompt);
    box.setIcon(QMessageBox::NoIcon);
    if (buttons == vbOKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? vbCancel : vbOK;
}

void setMsgBoxResponder(MsgBoxResponder r)
{
    responder = std::move(r);
}
