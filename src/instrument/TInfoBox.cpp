#include "instrument/TInfoBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace qv {

namespace {

constexpr int ColumnWidth = 156;
constexpr int IndentPx = 8;
// Marks a label cell whose text runs on into the value column.
constexpr int WideLabelRole = Qt::UserRole + 1;

// Draws the cells as plain text over the grid's colour: no selection, no
// focus frame; the labels that run on (the luminance rows) are drawn across
// both columns, everything else within its own cell.
class InfoCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            return;
        QRect rect = option.rect;
        int align = index.data(Qt::TextAlignmentRole).toInt();
        // Wide labels take both columns (the luminance rows bring their own
        // indent); other names drawn from the left start a little in.
        if (index.data(WideLabelRole).toBool())
            rect.setWidth(2 * ColumnWidth);
        else if (align & Qt::AlignLeft)
            rect.adjust(IndentPx, 0, 0, 0);
        painter->save();
        painter->setClipRect(rect);
        painter->setFont(index.data(Qt::FontRole).value<QFont>());
        painter->setPen(option.palette.color(QPalette::WindowText));
        painter->drawText(rect, align | Qt::TextSingleLine, text);
        painter->restore();
    }
};

} // namespace

TInfoBox::TInfoBox(QWidget *owner, uint8_t language) : QDialog(owner)
{
    setObjectName(QStringLiteral("InfoBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(333, 324);
    setWindowTitle(language == 1 ? QStringLiteral("Meter info")
                                 : QStringLiteral("Informacje o mierniku"));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 313, 233);

    SG = new QTableWidget(0, 2, panel);
    SG->setGeometry(panel->contentsRect());
    SG->setFrameShape(QFrame::NoFrame);
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->setShowGrid(false);
    SG->setSelectionMode(QAbstractItemView::NoSelection);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setFocusPolicy(Qt::NoFocus);
    SG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG->setColumnWidth(0, ColumnWidth);
    SG->setColumnWidth(1, ColumnWidth);
    QPalette pal = SG->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    SG->setPalette(pal);
    SG->setItemDelegate(new InfoCellDelegate(SG));
    SG->verticalHeader()->setMinimumSectionSize(1);
    SG->verticalHeader()->setDefaultSectionSize(SG->fontMetrics().height() + 2);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    QFont bold = OKBtn->font();
    bold.setBold(true);
    OKBtn->setFont(bold);
    OKBtn->setGeometry(129, 258, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TInfoBox::Fill(uint8_t language, const TDataInfoQV &info, const TInfoMeterQV &meter)
{
    const bool ctrlHeld = QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    m_rows = buildInfoRows(language, info, meter, ctrlHeld);

    QFont plain = SG->font();
    QFont bold = plain;
    bold.setBold(true);
    SG->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const InfoRow &row = m_rows[size_t(r)];
        const QString texts[2] = {row.label, row.value};
        for (int c = 0; c < 2; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            item->setFlags(Qt::ItemIsEnabled);
            item->setFont(row.bold ? bold : plain);
            const bool fromLeft = c == 0 && (row.leftAligned || row.wideLabel);
            item->setTextAlignment(Qt::AlignVCenter | (fromLeft ? Qt::AlignLeft : Qt::AlignHCenter));
            item->setData(WideLabelRole, c == 0 && row.wideLabel);
            SG->setItem(r, c, item);
        }
    }
}

void TInfoBox::ShowInfo(QWidget *parent, uint8_t language, const TInfoMeterQV &meter,
                        const TDataInfoQV &info)
{
    TInfoBox box(parent, language);
    box.Fill(language, info, meter);
    box.exec();
}

} // namespace qv
