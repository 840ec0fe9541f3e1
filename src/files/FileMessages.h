// The texts the user sees around history, search-result and memory files:
// the questions and reports of opening and saving, the dialog titles, and the
// path inside them shortened to fit. Line breaks are "\n". The window shows
// them through its dialog routines; the command line prints them.
#pragma once

#include <QString>

#include <functional>

namespace qv {

// Shortens a path for a message: when it is wider than `maxWidth` (measured
// by `width`), "..." goes after the root "/" (at the start of a relative
// path) and the characters after it are dropped one by one until it fits or
// nothing is left to drop.
QString ShortenPath(const QString &path, const std::function<int(const QString &)> &width, int maxWidth);

// How a message shows a path: shortened by the window, whole on the command
// line (no function).
using PathShortener = std::function<QString(const QString &path)>;
QString ShownPath(const PathShortener &shorten, const QString &path);

namespace msg {
// "measure" for one, "measures" otherwise.
QString OdmienPomiar(qint64 n);
QString NotRecognized(const QString &path);
QString TooManyData(qint64 limit, const QString &path);
// An error the system reported while a file was read, with its code.
QString ReadError(const QString &path, int code, const QString &systemText);
QString AbortReading(const QString &path);
QString AbortWriting(const QString &path);
// A save that failed: nothing was written over the file.
QString WriteFailed(const QString &path, const QString &systemText);
QString AlreadyExists(const QString &path);
// `what`: "directory".
QString CannotCreate(const QString &path, const QString &what);
// `list`: "'read only', 'hidden'".
QString HasAttributes(const QString &path, const QString &list);
// "Open History...", "Save Searching results as...".
QString OpenTitle(const QString &caption);
QString SaveTitle(const QString &caption);
// "Overwrite current history?" / "Overwrite memory?"
QString ConfirmReplace(bool memory);
// The system's text for an errno value.
QString SystemErrorText(int code);
} // namespace msg

} // namespace qv
