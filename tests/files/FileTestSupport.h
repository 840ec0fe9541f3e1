// Helpers of the file and history tests: the data files under tests/data/files,
// the options a case asks for, and a table's rows as text.
#pragma once

#include "files/DataFileReader.h"
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>


namespace filetest {

// Every character one unit wide: widths that do not depend on fonts.
inline const qv::TextWidths OneEach = qv::TextWidths::fixed(1);

inline QString dataDir() { return QStringLiteral(QV_TEST_DATA_DIR "/files"); }

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// NAME.args: "--decimal-separator C", "--date-separator C", "--time-separator C",
// "--lang pl", "--max-rows N".
struct CaseArgs {
    qv::FormatSettings format{'.', '-', ':'};
    uint8_t language = 1;
    int maxRows = 0;   // 0: no limit of the case's own
    // The same as qv7xx-cli options (the limit left out), every separator
    // given so that the system's do not matter.
    QStringList cli() const
    {
        return {"--decimal-separator", format.decimalSeparator, "--date-separator", format.dateSeparator,
                "--time-separator", format.timeSeparator, "--lang", language == 0 ? "pl" : "en"};
    }
};

inline CaseArgs caseArgs(const QString &name)
{
    CaseArgs a;
    const QStringList words = QString::fromUtf8(readBytes(dataDir() + '/' + name + ".args"))
                                  .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < words.size(); i += 2) {
        const QString &k = words[i];
        const QString &v = words[i + 1];
        if (k == "--decimal-separator")
            a.format.decimalSeparator = v[0];
        else if (k == "--date-separator")
            a.format.dateSeparator = v[0];
        else if (k == "--time-separator")
            a.format.timeSeparator = v[0];
        else if (k == "--lang")
            a.language = v == "pl" ? 0 : 1;
        else if (k == "--max-rows")
            a.maxRows = v.toInt();
    }
    return a;
}

// The first `rows` rows of a table as text, one "row" line each: the cells
// in UTF-8, TAB between them, with "\r", "\n" and "\\" escaped.
inline QString rowsText(const qv::CellTable &t, int rows)
{
    QString text;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < t.columnCount(); ++c)
            cells << t.cell(r, c).replace('\\', "\\\\").replace('\r', "\\r").replace('\n', "\\n");
        text += "row " + cells.join('\t') + '\n';
    }
    return text;
}

} // namespace filetest
