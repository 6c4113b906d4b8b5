// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

class Picture;

/// A print job measured in twips, with the operations the printing routines use: a current
/// font and colour, a print position (CurrentX, CurrentY) that printed text advances, and lines
/// and pictures drawn at given positions. Text past the bottom of a page continues on a new page.
/// Any failure throws ProgramError. A job that is destroyed before endDoc is abandoned.
class PrinterDevice
{
public:
    virtual ~PrinterDevice() = default;

    virtual void setFontName(const QString &face) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setForeColor(const QColor &color) = 0;
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    /// The printable area in twips.
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    virtual double textWidth(const QString &text) const = 0;
    virtual double textHeight() const = 0;
    /// Prints at the position; ending the line moves to the left edge one line lower, staying
    /// on the line moves the position past the text.
    virtual void print(const QString &text, bool endLine = true) = 0;
    virtual void setDrawWidth(int width) = 0;
    virtual void line(double x1, double y1, double x2, double y2, const QColor &color) = 0;
    /// Draws a picture unscaled with its top-left corner at (x, y).
    virtual void paintPicture(const Picture &picture, double x, double y) = 0;
    virtual void endDoc() = 0;
    /// Where a job that writes a file put it, once endDoc has run; empty for a printer.
    virtual QString savedTo() const { return QString(); }
};

/// A job's state kept as every job keeps it: the current font, colour, line width and print
/// position.
class PrinterState : public PrinterDevice
{
public:
    void setFontName(const QString &face) override { m_face = face; }
    void setFontSize(double points) override { m_points = points; }
    void setForeColor(const QColor &color) override { m_color = color; }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    void setDrawWidth(int width) override { m_drawWidth = width; }

protected:
    QString m_face = QStringLiteral("Arial");
    double m_points = 12;
    QColor m_color{0, 0, 0};
    double m_x = 0, m_y = 0;
    int m_drawWidth = 1;
};

/// Opens a job on the printer in use: the system's default printer unless a test or the user
/// chose another. Throws ProgramError when there is no printer.
std::unique_ptr<PrinterDevice> openPrinter();

/// Prints a document: draw() runs on a job of the printer in use and returns true once it has
/// printed. When printing fails it says "There was a problem printing to your printer." and,
/// where a fallback folder is set, draws the document once more into a PDF file there and says
/// where it is. `what` names the document in a file name ("certificate").
bool printDocument(const QString &what, const std::function<void(PrinterDevice &)> &draw);

/// Sends every print job to a new PDF file in this folder instead of the printer; an empty
/// folder returns to the printer.
void setPrintToPdfFolder(const QString &folder);
/// Where a document that could not be printed is saved as a PDF; an empty folder saves nothing.
void setFallbackPdfFolder(const QString &folder);
/// A new file name in the folder for a document, such as "Habitara certificate 2026-12-06
/// 14.05.09.pdf"; a number is added when that name is taken.
QString pdfFileName(const QString &folder, const QString &what);

using PrinterFactory = std::function<std::unique_ptr<PrinterDevice>()>;
/// Replaces the printer (tests install a recorder or a PDF file); an empty factory returns to
/// the system's default printer.
void setPrinterFactory(PrinterFactory factory);

/// A job on the system's default printer through Qt PrintSupport.
std::unique_ptr<PrinterDevice> openSystemPrinter();
/// A job that writes a PDF file at path when it ends, whole or not at all, checked to its last
/// byte. A file already there is replaced; with keepOthers it is kept, and the job takes the
/// next free name, "name (2).pdf" and onwards.
std::unique_ptr<PrinterDevice> openPdfPrinter(const QString &path, bool keepOthers = false);
