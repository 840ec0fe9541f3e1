// A QPrinter as the output of a printout: the system's printer, or a PDF file
// that appears whole under its name only when the job ends (an aborted or
// failed job leaves the old file, or none, behind).
#pragma once

#include "print/QVPrint.h"

#include <QPainter>
#include <QString>

#include <memory>

class QPrinter;
class QTemporaryFile;

namespace qv {

class PrinterTarget : public PrintTarget {
public:
    // Prints on `printer` (left as it is found, but for the orientation the
    // printout may change for its job).
    explicit PrinterTarget(QPrinter &printer);
    ~PrinterTarget() override;

    // Prints into a PDF file at `path` instead, through a temporary file in
    // the same folder. False when that file cannot be made.
    bool toPdf(const QString &path);
    QString error() const { return m_error; }

    QPaintDevice *device() override;
    bool landscape() const override;
    void setLandscape(bool landscape) override;
    PaperBorders portraitBorders() const override;
    QPainter *begin(const QString &title) override;
    bool newPage() override;
    bool end() override;
    void abort() override;

private:
    QPrinter &m_printer;
    QPainter m_painter;
    QString m_pdfPath;
    std::unique_ptr<QTemporaryFile> m_temp;
    QString m_error;
};

} // namespace qv
