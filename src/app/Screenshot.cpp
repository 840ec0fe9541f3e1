#include "app/Screenshot.h"

#include "app/TFormQV.h"
#include "instrument/QVMeter32.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace qv {

namespace {
constexpr int PollMs = 100;
} // namespace

void grabWhenMeasuring(TFormQV &form, const QString &file, int afterMs, int timeoutMs)
{
    auto *poll = new QTimer(&form);
    auto *waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, waited, file, afterMs, timeoutMs] {
        MeterCore &core = form.QVMeter()->core();
        const bool measuring = core.meterOn() && core.records().identReceived && core.records().screen() == 0 &&
                               core.measurementRunning();
        if (!measuring && waited->elapsed() < timeoutMs)
            return;
        poll->stop();
        delete waited;
        if (!measuring) {
            std::fprintf(stderr, "qv7xx: the meter did not show its measurement screen\n");
            QCoreApplication::exit(1);
            return;
        }
        // A value on the screen, and the keyboard with the instrument.
        form.QVMeter()->setFocus();
        form.QVMeter()->PressKey(MeterKey::Meas);
        QTimer::singleShot(afterMs, &form, [&form, file] {
            const bool saved = form.grab().save(file, "PNG");
            if (!saved)
                std::fprintf(stderr, "qv7xx: cannot write %s\n", qPrintable(file));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    });
    poll->start(PollMs);
}

} // namespace qv
