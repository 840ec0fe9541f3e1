// The two windows the instrument opens: the meter search and the meter
// information. Each is called through one function here, so the instrument
// window does not depend on how they are built.
#pragma once

#include "protocol/Records.h"
#include "serial/LineSettings.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace qv {

// Runs the meter search modally over `ports`; true when a meter was chosen,
// with its port and the baud-rate box's entry ("9600bps") for its rate.
bool runMeterSearch(QWidget *parent, uint8_t language, TBaudRate baudRate, const QStringList &ports,
                    QString &port, QString &baudName);

// Shows the meter information window modally.
void showMeterInfo(QWidget *parent, uint8_t language, const TInfoMeterQV &meter, const TDataInfoQV &info);

} // namespace qv
