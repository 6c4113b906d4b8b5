#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A screen-reader client for the program running under Xvfb with AT-SPI: it walks the
# accessible tree of every screen a pupil and a teacher reach, checks the roles, names and
# states a screen reader would speak, and listens to the events that go out while the screens
# are clicked and keys are pressed (with xdotool, as a pupil would).
# Usage: screenreader.py RUN_FOLDER   (the program's working folder, for its quiz file)
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import pyatspi  # noqa: E402

run_folder = sys.argv[1]
events = []
checks = 0


def fail(what):
    print("FAIL: " + what, file=sys.stderr)
    sys.exit(1)


def check(ok, what):
    global checks
    checks += 1
    if not ok:
        fail(what)


def on_event(event):
    # The bridge names the object that changed; its new name or description is read from it.
    try:
        said = event.source.description if "description" in event.type else event.source.name
    except Exception:
        said = ""
    events.append((event.type, said or "", event.detail1))




def pump(seconds=0.0):
    """Handles what arrived on the bus, for at least the given time."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(condition, what, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump()
        try:
            result = condition()
        except Exception:
            result = None
        if result:
            return result
        time.sleep(0.1)
    fail("waited in vain for " + what)


def fresh(acc):
    try:
        acc.clear_cache()
    except Exception:
        pass
    return acc


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and "habitara" in (app.name or "").lower():
            return fresh(app)
    return None


def windows():
    app = application()
    return [fresh(app.getChildAtIndex(i)) for i in range(app.childCount)] if app else []


def window(name):
    """The showing window of that name."""
    def found():
        for w in windows():
            if w.name == name and w.getState().contains(pyatspi.STATE_SHOWING):
                return w
        return None
    found_window = wait_for(found, "the window \"%s\"" % name)
    check(found_window.getRoleName() == "frame",
          "\"%s\" is a %s, not a frame" % (name, found_window.getRoleName()))
    return found_window


def walk(acc, depth=0):
    yield acc
    if depth > 6:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(fresh(child), depth + 1)


def find(win, name, role=None, showing=True):
    def found():
        for acc in walk(fresh(win)):
            if acc.name == name and (role is None or acc.getRoleName() == role) and \
                    (not showing or acc.getState().contains(pyatspi.STATE_SHOWING)):
                return acc
        return None
    return wait_for(found, "\"%s\" (%s) in \"%s\"" % (name, role, win.name))


def expect(win, name, role):
    """The control of that name and role on show in the window (a caption and the box it names
    share a name)."""
    global checks
    checks += 1
    return find(win, name, role)


def checked(acc):
    return fresh(acc).getState().contains(pyatspi.STATE_CHECKED)


def click(acc):
    x, y, w, h = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)], check=True)
    time.sleep(0.1)
    subprocess.run(["xdotool", "click", "1"], check=True)
    pump(0.2)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    pump(0.1)


def heard(kind, text_part, since):
    """Waits for an event of that kind whose text holds text_part, among those after since."""
    def found():
        for type_, said, detail in events[since:]:
            if type_.startswith(kind) and text_part in said:
                return True
        return False
    wait_for(found, "an event %s saying \"%s\" (heard: %s)" % (kind, text_part, events[since:]))
    global checks
    checks += 1


def quiz_answers():
    """The right answer (1 to 4) of each question of the mountains quiz, from its file."""
    folder = os.path.join(run_folder, "multiple")
    name = next(f for f in os.listdir(folder) if f.lower() == "living in the mountains.txt")
    with open(os.path.join(folder, name), encoding="cp1252") as f:
        lines = f.read().splitlines()
    return [int(lines[2 + 7 * q + 5].strip()) for q in range(10)]


NAME = "object:property-change:accessible-name"
DESCRIPTION = "object:property-change:accessible-description"
CHECKED = "object:state-changed:checked"

# Every question goes to the program afresh: what the screens show changes all the time.
pyatspi.Registry.getDesktop(0).set_cache_mask(Atspi.Cache.NONE)
wait_for(application, "the program on the accessibility bus", timeout=20)

# The title screen.
title = window("Habitara: title screen")
# Listening starts once the program is on the bus, so that it hears of the listener.
for kind in ("object:property-change:accessible-name",
             "object:property-change:accessible-description",
             "object:state-changed:checked"):
    pyatspi.Registry.registerEventListener(on_event, kind)
pump(0.5)
ok = expect(title, "OK", "push button")
expect(title, "Written by Ruth Penhaligon", "label")
expect(title, "Snowy peaks of the Andes above green valleys, a village and a river", "image")
click(ok)

# The main menu: its entries are buttons, the sound switch a choice.
menu = window("Habitara: main menu")
expect(menu, "Living in the Mountains", "push button")
sound_on = expect(menu, "Sound On", "radio button")
sound_off = expect(menu, "Sound Off", "radio button")
check(checked(sound_on) and not checked(sound_off), "Sound On is the chosen sound at start")
mark = len(events)
click(sound_off)
wait_for(lambda: checked(sound_off) and not checked(sound_on), "Sound Off chosen")
heard(CHECKED, "Sound Off", mark)
click(sound_on)

# A topic menu and its key facts, whose text a screen reader reads line by line.
click(find(menu, "Living in the Mountains", "push button"))
topic = window("Living in the Mountains: topic menu")
expect(topic, "Teacher's Notes", "push button")
click(find(topic, "Key Facts", "push button"))
facts = window("Living in the Mountains: key facts")
page = next(a for a in walk(facts) if a.getRoleName() == "document frame"
            and a.getState().contains(pyatspi.STATE_SHOWING))
text = page.queryText()
whole = text.getText(0, -1)
check(whole.count("\n") >= 5 and "mountain" in whole.lower(), "the key facts read as text")
first = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
check(first[0].strip() == whole.split("\n")[0].strip() and first[0].strip() == page.name,
      "the first line of the key facts: %r" % (first,))
click(find(facts, "Exit", "push button"))

# The quiz: answers are a choice, named with their letters; the first answered wrongly.
right = quiz_answers()
click(find(topic, "Multiple Choice", "push button"))
for q in range(1, 11):
    quiz = window("Living in the Mountains: quiz, question %d of 10" % q)
    answers = [a for a in walk(quiz) if a.getRoleName() == "radio button"
               and a.getState().contains(pyatspi.STATE_SHOWING)]
    check([a.name[:3] for a in answers] == ["A. ", "B. ", "C. ", "D. "],
          "the answers of question %d: %s" % (q, [a.name for a in answers]))
    choice = answers[right[q - 1] % 4] if q == 1 else answers[right[q - 1] - 1]
    mark = len(events)
    click(choice)
    wait_for(lambda: checked(choice), "the answer chosen at question %d" % q)
    heard(CHECKED, choice.name, mark)
    mark = len(events)
    click(find(quiz, "Check Score" if q == 10 else "Next Question", "push button"))
    if q < 10:
        heard(DESCRIPTION, "Question %d of 10." % (q + 1), mark)
        heard(NAME, "question %d of 10" % (q + 1), mark)
    else:
        heard(DESCRIPTION, "You have scored 9 out of 10.", mark)

# The results and the review of the question answered wrongly.
results = window("Results")
expect(results, "Good work. You have scored 9 out of 10.", "label")
click(find(results, "Check Wrong Answers", "push button"))
review = window("Living in the Mountains: questions answered wrongly")
wrong = [a for a in walk(review) if a.name.strip().startswith("1. ")]
check(len(wrong) == 1 and wrong[0].getRoleName() == "label", "the review lists question 1")
# The review's Exit closes the results too.
click(find(review, "Exit", "push button"))

# An activity played with the keyboard: Tab to a label, Space lifts it, the arrows carry it,
# Space drops it; each step is heard.
topic = window("Living in the Mountains: topic menu")
click(find(topic, "Labelling Activity", "push button"))
activity = window("Living in the Mountains: labelling activity")
expect(activity, "Yaks on a high grassy plateau below snowy peaks", "image")
label = expect(activity, "Have thick woolly coats.", "push button")
for _ in range(12):
    if fresh(label).getState().contains(pyatspi.STATE_FOCUSED):
        break
    key("Tab")
check(fresh(label).getState().contains(pyatspi.STATE_FOCUSED), "Tab reaches the label")
mark = len(events)
key("space")
heard(NAME, "Have thick woolly coats., lifted", mark)
for _ in range(10):
    if "over the box on the yaks" in fresh(label).name:
        break
    key("Right")
heard(NAME, "Have thick woolly coats., lifted, over the box on the yaks", mark)
mark = len(events)
key("space")
heard(DESCRIPTION, "placed in the box on the yaks", mark)
wait_for(lambda: fresh(label).name == "Have thick woolly coats.", "the label's own name again")
click(find(activity, "Exit", "push button"))
click(find(window("Living in the Mountains: topic menu"), "Exit", "push button"))

# The teachers' guide, a page turned.
menu = window("Habitara: main menu")
click(find(menu, "Teachers' Guide", "push button"))
guide = window("Teachers' guide, page 1 of 5")
mark = len(events)
click(find(guide, "Next Page", "push button"))
heard(NAME, "Teachers' guide, page 2 of 5", mark)
heard(DESCRIPTION, "Page 2 of 5. ", mark)
click(find(window("Teachers' guide, page 2 of 5"), "Exit", "push button"))

# The wizard: boxes named by the captions beside them, ticks with their state.
click(find(menu, "Multiple Choice Wizard", "push button"))
wizard = window("Multiple Choice Wizard")
expect(wizard, "Worksheet Title", "text")
expect(wizard, "Question 3", "text")
expect(wizard, "Question 3, answer B", "text")
tick = expect(wizard, "Question 3, answer B is right", "check box")
check(not checked(tick), "a tick box starts clear")
mark = len(events)
click(tick)
wait_for(lambda: checked(tick), "the tick")
heard(CHECKED, "Question 3, answer B is right", mark)
click(find(wizard, "Exit", "push button"))

# The catalogue.
click(find(window("Habitara: main menu"), "Worksheet Catalogue", "push button"))
catalogue = window("Worksheet catalogue, page 1")
expect(catalogue, "Edit Worksheet", "check box")
expect(catalogue, "Delete Worksheet", "check box")
click(find(catalogue, "Exit", "push button"))
window("Habitara: main menu")

print("%d checks passed" % checks)
