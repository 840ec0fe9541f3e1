// The texts of the meter search window in both languages (0 Polish,
// 1 English). Kept apart from the window so that the search logic and its
// tests use the very same strings.
#pragma once

#include <QString>

#include <cstdint>

namespace qv::searchtext {

// Appended to the main window's caption to make the search window's title.
QString titleSuffix(uint8_t language);
// The information label while nothing has been found yet.
QString looking(uint8_t language);
// The second line of the information label once a meter has answered.
QString lookingForOthers(uint8_t language);
// "2 meters found." / "Znaleziono 2 mierniki.", with the Polish plural.
QString countText(uint8_t language, int count);
// One numbered item of the result list: "Meter 01 on port /dev/ttyS0"; the
// number is padded with "0" to the width of `total`.
QString resultItem(uint8_t language, int number, int total, const QString &port);
QString stopCaption(uint8_t language);
QString chooseCaption(uint8_t language);
QString noPorts(uint8_t language);
QString notFound(uint8_t language);

} // namespace qv::searchtext
