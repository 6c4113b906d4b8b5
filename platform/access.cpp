// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/access.h"

#include "platform/controls.h"
#include "platform/enginedevice.h"
#include "platform/form.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/speech.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

const char controlKey[] = "habitaraControl";
/// What an announcement made the name of a lifted label; the caption comes back afterwards.
const char announcedNameKey[] = "habitaraAnnouncedName";
/// Set while a control's description holds an announcement rather than a screen's words.
const char announcedKey[] = "habitaraAnnounced";
const char hiddenKey[] = "habitaraHidden";

Control *controlOf(const QObject *object)
{
    if (!object)
        return nullptr;
    return static_cast<Control *>(object->property(controlKey).value<void *>());
}

std::map<const QWidget *, std::function<QString()>> &nameFunctions()
{
    static std::map<const QWidget *, std::function<QString()>> functions;
    return functions;
}

std::map<const QWidget *, std::function<QString()>> &windowNames()
{
    static std::map<const QWidget *, std::function<QString()>> names;
    return names;
}

void forgetOnDestroy(QWidget *widget)
{
    if (widget->property("habitaraForget").toBool())
        return;
    widget->setProperty("habitaraForget", true);
    QObject::connect(widget, &QObject::destroyed, [widget] {
        nameFunctions().erase(widget);
        windowNames().erase(widget);
    });
}

void sendNameChanged(QObject *object)
{
    QAccessibleEvent event(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void sendDescriptionChanged(QObject *object)
{
    QAccessibleEvent event(object, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

/// A caption as a person would say it: without the arrows some buttons carry.
QString spoken(QString caption)
{
    caption = caption.trimmed();
    if (caption.startsWith(QLatin1String("<<")))
        caption = caption.mid(2);
    if (caption.endsWith(QLatin1String(">>")))
        caption.chop(2);
    return caption.trimmed();
}

QString captionOf(const Control *control)
{
    if (auto *label = dynamic_cast<const Label *>(control))
        return label->caption();
    if (auto *option = dynamic_cast<const OptionButton *>(control))
        return option->caption();
    if (auto *check = dynamic_cast<const CheckBox *>(control))
        return check->caption();
    if (auto *button = dynamic_cast<const CommandButton *>(control))
        return button->caption();
    if (auto *frame = dynamic_cast<const Frame *>(control))
        return frame->caption();
    return QString();
}

const Picture *pictureOf(const Control *control)
{
    if (auto *image = dynamic_cast<const Image *>(control))
        return &image->picture();
    if (auto *box = dynamic_cast<const PictureBox *>(control))
        return &box->picture();
    return nullptr;
}

bool isPage(const Control *control)
{
    const Picture *picture = pictureOf(control);
    return picture && picture->isVector();
}

// --- The text a page draws -------------------------------------------------------------------

struct Piece
{
    QPointF at; ///< the left end of the piece's baseline
    double width;
    double size; ///< the font's height
    QString text;
};

/// A paint engine that draws nothing and keeps every piece of text handed to it, where the
/// painter's transformation puts it.
class TextCatcher : public QPaintEngine
{
public:
    TextCatcher() : QPaintEngine(QPaintEngine::AllFeatures) {}
    std::vector<Piece> pieces;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
    }
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QString text = item.text();
        if (text.isEmpty())
            return;
        const QFontMetricsF metrics(item.font());
        const double scale = std::hypot(m_transform.m22(), m_transform.m21());
        pieces.push_back({m_transform.map(p), metrics.horizontalAdvance(text) * scale,
                          metrics.height() * scale, text});
    }
    Type type() const override { return QPaintEngine::User; }

private:
    QTransform m_transform;
};

class TextDevice : public EngineDevice
{
public:
    explicit TextDevice(QSize size) : EngineDevice(size, 96, 32, m_engine) {}
    TextCatcher &engine() { return m_engine; }

private:
    TextCatcher m_engine;
};

/// The page's lines in the order the page draws them, which is the order its text was laid
/// out in: pieces drawn one after another on one baseline, running on to the right, make one
/// line, with a space where a gap shows between two pieces.
QStringList readingOrder(const std::vector<Piece> &pieces)
{
    QStringList lines;
    QString line;
    const Piece *last = nullptr;
    for (const Piece &piece : pieces) {
        const bool sameLine = last && std::abs(piece.at.y() - last->at.y()) < 0.4 * last->size &&
                              piece.at.x() > last->at.x() - 0.1 * last->size;
        if (!sameLine) {
            if (!line.simplified().isEmpty())
                lines << line.simplified();
            line.clear();
        } else if (piece.at.x() - (last->at.x() + last->width) > 0.2 * piece.size &&
                   !line.endsWith(QLatin1Char(' '))) {
            line += QLatin1Char(' ');
        }
        line += piece.text;
        last = &piece;
    }
    if (!line.simplified().isEmpty())
        lines << line.simplified();
    return lines;
}

// --- What a screen reader reads from a control -----------------------------------------------

/// The accessible face of a platform control: role, name, state and actions from the control;
/// a page also gives its text.
class ControlAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ControlAccessible(QWidget *widget) : QAccessibleWidget(widget) {}

    Control *control() const { return isValid() ? controlOf(widget()) : nullptr; }

    QAccessible::Role role() const override
    {
        const Control *c = control();
        if (auto *label = dynamic_cast<const Label *>(c))
            return clickable(label) ? QAccessible::Button : QAccessible::StaticText;
        if (dynamic_cast<const OptionButton *>(c))
            return QAccessible::RadioButton;
        if (dynamic_cast<const CheckBox *>(c))
            return QAccessible::CheckBox;
        if (dynamic_cast<const CommandButton *>(c))
            return QAccessible::Button;
        if (dynamic_cast<const Frame *>(c))
            return QAccessible::Grouping;
        if (dynamic_cast<const Line *>(c))
            return QAccessible::Separator;
        if (isPage(c))
            return QAccessible::Document;
        if (pictureOf(c) && c->onClick)
            return QAccessible::Button;
        if (pictureOf(c))
            return QAccessible::Graphic;
        return QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override
    {
        const Control *c = control();
        if (!c)
            return QString();
        switch (t) {
        case QAccessible::Name:
            return accessible::name(*c);
        case QAccessible::Description:
            return accessible::description(*c);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const Control *c = control();
        if (auto *option = dynamic_cast<const OptionButton *>(c)) {
            s.checkable = true;
            s.checked = option->value();
        } else if (auto *check = dynamic_cast<const CheckBox *>(c)) {
            s.checkable = true;
            s.checked = check->value() == 1;
        }
        if (c && c->widget()->property(hiddenKey).toBool())
            s.invisible = true;
        if (isPage(c)) {
            s.readOnly = true;
            s.multiLine = true;
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && isPage(control()))
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (const QString action = mainAction(); !action.isEmpty() && widget()->isEnabled())
            names.prepend(action);
        return names;
    }

    void doAction(const QString &action) override
    {
        Control *c = control();
        if (!c || !widget()->isEnabled() || action != mainAction())
            return QAccessibleWidget::doAction(action);
        if (auto *option = dynamic_cast<OptionButton *>(c)) {
            option->userSelect();
        } else if (auto *check = dynamic_cast<CheckBox *>(c)) {
            check->setValue(check->value() == 1 ? 0 : 1);
            check->fireClick();
        } else {
            c->fireClick();
        }
    }

    QStringList keyBindingsForAction(const QString &action) const override
    {
        if (action == mainAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

    // The page's text, a line to each line of the page.
    QString text(int start, int end) const override { return pageText().mid(start, end - start); }
    int characterCount() const override { return int(pageText().size()); }
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int offset) const override
    {
        // Each line is given a band of the page, in the order the lines read.
        const QString all = pageText();
        const int lines = int(all.count(QLatin1Char('\n'))) + 1;
        const int line = int(all.left(offset).count(QLatin1Char('\n')));
        const QRect r = rect();
        const int band = std::max(1, r.height() / std::max(1, lines));
        return QRect(r.left(), r.top() + band * line, r.width(), band);
    }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    static bool clickable(const Label *label)
    {
        return label->onClick || label->widget()->focusPolicy() != Qt::NoFocus;
    }
    QString mainAction() const
    {
        const Control *c = control();
        if (dynamic_cast<const OptionButton *>(c) || dynamic_cast<const CheckBox *>(c))
            return QAccessibleActionInterface::toggleAction();
        if (auto *label = dynamic_cast<const Label *>(c); label && label->onClick)
            return QAccessibleActionInterface::pressAction();
        if (dynamic_cast<const CommandButton *>(c) || (pictureOf(c) && c->onClick))
            return QAccessibleActionInterface::pressAction();
        return QString();
    }
    QString pageText() const
    {
        const Picture *picture = pictureOf(control());
        return picture ? accessible::pageLines(*picture).join(QLatin1Char('\n')) : QString();
    }
};

QAccessibleInterface *controlFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    // A screen's window is a plain widget: it is a window to a screen reader, not a filler.
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("QWidget") && widget->isWindow() && !controlOf(object))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (!controlOf(object))
        return nullptr;
    // A text box keeps Qt's own line-edit face, which reads the name a screen gives it.
    if (qobject_cast<QLineEdit *>(object))
        return nullptr;
    return new ControlAccessible(static_cast<QWidget *>(object));
}

/// Installs the factory once the application stands, after Qt's own for the widgets: the
/// factory installed last is asked first.
void installFactory()
{
    static bool installed = false;
    if (installed || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    installed = true;
    QAccessible::installFactory(controlFactory);
}

// --- Pictures ----------------------------------------------------------------------------------

QString pictureKey(const QString &source)
{
    QString base = QFileInfo(QString(source).replace(QLatin1Char('\\'), QLatin1Char('/')))
                       .completeBaseName()
                       .toLower();
    if (base.endsWith(QLatin1String("@2x")))
        base.chop(3);
    return base;
}

/// The descriptions file of the content folder: "name = what it shows" a line, "#" comments;
/// a name ending in "*" stands for every picture whose name begins so.
const std::map<QString, QString> &descriptions()
{
    static QString readFrom;
    static std::map<QString, QString> table;
    const QString path = contentPath(QStringLiteral("images/descriptions.txt"));
    if (path == readFrom)
        return table;
    readFrom = path;
    table.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return table;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        table[line.left(eq).trimmed().toLower()] = line.mid(eq + 1).trimmed();
    }
    return table;
}

// --- Announcements -----------------------------------------------------------------------------

struct Pending
{
    QStringList texts;
    QString readAloud;
    accessible::Through through = accessible::Through::description;
    bool scheduled = false;
};

Pending &pending()
{
    static Pending p;
    return p;
}

QStringList &log()
{
    static QStringList l;
    return l;
}

void clearAnnouncement(QWidget *widget)
{
    if (!widget)
        return;
    if (widget->property(announcedKey).toBool()) {
        widget->setProperty(announcedKey, false);
        widget->setAccessibleDescription(QString());
    }
    if (!widget->property(announcedNameKey).toString().isEmpty()) {
        widget->setProperty(announcedNameKey, QString());
        sendNameChanged(widget);
    }
}

void watchFocus()
{
    static bool watching = false;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (watching || !app)
        return;
    watching = true;
    // What was announced through a control belongs to that moment: it goes when the focus
    // moves on, so the control reads plainly when the pupil comes back to it.
    QObject::connect(app, &QApplication::focusChanged,
                     [](QWidget *old, QWidget *) { clearAnnouncement(old); });
}

void refreshWindowNames()
{
    for (auto &[window, name] : windowNames())
        const_cast<QWidget *>(window)->setAccessibleName(name());
}

/// Brings a window's name up to date whenever the window is shown.
class WindowWatcher : public QObject
{
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto it = windowNames().find(static_cast<QWidget *>(object));
            if (it != windowNames().end())
                static_cast<QWidget *>(object)->setAccessibleName(it->second());
        }
        return false;
    }
};

} // namespace

namespace accessible {

void attach(QWidget *widget, Control *control)
{
    installFactory();
    widget->setProperty(controlKey, QVariant::fromValue(static_cast<void *>(control)));
}

void setName(Control &control, const QString &name)
{
    nameFunctions().erase(control.widget());
    control.widget()->setAccessibleName(name);
}

void setName(Control &control, std::function<QString()> name)
{
    QWidget *widget = control.widget();
    forgetOnDestroy(widget);
    nameFunctions()[widget] = std::move(name);
    widget->setAccessibleName(nameFunctions()[widget]());
}

void hide(Control &control)
{
    control.widget()->setProperty(hiddenKey, true);
}

QString name(const Control &control)
{
    const QWidget *widget = control.widget();
    if (!widget)
        return QString();
    if (const QString announced = widget->property(announcedNameKey).toString();
        !announced.isEmpty())
        return announced;
    if (auto it = nameFunctions().find(widget); it != nameFunctions().end())
        return it->second();
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    if (const Picture *picture = pictureOf(&control)) {
        if (picture->isVector()) {
            const QStringList lines = pageLines(*picture);
            return lines.isEmpty() ? QString() : lines.front();
        }
        return describePicture(picture->source());
    }
    return spoken(captionOf(&control));
}

QString description(const Control &control)
{
    return control.widget() ? control.widget()->accessibleDescription() : QString();
}

void nameWindow(Form &form, std::function<QString()> name)
{
    static WindowWatcher watcher;
    QWidget *window = form.host();
    if (windowNames().find(window) == windowNames().end()) {
        forgetOnDestroy(window);
        window->installEventFilter(&watcher);
    }
    windowNames()[window] = std::move(name);
    window->setAccessibleName(windowNames()[window]());
}

QString windowName(const Form &form)
{
    const QWidget *window = form.host();
    return window->accessibleName().isEmpty() ? window->windowTitle() : window->accessibleName();
}

QString describePicture(const QString &source)
{
    if (source.isEmpty())
        return QString();
    const QString key = pictureKey(source);
    const auto &table = descriptions();
    if (auto it = table.find(key); it != table.end())
        return it->second;
    for (const auto &[name, text] : table)
        if (name.endsWith(QLatin1Char('*')) && key.startsWith(name.chopped(1)))
            return text;
    return QString();
}

QStringList pageLines(const Picture &page)
{
    // A page's lines are worked out once for each loaded page.
    static QHash<QString, QStringList> cache;
    const QString key = page.source();
    if (!key.isEmpty()) {
        if (auto it = cache.constFind(key); it != cache.constEnd())
            return *it;
    }
    if (page.isNull())
        return {};
    const QSizeF twips = page.sizeTwips();
    const QSize size(std::max(1, int(twips.width() / 15)), std::max(1, int(twips.height() / 15)));
    TextDevice device(size);
    {
        QPainter painter(&device);
        page.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    const QStringList lines = readingOrder(device.engine().pieces);
    if (!key.isEmpty())
        cache.insert(key, lines);
    return lines;
}

void flush()
{
    Pending &p = pending();
    p.scheduled = false;
    QStringList spoken = p.texts;
    if (!p.readAloud.isEmpty()) {
        if (!spoken.isEmpty())
            spoken.removeFirst();
        spoken.prepend(p.readAloud);
        p.readAloud.clear();
    }
    // Reading aloud says what the screen reader hears, cutting off whatever it was saying.
    readaloud::say(spoken.join(QLatin1Char(' ')));
    if (p.texts.isEmpty()) {
        refreshWindowNames();
        return;
    }
    const QString text = p.texts.join(QLatin1Char(' '));
    const Through through = p.through;
    p.texts.clear();
    p.through = Through::description;
    watchFocus();
    // The record keeps the latest announcements only.
    log().append(text);
    if (log().size() > 200)
        log().removeFirst();

    // The window names first, so that a screen reader has the new page or question when it
    // speaks what was announced.
    refreshWindowNames();

    QWidget *target = QApplication::focusWidget();
    if (!target || !target->isVisible() || target->property(hiddenKey).toBool()) {
        Form *front = registry::front();
        target = front ? front->host() : nullptr;
    }
    if (!target)
        return;
    if (through == Through::name && controlOf(target) && !qobject_cast<QLineEdit *>(target)) {
        target->setProperty(announcedNameKey, text);
        sendNameChanged(target);
        return;
    }
    if (!target->property(announcedNameKey).toString().isEmpty()) {
        target->setProperty(announcedNameKey, QString());
        sendNameChanged(target);
    }
    target->setProperty(announcedKey, true);
    if (target->accessibleDescription() == text)
        sendDescriptionChanged(target);
    else
        target->setAccessibleDescription(text);
}

namespace {

void scheduleFlush()
{
    Pending &p = pending();
    if (!p.scheduled) {
        p.scheduled = true;
        QTimer::singleShot(0, [] { accessible::flush(); });
    }
}

} // namespace

void announce(const QString &text, Through through)
{
    Pending &p = pending();
    p.texts << text.trimmed();
    if (through == Through::name)
        p.through = Through::name;
    scheduleFlush();
}

void readAloud(const QString &text)
{
    // Nothing is gathered while reading aloud is off: the screen reader's step is unchanged.
    if (!readaloud::isOn())
        return;
    pending().readAloud = text.trimmed();
    scheduleFlush();
}

QString sentences(const QStringList &parts)
{
    QStringList said;
    for (QString part : parts) {
        part = part.simplified();
        if (part.isEmpty())
            continue;
        if (!QStringLiteral(".?!:;").contains(part.back()))
            part += QLatin1Char('.');
        said << part;
    }
    return said.join(QLatin1Char(' '));
}

QString spokenName(const QWidget *widget)
{
    const Control *control = controlOf(widget);
    if (!control || isPage(control))
        return QString();
    // A hidden control that takes the focus (a choice group's "none chosen yet") is said by
    // the name its screen gave it, if any.
    if (widget->property(hiddenKey).toBool() && !nameFunctions().count(widget))
        return QString();
    return name(*control);
}

const QStringList &announced()
{
    return log();
}

void captionChanged(QWidget *widget)
{
    sendNameChanged(widget);
}

void checkedChanged(QWidget *widget)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace accessible
