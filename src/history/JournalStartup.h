// The journal at the program's start: open it, offer what it holds that was
// never saved (the program was not closed properly), and from then on record
// every change of the history in it.
#pragma once

#include "history/Journal.h"

#include <functional>

namespace qv {

struct JournalStart {
    bool open = false;      // changes are journalled from now on
    QString error;          // why not
    int restored = 0;       // rows brought back
    QString movedTo;        // where a refused journal was put aside
};

enum class RestorePolicy { Ask, Restore };

// The question the program asks, in the language.
QString RestoreQuestion(uint8_t language, int rows);

// Opens the journal at `path`; when it holds unsaved changes, asks (or with
// Restore does not ask) and rebuilds the history exactly as it was, or moves
// the journal aside. Then wires the store's changes to the journal (after
// anything already listening there).
JournalStart StartJournal(HistoryStore &store, Journal &journal, const QString &path,
                          RestorePolicy policy, const std::function<bool(int rows)> &ask);

} // namespace qv
