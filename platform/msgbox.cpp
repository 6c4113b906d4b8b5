// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/msgbox.h"

#include "platform/keyboard.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

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
    const QPointer<QWidget> screen = QApplication::activeWindow();
    QMessageBox box(screen);
    box.setWindowTitle(caption);
    box.setText(prompt);
    box.setIcon(QMessageBox::NoIcon);
    if (buttons == vbOKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec() == QMessageBox::Cancel ? vbCancel : vbOK;
    // The keyboard goes back to the screen the box was asked over.
    keyboard::returnTo(screen);
    return answer;
}

void setMsgBoxResponder(MsgBoxResponder r)
{
    responder = std::move(r);
}
