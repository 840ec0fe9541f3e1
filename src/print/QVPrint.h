// Printing the history, the search results or the memory: the printer check,
// the landscape question, the job with its progress and cancel. The output is
// a PrintTarget (a printer, a PDF file, a test recorder) and the progress a
// PrintProgress (the progress window, or nothing on the command line).
#pragma once

#include "print/PrintLayout.h"

#include <QString>
#include <QStringList>

class QPaintDevice;
class QPainter;
class QWidget;

namespace qv {

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // The device measured before the job begins, in the current orientation.
    virtual QPaintDevice *device() = 0;
    virtual bool landscape() const = 0;
    virtual void setLandscape(bool landscape) = 0;
    // The unprintable border of the paper, as reported for portrait.
    virtual PaperBorders portraitBorders() const = 0;
    // Begins the job under its title; the painter is active on the device
    // (its origin at the printable area) until end or abort. Null on failure.
    virtual QPainter *begin(const QString &title) = 0;
    virtual bool newPage() = 0;
    // The title of the page being printed (the spooler keeps the job's own).
    virtual void setPageTitle(const QString &) {}
    // Ends the job: true when the output is complete.
    virtual bool end() = 0;
    // Aborts the job: nothing reaches the printer or the file.
    virtual void abort() = 0;
};

class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    virtual void start(int pages, int lines) = 0;
    virtual void setPage(int page) = 0;
    virtual void setLine(int line) = 0;
    // Asked after every row; true once the user cancelled.
    virtual bool cancelled() = 0;
    virtual void finish() = 0;
};

enum class PrintResult {
    Printed,
    Declined,   // the user answered the width question with Cancel or No
    Cancelled,  // cancelled while printing: nothing was output
    Failed,     // the output could not be begun or completed
};

// The caption of the program's print questions.
QString PrintCaption();

// Prints the rows onto the target: widths, the landscape question (owner is
// the questions' owner), paging, progress (may be null). The orientation is
// given back to portrait when the question switched it.
PrintResult PrintTable(const PrintRows &rows, PrintTarget &target, PrintProgress *progress, QWidget *owner);

// The printer check: false, after a message, when no printer is installed
// (the message then points to the PDF export) or the printer is busy.
bool CheckPrinter(QWidget *owner, const QStringList &printers, bool busy);

} // namespace qv
