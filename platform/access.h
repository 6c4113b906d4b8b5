// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Control;
class Form;
class Picture;
class QWidget;

// What a screen reader hears. One accessibility factory gives every platform control its role,
// name and state from what the control already knows (its caption, whether it can be clicked,
// whether it is ticked); a screen adds a name only where the caption is not enough. announce()
// is the one way the program says something to the pupil: a screen reader hears it, and so
// will reading aloud.
namespace accessible {

/// The name a screen reader says for a control in place of its caption, such as the caption
/// beside a text box; an empty name gives the caption back.
void setName(Control &control, const QString &name);
/// A name worked out afresh whenever it is asked for, for a name that follows a caption.
void setName(Control &control, std::function<QString()> name);
/// The name a screen reader says for a control now.
QString name(const Control &control);
/// What a screen reader says after the name: for a picture, what the picture shows.
QString description(const Control &control);

/// Keeps a control out of what a screen reader reads, for a control no one can see.
void hide(Control &control);

/// Names a screen's window for a screen reader; its visible caption stays. The name is worked
/// out now and again after every announcement, so it can follow the page or question on show.
void nameWindow(Form &form, std::function<QString()> name);
QString windowName(const Form &form);

/// What a content picture shows, from the descriptions kept with the pictures; empty when the
/// picture has none.
QString describePicture(const QString &source);

/// The text a page draws, line by line in reading order, which is the order the page lays its
/// text out in (a picture's own labels come where the page draws the picture).
QStringList pageLines(const Picture &page);

enum class Through { description, name };
/// Makes a screen reader say text: it becomes the description (or, for a lifted label, the
/// name) of the control that has the keyboard focus, or of the window in front when no control
/// has it, and the change is sent. What is announced in one step is said together, once the
/// step is over.
void announce(const QString &text, Through through = Through::description);
/// What reading aloud says, in the same step, in place of the step's first announcement (or
/// alone, when nothing is announced): a new question with its answers, a whole page. A screen
/// reader's user explores those control by control; a pupil listening hears them whole.
void readAloud(const QString &text);
/// Parts said one after another, each ending as a sentence ends ("Question 3", "A. Milk" give
/// "Question 3. A. Milk.").
QString sentences(const QStringList &parts);
/// What reading aloud says for a widget under the pointer or with the focus: its control's
/// name. Nothing for a widget that is no control, a control kept from a screen reader, or a
/// page (pages are read whole when they show).
QString spokenName(const QWidget *widget);
/// Says at once what announce() has gathered (tests, and a screen about to wait).
void flush();
/// Every text announced since the program started, in order (tests read it).
const QStringList &announced();

// Called by the controls when what a screen reader reads from them changes.
void captionChanged(QWidget *widget);
void checkedChanged(QWidget *widget);
/// Links a control's widget to the control, before the widget is shown.
void attach(QWidget *widget, Control *control);

} // namespace accessible
