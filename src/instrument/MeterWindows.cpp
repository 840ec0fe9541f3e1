#include "instrument/MeterWindows.h"

#if __has_include("instrument/TFormAutoCOM.h")
#include "instrument/TFormAutoCOM.h"
#define QV_HAVE_METER_SEARCH 1
#endif
#if __has_include("instrument/TInfoBox.h")
#include "instrument/TInfoBox.h"
#define QV_HAVE_METER_INFO 1
#endif

namespace qv {

bool runMeterSearch(QWidget *parent, uint8_t language, TBaudRate baudRate, const QStringList &ports,
                    QString &port, QString &baudName)
{
#ifdef QV_HAVE_METER_SEARCH
    return TFormAutoCOM::Execute(parent, language, baudRate, ports, port, baudName);
#else
    // Built before the search window exists: nothing is found.
    (void)parent, (void)language, (void)baudRate, (void)ports, (void)port, (void)baudName;
    return false;
#endif
}

void showMeterInfo(QWidget *parent, uint8_t language, const TInfoMeterQV &meter, const TDataInfoQV &info)
{
#ifdef QV_HAVE_METER_INFO
    TInfoBox::ShowInfo(parent, language, meter, info);
#else
    (void)parent, (void)language, (void)meter, (void)info;
#endif
}

} // namespace qv
