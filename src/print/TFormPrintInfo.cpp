#include "print/TFormPrintInfo.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace qv {

TFormPrintInfo::TFormPrintInfo(QWidget *owner, int pages, int lines)
    : QDialog(owner), m_pages(std::max(1, pages)), m_lines(std::max(1, lines))
{
    setWindowTitle(QStringLiteral("QV-7xx"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Preparing for printing..."), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    m_page = new QLabel(this);
    layout->addWidget(m_page);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, m_lines);
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setFixedSize(81, 27);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel = true; });
    setPage(1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (owner) {
        QRect r = rect();
        r.moveCenter(owner->window()->geometry().center());
        if (QScreen *screen = owner->screen()) {
            const QRect work = screen->availableGeometry();
            r.moveLeft(std::clamp(r.left(), work.left(), std::max(work.left(), work.right() - r.width())));
            r.moveTop(std::clamp(r.top(), work.top(), std::max(work.top(), work.bottom() - r.height())));
        }
        move(r.topLeft());
    }
}

void TFormPrintInfo::setPage(int page)
{
    m_page->setText(QStringLiteral("Page:  %1 / %2").arg(std::clamp(page, 1, m_pages)).arg(m_pages));
}

void TFormPrintInfo::setLine(int line)
{
    m_bar->setValue(std::clamp(line, 0, m_lines));
}

PrintInfoProgress::~PrintInfoProgress()
{
    finish();
}

void PrintInfoProgress::start(int pages, int lines)
{
    m_form = new TFormPrintInfo(m_owner, pages, lines);
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    m_form->show();
    m_sinceEvents.start();
    QApplication::processEvents();
}

void PrintInfoProgress::setPage(int page)
{
    if (m_form)
        m_form->setPage(page);
}

void PrintInfoProgress::setLine(int line)
{
    if (m_form)
        m_form->setLine(line);
}

bool PrintInfoProgress::cancelled()
{
    if (!m_form)
        return false;
    if (m_sinceEvents.elapsed() >= 50) {
        QApplication::processEvents();
        m_sinceEvents.restart();
    }
    return m_form->Cancel;
}

void PrintInfoProgress::finish()
{
    if (m_form)
        m_form->close();
    m_form = nullptr;
}

} // namespace qv
