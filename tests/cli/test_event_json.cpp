// The meter's Singles in the decoder's JSON: the shortest text that reads
// back as the same Single, always a valid JSON number (null when not finite).
#include "cli/EventJson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

using qv::cli::EventJson;

TEST(EventJson, EveryFiniteSingleReadsBackExactlyFromValidJsonTheOthersAreNull)
{
    EXPECT_EQ(EventJson::jsonSingle(std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(EventJson::jsonSingle(-std::numeric_limits<float>::infinity()), "null");
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t pattern = bits(random);
        float v;
        std::memcpy(&v, &pattern, sizeof v);
        if (!std::isfinite(v))
            continue;
        const QByteArray text = EventJson::jsonSingle(v);
        ASSERT_EQ(std::strtof(text.constData(), nullptr), v) << text.constData();
        // Shortest: one significant digit fewer no longer reads back as v
        // (a whole number written out in full has no digits to spare).
        QByteArray mantissa = text.left(text.indexOf('e') < 0 ? text.size() : text.indexOf('e'));
        mantissa.replace("-", "").replace(".", "");
        while (mantissa.startsWith('0'))
            mantissa.remove(0, 1);
        while (mantissa.endsWith('0'))
            mantissa.chop(1);
        if (mantissa.size() > 1 && (text.contains('.') || text.contains('e'))) {
            char fewer[512];
            std::snprintf(fewer, sizeof fewer, "%.*g", int(mantissa.size()) - 1, double(v));
            ASSERT_NE(std::strtof(fewer, nullptr), v) << text.constData() << " vs " << fewer;
        }
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson("[" + text + "]", &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << text.constData();
        ASSERT_EQ(float(doc.array().at(0).toDouble()), v) << text.constData();
    }
}
