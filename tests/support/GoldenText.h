// A text compared with its golden file in tests/data; QV_UPDATE_GOLDEN=1
// writes the file anew instead (look at the difference before committing it).
#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace qvtest {

inline void expectGoldenText(const QString &relativePath, const QString &actual)
{
    const QString path = QStringLiteral(QV_TEST_DATA_DIR "/") + relativePath;
    QFile f(path);
    if (qEnvironmentVariableIntValue("QV_UPDATE_GOLDEN") == 1) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
        f.write(actual.toUtf8());
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(f.readAll()).toStdString()) << "differs from " << qPrintable(path);
}

} // namespace qvtest
