// The meter information window: a two-column list of what the meter reported
// about its probe and itself (see TInfoBoxRows.h for the rows). Holding Ctrl
// while it opens adds the control unit's compilation date. Esc or OK closes it.
#pragma once

#include "instrument/TInfoBoxRows.h"
#include "protocol/Records.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QPushButton;
class QTableWidget;

namespace qv {

class TInfoBox : public QDialog {
    Q_OBJECT
public:
    TInfoBox(QWidget *owner, uint8_t language);

    // Writes every row from the two records; reads the Ctrl key now.
    void Fill(uint8_t language, const TDataInfoQV &info, const TInfoMeterQV &meter);

    // Shows the meter information window modally; the Ctrl key is read as it
    // is filled, right when it was asked for.
    static void ShowInfo(QWidget *parent, uint8_t language, const TInfoMeterQV &meter,
                         const TDataInfoQV &info);

    const std::vector<InfoRow> &Rows() const { return m_rows; }

    QTableWidget *SG = nullptr;
    QPushButton *OKBtn = nullptr;

private:
    std::vector<InfoRow> m_rows;
};

} // namespace qv
