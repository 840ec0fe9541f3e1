// TQVMeter32: operating the meter. On-screen keys, the PC keys that stand for
// them, typed characters for the meter's entry fields, clicks on menu lines
// of the LCD picture, and the hint of the PC key under the mouse.
#include "instrument/QVMeter32.h"

#include "instrument/PcKeys.h"
#include "instrument/QVStatusBar.h"

#include <QKeyEvent>

namespace qv {

void TQVMeter32::PressKey(MeterKey key)
{
    m_core->pressKey(key);
    returnFocus();
}

void TQVMeter32::keyPressEvent(QKeyEvent *event)
{
    const auto held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const ScreenRecords &rec = m_core->records();
    if (!held) {
        // Straight to the meter: the keyboard works the service screen too,
        // and an auto-repeat that finds the queue full is dropped.
        if (const auto key = pcKeyToMeterKey(event->key(), rec.screen(), rec.frameType())) {
            m_comm->SendKey(keyCommand(*key));
            event->accept();
            return;
        }
    }
    const bool typing = !(held & (Qt::ControlModifier | Qt::AltModifier)) && event->text().size() == 1;
    if (typing) {
        if (const auto ch = acceptedChar(event->text().at(0), m_core->entry())) {
            m_typer->typeChar(*ch);
            returnFocus();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TQVMeter32::event(QEvent *event)
{
    // A PC key that stands for a meter key is the instrument's before it is
    // any window's shortcut: F1 is MODE here and the help elsewhere.
    if (event->type() == QEvent::ShortcutOverride && m_core) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const ScreenRecords &rec = m_core->records();
        if (!(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) &&
            pcKeyToMeterKey(key->key(), rec.screen(), rec.frameType())) {
            event->accept();
            return true;
        }
    }
    // While the meter takes characters, Tab is the instrument's, not the
    // dialog's way to the next control: taken even when it types nothing, so
    // that no parent moves the focus with it.
    if (event->type() == QEvent::KeyPress && m_core && m_core->entry().active &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Tab) {
        keyPressEvent(static_cast<QKeyEvent *>(event));
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TQVMeter32::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    QWidget::mousePressEvent(event);
}

void TQVMeter32::mouseDoubleClickEvent(QMouseEvent *event)
{
    setFocus();
    QWidget::mouseDoubleClickEvent(event);
}

void TQVMeter32::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    redrawKeyHint();
    if (OnEnter)
        OnEnter();
}

void TQVMeter32::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    redrawKeyHint();
    if (OnExit)
        OnExit();
}

void TQVMeter32::lcdClicked(QPointF at)
{
    setFocus();
    if (const auto key = m_selection.click(m_core->records().screen(), at.x(), at.y(), m_clock.ticks()))
        PressKey(*key);
}

void TQVMeter32::lcdDoubleClicked(QPointF)
{
    setFocus();
    if (const auto key = m_selection.doubleClick(m_core->records().screen()))
        PressKey(*key);
}

void TQVMeter32::continueSelection()
{
    if (const auto key = m_selection.continueOn(m_core->records().screen(), m_clock.ticks()))
        PressKey(*key);
}

void TQVMeter32::keyHover(MeterKey key, bool entered)
{
    const int cell = hintCell(key);
    if (entered && cell >= 0 && hasFocus() && realPortSelected() && m_comm->IsOpen())
        m_statusBar->showHint(cell, false);
    else
        redrawKeyHint();
}

void TQVMeter32::redrawKeyHint()
{
    if (m_statusBar)
        m_statusBar->showHint(-1, hasFocus() && realPortSelected() && m_comm->IsOpen());
}

} // namespace qv
