// A protocol component on a detached port with a manual clock, as a replayed
// capture has it, that keeps what it sends: for tests that feed it frames
// and let time pass.
#pragma once

#include "protocol/CaptureReplay.h"
#include "support/Frames.h"

struct DetachedLink : qv::CaptureReplay {
    explicit DetachedLink(uint8_t language = 1) : CaptureReplay(language)
    {
        comm().OpenDetached([this](const QByteArray &bytes) { sent += bytes; });
    }
    void feed(const qvtest::Frame &f) { deliver(f.data()); }

    QByteArray sent;
};
