// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/screens.h"

#include "app/Titlefrm.h"
#include "app/intro0.h"
#include "app/topicmenu.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "quiz/Welldone.h"
#include "quiz/Wrong.h"
#include "quiz/multiple.h"
#include "reading/teacher.h"
#include "tests/support/author.h"
#include "tests/support/pupil.h"
#include "tests/support/testkit.h"

#include <functional>

using namespace testkit;

namespace screens {

namespace {

intro0 &mainMenu()
{
    screen<intro0>().show();
    return screen<intro0>();
}

/// A main menu entry, and whatever it brings to the front.
Form &fromMenu(int entry)
{
    click(mainMenu().Label2[entry]);
    return *registry::front();
}

/// An entry of a topic menu (the main menu's entry 1 the mountains', 5 the desert's), and
/// whatever it brings to the front.
Form &fromTopic(int entry, int topic = 1)
{
    click(mainMenu().Label2[topic]);
    click(static_cast<TopicMenu &>(*registry::front()).label3[entry]);
    return *registry::front();
}

worksheets &catalogueOf(int n)
{
    author::registerSheets(author::titles(n));
    return author::openCatalogue();
}

const std::pair<const char *, std::function<Form &()>> ways[] = {
    {"title",
     []() -> Form & {
         screen<Titlefrm>().show();
         return screen<Titlefrm>();
     }},
    {"exit confirmation", [] { return std::ref(fromMenu(16)); }},
    {"main menu", [] { return std::ref<Form>(mainMenu()); }},
    {"topic menu", [] { return std::ref(fromMenu(1)); }},
    {"quiz", [] { return std::ref<Form>(pupil::openMountainsQuiz()); }},
    {"quiz, question 2",
     []() -> Form & {
         multiple &quiz = pupil::openMountainsQuiz();
         click(quiz.Label3[1]);
         return quiz;
     }},
    {"results, full marks", [] { return std::ref<Form>(pupil::playToResults()); }},
    {"results, one wrong", [] { return std::ref<Form>(pupil::playToResults({2})); }},
    {"review",
     []() -> Form & {
         click(pupil::playToResults({2}).Label3[0]);
         return screen<Wrong>();
     }},
    {"teacher's notes", [] { return std::ref(fromTopic(5)); }},
    {"key facts", [] { return std::ref(fromTopic(4)); }},
    {"guide", [] { return std::ref(fromMenu(20)); }},
    {"acknowledgments", [] { return std::ref(fromMenu(19)); }},
    {"catalogue", [] { return std::ref<Form>(catalogueOf(3)); }},
    {"catalogue, two pages", [] { return std::ref<Form>(catalogueOf(30)); }},
    {"mountain animals", [] { return std::ref(fromTopic(1)); }},
    {"mountain zones", [] { return std::ref(fromTopic(3)); }},
    {"tent", [] { return std::ref(fromTopic(1, 5)); }},
    {"desert facts", [] { return std::ref(fromTopic(3, 5)); }},
    {"wizard", [] { return std::ref<Form>(author::openWizard()); }},
};

} // namespace

Form &open(const QString &name)
{
    for (const auto &[known, way] : ways) {
        if (name == QLatin1String(known)) {
            Form &form = way();
            settle();
            return form;
        }
    }
    qFatal("no screen called %s", qPrintable(name));
}

} // namespace screens
