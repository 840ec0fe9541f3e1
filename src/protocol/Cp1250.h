// The 8-bit Windows-1250 text of the meter and of the program's files.
// Bytes 0x00..0x7F are ASCII. The five bytes Windows-1250 leaves undefined
// (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control characters of the same
// number, so that any byte string survives a round trip unchanged.
#pragma once

#include <QByteArray>
#include <QString>

namespace qv {

// A negative size means data is NUL-terminated.
QString FromCp1250(const char *data, int size);
QString FromCp1250(const QByteArray &bytes);

// Characters without a Windows-1250 byte become `replacement`, one per
// character (a surrogate pair counts as one).
QByteArray ToCp1250(const QString &text, char replacement = '?');

} // namespace qv
