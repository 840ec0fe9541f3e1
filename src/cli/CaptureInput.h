// Reading a capture of the meter's bytes: a file or standard input, raw or
// as hexadecimal text.
#pragma once

#include <QByteArray>
#include <QString>

namespace qv::cli {

// Reads `path` ("-" or empty for standard input). With `hex`, the text is
// hexadecimal digits with blanks and newlines ignored. On failure returns
// false and sets `error` to a one-line message.
bool readCapture(const QString &path, bool hex, QByteArray &bytes, QString &error);

// Parses hexadecimal text (blanks ignored); false on any other character or
// an odd number of digits.
bool parseHex(const QByteArray &text, QByteArray &bytes, QString &error);

} // namespace qv::cli
