// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Module1.h"

#include "app/Grey.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/mousepointer.h"
#include "platform/textfile.h"
#include "platform/twips.h"

namespace Module1 {

std::optional<int> soundon;

std::array<QString, 11> question;
std::array<QString, 11> answera;
std::array<QString, 11> answerb;
std::array<QString, 11> answerc;
std::array<QString, 11> answerd;
std::array<QString, 11> correct;
QString worktitle;

std::optional<int> questnum;
std::array<std::optional<int>, 11> marks;
std::optional<int> score;
std::optional<int> outof;
QString quizheading;

std::optional<int> numworksheets;
std::array<QString, 1001> worksheetnames;
QString chosenworksheet;
std::optional<int> catpage;

std::optional<int> pagenum;
std::optional<int> numpages;
QString pagename;
std::optional<int> logoframe;

namespace {

/// Runs one step of the set-up; a step that fails is skipped and the next one runs.
template <class F> void step(F f)
{
    try {
        f();
    } catch (...) {
    }
}

QString commas(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1Char(','));
}

} // namespace

void setupform(Form &form)
{
    form.setBackColor(QColor(0, 78, 152));
    form.setCaption(QStringLiteral("Habitara"));
    step([&] {
        dynamic_cast<PictureBox &>(form.control(QStringLiteral("Picture1")))
            .setBackColor(QColor(49, 135, 214));
    });
    step([&] {
        form.setWidth(12000);
        form.setHeight(9000);
    });
    step([&] { setMousePointer(MousePointer::Hourglass); });
    step([&] {
        const QSizeF display = twips::displaySize();
        form.move(float(display.width() / 2.0 - form.width() / 2.0),
                  float(display.height() / 2.0 - form.height() / 2.0));
    });
    step([&] { setMousePointer(MousePointer::Default); });
}

void loadquest(FieldReader &file)
{
    struct Quiz
    {
        QString title;
        std::array<QString, 11> q, a, b, c, d, right;
    } quiz;
    quiz.title = commas(file.readField());
    file.readField();
    for (int q = 1; q <= 10; ++q) {
        quiz.q[q] = commas(file.readField());
        quiz.a[q] = commas(file.readField());
        quiz.b[q] = commas(file.readField());
        quiz.c[q] = commas(file.readField());
        quiz.d[q] = commas(file.readField());
        quiz.right[q] = file.readField();
        file.readField();
    }
    worktitle = quiz.title;
    for (int q = 1; q <= 10; ++q) {
        question[q] = quiz.q[q];
        answera[q] = quiz.a[q];
        answerb[q] = quiz.b[q];
        answerc[q] = quiz.c[q];
        answerd[q] = quiz.d[q];
        correct[q] = quiz.right[q];
    }
}

void playsound(const QString &path)
{
    if (soundon == 1)
        screen<Grey>().SndDevil1.play(path);
}

void resetState()
{
    soundon.reset();
    for (auto *array : {&question, &answera, &answerb, &answerc, &answerd, &correct})
        array->fill(QString());
    worktitle.clear();
    questnum.reset();
    marks.fill(std::nullopt);
    score.reset();
    outof.reset();
    quizheading.clear();
    numworksheets.reset();
    worksheetnames.fill(QString());
    chosenworksheet.clear();
    catpage.reset();
    pagenum.reset();
    numpages.reset();
    pagename.clear();
    logoframe.reset();
}

} // namespace Module1
