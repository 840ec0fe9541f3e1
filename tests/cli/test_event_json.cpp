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

TEST(EventJson, SinglesAreWrittenInTheirShortestText)
{
    const std::pair<float, const char *> cases[] = {
        {5.2f, "5.2"}, {12.345f, "12.345"}, {0.1f, "0.1"}, {-1234.5f, "-1234.5"}, {0.0f, "0"},
        {1e-5f, "1e-05"}, {1.5e10f, "1.5e+10"}, {3.4028235e38f, "3.4028235e+38"},
        {std::numeric_limits<float>::quiet_NaN(), "null"}, {std::numeric_limits<float>::infinity(), "null"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(EventJson::jsonSingle(value), QByteArray(text)) << text;
}

TEST(EventJson, EverySingleReadsBackExactlyFromValidJson)
{
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
