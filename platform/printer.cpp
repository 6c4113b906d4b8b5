// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/printer.h"

#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/msgbox.h"
#include "platform/picture.h"
#include "platform/textfile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

PrinterFactory &factory()
{
    static PrinterFactory f;
    return f;
}

QString s_pdfFolder;
QString s_fallbackFolder;
QString s_documentName = QStringLiteral("document");

/// A job drawn with QPainter on a paged device (a printer or a PDF file), in twips from the
/// top-left corner of the printable area.
class PainterPrinter : public PrinterState
{
public:
    /// A job on a device; a PDF job draws into the buffer and saves it to pdfPath at the end.
    PainterPrinter(std::unique_ptr<QPagedPaintDevice> device, QPrinter *printer,
                   std::unique_ptr<QBuffer> buffer = nullptr, const QString &pdfPath = QString(),
                   bool keepOthers = false)
        : m_buffer(std::move(buffer)), m_pdfPath(pdfPath), m_keepOthers(keepOthers),
          m_device(std::move(device)), m_printer(printer)
    {
        m_scale = m_device->logicalDpiX() / 1440.0;
    }

    ~PainterPrinter() override
    {
        if (m_painter.isActive()) {
            if (m_printer)
                m_printer->abort();
            m_painter.end();
        }
    }

    double scaleWidth() const override { return m_device->width() / m_scale; }
    double scaleHeight() const override { return m_device->height() / m_scale; }

    double textWidth(const QString &text) const override
    {
        return QFontMetricsF(font(), m_device.get()).horizontalAdvance(text) / m_scale;
    }
    double textHeight() const override
    {
        return QFontMetricsF(font(), m_device.get()).height() / m_scale;
    }

    void print(const QString &text, bool endLine) override
    {
        begin();
        const double lineHeight = textHeight();
        if (m_y + lineHeight > scaleHeight() && m_y > 0) {
            newPage();
            m_y = 0;
        }
        m_painter.setFont(font());
        m_painter.setPen(m_color);
        const double ascent = QFontMetricsF(font(), m_device.get()).ascent();
        m_painter.drawText(QPointF(m_x * m_scale, m_y * m_scale + ascent), text);
        if (endLine) {
            m_x = 0;
            m_y += lineHeight;
        } else {
            m_x += textWidth(text);
        }
    }


    void line(double x1, double y1, double x2, double y2, const QColor &color) override
    {
        begin();
        QPen pen(color);
        pen.setWidthF(m_drawWidth);
        m_painter.setPen(pen);
        m_painter.drawLine(QPointF(x1, y1) * m_scale, QPointF(x2, y2) * m_scale);
    }

    void paintPicture(const Picture &picture, double x, double y) override
    {
        begin();
        if (picture.isNull())
            return;
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        picture.draw(m_painter, QRectF(QPointF(x, y) * m_scale, picture.sizeTwips() * m_scale));
        m_painter.restore();
    }

    void endDoc() override
    {
        if (!m_painter.isActive())
            return;
        if (!m_painter.end())
            throw ProgramError(QStringLiteral("The printer could not finish the document."));
        if (m_printer && m_printer->printerState() == QPrinter::Error)
            throw ProgramError(QStringLiteral("The printer reported an error."));
        if (m_buffer)
            savePdf();
    }

    QString savedTo() const override { return m_savedTo; }

private:
    QFont font() const { return deviceFont(m_face, m_points); }

    void begin()
    {
        if (m_painter.isActive())
            return;
        if (!m_painter.begin(m_device.get()))
            throw ProgramError(QStringLiteral("The printer could not start the document."));
    }

    /// Writes the finished PDF under the first free name, every byte checked, and looks at
    /// the file afterwards: the PDF writer itself reports success whatever happened.
    void savePdf()
    {
        const QByteArray bytes = m_buffer->data();
        if (!bytes.startsWith("%PDF"))
            throw ProgramError(QStringLiteral("The PDF file could not be made."));
        const QFileInfo wanted(m_pdfPath);
        QString path = m_pdfPath;
        if (!m_keepOthers)
            replaceFile(path, bytes);
        for (int n = 2; m_keepOthers && !createNewFile(path, bytes); ++n) {
            if (n > 1000)
                throw ProgramError(QStringLiteral("No free name for the PDF file was found."));
            path = wanted.dir().filePath(QStringLiteral("%1 (%2).%3")
                                             .arg(wanted.completeBaseName())
                                             .arg(n)
                                             .arg(wanted.suffix()));
        }
        if (QFileInfo(path).size() != bytes.size()) {
            QFile::remove(path);
            throw FileError(FileError::Damaged,
                            QStringLiteral("The PDF file was not written whole"));
        }
        m_savedTo = path;
    }

    void newPage()
    {
        if (!m_device->newPage())
            throw ProgramError(QStringLiteral("The printer could not start a new page."));
    }

    std::unique_ptr<QBuffer> m_buffer; ///< outlives the PDF writer that draws into it
    QString m_pdfPath;
    bool m_keepOthers;
    QString m_savedTo;
    std::unique_ptr<QPagedPaintDevice> m_device;
    QPrinter *m_printer;
    QPainter m_painter;
    double m_scale;
};

} // namespace

std::unique_ptr<PrinterDevice> openPrinter()
{
    if (factory())
        return factory()();
    if (!s_pdfFolder.isEmpty())
        return openPdfPrinter(pdfFileName(s_pdfFolder, s_documentName), true);
    return openSystemPrinter();
}

bool printDocument(const QString &what, const std::function<void(PrinterDevice &)> &draw)
{
    s_documentName = what;
    try {
        auto printer = openPrinter();
        draw(*printer);
        printer->endDoc();
        return true;
    } catch (const std::exception &) {
        MsgBox(QStringLiteral("There was a problem printing to your printer."), vbOKOnly);
    }
    if (s_fallbackFolder.isEmpty())
        return false;
    // Nothing the pupil made is lost: the document goes to a PDF file instead.
    try {
        if (!QDir().mkpath(s_fallbackFolder))
            throw ProgramError(QStringLiteral("The folder cannot be made."));
        auto pdf = openPdfPrinter(pdfFileName(s_fallbackFolder, what), true);
        draw(*pdf);
        pdf->endDoc();
        MsgBox(QStringLiteral("A copy has been saved as a PDF file instead:\n") +
                   QDir::toNativeSeparators(pdf->savedTo()),
               vbOKOnly);
    } catch (const FileError &e) {
        QString cause = e.cause();
        cause[0] = cause[0].toLower();
        MsgBox(QStringLiteral("A PDF copy could not be saved in the folder \"%1\" either: %2. "
                              "Nothing was left there.")
                   .arg(QDir::toNativeSeparators(s_fallbackFolder), cause),
               vbOKOnly);
    } catch (const std::exception &) {
        MsgBox(QStringLiteral("A PDF copy could not be saved in the folder \"%1\" either.")
                   .arg(QDir::toNativeSeparators(s_fallbackFolder)),
               vbOKOnly);
    }
    return false;
}

void setPrintToPdfFolder(const QString &folder)
{
    s_pdfFolder = folder;
}

void setFallbackPdfFolder(const QString &folder)
{
    s_fallbackFolder = folder;
}

QString pdfFileName(const QString &folder, const QString &what)
{
    const QString stem =
        QStringLiteral("Habitara ") + what + QLatin1Char(' ') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(stem + QStringLiteral(" (%1).pdf").arg(n));
    return path;
}

void setPrinterFactory(PrinterFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<PrinterDevice> openSystemPrinter()
{
    // Without this check a printer-less machine silently produces a nameless PDF job.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw ProgramError(QStringLiteral("There is no printer."));
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid())
        throw ProgramError(
            QStringLiteral("The printer %1 cannot be used.").arg(info.printerName()));
    printer->setDocName(QStringLiteral("Habitara"));
    QPrinter *raw = printer.get();
    return std::make_unique<PainterPrinter>(std::move(printer), raw);
}

std::unique_ptr<PrinterDevice> openPdfPrinter(const QString &path, bool keepOthers)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::WriteOnly);
    auto writer = std::make_unique<QPdfWriter>(buffer.get());
    writer->setResolution(1200);
    writer->setPageSize(QPageSize(QPageSize::A4));
    writer->setPageMargins(QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
    writer->setCreator(QStringLiteral("Habitara"));
    writer->setTitle(QStringLiteral("Habitara"));
    return std::make_unique<PainterPrinter>(std::move(writer), nullptr, std::move(buffer), path,
                                            keepOthers);
}
