// SPDX-License-Identifier: GPL-3.0-or-later
#include "activities/dragspeech.h"

#include "activities/dragdrop.h"
#include "platform/access.h"

#include <QRectF>

#include <algorithm>
#include <numeric>

std::vector<QString> boxPlaces(const Activity &activity)
{
    const int n = activity.count();
    std::vector<int> order(size_t(n), 0);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const ActivityItem &p = activity.items[size_t(a)], &q = activity.items[size_t(b)];
        return p.boxTop != q.boxTop ? p.boxTop < q.boxTop : p.boxLeft < q.boxLeft;
    });
    std::vector<QString> places(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const int i = order[size_t(k)];
        const ActivityItem &item = activity.items[size_t(i)];
        QString &place = places[size_t(i)];
        for (const ActivityStatement &s : activity.statements)
            if (s.top == item.boxTop)
                place = QStringLiteral("the box beside: ") + QString::fromUtf8(s.text);
        for (const ActivityPicture &picture : activity.pictures) {
            const QRectF area(picture.left, picture.top, picture.width, picture.height);
            if (!place.isEmpty() || !area.contains(item.boxLeft, item.boxTop))
                continue;
            for (const ActivityCaption &caption : activity.captions)
                if (caption.index == picture.index && QByteArray(caption.name) == "Label5")
                    place = QStringLiteral("the box on the ") +
                            QString::fromUtf8(caption.text).toLower();
        }
        if (place.isEmpty())
            place = QStringLiteral("box %1 of %2").arg(k + 1).arg(n);
    }
    return places;
}

namespace {

/// Where a label lies now: in words, and whether that is a target box or a starting place.
QString whereIs(const DragDrop &screen, int Index, bool *inBox, bool *atStart)
{
    const Label &label = screen.Label2[Index];
    const dragdrop::Pos at{label.left(), label.top()};
    const std::vector<dragdrop::Box> targets = screen.targetBoxes();
    const std::vector<QString> places = boxPlaces(screen.activity());
    *inBox = *atStart = false;
    for (size_t i = 0; i < targets.size() && i < places.size(); ++i) {
        if (targets[i].corner() == at) {
            *inBox = true;
            return places[i];
        }
    }
    for (int i = 0; i < screen.activity().count(); ++i) {
        const Label &home = screen.Label4[i];
        if (home.left() == at.left && home.top() == at.top) {
            *atStart = true;
            return i == Index ? QStringLiteral("its starting place")
                              : QStringLiteral("a starting place");
        }
    }
    return QString();
}

} // namespace

void sayMove(DragDrop &screen, int Index, LabelMove move)
{
    const QString caption = screen.Label2[Index].caption();
    bool inBox = false, atStart = false;
    const QString where = whereIs(screen, Index, &inBox, &atStart);
    switch (move) {
    case LabelMove::lifted:
    case LabelMove::carried: {
        QString text = caption + QStringLiteral(", lifted");
        if (inBox || (atStart && move == LabelMove::carried))
            text += QStringLiteral(", over ") + where;
        accessible::announce(text, accessible::Through::name);
        break;
    }
    case LabelMove::dropped:
        if (inBox)
            accessible::announce(caption + QStringLiteral(", placed in ") + where +
                                 QLatin1Char('.'));
        else if (atStart)
            accessible::announce(caption + QStringLiteral(", put back."));
        else
            accessible::announce(caption + QStringLiteral(", put down."));
        break;
    case LabelMove::putBack:
        accessible::announce(caption + QStringLiteral(", put back."));
        break;
    }
}
