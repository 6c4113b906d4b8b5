// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/filechooser.h"
#include "platform/printer.h"
#include "platform/sound.h"
#include "platform/speech.h"

#include <QColor>
#include <QImage>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class Control;
class Form;
class TextBox;

// What the tests stand on: a working folder holding the built content, recorders for sounds,
// printouts and message boxes, and helpers that deliver real mouse and key events.
namespace testkit {

/// A temporary working folder holding a copy of the built content (or of another folder);
/// the program runs in it until the object goes.
class ContentFolder
{
public:
    ContentFolder();
    explicit ContentFolder(const QString &from);
    ~ContentFolder();
    QString path(const QString &relative = QString()) const;
    void remove(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

class SoundRecorder : public SoundDevice
{
public:
    void play(const QString &path) override { played.push_back(path); }
    QStringList played;
};

/// A voice that records what it is asked to say: "say: text" and "stop", in order.
class SpeechRecorder : public readaloud::Voice
{
public:
    explicit SpeechRecorder(bool available = true) : m_available(available) {}
    bool available() override { return m_available; }
    void say(const QString &text) override { events << QStringLiteral("say: ") + text; }
    void stop() override { events << QStringLiteral("stop"); }
    /// Only what was said, in order.
    QStringList said() const;
    QStringList events;

private:
    bool m_available;
};

/// One operation on the recording printer.
struct PrintOp
{
    QString op; ///< "print", "line", "picture", "enddoc"
    QString text;
    double x = 0, y = 0, x2 = 0, y2 = 0;
    QString font;
    double size = 0;
    QColor color;
    bool endLine = true;
    int drawWidth = 1;
};

/// A printer that records what it is asked to print, with an A4 printable area and text
/// measured in the real fonts.
class RecordingPrinter : public PrinterState
{
public:
    explicit RecordingPrinter(std::vector<PrintOp> *ops) : m_ops(ops) {}
    double scaleWidth() const override { return 11184; }
    double scaleHeight() const override { return 16116; }
    double textWidth(const QString &text) const override;
    double textHeight() const override;
    void print(const QString &text, bool endLine) override;
    void line(double x1, double y1, double x2, double y2, const QColor &color) override;
    void paintPicture(const Picture &picture, double x, double y) override;
    void endDoc() override;

private:
    std::vector<PrintOp> *m_ops;
};

/// The recorders in place for one test: sounds, printouts and message boxes.
class Recorders
{
public:
    Recorders();
    ~Recorders();
    QStringList sounds() const;
    void clearSounds() const;
    std::vector<PrintOp> printed;
    QStringList messages;            ///< every message box's text, in order
    QStringList titles;              ///< every message box's title, in order
    QList<int> answers;              ///< for the next message boxes (vbOK when none is left)
    QList<FileRequest> fileRequests; ///< every file dialog asked for, in order
    QList<FileChoice> fileChoices;   ///< for the next file dialogs (Cancel when none is left)
    void failPrinting();             ///< every print job fails as a printer without paper would
    void printToPdf(const QString &path);
    void printToRecorder();
    void listenToSystemSound(); ///< sounds go to the system's output, unrecorded
    /// Clicks the control and returns the messages, or the sounds, that the click brought.
    QStringList said(const Control &control);
    QStringList heard(const Control &control);

private:
    SoundRecorder *m_sound;
};

/// A test of the program's screens: each test function starts a fresh program in its own copy
/// of the content, with the recorders in place.
class ScreenTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<ContentFolder> content;
    std::unique_ptr<Recorders> rec;

protected Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
};

void resetProgram(); ///< no screen loaded, the shared state as at start-up
void settle();       ///< runs queued events, including the deletion of unloaded screens

void click(const Control &control);
void moveOver(const Control &control, QPointF offsetTwips = QPointF(-1, -1));
void moveOverForm(const Form &form, QPointF twips);
// Mouse and keys go through the screen's window; points on a screen are in twips.
void pressOn(const Control &control, Qt::MouseButton button = Qt::LeftButton); ///< on its middle
void movePointer(const Form &form, QPointF twips); ///< buttons held down stay down
void releaseAt(const Form &form, QPointF twips, Qt::MouseButton button = Qt::LeftButton);
/// Presses on the control's middle, moves in a few steps to the point and releases there.
void drag(const Control &control, QPointF toTwips);
void pressKey(const Form &form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeInto(TextBox &box, const QString &text);
void retype(TextBox &box, const QString &text); ///< Ctrl+A, Delete, then the text
void pressEnter(TextBox &box);

QImage grab(const Form &form);
QColor pixelAt(const Form &form, QPointF twips);
QString pdfText(const QString &path); ///< read back with pdftotext
QString focusName();                  ///< the object name of the widget with the keyboard focus

void writeFile(const QString &path, const QByteArray &bytes); ///< making its folders
QByteArray readFile(const QString &path);                     ///< "<none>" when unreadable
/// A file of the built content, by its path in the run folder; empty when unreadable.
QByteArray builtFile(const QString &relative);
/// Everything in a folder, read without following links: files with their bytes, links as
/// "link to <target>", pipes and folders as "pipe" and "folder".
QMap<QString, QByteArray> everything(const QString &folder);

} // namespace testkit
