// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/hover.h"
#include "platform/look.h"

#include <QColor>

#include <memory>
#include <span>
#include <vector>

// The rules of the drag-and-drop activities, apart from any window: where a released label
// comes to rest, when every label lies in a box, and the two ways of scoring. Positions and
// sizes are twips in single precision, compared exactly.
namespace dragdrop {

struct Pos
{
    float left, top;
    bool operator==(const Pos &) const = default;
};

struct Box
{
    float left, top, width, height;
    Pos corner() const { return {left, top}; }
};

enum class Scoring { byIndex, byGroup };

/// Whether a box takes a label released with its top-left corner at the given place: the
/// corner lies strictly inside the window reaching half a box to the left of and above the
/// box's corner and a whole box to the right and below.
bool captures(const Box &box, Pos label);

/// Where a released label comes to rest and how many times it snapped (one thud each). Box i
/// and then home box i are tried for every i in turn, each with the label where it now is.
struct Landing
{
    Pos at;
    int snaps = 0;
};
Landing land(Pos released, std::span<const Box> targets, std::span<const Box> homes);

/// The number of label-and-box pairs with the label exactly on the box.
int placedPairs(std::span<const Pos> labels, std::span<const Box> targets);
/// Whether "Check Score" is due: as many such pairs as there are labels.
bool complete(std::span<const Pos> labels, std::span<const Box> targets);

/// Label i scores when it lies exactly on box i.
int scoreByIndex(std::span<const Pos> labels, std::span<const Box> targets);
/// Boxes and labels form two groups of four (0 to 3, 4 to 7); every label of a box's group
/// that lies exactly on the box scores.
int scoreByGroup(std::span<const Pos> labels, std::span<const Box> targets);
int score(Scoring scoring, std::span<const Pos> labels, std::span<const Box> targets);

/// The places a label carried by the keyboard stops at: the target boxes and the home boxes,
/// in reading order (top to bottom, left to right).
std::vector<Box> stopsInReadingOrder(std::span<const Box> targets, std::span<const Box> homes);

/// The ways the keyboard carries a label: through every stop in reading order (Tab, Shift+Tab,
/// round from the last to the first), to the nearest stop that way (the arrows, by row and by
/// column), or to the first or last target box (Home, End).
enum class Carry { next, previous, left, right, up, down, firstBox, lastBox };

/// The stop a label carried from `at` goes to; `stop` is the stop it is on, or -1 when it lies
/// on none. An arrow with no stop that way leaves the label where it is (the result is `stop`).
int carryTo(std::span<const Box> stops, std::span<const Box> targets, int stop, Pos at,
            Carry carry);

} // namespace dragdrop

/// One item of an activity: its answer text, where its box is and where its label starts.
struct ActivityItem
{
    const char *text;
    float boxLeft, boxTop;
    float startLeft, startTop;
    QColor color = look::yellow;
};

/// A caption the engine only places: a title, an instruction, a unit or a picture's name.
struct ActivityCaption
{
    const char *name;
    int index; ///< its place in a control array, or -1 for a single label
    const char *text;
    float left, top, width, height;
    look::Text style;
};

/// The title (Label6) or the instruction (Label7): its box, its look and its words.
struct ActivityText
{
    float left, top, width, height;
    look::Text style;
    const char *text = "";
};

/// "Drag the labels into the correct boxes." in the corner of the ordering screens (Label8).
inline const ActivityCaption dragTheLabels = {
    "Label8",
    -1,
    "Drag the labels into the correct boxes.",
    120,
    7860,
    2505,
    585,
    {"Tahoma", 12, true, QColor(128, 255, 255), Alignment::Left}};

struct ActivityPicture
{
    int index;
    const char *file;
    float left, top, width, height;
};

struct ActivityLine
{
    float x1, y1, x2, y2;
};

/// A statement beside a box: a further Label1 entry that the engine never moves or empties.
struct ActivityStatement
{
    int index;
    const char *text;
    float top;
};

/// Everything that tells one activity screen from another.
struct Activity
{
    const char *screenName;
    std::span<const ActivityItem> items;
    float itemWidth, itemHeight;
    double itemFontSize;
    dragdrop::Scoring scoring;
    ActivityText title; ///< Label6, whose caption the topic menu sets
    ActivityText instruction;
    std::span<const ActivityCaption> captions = {};
    std::span<const ActivityPicture> pictures = {}; ///< in the order they load
    std::span<const ActivityLine> lines = {};
    std::span<const ActivityStatement> statements = {};
    float statementLeft = 0, statementWidth = 0, statementHeight = 0;
    double statementFontSize = 0;

    int count() const { return int(items.size()); }
    std::vector<dragdrop::Box> targets() const;
};

/// The drag-and-drop engine every activity screen runs on: answer labels dragged with the
/// left button, picked by a click and placed by a click on a box, or lifted and carried with
/// the keyboard, snap into target and home boxes;
/// "Check Score" appears once every label lies in a box and hands the score to the results.
class DragDrop : public Form
{
public:
    explicit DragDrop(const Activity &activity);
    ~DragDrop() override;
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    void Form_MouseDown(int button, int shift, float x, float y) override;
    bool Form_KeyDown(int KeyCode, int Shift) override;

    void Label2_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Label2_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void Label2_MouseUp(int Index, int Button, int Shift, float X, float Y);
    void Label3_Click(int Index);
    void Label3_MouseMove(int Index);

    /// Where a label comes to rest after a mouse release or a keyboard drop.
    void drop(int Index);

    const Activity &activity() const { return m_activity; }
    std::vector<dragdrop::Pos> labelPositions() const;
    std::vector<dragdrop::Box> targetBoxes() const;
    /// The label the keyboard has lifted, or -1.
    int lifted() const { return m_lifted; }
    /// The label a click has picked, waiting for a click on a box, or -1.
    int picked() const { return m_picked; }

    ControlArray<Image> Image1;
    ControlArray<Line> Line1;
    ControlArray<Label> Label1;
    ControlArray<Label> Label4;
    ControlArray<Label> Label2;
    Label Label6;
    Label Label7;
    ControlArray<Label> Label3;

private:
    virtual void unloadScreen() = 0;
    bool answerKey(int Index, int keyCode, int shift);
    // Keyboard play passes through these three: a label lifted, carried to a stop, and put
    // down (dropped where it is, or put back where it was lifted).
    void lift(int Index);
    void carry(int Index, dragdrop::Carry carry);
    void putDown(int Index, bool back);
    // Placing without dragging: a label clicked is picked; a click on a box drops it there.
    void pick(int Index);
    void endPick();
    void boxPressed(Label &box);
    void boxReleased(Label &box, int Button, float X, float Y);
    std::vector<dragdrop::Box> homeBoxes() const;
    std::vector<dragdrop::Box> stops() const;

    const Activity &m_activity;
    int N;
    std::vector<std::unique_ptr<Label>> m_captions;
    HoverHighlight m_hover;
    int m_dragged = -1;
    int m_lifted = -1;
    dragdrop::Pos m_liftedFrom{0, 0};
    int m_stop = -1;
    int m_picked = -1;
    bool m_pressMoved = true; ///< whether the label under the left button has moved
    Label *m_boxPressed = nullptr;
};

/// An activity screen of its own type, so that screen<T>() reaches it and Exit unloads it.
template <class T> class ActivityScreen : public DragDrop
{
public:
    explicit ActivityScreen(const Activity &activity) : DragDrop(activity) {}

private:
    void unloadScreen() override { unload<T>(); }
};
