#include "protocol/Cp1250.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace qv;

TEST(Cp1250, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = FromCp1250(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1250(text), all);
    EXPECT_EQ(FromCp1250(all.constData() + 1, -1), text.mid(1, 255));   // -1: up to the NUL
    EXPECT_EQ(FromCp1250(all.constData(), 3), text.left(3));
    // The undefined positions are their C1 control characters.
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(text.at(b).unicode(), b);
}

TEST(Cp1250, UnmappedCharactersAreReplaced)
{
    EXPECT_EQ(ToCp1250(QStringLiteral("a€ЖbĂ")), QByteArray("a\x80?b\xC3"));
    EXPECT_EQ(ToCp1250(QStringLiteral("x\u4E2Dy"), '_'), QByteArray("x_y"));
    // One replacement for a character outside the 16-bit plane.
    EXPECT_EQ(ToCp1250(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
}

// The system's converter, where installed, agrees on every defined byte.
TEST(Cp1250, AgreesWithTheSystemConverter)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "no CP1250 converter installed";
    int compared = 0;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = static_cast<char>(b);
        char16_t out[2] = {};
        char *inPtr = &in;
        char *outPtr = reinterpret_cast<char *>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            continue; // undefined in Windows-1250
        EXPECT_EQ(FromCp1250(&in, 1).at(0).unicode(), out[0]) << std::hex << b;
        ++compared;
    }
    iconv_close(cd);
    EXPECT_EQ(compared, 123);
}
