// The serial component's own texts beyond the status codes: the duplicate-port
// warning and the hints that say why a port could not be opened. Each exists
// in Polish (language 0) and English (language 1).
#pragma once

#include <QString>

#include <cstdint>

namespace qv {

// The warning shown once when two devices claim the port `name`.
QString duplicatePortWarning(uint8_t language, const QString &name);

// Why opening `path` failed with the system error `errnum`.
QString openFailureHint(uint8_t language, const QString &path, int errnum);
// Why the line settings could not be applied to `path` (system error `errnum`).
QString configureFailureHint(uint8_t language, const QString &path, int errnum);
// Linux serial drivers have no 4-bit characters.
QString unsupportedDataBitsHint(uint8_t language, const QString &path);

} // namespace qv
