// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/worksheets.h"

#include "app/Module1.h"
#include "app/intro0.h"
#include "authoring/register.h"
#include "authoring/wizard.h"
#include "platform/access.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "quiz/multiple.h"

#include <QDir>

#include <algorithm>

using namespace Module1;

namespace {

constexpr int slotsPerPage = 24;

const QString corrupted = QStringLiteral("This worksheet seems to be corrupted.");

/// The right answer of a loaded question as a number from 1 to 4; anything else means the
/// worksheet is damaged.
int rightAnswer(const QString &field)
{
    bool ok = false;
    const int c = field.trimmed().toInt(&ok);
    if (!ok || c < 1 || c > 4)
        throw ProgramError(QStringLiteral("The right answer \"%1\" is not 1 to 4.").arg(field));
    return c;
}

/// Every right answer of the loaded quiz, each a number from 1 to 4; throws ProgramError for a
/// damaged worksheet, in which a question could never be answered right.
std::array<int, 10> rightAnswers()
{
    std::array<int, 10> right{};
    for (int q = 0; q < 10; ++q)
        right[q] = rightAnswer(correct[q + 1]);
    return right;
}

QString registerName()
{
    return QStringLiteral("The list of worksheets (\"track.txt\" in the folder \"%1\")")
        .arg(QDir::toNativeSeparators(worksheetFolder()));
}

QString sentence(const std::exception &error)
{
    QString text = QString::fromStdString(error.what());
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

worksheets::worksheets()
    : Form(QStringLiteral("worksheets")), Label1(*this, QStringLiteral("Label1")),
      Check1(*this, QStringLiteral("Check1")), Check2(*this, QStringLiteral("Check2")),
      Label2(*this, QStringLiteral("Label2")), Label3(*this, QStringLiteral("Label3")),
      Label4(*this, QStringLiteral("Label4")), Label5(*this, QStringLiteral("Label5"))
{
    look::styleText(Label1, QStringLiteral("Worksheets Catalogue"), 0, 0, 12000, 780,
                    {"Tahoma", 24, true});

    Check1.setCaption(QStringLiteral("Edit Worksheet"));
    Check1.move(120, 120, 2535, 375);
    Check1.setForeColor(look::yellow);
    Check2.setCaption(QStringLiteral("Delete Worksheet"));
    Check2.move(9240, 120, 2535, 375);
    Check2.setForeColor(QColor(255, 0, 0));
    for (CheckBox *mode : {&Check1, &Check2})
        mode->setFont(QStringLiteral("Tahoma"), 12, true);
    Check1.onClick = [this] { Check1_Click(); };
    Check2.onClick = [this] { Check2_Click(); };

    look::addButtons(Label2, {{0, "Exit", 10560, 7920, 1245, 495, 18}}, &m_hover);
    // The title slots: twelve down the left, twelve down the right.
    for (int i = 1; i <= slotsPerPage; ++i) {
        const int row = (i - 1) % 12;
        Label &slot = Label2.add(i);
        look::styleButton(slot,
                          {i, "", i <= 12 ? 120.f : 6120.f, 720.f + 600 * row, 5715, 375, 12});
        m_hover.add(slot);
    }
    Label2.onClick([this](int i) { Label2_Click(i); });
    Label2.onMouseMove([this](int i, int, int, float, float) { Label2_MouseMove(i); });

    look::addButtons(Label3, {
                                 {0, "<< Previous Page", 2640, 7920, 3195, 495},
                                 {1, "Next Page >>", 6000, 7920, 3195, 495},
                             });
    Label3[0].setVisible(false);
    Label3[1].setVisible(false);
    Label3.onClick([this](int i) { Label3_Click(i); });

    look::styleButton(Label4, {0, "Page 1", 120, 7920, 1995, 495});
    Label4.setForeColor(QColor(0, 0, 255));
    Label4.setBackColor(QColor(255, 255, 255));

    look::styleText(Label5,
                    QStringLiteral("No worksheets yet: write one with the Multiple Choice Wizard "
                                   "on the main menu."),
                    120, 720, 11715, 375, {"Tahoma", 12, true, look::yellow, Alignment::Left});
    Label5.setVisible(false);

    // The mode boxes, the titles down the left column and then the right, the page buttons
    // and Exit; the arrows walk the titles, Up and Down in their order, Left and Right across.
    std::vector<TabStop> order{Check1, Check2};
    std::vector<Control *> slots;
    for (int i = 1; i <= slotsPerPage; ++i) {
        order.push_back(Label2[i]);
        slots.push_back(&Label2[i]);
    }
    order.push_back(Label3[0]);
    order.push_back(Label3[1]);
    order.push_back(Label2[0]);
    setTabOrder(order);
    setArrowWalk(slots);
}

bool worksheets::Form_KeyDown(int KeyCode, int)
{
    // Escape leaves as Exit does; Page Down and Page Up turn the pages of titles.
    if (KeyCode == vbKeyEscape) {
        Label2_Click(0);
        return true;
    }
    const int button = KeyCode == vbKeyPageDown ? 1 : KeyCode == vbKeyPageUp ? 0 : -1;
    if (button < 0)
        return false;
    if (Label3[button].visible())
        Label3_Click(button);
    return true;
}

void worksheets::showWhetherEmpty(bool listUsable)
{
    Label5.setVisible(listUsable && titleCount() == 0);
}

int worksheets::titleCount() const
{
    return std::clamp(numworksheets.value_or(0), 0, maxWorksheets);
}

void worksheets::Form_Load()
{
    // Each step that fails is passed over; a missing register gives an empty catalogue.
    setupform(*this);
    accessible::nameWindow(*this, [this] {
        return QStringLiteral("Worksheet catalogue, ") + Label4.caption().toLower();
    });
    const RegisterFile list = loadRegister();
    const QStringList &titles = list.titles;
    numworksheets = int(std::min<qsizetype>(titles.size(), maxWorksheets));
    for (int i = 1; i <= maxWorksheets; ++i)
        worksheetnames[i] = i <= titles.size() ? titles[i - 1] : QString();
    Check1.setBackColor(look::screenBlue);
    Check2.setBackColor(look::screenBlue);
    catpage = 0;
    for (int i = 1; i <= slotsPerPage; ++i) {
        Label2[i].setVisible(false);
        Label2[i].setFont(QStringLiteral("Tahoma"), 12, true);
    }
    int last = titleCount();
    if (last > slotsPerPage) {
        last = slotsPerPage;
        Label3[1].setVisible(true);
    }
    for (int i = 1; i <= last; ++i) {
        Label2[i].setCaption(worksheetnames[i]);
        Label2[i].setVisible(true);
    }
    showWhetherEmpty(list.unusable.isEmpty());
    if (!list.unusable.isEmpty())
        MsgBox(registerName() + QStringLiteral(" cannot be used: ") + list.unusable +
                   QStringLiteral(".\n\nIt has been left exactly as it is. Worksheets can still "
                                  "be written and saved, but they cannot be listed here, or "
                                  "deleted, until the list is mended. Please ask whoever looks "
                                  "after the computers to mend or replace it."),
               vbOKOnly);
    else if (!list.damage.isEmpty())
        MsgBox(registerName() + QStringLiteral(" is damaged: ") + list.damage +
                   QStringLiteral(".\n\nEvery worksheet it lists is shown. The list will be put "
                                  "right when a worksheet is next saved or deleted."),
               vbOKOnly);
}

void worksheets::workpage()
{
    const int first = slotsPerPage * *catpage;
    for (int i = 1; i <= slotsPerPage; ++i) {
        Label2[i].setCaption(QString());
        Label2[i].setVisible(false);
    }
    Label3[0].setVisible(true);
    Label3[1].setVisible(true);
    if (*catpage == 0)
        Label3[0].setVisible(false);
    Label4.setCaption(QStringLiteral("Page ") + QString::number(*catpage + 1));
    // "Next Page >>" shows while titles remain beyond this page, up to the last of them.
    int last = first + slotsPerPage;
    if (titleCount() <= last) {
        last = titleCount();
        Label3[1].setVisible(false);
    }
    for (int i = first + 1; i <= last; ++i) {
        Label2[i - first].setCaption(worksheetnames[i]);
        Label2[i - first].setVisible(true);
    }
}

void worksheets::Label3_Click(int Index)
{
    if (Index == 0)
        catpage = *catpage - 1;
    else
        catpage = *catpage + 1;
    workpage();
    accessible::announce(Label4.caption());
    playsound(QStringLiteral("wav\\click.wav"));
}

void worksheets::Check1_Click()
{
    if (Check1.value() == 1)
        Check2.setValue(0);
}

void worksheets::Check2_Click()
{
    if (Check2.value() == 1)
        Check1.setValue(0);
}

void worksheets::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void worksheets::Label2_MouseMove(int Index)
{
    m_hover.light(Label2[Index]);
}

void worksheets::Label2_Click(int Index)
{
    playsound(QStringLiteral("wav\\click.wav"));
    if (Index == 0) {
        screen<intro0>().show();
        unload<worksheets>();
        return;
    }
    const QString T = Label2[Index].caption();
    const bool deleting = Check2.value() == 1;
    if (const QString unsafe = unsafeTitle(T); !unsafe.isEmpty() && !deleting) {
        MsgBox(QStringLiteral("The worksheet \"%1\" cannot be run or edited, because %2. It can "
                              "still be deleted: tick \"Delete Worksheet\", then click it.")
                   .arg(T, unsafe),
               vbOKOnly);
        return;
    }
    try {
        FieldReader file1(worksheetPath(T));
        loadquest(file1);
        if (!deleting)
            rightAnswers();
    } catch (const FileError &e) {
        // A worksheet in any state can be deleted; running or editing needs it whole.
        if (!deleting) {
            MsgBox(e.kind() == FileError::NotOrdinary
                       ? QStringLiteral("The worksheet \"%1\" cannot be opened, because %2. "
                                        "Please ask whoever looks after the computers about it.")
                             .arg(T, sentence(e))
                       : corrupted,
                   vbOKOnly);
            return;
        }
    } catch (const ProgramError &) {
        if (!deleting) {
            MsgBox(corrupted, vbOKOnly);
            return;
        }
    }
    if (Check1.value() == 1) {
        editworksheet();
        return;
    }
    if (!deleting) {
        intro0 &menu = screen<intro0>();
        multiple &quiz = screen<multiple>();
        quiz.Picture1.setPicture(menu.Image1.picture());
        quiz.Label5.setCaption(menu.Label1.caption());
        quiz.show();
        return;
    }
    if (MsgBox(QStringLiteral("Are you sure that you want to delete the worksheet ") + T +
                   QLatin1Char('?'),
               vbOKCancel, QString()) != vbOK)
        return;
    chosenworksheet = T;
    try {
        delworksheet();
    } catch (const ProgramError &e) {
        MsgBox(QStringLiteral("The worksheet \"%1\" could not be taken off the list, because %2. "
                              "Nothing was changed.\n\nPlease try again in a moment; if it "
                              "happens again, ask whoever looks after the computers.")
                   .arg(T, sentence(e)),
               vbOKOnly);
        return;
    }
    const int first = slotsPerPage * *catpage;
    for (int i = 1; i <= slotsPerPage; ++i) {
        Label2[i].setVisible(false);
        const int entry = i + first;
        Label2[i].setCaption(entry <= maxWorksheets ? worksheetnames[entry] : QString());
    }
    const int shown = std::min(slotsPerPage, titleCount() - first);
    for (int i = 1; i <= shown; ++i)
        Label2[i].setVisible(true);
    showWhetherEmpty(true);
}

void worksheets::editworksheet()
{
    // Every right answer is checked before the wizard is touched, so a damaged worksheet
    // opens nothing.
    const std::array<int, 10> right = rightAnswers();
    // A worksheet written by hand may hold more than the wizard's boxes, which would shorten it.
    QStringList longer;
    if (worktitle.size() > 25)
        longer << QStringLiteral("the title");
    for (int q = 1; q <= 10; ++q) {
        bool cut = question[q].size() > 60;
        for (const QString *answer : {&answera[q], &answerb[q], &answerc[q], &answerd[q]})
            cut = cut || answer->size() > 30;
        if (cut)
            longer << QStringLiteral("Question %1").arg(q);
    }
    if (!longer.isEmpty()) {
        const QString which = longer.size() == 1
                                  ? longer[0]
                                  : longer.mid(0, longer.size() - 1).join(QStringLiteral(", ")) +
                                        QStringLiteral(" and ") + longer.last();
        if (MsgBox(QStringLiteral("This worksheet holds more than the wizard's boxes can: %1 "
                                  "would be shortened to fit, and saving it would keep the "
                                  "shortened text.\n\nClick OK to edit it all the same, or Cancel "
                                  "to leave it as it is.")
                       .arg(which),
                   vbOKCancel) != vbOK)
            return;
    }
    wizard &w = screen<wizard>();
    w.Text1.setText(worktitle);
    for (int q = 0; q < 10; ++q) {
        w.Text2[q].setText(question[q + 1]);
        w.Text3[4 * q].setText(answera[q + 1]);
        w.Text3[4 * q + 1].setText(answerb[q + 1]);
        w.Text3[4 * q + 2].setText(answerc[q + 1]);
        w.Text3[4 * q + 3].setText(answerd[q + 1]);
        for (int a = 0; a < 4; ++a)
            w.Check1[4 * q + a].setValue(a == right[q] - 1 ? 1 : 0);
    }
    w.show();
}
