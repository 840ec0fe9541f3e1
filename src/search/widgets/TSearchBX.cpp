#include "search/widgets/TSearchBX.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace qv {

namespace {

// A font that has the operator glyphs (the classic symbol font's ×, ≠, ≤ ...).
QFont symbolFont(int pointSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPointSize(pointSize);
    return f;
}

bool appActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

// The operators drop down in rows of one fixed height: background filled,
// the symbol 2 pixels in from the left.
class OperatorItemDelegate : public QStyledItemDelegate {
public:
    OperatorItemDelegate(const int &height, QObject *parent) : QStyledItemDelegate(parent), m_height(height) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(option.font);
        p->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
    }

private:
    const int &m_height;
};

} // namespace

TSearchBX::TSearchBX(QWidget *owner) : QWidget(owner)
{
    setFocusPolicy(Qt::NoFocus);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    OperatorList = new QComboBox(this);
    OperatorList->setEditable(false);
    OperatorList->setFont(symbolFont(8));
    OperatorList->setFrame(false);
    OperatorList->setItemDelegate(new OperatorItemDelegate(m_itemHeight, OperatorList));
    OperatorList->installEventFilter(this);
    ValueEdit = new QLineEdit(this);
    ValueEdit->setFrame(false);
    ValueEdit->installEventFilter(this);
    setTabOrder(OperatorList, ValueEdit);
    connect(OperatorList, qOverload<int>(&QComboBox::activated), this, [this](int) { listChanged(); });

    m_itemHeight = QFontMetrics(OperatorList->font()).height();
    resize(80, 2 * m_itemHeight + 12);
    layOut();
    setStyle(ssText);
}

int TSearchBX::Index() const
{
    return OperatorList->currentIndex();
}

QByteArray TSearchBX::OperatorBytes() const
{
    return OperatorList->currentData().toByteArray();
}

void TSearchBX::setIndex(int index)
{
    if (index < 0 || index >= OperatorList->count())
        return;
    PrevIndex = Index();
    OperatorList->setCurrentIndex(index);
    listChanged();
}

void TSearchBX::setStyle(TSearchStyle style)
{
    m_style = style;
    FillOperators();
    TextDefault = style == ssLongint || style == ssReal ? QStringLiteral("0") : QString();
    ValueEdit->setText(TextDefault);
    Validate();
    TextDefault = ValueEdit->text();
    // With no operator the edit shows nothing.
    if (Index() == 0)
        ValueEdit->clear();
}

void TSearchBX::FillOperators()
{
    OperatorList->clear();
    for (int i = 0; i < OperatorCount(m_style); ++i) {
        const QByteArray bytes = OperatorSymbol(m_style, i);
        OperatorList->addItem(SymbolGlyphs(bytes), bytes);
    }
    OperatorList->setMaxVisibleItems(OperatorList->count());
    OperatorList->setCurrentIndex(0);
    ValueEdit->setReadOnly(true);
    ValueEdit->setEnabled(false);
    ShowValue();
}

void TSearchBX::ShowValue()
{
    if (Index() > 0)
        ValueEdit->setText(TextDefault);
    else
        ValueEdit->clear();
    if (Index() != PrevIndex)
        Validate();
}

void TSearchBX::listChanged()
{
    ShowValue();
    PrevIndex = Index();
    const bool off = Index() == 0;
    ValueEdit->setReadOnly(off);
    ValueEdit->setEnabled(!off);
    if (appActive() && ValueEdit->isEnabled() && ValueEdit->isVisible())
        ValueEdit->setFocus(Qt::OtherFocusReason);
}

void TSearchBX::Validate()
{
    TResult result = Result;
    const Validated v = ValidateText(m_style, ValueEdit->text(), result);
    if (!v.ok) {
        ValueEdit->setText(EntryText);
        beep();
        return;
    }
    Result = result;
    const int index = Index();
    if (index > 0)
        ValueEdit->setText(v.text);
    if (OnChange && ((ValueEdit->text() != EntryText && index != 0) || index != PrevIndex))
        OnChange(this, Result);
}

void TSearchBX::editExit()
{
    ValueEdit->deselect();
    if (Index() == 0)
        ValueEdit->clear();
    Validate();
    if (!ValueEdit->text().isEmpty() && Index() > 0)
        TextDefault = ValueEdit->text();
}

void TSearchBX::beep()
{
    if (OnBeep)
        OnBeep();
    else
        QApplication::beep();
}

bool TSearchBX::eventFilter(QObject *watched, QEvent *event)
{
    const bool list = watched == OperatorList;
    if (!list && watched != ValueEdit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!m_focusInside) {
            m_focusInside = true;
            if (OnEnter)
                OnEnter(this);
        }
        if (list)
            PrevIndex = Index();
        else
            EntryText = ValueEdit->text();
        break;
    case QEvent::FocusOut: {
        const QWidget *now = QApplication::focusWidget();
        m_focusInside = now && isAncestorOf(now);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Switching to another window or opening the list's popup is no exit.
        if (!list && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            editExit();
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(list && OperatorList->view()->isVisible())) {
            // On to the next control, as Tab goes.
            auto *target = static_cast<QWidget *>(watched);
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TSearchBX::focusListFromClick()
{
    if (OperatorList->hasFocus() || ValueEdit->hasFocus())
        return;
    if (OperatorList->isEnabled() && OperatorList->isVisible() && appActive())
        OperatorList->setFocus(Qt::MouseFocusReason);
}

void TSearchBX::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        focusListFromClick();
    QWidget::mousePressEvent(event);
}

void TSearchBX::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        focusListFromClick();
    QWidget::mouseDoubleClickEvent(event);
}

void TSearchBX::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fontChanged();
}

void TSearchBX::fontChanged()
{
    if (!OperatorList)
        return;
    // The parts follow the box's size; the item height is the height of "0".
    const int size = font().pointSize();
    QFont lf = OperatorList->font();
    lf.setPointSize(size);
    OperatorList->setFont(lf);
    QFont ef = ValueEdit->font();
    ef.setPointSize(size);
    ValueEdit->setFont(ef);
    m_itemHeight = QFontMetrics(font()).height();
    layOut();
}

void TSearchBX::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void TSearchBX::layOut()
{
    if (m_laying || !OperatorList)
        return;
    m_laying = true;
    // The edit a pixel over the list's lower edge, half of the box each.
    const int editHeight = m_itemHeight + 6;
    const int h = m_itemHeight + 6 + editHeight;
    if (height() != h)
        resize(width(), h);
    setFixedHeight(h);
    OperatorList->setGeometry(0, 0, width(), h - h / 2);
    ValueEdit->setGeometry(0, m_itemHeight + 5, width(), h / 2);
    m_laying = false;
}

int TSearchBX::neededWidth() const
{
    // The widest operator with the list's arrow, and the value as typed.
    const QFontMetrics lm(OperatorList->font());
    int symbols = 0;
    for (int i = 0; i < OperatorList->count(); ++i)
        symbols = std::max(symbols, lm.horizontalAdvance(OperatorList->itemText(i)));
    const int arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int value = QFontMetrics(ValueEdit->font()).horizontalAdvance(ValueEdit->text()) + 8;
    return std::max(symbols + arrow + 8, Index() > 0 ? value : 0);
}

} // namespace qv
