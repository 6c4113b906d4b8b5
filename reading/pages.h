// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/keyboard.h"

#include <functional>
#include <optional>
#include <vector>

// What the two page viewers share: their buttons, the page counter and printing a page.

/// Print, Exit, Next Page and Previous Page (disabled) at their places, yellow on black.
void addPageButtons(ControlArray<Label> &buttons);
/// Page Down or the Right arrow (Next Page), Page Up or the Left arrow (Previous Page), Escape
/// (Exit): presses the page button the key stands for, when it can be pressed. Whether the key
/// was one of them.
bool pressPageButton(int keyCode, ControlArray<Label> &buttons,
                     const std::function<void(int)> &click);
/// Print, Previous Page, Next Page and Exit, as they read.
std::vector<TabStop> pageTabOrder(ControlArray<Label> &buttons);
/// The page counter: black on white below the page.
void styleCounter(Label &counter);
/// "Page 2 of 5"; an unknown count reads as nothing.
QString pageCounter(int page, std::optional<int> count);
/// Names a page viewer for a screen reader: its title and, while the counter shows, the page.
void namePages(Form &viewer, const Label &counter, const QString &title);
/// Announces the page now on show: its counter and its first line; read aloud, the whole page.
void announcePage(const Label &counter, const Image &page);
/// Reads aloud the page now on show, its counter first while the counter shows.
void readPage(const Label &counter, const Image &page);
/// Prints a page's print version with its corner at (1000, 1000) twips. A printer that
/// cannot be reached is reported in a message.
void printPage(const Picture &page);
