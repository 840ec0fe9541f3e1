// The checks made before a file is written over, without a window: what the
// Save dialog asks before it closes, and the name it completes. The window
// answers the questions through FileQuestions (tests and the command line
// answer them without one).
//
// On Linux a file is "read only" when its owner may not write it and
// "hidden" when its name starts with a dot; "system" and "label" never occur.
#pragma once

#include "files/FileMessages.h"

#include <QString>

#include <functional>

namespace qv {

struct FileQuestions {
    // A question with the warning icon and No as the default; true for Yes.
    std::function<bool(const QString &caption, const QString &text)> askYesNo;
    // A message with one OK button.
    std::function<void(const QString &caption, const QString &text)> showInfo;
    PathShortener shortenPath;
};

// True when a directory entry of that name exists, whatever it is (a dangling
// symbolic link included).
bool FileFound(const QString &path);

// What stands in the way of writing a file of that name.
struct TargetState {
    bool exists = false;
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;
};
TargetState InspectTarget(const QString &path);
// "'read only', 'hidden'" of a target (empty when none applies).
QString AttributeList(const TargetState &state);

// Before an existing entry is written over: a folder of that name is reported
// and stops the save; a read-only or hidden file is saved only when the user
// says Yes. True: go ahead.
bool CheckTargetFile(const QString &path, const QString &caption, const FileQuestions &questions);

// The Save dialog's close check for the completed name: an existing entry is
// written over only after "already exists ... Overwrite?" and CheckTargetFile.
bool SaveDialogCanClose(const QString &completedName, const QString &title, const FileQuestions &questions);

// The name typed in a file dialog completed with the extension of the
// selected filter entry ("*.txt" gives .txt, "*.*" nothing), unless it already
// has it (in any letter case); a trailing dot is dropped; relative names are
// taken in `folder`. `filter` is "description|pattern|description|pattern".
QString DialogFileName(const QString &typed, const QString &filter, int selectedEntry, const QString &folder);

// The filter of the history and memory file dialogs.
QString DataFileFilter();

} // namespace qv
