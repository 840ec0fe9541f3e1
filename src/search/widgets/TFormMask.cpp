#include "search/widgets/TFormMask.h"

#include "search/SearchCriterion.h"

#include <QPainter>

namespace qv {

namespace {
const QColor LightYellow(0xFF, 0xFF, 0xE0);
} // namespace

TFormMask::TFormMask(QWidget *owner, uint8_t language) : QWidget(owner, Qt::Tool)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("FormMask"));
    setWindowTitle(language == 0 ? QStringLiteral("Operatory wyszukiwania") : QStringLiteral("Search operators"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, LightYellow);
    setPalette(pal);

    m_symbolFont = QFont(QStringLiteral("DejaVu Sans"));
    m_symbolFont.setBold(true);
    m_symbolFont.setPointSize(8);
    m_textFont = font();
    m_textFont.setPointSize(8);
    const QFontMetrics sm(m_symbolFont), tm(m_textFont);
    int count = 0;
    const OperatorDescription *rows = OperatorDescriptions(count);
    for (int i = 0; i < count; ++i) {
        m_symbolWidth = std::max(m_symbolWidth, sm.horizontalAdvance(SymbolGlyphs(rows[i].symbol)));
        m_descriptionWidth = std::max(m_descriptionWidth, tm.horizontalAdvance(QLatin1String(rows[i].description)));
    }
    m_rowHeight = tm.height() + 4;
    setFixedSize(m_symbolWidth + m_descriptionWidth + 2 * Border, count * m_rowHeight + 2 * Border);
}

TFormMask::~TFormMask()
{
    if (OnDestroy)
        OnDestroy(pos());
}

void TFormMask::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), LightYellow);
    p.setPen(palette().color(QPalette::WindowText));
    int count = 0;
    const OperatorDescription *rows = OperatorDescriptions(count);
    for (int i = 0; i < count; ++i) {
        const int y = Border + i * m_rowHeight;
        p.setFont(m_symbolFont);
        p.drawText(QRect(Border, y, m_symbolWidth, m_rowHeight), Qt::AlignCenter, SymbolGlyphs(rows[i].symbol));
        p.setFont(m_textFont);
        p.drawText(QRect(Border + m_symbolWidth, y, m_descriptionWidth, m_rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QLatin1String(rows[i].description));
    }
}

QPoint FirstMaskPosition(const QRect &owner, const QSize &window, const QRect &workArea)
{
    int left = std::max(owner.left(), owner.left() + (owner.width() - window.width()) / 2);
    int top = owner.top() + (owner.height() - window.height()) / 2;
    if (left + window.width() > workArea.right() + 1)
        left = workArea.right() + 1 - window.width();
    if (top + window.height() > workArea.bottom() + 1)
        top = workArea.bottom() + 1 - window.height();
    left = std::max(left, workArea.left());
    top = std::max(top, workArea.top());
    return {left, top};
}

} // namespace qv
