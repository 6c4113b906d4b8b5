// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"
#include "platform/guard.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

/// Controls of one kind that share a name and handlers and are told apart by an index, like
/// Label3[2]; indexes may have gaps. The elements are named "Label3_2" for tests.
template <class T> class ControlArray
{
public:
    ControlArray(Container &container, const QString &name) : m_container(container), m_name(name)
    {
    }

    T &add(int index)
    {
        auto control =
            std::make_unique<T>(m_container, m_name + QLatin1Char('_') + QString::number(index));
        T &ref = *control;
        m_items[index] = std::move(control);
        return ref;
    }
    /// The element; an index without one is an error, as it would be on the screen.
    T &operator[](int index) const
    {
        auto it = m_items.find(index);
        if (it == m_items.end())
            throw ProgramError(QStringLiteral("Control array element %1(%2) doesn't exist")
                                   .arg(m_name)
                                   .arg(index));
        return *it->second;
    }
    bool contains(int index) const { return m_items.count(index) != 0; }
    template <class F> void forEach(F f) const
    {
        for (const auto &[index, control] : m_items)
            f(index, *control);
    }
    /// Sends every element's click to handler(index).
    void onClick(std::function<void(int)> handler)
    {
        for (auto &[index, control] : m_items)
            control->onClick = [handler, i = index] { handler(i); };
    }
    void onMouseMove(std::function<void(int, int, int, float, float)> handler)
    {
        for (auto &[index, control] : m_items)
            control->onMouseMove = [handler, i = index](int b, int s, float x, float y) {
                handler(i, b, s, x, y);
            };
    }

private:
    Container &m_container;
    QString m_name;
    std::map<int, std::unique_ptr<T>> m_items;
};
