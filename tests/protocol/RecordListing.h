// A listing of records and events for a golden file: each event as the
// decode command prints it, one member a line, under a heading. The records
// of a test are handed to comm()'s event handlers, or the events come from
// bytes delivered to it.
#pragma once

#include "cli/EventJson.h"
#include "protocol/CaptureReplay.h"
#include "support/Frames.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

struct RecordListing {
    RecordListing()
        : json(replay.comm(), [this](const QByteArray &line) {
              static const QRegularExpression member(QStringLiteral(",(?=\"\\w+\":)"));
              this->line(QString::fromUtf8(line).replace(member, QStringLiteral(",\n  ")));
          })
    {
    }
    qv::TComm32QV &comm() { return replay.comm(); }
    void heading(const QString &name) { text += QStringLiteral("## %1\n").arg(name); }
    void line(const QString &l) { text += l + '\n'; }
    void feed(const qvtest::Frame &f) { replay.deliver(f.data()); }

    qv::CaptureReplay replay{1};
    qv::cli::EventJson json;
    QString text;
};
