// SPDX-License-Identifier: GPL-3.0-or-later
#include "activities/dragdrop.h"

#include "activities/dragspeech.h"
#include "app/Module1.h"
#include "platform/access.h"
#include "platform/picture.h"
#include "quiz/Welldone.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

using namespace Module1;

namespace dragdrop {

bool captures(const Box &box, Pos label)
{
    const float leftEdge = box.left - box.width / 2;
    const float rightEdge = box.left + box.width;
    const float topEdge = box.top - box.height / 2;
    const float bottomEdge = box.top + box.height;
    return leftEdge < label.left && label.left < rightEdge && topEdge < label.top &&
           label.top < bottomEdge;
}

Landing land(Pos released, std::span<const Box> targets, std::span<const Box> homes)
{
    Landing landing{released, 0};
    for (size_t i = 0; i < targets.size(); ++i) {
        if (captures(targets[i], landing.at)) {
            landing.at = targets[i].corner();
            ++landing.snaps;
        }
        if (i < homes.size() && captures(homes[i], landing.at)) {
            landing.at = homes[i].corner();
            ++landing.snaps;
        }
    }
    return landing;
}

int placedPairs(std::span<const Pos> labels, std::span<const Box> targets)
{
    int count = 0;
    for (const Pos &label : labels)
        for (const Box &box : targets)
            if (label == box.corner())
                ++count;
    return count;
}

bool complete(std::span<const Pos> labels, std::span<const Box> targets)
{
    return placedPairs(labels, targets) == int(labels.size());
}

int scoreByIndex(std::span<const Pos> labels, std::span<const Box> targets)
{
    int score = 0;
    for (size_t i = 0; i < labels.size() && i < targets.size(); ++i)
        if (labels[i] == targets[i].corner())
            ++score;
    return score;
}

int scoreByGroup(std::span<const Pos> labels, std::span<const Box> targets)
{
    int score = 0;
    for (size_t i = 0; i < targets.size(); ++i) {
        const size_t k = i < 4 ? 0 : 4;
        for (size_t j = 0; j < 4 && j + k < labels.size(); ++j)
            if (labels[j + k] == targets[i].corner())
                ++score;
    }
    return score;
}

int score(Scoring scoring, std::span<const Pos> labels, std::span<const Box> targets)
{
    return scoring == Scoring::byGroup ? scoreByGroup(labels, targets)
                                       : scoreByIndex(labels, targets);
}

std::vector<Box> stopsInReadingOrder(std::span<const Box> targets, std::span<const Box> homes)
{
    std::vector<Box> boxes(targets.begin(), targets.end());
    boxes.insert(boxes.end(), homes.begin(), homes.end());
    std::stable_sort(boxes.begin(), boxes.end(), [](const Box &p, const Box &q) {
        return p.top != q.top ? p.top < q.top : p.left < q.left;
    });
    return boxes;
}

namespace {

/// The stop nearest to `at` that way; a step aside counts four times a step ahead, so the
/// arrows keep to a row or a column while it has a stop that way.
int nearestThatWay(std::span<const Box> stops, int stop, Pos at, Carry carry)
{
    int best = stop;
    float bestCost = 0;
    for (size_t k = 0; k < stops.size(); ++k) {
        const float dx = stops[k].left - at.left, dy = stops[k].top - at.top;
        float ahead = 0, aside = 0;
        switch (carry) {
        case Carry::left:
            ahead = -dx, aside = dy;
            break;
        case Carry::right:
            ahead = dx, aside = dy;
            break;
        case Carry::up:
            ahead = -dy, aside = dx;
            break;
        default:
            ahead = dy, aside = dx;
            break;
        }
        if (ahead <= 0)
            continue;
        const float cost = ahead + 4 * std::abs(aside);
        if (best == stop || cost < bestCost) {
            best = int(k);
            bestCost = cost;
        }
    }
    return best;
}

} // namespace

int carryTo(std::span<const Box> stops, std::span<const Box> targets, int stop, Pos at, Carry carry)
{
    const int count = int(stops.size());
    if (count == 0)
        return stop;
    switch (carry) {
    case Carry::next:
        return stop < 0 ? 0 : (stop + 1) % count;
    case Carry::previous:
        return stop <= 0 ? count - 1 : stop - 1;
    case Carry::firstBox:
    case Carry::lastBox: {
        int found = stop;
        for (int k = 0; k < count; ++k) {
            const bool target = std::any_of(targets.begin(), targets.end(), [&](const Box &b) {
                return b.corner() == stops[size_t(k)].corner();
            });
            if (target && (carry == Carry::lastBox || found == stop)) {
                found = k;
                if (carry == Carry::firstBox)
                    break;
            }
        }
        return found;
    }
    default:
        return nearestThatWay(stops, stop, at, carry);
    }
}

} // namespace dragdrop

using dragdrop::Box;
using dragdrop::Pos;

namespace {

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

const QString thud = QStringLiteral("wav\\thud3.wav");

/// A lifted or picked label shows its colours the other way round; turned round again, it
/// looks as it did.
void turnColoursRound(Label &label)
{
    const QColor fore = label.foreColor();
    label.setForeColor(label.backColor());
    label.setBackColor(fore);
}

} // namespace

std::vector<Box> Activity::targets() const
{
    std::vector<Box> boxes;
    for (const ActivityItem &item : items)
        boxes.push_back({item.boxLeft, item.boxTop, itemWidth, itemHeight});
    return boxes;
}

DragDrop::DragDrop(const Activity &activity)
    : Form(text(activity.screenName)), Image1(*this, QStringLiteral("Image1")),
      Line1(*this, QStringLiteral("Line1")), Label1(*this, QStringLiteral("Label1")),
      Label4(*this, QStringLiteral("Label4")), Label2(*this, QStringLiteral("Label2")),
      Label6(*this, QStringLiteral("Label6")), Label7(*this, QStringLiteral("Label7")),
      Label3(*this, QStringLiteral("Label3")), m_activity(activity), N(activity.count())
{
    const Activity &a = activity;
    auto place = [](Label &label, const auto &c) {
        look::styleText(label, text(c.text), c.left, c.top, c.width, c.height, c.style);
    };
    place(Label6, a.title);
    // The opener's title, whatever its length, stays on one line inside the title's box.
    Label6.setShrinkToFit(true);
    place(Label7, a.instruction);

    for (const ActivityPicture &p : a.pictures) {
        Image &image = Image1.add(p.index);
        image.move(p.left, p.top, p.width, p.height);
    }
    int line = 0;
    for (const ActivityLine &l : a.lines) {
        Line &drawn = Line1.add(line++);
        drawn.setForeColor(look::yellow);
        drawn.setBorderWidth(2);
        drawn.setPoints(l.x1, l.y1, l.x2, l.y2);
    }
    for (const ActivityStatement &s : a.statements) {
        Label &statement = Label1.add(s.index);
        statement.setCaption(text(s.text));
        statement.move(a.statementLeft, s.top, a.statementWidth, a.statementHeight);
        statement.setFont(QStringLiteral("Tahoma"), a.statementFontSize, true);
        statement.setForeColor(look::yellow);
        statement.setBackColor(look::black);
        statement.setAlignment(Alignment::Center);
        statement.setBorder(true);
    }
    for (const ActivityCaption &c : a.captions) {
        const QString name =
            c.index < 0 ? text(c.name) : text(c.name) + QLatin1Char('_') + QString::number(c.index);
        m_captions.push_back(std::make_unique<Label>(*this, name));
        place(*m_captions.back(), c);
    }

    auto answerLook = [&](Label &label, const QColor &color) {
        label.setFont(QStringLiteral("Tahoma"), a.itemFontSize, true);
        label.setForeColor(color);
        label.setBackColor(look::black);
        label.setAlignment(Alignment::Center);
        label.setBorder(true);
    };
    for (int i = 0; i < N; ++i) {
        const ActivityItem &item = a.items[size_t(i)];
        Label &box = Label1.add(i);
        box.setCaption(text(item.text));
        box.move(item.boxLeft, item.boxTop, a.itemWidth, a.itemHeight);
        answerLook(box, item.color);
    }
    for (int i = 0; i < N; ++i) {
        Label &home = Label4.add(i);
        home.move(0, 0, 0, a.itemHeight);
        home.setOpaque(false);
        home.setBorder(true);
    }
    // Target and home boxes take a click while a label is picked; a press anywhere else that
    // is neither a label nor a button ends the pick.
    auto takeClicks = [this](Label &box) {
        box.onMouseDown = [this, &box](int, int, float, float) { boxPressed(box); };
        box.onMouseMove = [this](int b, int, float, float) {
            if (b != 0)
                m_boxPressed = nullptr;
        };
        box.onMouseUp = [this, &box](int b, int, float x, float y) { boxReleased(box, b, x, y); };
    };
    for (int i = 0; i < N; ++i) {
        takeClicks(Label1[i]);
        takeClicks(Label4[i]);
    }
    auto endsPick = [this](Control &c) {
        c.onMouseDown = [this](int b, int, float, float) {
            if (b == vbLeftButton)
                endPick();
        };
    };
    for (const ActivityStatement &st : a.statements)
        endsPick(Label1[st.index]);
    for (const auto &caption : m_captions)
        endsPick(*caption);
    for (const ActivityPicture &p : a.pictures)
        endsPick(Image1[p.index]);
    endsPick(Label6);
    endsPick(Label7);
    for (int i = 0; i < N; ++i) {
        const ActivityItem &item = a.items[size_t(i)];
        Label &label = Label2.add(i);
        label.setCaption(QStringLiteral("Label2"));
        label.move(item.startLeft, item.startTop, a.itemWidth, a.itemHeight);
        answerLook(label, item.color);
        label.onMouseDown = [this, i](int b, int s, float x, float y) {
            Label2_MouseDown(i, b, s, x, y);
        };
        label.onMouseMove = [this, i](int b, int s, float x, float y) {
            Label2_MouseMove(i, b, s, x, y);
        };
        label.onMouseUp = [this, i](int b, int s, float x, float y) {
            Label2_MouseUp(i, b, s, x, y);
        };
        label.onKeyDown = [this, i](int key, int shift) { return answerKey(i, key, shift); };
    }

    look::addButtons(Label3,
                     {
                         {0, "Exit", 10560, 7920, 1245, 495},
                         {1, "Start Again", 3360, 7920, 2565, 495},
                         {2, "Check Score", 6000, 7920, 2565, 495},
                     },
                     &m_hover);
    Label3[2].setVisible(false);
    Label3.onClick([this](int i) { Label3_Click(i); });
    Label3.onMouseMove([this](int i, int, int, float, float) { Label3_MouseMove(i); });

    // The pictures lie beneath everything else.
    Image1.forEach([](int, Image &image) { image.sendToBack(); });

    // Tab visits the answer labels from their starting places in reading order, then the
    // buttons from left to right.
    std::vector<int> order;
    for (int i = 0; i < N; ++i)
        order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const ActivityItem &p = a.items[size_t(x)], &q = a.items[size_t(y)];
        return p.startTop != q.startTop ? p.startTop < q.startTop : p.startLeft < q.startLeft;
    });
    std::vector<TabStop> tabOrder;
    for (int i : order)
        tabOrder.push_back(Label2[i]);
    for (int button : {1, 2, 0})
        tabOrder.push_back(Label3[button]);
    setTabOrder(tabOrder);
}

DragDrop::~DragDrop() = default;

void DragDrop::Form_Load()
{
    setupform(*this);
    accessible::nameWindow(*this,
                           [this] { return Label6.caption() + QStringLiteral(": activity"); });
    const std::vector<QString> places = boxPlaces(m_activity);
    for (int i = 0; i < N; ++i)
        accessible::setName(Label1[i], places[size_t(i)]);
    outof = N;
    for (const ActivityPicture &p : m_activity.pictures)
        Image1[p.index].setPicture(loadPictureOrEmpty(text(p.file)));
    for (int i = 0; i < N; ++i) {
        Label4[i].setWidth(Label2[i].width());
        Label4[i].setHeight(Label2[i].height());
    }
    for (int i = 0; i < N; ++i) {
        Label2[i].setCaption(Label1[i].caption());
        Label1[i].setCaption(QString());
        Label1[i].setOpaque(false);
        Label4[i].setLeft(Label2[i].left());
        Label4[i].setTop(Label2[i].top());
    }
    for (int i = 0; i < N; ++i) {
        Label1[i].setVisible(true);
        Label2[i].setVisible(true);
        Label4[i].setVisible(true);
    }
}

void DragDrop::Form_MouseMove(int, int, float, float)
{
    m_hover.clear();
}

void DragDrop::Label3_MouseMove(int Index)
{
    m_hover.light(Label3[Index]);
}

void DragDrop::Form_MouseDown(int Button, int, float, float)
{
    if (Button == vbLeftButton)
        endPick();
}

bool DragDrop::Form_KeyDown(int KeyCode, int)
{
    if (KeyCode != vbKeyEscape || m_picked < 0)
        return false;
    endPick();
    return true;
}

void DragDrop::Label2_MouseDown(int, int Button, int, float, float)
{
    // The mouse takes over from the keyboard: a lifted label goes back where it was lifted,
    // and the press starts an ordinary drag.
    if (Button == vbLeftButton && m_lifted >= 0)
        putDown(m_lifted, true);
    if (Button == vbLeftButton)
        m_pressMoved = false;
}

void DragDrop::Label2_MouseMove(int Index, int Button, int, float X, float Y)
{
    if (Button != vbLeftButton || m_lifted >= 0)
        return;
    // A press that moves is a drag, and a drag ends any pick.
    if (!m_pressMoved) {
        m_pressMoved = true;
        endPick();
    }
    Label &label = Label2[Index];
    // The dragged label passes over the others, not under them.
    if (m_dragged != Index) {
        label.bringToFront();
        m_dragged = Index;
    }
    label.setLeft(label.left() + X - label.width() / 2);
    label.setTop(label.top() + Y - label.height() / 2);
}

void DragDrop::Label2_MouseUp(int Index, int Button, int, float, float)
{
    m_dragged = -1;
    if (m_lifted >= 0)
        return;
    // A click (a left press let go with no move) drops the label where it lies, as ever, and
    // picks it; a click on the picked label only ends the pick.
    const bool click = Button == vbLeftButton && !m_pressMoved;
    m_pressMoved = true;
    if (click && m_picked == Index) {
        endPick();
        return;
    }
    drop(Index);
    if (click)
        pick(Index);
}

void DragDrop::pick(int Index)
{
    endPick();
    m_picked = Index;
    turnColoursRound(Label2[Index]);
    Label2[Index].bringToFront();
}

void DragDrop::endPick()
{
    if (m_picked < 0)
        return;
    turnColoursRound(Label2[m_picked]);
    m_picked = -1;
}

void DragDrop::boxPressed(Label &box)
{
    m_boxPressed = m_picked >= 0 ? &box : nullptr;
}

void DragDrop::boxReleased(Label &box, int Button, float X, float Y)
{
    const bool click = Button == vbLeftButton && m_boxPressed == &box && X >= 0 &&
                       X < box.width() && Y >= 0 && Y < box.height();
    m_boxPressed = nullptr;
    if (!click || m_picked < 0)
        return;
    const int Index = m_picked;
    endPick();
    Label &label = Label2[Index];
    label.setLeft(box.left());
    label.setTop(box.top());
    drop(Index);
}

std::vector<Pos> DragDrop::labelPositions() const
{
    std::vector<Pos> positions;
    for (int i = 0; i < N; ++i)
        positions.push_back({Label2[i].left(), Label2[i].top()});
    return positions;
}

std::vector<Box> DragDrop::targetBoxes() const
{
    std::vector<Box> boxes;
    for (int i = 0; i < N; ++i) {
        const Label &box = Label1[i];
        boxes.push_back({box.left(), box.top(), box.width(), box.height()});
    }
    return boxes;
}

std::vector<Box> DragDrop::homeBoxes() const
{
    std::vector<Box> homes;
    for (int i = 0; i < N; ++i) {
        const Label &home = Label4[i];
        homes.push_back({home.left(), home.top(), home.width(), home.height()});
    }
    return homes;
}

void DragDrop::drop(int Index)
{
    Label &label = Label2[Index];
    const dragdrop::Landing landing =
        dragdrop::land({label.left(), label.top()}, targetBoxes(), homeBoxes());
    label.setLeft(landing.at.left);
    label.setTop(landing.at.top);
    for (int k = 0; k < landing.snaps; ++k)
        playsound(thud);

    if (dragdrop::complete(labelPositions(), targetBoxes()) && !Label3[2].visible()) {
        Label3[2].setVisible(true);
        accessible::announce(QStringLiteral("Check Score has appeared."));
    }
}

void DragDrop::Label3_Click(int Index)
{
    score = 0;
    endPick();
    switch (Index) {
    case 0:
        unloadScreen();
        break;
    case 1:
        if (m_lifted >= 0)
            putDown(m_lifted, true);
        for (int i = 0; i < N; ++i) {
            Label2[i].setLeft(Label4[i].left());
            Label2[i].setTop(Label4[i].top());
        }
        Label3[2].setVisible(false);
        break;
    case 2:
        if (m_lifted >= 0)
            putDown(m_lifted, true);
        score = dragdrop::score(m_activity.scoring, labelPositions(), targetBoxes());
        // The certificate is headed by what was done: here the activity's topic, not the
        // heading of whatever quiz ran before.
        quizheading = Label6.caption();
        screen<Welldone>().show();
        break;
    default:
        break;
    }
    playsound(QStringLiteral("wav\\click.wav"));
}

// Keyboard play: Space or Enter lifts the focused answer label; Tab and Shift+Tab carry it
// through every box, target and home boxes alike, in reading order; the arrows carry it to the
// nearest box that way, Home and End to the first and last target box; Space or Enter drops it
// through drop(), as a mouse release would; Escape puts it back where it was lifted.

std::vector<Box> DragDrop::stops() const
{
    return dragdrop::stopsInReadingOrder(targetBoxes(), homeBoxes());
}

bool DragDrop::answerKey(int Index, int keyCode, int shift)
{
    using dragdrop::Carry;
    const bool lifting = m_lifted == Index;
    switch (keyCode) {
    case vbKeySpace:
    case vbKeyReturn:
        if (lifting)
            putDown(Index, false);
        else if (m_lifted < 0)
            lift(Index);
        return true;
    case vbKeyEscape:
        if (!lifting && m_picked >= 0) {
            endPick();
            return true;
        }
        if (!lifting)
            return false;
        putDown(Index, true);
        return true;
    case vbKeyTab:
        if (lifting)
            carry(Index, (shift & 1) ? Carry::previous : Carry::next);
        return lifting;
    case vbKeyRight:
    case vbKeyDown:
    case vbKeyLeft:
    case vbKeyUp:
    case vbKeyHome:
    case vbKeyEnd:
        if (lifting) {
            const Carry way = keyCode == vbKeyRight  ? Carry::right
                              : keyCode == vbKeyDown ? Carry::down
                              : keyCode == vbKeyLeft ? Carry::left
                              : keyCode == vbKeyUp   ? Carry::up
                              : keyCode == vbKeyHome ? Carry::firstBox
                                                     : Carry::lastBox;
            carry(Index, way);
        }
        return lifting;
    default:
        return false;
    }
}

void DragDrop::lift(int Index)
{
    endPick();
    Label &label = Label2[Index];
    m_lifted = Index;
    m_liftedFrom = {label.left(), label.top()};
    const std::vector<Box> boxes = stops();
    m_stop = -1;
    for (size_t k = 0; k < boxes.size(); ++k)
        if (boxes[k].corner() == m_liftedFrom)
            m_stop = int(k);
    // Lifted, the label shows its colours the other way round and lies above the rest.
    turnColoursRound(label);
    label.bringToFront();
    sayMove(*this, Index, LabelMove::lifted);
}

void DragDrop::carry(int Index, dragdrop::Carry way)
{
    const std::vector<Box> boxes = stops();
    Label &label = Label2[Index];
    const int to =
        dragdrop::carryTo(boxes, targetBoxes(), m_stop, {label.left(), label.top()}, way);
    if (to < 0 || to >= int(boxes.size()))
        return;
    m_stop = to;
    label.setLeft(boxes[size_t(m_stop)].left);
    label.setTop(boxes[size_t(m_stop)].top);
    sayMove(*this, Index, LabelMove::carried);
}

void DragDrop::putDown(int Index, bool back)
{
    sayMove(*this, Index, back ? LabelMove::putBack : LabelMove::dropped);
    Label &label = Label2[Index];
    turnColoursRound(label);
    m_lifted = -1;
    m_stop = -1;
    if (back) {
        label.setLeft(m_liftedFrom.left);
        label.setTop(m_liftedFrom.top);
    } else {
        drop(Index);
    }
}
