#include "cli/CaptureInput.h"

#include <QFile>

namespace qv::cli {

bool parseHex(const QByteArray &text, QByteArray &bytes, QString &error)
{
    bytes.clear();
    bytes.reserve(text.size() / 2);
    int high = -1;
    int line = 1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (c == '\n')
                ++line;
            continue;
        } else {
            error = QStringLiteral("not a hexadecimal digit on line %1: '%2'")
                        .arg(line)
                        .arg(QChar::fromLatin1(c));
            return false;
        }
        if (high < 0) {
            high = v;
        } else {
            bytes.append(char(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) {
        error = QStringLiteral("odd number of hexadecimal digits");
        return false;
    }
    return true;
}

bool readCapture(const QString &path, bool hex, QByteArray &bytes, QString &error)
{
    QFile file;
    const bool useStdin = path.isEmpty() || path == QLatin1String("-");
    const bool opened = useStdin ? file.open(stdin, QIODevice::ReadOnly)
                                 : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = QStringLiteral("cannot read %1: %2")
                    .arg(useStdin ? QStringLiteral("standard input") : path, file.errorString());
        return false;
    }
    const QByteArray raw = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!hex) {
        bytes = raw;
        return true;
    }
    return parseHex(raw, bytes, error);
}

} // namespace qv::cli
