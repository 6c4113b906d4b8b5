// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/wizard.h"

#include "app/Module1.h"
#include "authoring/register.h"
#include "authoring/wizardexchange.h"
#include "authoring/worksheetfile.h"
#include "platform/access.h"
#include "platform/look.h"
#include "platform/paths.h"
#include "platform/msgbox.h"
#include "platform/textfile.h"

#include <QDir>

using namespace Module1;

namespace {

constexpr int enterKey = 13;

/// Where question row q (0 to 9) stands: two columns of five.
float rowLeft(int q)
{
    return q < 5 ? 240 : 6120;
}

float rowTop(int q)
{
    return 840 + 1440 * (q % 5);
}

/// Answer a (0 = A to 3 = D) of a row: A and C on the left, B and D on the right; A and B
/// on the upper line, C and D on the lower.
float answerLeft(int a)
{
    return a % 2 == 0 ? 480 : 3360;
}

float answerTop(int a)
{
    return a < 2 ? 390 : 720;
}

float tickLeft(int a)
{
    return a % 2 == 0 ? 240 : 3090;
}

/// The letter caption sits just left of its tick box.
float letterLeft(int a)
{
    return a % 2 == 0 ? 0 : 2835;
}

/// What the teacher can do about a file that could not be written.
QString advice(const ProgramError &error)
{
    const auto *file = dynamic_cast<const FileError *>(&error);
    switch (file ? file->kind() : FileError::Damaged) {
    case FileError::DiskFull:
        return QStringLiteral("Please make some room on the disk (or ask whoever looks after the "
                              "computers), then save again.");
    case FileError::NoPermission:
        return QStringLiteral("Please ask whoever looks after the computers to let you save "
                              "worksheets there.");
    case FileError::Missing:
        return QStringLiteral("Please ask whoever looks after the computers to put the folder "
                              "back, then save again.");
    case FileError::NotOrdinary:
        return QStringLiteral("Please choose a different title, or ask whoever looks after the "
                              "computers to remove it.");
    case FileError::Damaged:
        break;
    }
    return QStringLiteral("Please try again in a moment; if it happens again, ask whoever looks "
                          "after the computers.");
}

QString sentence(const ProgramError &error)
{
    QString text = QString::fromStdString(error.what());
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

/// The message for a save that changed nothing.
QString notSaved(const ProgramError &error)
{
    return sentence(error) +
           QStringLiteral(", so the worksheet was not saved. Nothing was "
                          "changed.\n\n") +
           advice(error);
}

/// The message for a worksheet whose file was saved and whose title is not in the list.
QString notListed(const QString &title, const NotListed &error)
{
    QString why = sentence(error);
    if (!why.isEmpty())
        why[0] = why[0].toLower();
    return QStringLiteral("Your worksheet has been saved as \"%1.txt\" in the folder \"%2\", "
                          "but it could not be added to the list of worksheets: %3.\n\n"
                          "It will not show in the Worksheet Catalogue until it is added. Once "
                          "this is put right (ask whoever looks after the computers if you need "
                          "to), save the worksheet again to add it.")
        .arg(title, QDir::toNativeSeparators(worksheetFolder()), why);
}

} // namespace

wizard::wizard()
    : Form(QStringLiteral("wizard")), Label1(*this, QStringLiteral("Label1")),
      Text1(*this, QStringLiteral("Text1")), Text2(*this, QStringLiteral("Text2")),
      Text3(*this, QStringLiteral("Text3")), Check1(*this, QStringLiteral("Check1")),
      Label3(*this, QStringLiteral("Label3"))
{
    look::styleText(Label1.add(0), QStringLiteral("Multiple Choice Wizard"), 0, 0, 5055, 555,
                    {"Tahoma", 18, true});
    look::styleText(Label1.add(1), QStringLiteral("Worksheet Title"), 5160, 120, 2295, 375,
                    {"Tahoma", 14.25, true, look::yellow, Alignment::Left});

    Text1.move(7560, 120, 4215, 375);
    Text1.setFont(QStringLiteral("Times New Roman"), 12);
    Text1.setMaxLength(25);

    // The boxes are made in the order the Tab key visits them: the title, each question with
    // its four answers, then the forty tick boxes.
    for (int q = 0; q < 10; ++q) {
        const float x0 = rowLeft(q), y0 = rowTop(q);
        look::styleText(Label1.add(2 + q), QStringLiteral("Question ") + QString::number(q + 1), x0,
                        y0 - 270, 1335, 255, {"Tahoma", 9.75, true, look::yellow, Alignment::Left});
        TextBox &question = Text2.add(q);
        question.move(x0, y0, 5655, 375);
        question.setFont(QStringLiteral("Times New Roman"), 12);
        question.setMaxLength(60);
        for (int a = 0; a < 4; ++a) {
            TextBox &answer = Text3.add(4 * q + a);
            answer.move(x0 + answerLeft(a), y0 + answerTop(a), 2295, 330);
            answer.setFont(QStringLiteral("Times New Roman"), 9.75);
            answer.setMaxLength(30);
            look::styleText(Label1.add(12 + 4 * q + a),
                            QString(QChar(char16_t(u'A' + a))) + QLatin1Char('.'),
                            x0 + letterLeft(a), y0 + answerTop(a), 255, 330,
                            {"Tahoma", 12, true, look::yellow, Alignment::Left});
        }
    }
    for (int i = 0; i < 40; ++i) {
        const int q = i / 4, a = i % 4;
        CheckBox &tick = Check1.add(i);
        tick.move(rowLeft(q) + tickLeft(a), rowTop(q) + answerTop(a), 255, 315);
        tick.setFont(QStringLiteral("Times New Roman"), 9.75);
    }

    look::addButtons(Label3,
                     {
                         {0, "Exit", 10560, 7920, 1245, 495},
                         {1, "Save Worksheet", 240, 7920, 3165, 495},
                         {importButton, "Import...", 5160, 7920, 2295, 495},
                         {exportButton, "Export...", 7560, 7920, 2295, 495},
                     },
                     &m_hover);
    setUpExchangeButtons(*this);
    Label3.onClick([this](int i) { Label3_Click(i); });
    Label3.onMouseMove([this](int i, int, int, float, float) { Label3_MouseMove(i); });

    Text1.onEnter = [this] { Text1_KeyPress(enterKey); };
    Text2.forEach(
        [this](int i, TextBox &box) { box.onEnter = [this, i] { Text2_KeyPress(i, enterKey); }; });
    Text3.forEach(
        [this](int i, TextBox &box) { box.onEnter = [this, i] { Text3_KeyPress(i, enterKey); }; });

    // Tab visits the title box, each question with its answers A to D, the forty tick boxes in
    // order, then the buttons along the bottom from left to right.
    std::vector<TabStop> order{Text1};
    for (int q = 0; q < 10; ++q) {
        order.push_back(Text2[q]);
        for (int a = 0; a < 4; ++a)
            order.push_back(Text3[4 * q + a]);
    }
    for (int i = 0; i < 40; ++i)
        order.push_back(Check1[i]);
    for (int button : {1, importButton, exportButton, 0})
        order.push_back(Label3[button]);
    setTabOrder(order);
}

void wizard::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this, [] { return QStringLiteral("Multiple Choice Wizard"); });
    // Each box is named by the caption beside it.
    accessible::setName(Text1, QStringLiteral("Worksheet Title"));
    for (int q = 0; q < 10; ++q) {
        const QString question = QStringLiteral("Question ") + QString::number(q + 1);
        accessible::setName(Text2[q], question);
        for (int a = 0; a < 4; ++a) {
            const QString answer = question + QStringLiteral(", answer ") + QChar(u'A' + a);
            accessible::setName(Text3[4 * q + a], answer);
            accessible::setName(Check1[4 * q + a], answer + QStringLiteral(" is right"));
        }
    }
    for (int i = 0; i < 40; ++i)
        Check1[i].setBackColor(look::screenBlue);
    Text1.setFocus();
}

void wizard::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void wizard::Label3_MouseMove(int Index)
{
    m_hover.light(Label3[Index]);
}

void wizard::Label3_Click(int Index)
{
    if (Index == 0)
        unload<wizard>();
    else if (Index == 1)
        genwork();
    else if (Index == importButton)
        importIntoWizard(*this);
    else if (Index == exportButton)
        exportFromWizard(*this);
    playsound(QStringLiteral("wav\\click.wav"));
}

void wizard::Text1_KeyPress(int KeyAscii)
{
    if (KeyAscii == enterKey)
        Text2[0].setFocus();
}

void wizard::Text2_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii == enterKey)
        Text3[4 * Index].setFocus();
}

void wizard::Text3_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii != enterKey)
        return;
    if (Index % 4 < 3)
        Text3[Index + 1].setFocus();
    else if (Index < 39)
        Text2[(Index + 1) / 4].setFocus();
}

void wizard::genwork()
{
    if (Text1.text().isEmpty()) {
        MsgBox(QStringLiteral("You have not chosen a title for your worksheet"), vbOKOnly);
        return;
    }
    for (int q = 0; q < 10; ++q) {
        const QString number = QStringLiteral(" ") + QString::number(q + 1);
        if (Text2[q].text().isEmpty()) {
            MsgBox(QStringLiteral("You have not completed Question") + number, vbOKOnly);
            return;
        }
        int ticks = 0;
        for (int a = 0; a < 4; ++a) {
            if (Text3[4 * q + a].text().isEmpty()) {
                MsgBox(QStringLiteral("You have not completed Question") + number, vbOKOnly);
                return;
            }
            if (Check1[4 * q + a].value() == 1)
                ++ticks;
        }
        if (ticks == 0) {
            MsgBox(QStringLiteral("You have not ticked the correct answer for Question") + number,
                   vbOKOnly);
            return;
        }
        if (ticks > 1) {
            MsgBox(QStringLiteral("You have ticked more than one correct answer for Question") +
                       number,
                   vbOKOnly);
            return;
        }
    }
    saveworksheet();
}

Worksheet wizard::entries() const
{
    Worksheet sheet;
    sheet.title = Text1.text();
    for (int q = 0; q < 10; ++q) {
        sheet.questions[q] = Text2[q].text();
        for (int a = 0; a < 4; ++a) {
            sheet.answers[q][a] = Text3[4 * q + a].text();
            if (Check1[4 * q + a].value() == 1)
                sheet.right[q] = a + 1;
        }
    }
    return sheet;
}

void wizard::saveworksheet()
{
    const Worksheet sheet = entries();
    // A register that cannot be used is reported when the save has kept the worksheet's file.
    const QString problem = saveProblem(sheet, loadRegister().titles);
    if (!problem.isEmpty()) {
        MsgBox(problem, vbOKOnly);
        return;
    }
    if (const QString note = ampersandNote(sheet); !note.isEmpty()) {
        if (MsgBox(note, vbOKCancel) != vbOK)
            return;
    }
    try {
        storeWorksheet(sheet);
    } catch (const SaveRefused &refused) {
        MsgBox(QString::fromStdString(refused.what()), vbOKOnly);
        return;
    } catch (const NotListed &e) {
        qWarning("The worksheet was saved but not listed: %s", e.what());
        MsgBox(notListed(sheet.title, e), vbOKOnly);
        return;
    } catch (const ProgramError &e) {
        qWarning("The worksheet was not saved: %s", e.what());
        MsgBox(notSaved(e), vbOKOnly);
        return;
    }
    MsgBox(QStringLiteral("Your worksheet has been saved."), vbOKOnly);
}
