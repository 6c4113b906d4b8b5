// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windowcolour.h"

#include <QColor>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <bit>
#include <cstdlib>
#include <optional>

namespace {

/// The pixel value of an opaque colour in a true-colour visual of 8 bits a channel.
std::optional<uint32_t> pixelOf(const xcb_visualtype_t &visual, const QColor &color)
{
    if (visual._class != XCB_VISUAL_CLASS_TRUE_COLOR || visual.bits_per_rgb_value != 8)
        return std::nullopt;
    const auto channel = [](uint32_t mask, int value) -> std::optional<uint32_t> {
        if (std::popcount(mask) != 8)
            return std::nullopt;
        return uint32_t(value) << std::countr_zero(mask);
    };
    const auto r = channel(visual.red_mask, color.red());
    const auto g = channel(visual.green_mask, color.green());
    const auto b = channel(visual.blue_mask, color.blue());
    if (!r || !g || !b)
        return std::nullopt;
    return *r | *g | *b;
}

/// The visual of that id, where it is one of 24 bits: a deeper one carries an alpha channel,
/// which the pixel would leave clear.
const xcb_visualtype_t *findVisual(xcb_connection_t *connection, xcb_visualid_t id)
{
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem;
         xcb_screen_next(&screens)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
             xcb_depth_next(&depths)) {
            if (depths.data->depth != 24)
                continue;
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == id)
                    return visuals.data;
            }
        }
    }
    return nullptr;
}

} // namespace

bool fillByDisplay(QWidget &window, const QColor &color)
{
    if (!window.isWindow() || color.alpha() != 255)
        return false;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window.winId());
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr);
    if (!attributes)
        return false;
    const xcb_visualtype_t *visual = findVisual(connection, attributes->visual);
    std::free(attributes);
    const std::optional<uint32_t> pixel = visual ? pixelOf(*visual, color) : std::nullopt;
    if (!pixel)
        return false;
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXEL, &*pixel);
    xcb_flush(connection);
    return true;
}
