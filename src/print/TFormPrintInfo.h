// The progress window of a printout: the page and line being printed and a
// Cancel button. It lets window events run every 50 ms while the job asks
// whether it was cancelled, which is when Cancel can be pressed.
#pragma once

#include "print/QVPrint.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace qv {

class TFormPrintInfo : public QDialog {
public:
    TFormPrintInfo(QWidget *owner, int pages, int lines);

    void setPage(int page);
    void setLine(int line);
    bool Cancel = false;

private:
    int m_pages, m_lines;
    QLabel *m_page;
    QProgressBar *m_bar;
};

// The progress of a printout shown in a TFormPrintInfo owned by `owner`.
class PrintInfoProgress : public PrintProgress {
public:
    explicit PrintInfoProgress(QWidget *owner) : m_owner(owner) {}
    ~PrintInfoProgress() override;
    void start(int pages, int lines) override;
    void setPage(int page) override;
    void setLine(int line) override;
    bool cancelled() override;
    void finish() override;
    TFormPrintInfo *form() const { return m_form; }

private:
    QWidget *m_owner;
    TFormPrintInfo *m_form = nullptr;
    QElapsedTimer m_sinceEvents;
};

} // namespace qv
