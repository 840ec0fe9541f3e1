// The capture decoder behind `qv7xx-cli decode`, usable in-process.
#pragma once

#include "cli/Options.h"
#include "protocol/FormatSettings.h"

#include <QByteArray>

#include <functional>

namespace qv::cli {

struct DecodeOptions {
    bool hex = false;
    int blockSize = 0;          // 0: the whole capture as one block
    uint8_t language = 1;
    FormatSettings settings;
};

// Reads the decode options (--hex, --block-size, --lang and the separators).
bool parseDecodeOptions(ArgumentReader &opts, DecodeOptions &out);

// Runs the program's receiver over `bytes` as a freshly started program
// would, and hands each event's JSON object to `sink`.
void decodeCapture(const QByteArray &bytes, const DecodeOptions &options,
                   const std::function<void(const QByteArray &)> &sink);

} // namespace qv::cli
