#include "app/AutosaveList.h"

#include "history/HistoryCapture.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace qv {

namespace {
class ItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QString text = index.data().toString();
        p->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        if (!(option.state & QStyle::State_Enabled))
            ink = option.palette.color(QPalette::Disabled, QPalette::Text);
        else if (!selected && text.contains(QLatin1String("OFF")))
            ink = Qt::red;
        p->setPen(ink);
        p->drawText(option.rect, Qt::AlignCenter, text);
    }
};
} // namespace

AutosaveList::AutosaveList(uint8_t language, QWidget *parent) : QComboBox(parent), m_language(language)
{
    setObjectName(QStringLiteral("CBAutoInsert"));
    for (int i = 0; i < AutosaveChoices; ++i)
        addItem(AutosaveItemText(language, i));
    setItemDelegate(new ItemDelegate(this));
    setMaxVisibleItems(AutosaveChoices);
}

void AutosaveList::setCustomSeconds(uint32_t seconds)
{
    m_seconds = seconds;
    update();
}

QString AutosaveList::fieldText() const
{
    if (currentIndex() == AutosaveSetTime)
        return IntervalText(m_language, m_seconds);
    return currentText();
}

void AutosaveList::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QString text = fieldText();
    QColor ink = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    if (isEnabled() && text.contains(QLatin1String("OFF")))
        ink = Qt::red;
    p.setPen(ink);
    p.drawText(field, Qt::AlignCenter, text);
}

void AutosaveList::hidePopup()
{
    QComboBox::hidePopup();
    if (onCloseUp)
        onCloseUp();
}

QPixmap SyncGlyphPixmap()
{
    QPixmap glyph(8, 8);
    glyph.fill(QColor(0, 128, 0));
    return glyph;
}

} // namespace qv
