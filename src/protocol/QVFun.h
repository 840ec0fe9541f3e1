// Small routines shared by the windows, files and printouts: reading dates and
// times typed by the user, and the folders the program works in.
#pragma once

#include "protocol/Records.h"

#include <QStandardPaths>
#include <QString>

namespace qv {

// Reads text as a date with the current date separator, trying the field
// orders day-month-year, year-month-day, month-day-year, month-year-day,
// year-day-month and day-year-month; the first that gives a valid date wins.
// A year of fewer than four digits is in the 2000s ("8" and "08" are 2008,
// "108" is 2108). On success text becomes "dd-mm-yy" (current separator) and
// date the day; otherwise text is emptied, date is 0 and the result false.
bool NormalizeDate(QString &text, TDateTime &date);

// Reads text as hours[:minutes[:seconds]] with the current time separator.
// On success text becomes "hh:nn:ss" and time the fraction of the day;
// otherwise text is emptied, time is 0 and the result false.
bool NormalizeTime(QString &text, TDateTime &time);

// The folder of the executable, absolute, ending with "/".
QString ProgramFolder();

// A standard folder ending with "/", or empty when the system names none or it
// does not exist.
QString SpecialFolder(QStandardPaths::StandardLocation location);

// The user's documents folder, else the program's folder.
QString DocumentsFolder();

} // namespace qv
