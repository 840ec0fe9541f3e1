#include "app/Screenshot.h"

#include "app/TFormQV.h"
#include "instrument/QVMeter32.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace qv {

namespace {

constexpr int PollMs = 100;

bool onMeasurementScreen(MeterCore &core)
{
    return core.meterOn() && core.records().identReceived && core.records().screen() == 0 &&
           core.measurementRunning();
}

// Ends the program's event loop with `code`, even from inside a dialog's
// own loop: open dialogs are closed and the request repeated until exec()
// has returned.
void endEventLoop(int code)
{
    QCoreApplication::exit(code);
    auto *again = new QTimer(qApp);
    QObject::connect(again, &QTimer::timeout, qApp, [code] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        QCoreApplication::exit(code);
    });
    again->start(PollMs);
}

// Saves the window and ends; `why` (when set) says why it was not measuring.
void finish(TFormQV &form, const QString &file, const QString &why)
{
    const bool saved = form.grab().save(file, "PNG");
    if (!saved)
        std::fprintf(stderr, "qv7xx: cannot write %s\n", qPrintable(file));
    if (!why.isEmpty())
        std::fprintf(stderr, "qv7xx: %s%s\n", qPrintable(why),
                     saved ? "; the picture shows the window as it was" : "");
    endEventLoop(!saved ? 1 : why.isEmpty() ? 0 : ScreenshotTimedOut);
}

} // namespace

QString whyNotMeasuring(TFormQV &form)
{
    TQVMeter32 &meter = *form.QVMeter();
    TComm32QV &comm = meter.comm();
    const QString port = meter.Port();
    if (!comm.IsOpen()) {
        const QString hint = comm.LastErrorHint();
        return QStringLiteral("the port %1 is not open: %2%3")
            .arg(port, statusText(comm.LastStatus(), 1), hint.isEmpty() ? QString() : " (" + hint + ")");
    }
    const MeterCore &core = meter.core();
    if (!core.meterOn() || !core.records().identReceived)
        return QStringLiteral("no answer from a meter on %1").arg(port);
    return QStringLiteral("the meter on %1 did not show its measurement screen").arg(port);
}

void grabWhenMeasuring(TFormQV &form, const QString &file, int afterMs, int timeoutMs)
{
    auto *poll = new QTimer(&form);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, waited, file, afterMs, timeoutMs] {
        const bool measuring = onMeasurementScreen(form.QVMeter()->core());
        if (!measuring && waited->elapsed() < timeoutMs)
            return;
        poll->stop();
        if (!measuring) {
            finish(form, file,
                   QStringLiteral("no measurement screen within %1 ms: %2").arg(timeoutMs).arg(whyNotMeasuring(form)));
            return;
        }
        // A value on the screen, and the keyboard with the instrument.
        form.QVMeter()->setFocus();
        form.QVMeter()->PressKey(MeterKey::Meas);
        QTimer::singleShot(afterMs, &form, [&form, file] { finish(form, file, QString()); });
    });
    poll->start(PollMs);
}

} // namespace qv
