// The protocol component's events as JSON objects, one a line: the output of
// the decode and monitor commands.
#pragma once

#include "protocol/TComm32QV.h"

#include <QByteArray>

#include <functional>

namespace qv::cli {

class EventJson {
public:
    // Every event of `comm` but OnReceive is printed through `sink`. When
    // `timestamp` is set, each object gets a "t_ms" member from it.
    EventJson(TComm32QV &comm, std::function<void(const QByteArray &line)> sink,
              std::function<qint64()> timestamp = nullptr);

    // Helpers, public for tests.
    static QByteArray jsonString(const QString &s);
    // A Single as the shortest JSON number that reads back as it; null when not finite.
    static QByteArray jsonSingle(float v);
    static QByteArray jsonDateTime(double t);

private:
    class Object;
    void emitObject(Object &o);

    std::function<void(const QByteArray &)> m_sink;
    std::function<qint64()> m_timestamp;
};

} // namespace qv::cli
