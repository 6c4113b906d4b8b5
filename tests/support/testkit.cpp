// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/testkit.h"

#include "app/Module1.h"
#include "platform/controls.h"
#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/guard.h"
#include "platform/keyboard.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/timer.h"
#include "platform/twips.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <sys/stat.h>

namespace testkit {

namespace {

/// Measures text at 1440 dots to the inch, so widths come out in twips.
const QImage &twipsDevice()
{
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(1440 / 0.0254));
        i.setDotsPerMeterY(qRound(1440 / 0.0254));
        return i;
    }();
    return image;
}

/// Delivers a mouse action to the window under which the widget lies, as the window system
/// would: the window then finds the control at that point, covered or disabled ones included.
void mouseAt(QTest::MouseAction action, QWidget *w, QPoint at)
{
    QWidget *top = w->window();
    QWindow *window = top->windowHandle();
    if (!window || !top->isVisible()) {
        QTest::mouseEvent(action, w, Qt::LeftButton, Qt::NoModifier, at);
        return;
    }
    const QPoint inWindow = w->mapTo(top, at);
    if (action == QTest::MouseMove)
        QTest::mouseMove(window, inWindow);
    else
        QTest::mouseEvent(action, window, Qt::LeftButton, Qt::NoModifier, inWindow);
}

QPoint pixelsOf(QPointF twipsPoint)
{
    return QPoint(twips::toPixels(twipsPoint.x()), twips::toPixels(twipsPoint.y()));
}

} // namespace

ContentFolder::ContentFolder() : ContentFolder(QStringLiteral(HABITARA_RUN_DIR)) {}

ContentFolder::ContentFolder(const QString &from) : m_previous(QDir::currentPath())
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString target = m_dir.filePath(QDir(from).relativeFilePath(it.next()));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(it.filePath(), target);
    }
    QDir::setCurrent(m_dir.path());
}

ContentFolder::~ContentFolder()
{
    QDir::setCurrent(m_previous);
}

QString ContentFolder::path(const QString &relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
}

void ContentFolder::remove(const QString &relative) const
{
    QFile::remove(path(relative));
}

void ContentFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile f(path(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray ContentFolder::read(const QString &relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double RecordingPrinter::textWidth(const QString &text) const
{
    return QFontMetricsF(deviceFont(m_face, m_points), &twipsDevice()).horizontalAdvance(text);
}

double RecordingPrinter::textHeight() const
{
    return QFontMetricsF(deviceFont(m_face, m_points), &twipsDevice()).height();
}

void RecordingPrinter::print(const QString &text, bool endLine)
{
    m_ops->push_back(
        {QStringLiteral("print"), text, m_x, m_y, 0, 0, m_face, m_points, m_color, endLine});
    m_y += endLine ? textHeight() : 0;
    m_x = endLine ? 0 : m_x + textWidth(text);
}

void RecordingPrinter::line(double x1, double y1, double x2, double y2, const QColor &color)
{
    m_ops->push_back({QStringLiteral("line"), {}, x1, y1, x2, y2, {}, 0, color, true, m_drawWidth});
}

void RecordingPrinter::paintPicture(const Picture &picture, double x, double y)
{
    PrintOp op;
    op.op = QStringLiteral("picture");
    op.text = picture.source();
    op.x = x;
    op.y = y;
    m_ops->push_back(op);
}

void RecordingPrinter::endDoc()
{
    PrintOp end;
    end.op = QStringLiteral("enddoc");
    m_ops->push_back(end);
}

Recorders::Recorders()
{
    auto sound = std::make_unique<SoundRecorder>();
    m_sound = sound.get();
    setSoundDevice(std::move(sound));
    printToRecorder();
    setMsgBoxResponder([this](const QString &prompt, int, const QString &title) {
        messages.push_back(prompt);
        titles.push_back(title);
        return answers.isEmpty() ? int(vbOK) : answers.takeFirst();
    });
    setFileChooserResponder([this](const FileRequest &request) {
        fileRequests.push_back(request);
        return fileChoices.isEmpty() ? FileChoice() : fileChoices.takeFirst();
    });
}

Recorders::~Recorders()
{
    setSoundDevice(nullptr);
    setPrinterFactory(nullptr);
    setMsgBoxResponder(nullptr);
    setFileChooserResponder(nullptr);
}

QStringList Recorders::sounds() const
{
    return m_sound ? m_sound->played : QStringList();
}

void Recorders::clearSounds() const
{
    if (m_sound)
        m_sound->played.clear();
}

void Recorders::listenToSystemSound()
{
    m_sound = nullptr;
    setSoundDevice(nullptr);
}

void Recorders::failPrinting()
{
    setPrinterFactory([]() -> std::unique_ptr<PrinterDevice> {
        throw ProgramError(QStringLiteral("There is no printer."));
    });
}

void Recorders::printToPdf(const QString &path)
{
    setPrinterFactory([path] { return openPdfPrinter(path); });
}

void Recorders::printToRecorder()
{
    setPrinterFactory([this] { return std::make_unique<RecordingPrinter>(&printed); });
}

QStringList Recorders::said(const Control &control)
{
    messages.clear();
    click(control);
    return messages;
}

QStringList Recorders::heard(const Control &control)
{
    clearSounds();
    click(control);
    return sounds();
}

void ScreenTest::initTestCase()
{
    registerFonts();
}

void ScreenTest::init()
{
    resetProgram();
    content = std::make_unique<ContentFolder>();
    rec = std::make_unique<Recorders>();
}

void ScreenTest::cleanup()
{
    rec.reset();
    content.reset();
    resetProgram();
}

void resetProgram()
{
    registry::unloadAll();
    settle();
    Module1::resetState();
    restartProgram();
    keyboard::setInUse(false);
    readaloud::reset();
    readaloud::setVoice(nullptr);
    Timer::setDrivenByHand(false);
    twips::setDisplaySizeForTests(QSizeF());
    setContentFolder(QString());
    setWorksheetFolder(QString());
    setPrintToPdfFolder(QString());
    setFallbackPdfFolder(QString());
}

QStringList SpeechRecorder::said() const
{
    QStringList out;
    for (const QString &event : events)
        if (event.startsWith(QLatin1String("say: ")))
            out << event.mid(5);
    return out;
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void click(const Control &control)
{
    QWidget *w = control.widget();
    mouseAt(QTest::MouseMove, w, w->rect().center());
    mouseAt(QTest::MouseClick, w, w->rect().center());
}

void moveOver(const Control &control, QPointF offsetTwips)
{
    QWidget *w = control.widget();
    mouseAt(QTest::MouseMove, w, offsetTwips.x() < 0 ? w->rect().center() : pixelsOf(offsetTwips));
}

void moveOverForm(const Form &form, QPointF at)
{
    mouseAt(QTest::MouseMove, form.host(), pixelsOf(at));
}

void pressOn(const Control &control, Qt::MouseButton button)
{
    QWidget *w = control.widget();
    const QPoint at = w->mapTo(w->window(), w->rect().center());
    QWindow *window = w->window()->windowHandle();
    QTest::mouseMove(window, at);
    QTest::mousePress(window, button, Qt::NoModifier, at);
}

void movePointer(const Form &form, QPointF at)
{
    QTest::mouseMove(form.host()->windowHandle(), pixelsOf(at));
}

void releaseAt(const Form &form, QPointF at, Qt::MouseButton button)
{
    QTest::mouseRelease(form.host()->windowHandle(), button, Qt::NoModifier, pixelsOf(at));
}

void drag(const Control &control, QPointF to)
{
    const Form &form = control.form();
    QWidget *w = control.widget();
    const QPoint centre = w->mapTo(w->window(), w->rect().center());
    const QPointF from(twips::fromPixels(centre.x()), twips::fromPixels(centre.y()));
    pressOn(control);
    for (int k = 1; k <= 4; ++k) // in a few steps
        movePointer(form, from + (to - from) * k / 4);
    releaseAt(form, to);
}

void pressKey(const Form &form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(form.host()->windowHandle(), key, modifiers);
}

void typeInto(TextBox &box, const QString &text)
{
    box.widget()->setFocus();
    QTest::keyClicks(box.widget(), text);
}

void retype(TextBox &box, const QString &text)
{
    box.widget()->setFocus();
    QTest::keyClick(box.widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box.widget(), Qt::Key_Delete);
    QTest::keyClicks(box.widget(), text);
}

void pressEnter(TextBox &box)
{
    QTest::keyClick(box.widget(), Qt::Key_Return);
}

QImage grab(const Form &form)
{
    return form.host()->grab().toImage();
}

QColor pixelAt(const Form &form, QPointF at)
{
    // A program scaled up on a large screen grabs more pixels than it lays out.
    const QImage image = grab(form);
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(twips::toPixels(at.x()) * ratio),
                            int(twips::toPixels(at.y()) * ratio));
}

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QString focusName()
{
    const QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

QByteArray builtFile(const QString &relative)
{
    QFile f(QDir(QStringLiteral(HABITARA_RUN_DIR)).filePath(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QMap<QString, QByteArray> everything(const QString &folder)
{
    QMap<QString, QByteArray> all;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            all[name] = "missing";
        else if (S_ISLNK(st.st_mode))
            all[name] = "link to " + QFile::encodeName(QFile::symLinkTarget(path));
        else if (S_ISFIFO(st.st_mode))
            all[name] = "pipe";
        else if (S_ISDIR(st.st_mode))
            all[name] = "folder";
        else
            all[name] = readFile(path);
    }
    return all;
}

} // namespace testkit
