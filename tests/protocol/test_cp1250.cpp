// The code page of the meter's texts.
#include "protocol/Cp1250.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

using namespace qv;

// Every byte read and written back; the upper half as Unicode against the
// golden table protocol/cp1250.txt, which agreed with the system's converter
// (iconv) on every defined byte when it was made; the undefined positions are
// their C1 control characters.
TEST(Cp1250, EveryByteRoundTripsAndTheUpperHalfMatchesItsGoldenTable)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = FromCp1250(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1250(text), all);
    EXPECT_EQ(FromCp1250(all.constData() + 1, -1), text.mid(1, 255));   // -1: up to the NUL
    EXPECT_EQ(FromCp1250(all.constData(), 3), text.left(3));
    QString table;
    for (int b = 0x80; b < 0x100; ++b)
        table += QStringLiteral("%1 %2\n").arg(b, 2, 16).arg(text.at(b).unicode(), 4, 16, QLatin1Char('0'));
    qvtest::expectGoldenText(QStringLiteral("protocol/cp1250.txt"), table);
}

TEST(Cp1250, UnmappedCharactersAreReplaced)
{
    EXPECT_EQ(ToCp1250(QStringLiteral("a€ЖbĂ")), QByteArray("a\x80?b\xC3"));
    EXPECT_EQ(ToCp1250(QStringLiteral("x\u4E2Dy"), '_'), QByteArray("x_y"));
    // One replacement for a character outside the 16-bit plane.
    EXPECT_EQ(ToCp1250(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
}
