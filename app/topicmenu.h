// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"

class DragDrop;

/// What tells one topic's menu from the other's.
struct Topic
{
    const char *screenName;
    const char *title;
    const char *picture;
    float imageLeft, imageTop;
    const char *quizFile;
    const char *quizPicture;
    struct Pages
    {
        int numpages;
        const char *pagename;
        const char *screenPage;
        const char *printPage;
    } keyFacts, notes;
    /// The topic's activity screens, reached (and loaded on the first touch) through these.
    DragDrop &(*labelling)();
    DragDrop &(*ordering)();
};

extern const Topic mountainsTopic;
extern const Topic desertTopic;

/// A topic's menu: its title and picture and the entries that open its quiz, activities, key
/// facts and teacher's notes.
class TopicMenu : public Form
{
public:
    explicit TopicMenu(const Topic &topic);
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    bool Form_KeyDown(int KeyCode, int Shift) override;

    void label3_Click(int Index);
    void label3_MouseMove(int Index);

    Label Label1;
    Image Image1;
    ControlArray<Label> label3;

private:
    /// Opens pages in the notes viewer; what says which pages, for the viewer's name.
    void openPages(const Topic::Pages &pages, const QString &what);
    void openActivity(DragDrop &activity, const QString &what);
    virtual void closeMenu() = 0;

    const Topic &m_topic;
    HoverHighlight m_hover;
};
