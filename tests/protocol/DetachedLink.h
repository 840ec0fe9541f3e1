// A protocol component on a detached port with a manual clock, as a replayed
// capture has it, that keeps what it sends; and sessions scripted as steps
// for it to play.
#pragma once

#include "protocol/CaptureReplay.h"
#include "support/Frames.h"

#include <functional>
#include <vector>

// One step: bytes from the meter, a key or character the program sends, time
// passing, a link status reported, or a note of the state (and of what was
// sent since the last).
struct Step {
    enum Kind { Bytes, Key, Char, After, Status, Note } kind;
    QByteArray bytes;
    int value = 0;
    Step(const QByteArray &b) : kind(Bytes), bytes(b) {}
    Step(const char *b) : kind(Bytes), bytes(b) {}
    Step(const qvtest::Frame &f) : kind(Bytes), bytes(f.data()) {}
    Step(Kind k, int v = 0) : kind(k), value(v) {}
};
inline Step key(int code) { return {Step::Key, code}; }
inline Step after(int ms) { return {Step::After, ms}; }
inline const Step note{Step::Note};

struct DetachedLink : qv::CaptureReplay {
    explicit DetachedLink(uint8_t language = 1) : CaptureReplay(language)
    {
        comm().OpenDetached([this](const QByteArray &bytes) { sent += bytes; });
    }
    void feed(const qvtest::Frame &f) { deliver(f.data()); }
    // Keys go through `press` when given, else straight to the component.
    void play(const std::vector<Step> &steps, const std::function<void()> &noteState,
              const std::function<void(int)> &press = nullptr)
    {
        for (const Step &s : steps) {
            switch (s.kind) {
            case Step::Bytes: deliver(s.bytes); break;
            case Step::Key: press ? press(s.value) : comm().SendKey(s.value); break;
            case Step::Char: comm().SendChar(char(s.value)); break;
            case Step::After: advance(uint32_t(s.value)); break;
            case Step::Status: comm().OnCOMStatus(s.value, QString()); break;
            case Step::Note:
                noteState();
                sent.clear();
            }
        }
    }

    QByteArray sent;
};
