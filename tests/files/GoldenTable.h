// A table of cases kept as a golden file under tests/data: each line holds a
// case's inputs, then what the code gives for them, TAB between the fields
// ("" stands for an empty field); lines starting with '#' are comments. The
// outputs are computed from each line's inputs and the whole text compared
// with the file, so QV_UPDATE_GOLDEN=1 writes the outputs anew.
#pragma once

#include "support/GoldenText.h"

#include <QStringList>

#include <functional>

namespace qvtest {

inline void expectGoldenTable(const QString &relativePath, int inputs,
                              const std::function<QStringList(const QStringList &)> &outputs)
{
    QFile f(QStringLiteral(QV_TEST_DATA_DIR "/") + relativePath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(relativePath);
    QString actual;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('#')) {
            actual += line + '\n';
            continue;
        }
        QStringList in = line.split('\t').mid(0, inputs);
        for (QString &field : in)
            field = field == QStringLiteral("\"\"") ? QString() : field;
        QStringList fields = in + outputs(in);
        for (QString &field : fields)
            field = field.isEmpty() ? QStringLiteral("\"\"") : field;
        actual += fields.join('\t') + '\n';
    }
    expectGoldenText(relativePath, actual);
}

} // namespace qvtest
