#include "print/PrinterTarget.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>

namespace qv {

PrinterTarget::PrinterTarget(QPrinter &printer) : m_printer(printer) {}

PrinterTarget::~PrinterTarget()
{
    if (m_painter.isActive())
        abort();
}

bool PrinterTarget::toPdf(const QString &path)
{
    const QFileInfo info(path);
    m_temp = std::make_unique<QTemporaryFile>(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                              QStringLiteral(".XXXXXX"));
    if (!m_temp->open()) {
        m_error = QStringLiteral("%1: %2").arg(path, m_temp->errorString());
        m_temp.reset();
        return false;
    }
    m_temp->close();
    m_pdfPath = info.absoluteFilePath();
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(m_temp->fileName());
    return true;
}

QPaintDevice *PrinterTarget::device()
{
    return &m_printer;
}

bool PrinterTarget::landscape() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape;
}

void PrinterTarget::setLandscape(bool landscape)
{
    m_printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PaperBorders PrinterTarget::portraitBorders() const
{
    QPageLayout layout = m_printer.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const int dpi = m_printer.resolution();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    return PaperBorders{paint.left() - full.left(), paint.top() - full.top(), full.right() - paint.right(),
                        full.bottom() - paint.bottom()};
}

QPainter *PrinterTarget::begin(const QString &title)
{
    m_printer.setDocName(title);
    if (!m_painter.begin(&m_printer)) {
        m_error = QStringLiteral("the printout could not be started");
        return nullptr;
    }
    return &m_painter;
}

bool PrinterTarget::newPage()
{
    return m_printer.newPage();
}

bool PrinterTarget::end()
{
    const bool ended = m_painter.end();
    if (!m_temp)
        return ended;
    if (!ended || std::rename(QFile::encodeName(m_temp->fileName()).constData(),
                              QFile::encodeName(m_pdfPath).constData()) != 0) {
        m_error = QStringLiteral("%1: the PDF file could not be written").arg(m_pdfPath);
        return false;
    }
    m_temp->setAutoRemove(false);
    return true;
}

void PrinterTarget::abort()
{
    // A PDF job cannot be aborted by the engine: its file is dropped instead.
    if (!m_temp)
        m_printer.abort();
    if (m_painter.isActive())
        m_painter.end();
    if (m_temp)
        m_temp->remove();
}

} // namespace qv
