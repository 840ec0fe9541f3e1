// The journal: every change to the history goes to a file in the user's data
// folder and onto the disk (fdatasync) before the window shows it, so that a
// crash, a killed process or a power cut loses no measurement. Saving the
// history or deleting all of it starts the journal afresh; at the next start
// the program offers to restore what was never saved.
//
// The file is text in Windows-1250, one record a line, each line ending with
// a TAB, "#" and the CRC-16 of the line before it (four hex digits):
//   QV7XX-JOURNAL 1                    first line
//   R <count> <id> <17 cells>          a row added, with the counters after it
//   B <count> <id> <17 cells>          a row of the history as it was saved
//   S <count> <id>                     the history up to here is saved
//   D <id>                             the row with that identifier deleted
//   C <id> <comment>                   a comment changed
// Fields are separated by TAB; "\\", "\r", "\n" and "\t" stand for a
// backslash, CR, LF and TAB inside a cell. A line cut short or damaged (a
// torn write at a power cut) ends the journal: what comes before it counts.
#pragma once

#include "history/HistoryStore.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace qv {

// What a journal file holds.
struct JournalContents {
    // The history as the journal rebuilds it: its row i is row keep[i] of
    // `table` (the rows deleted later are left out).
    std::unique_ptr<CellTable> table;
    std::vector<int> keep;
    int rowCount() const { return int(keep.size()); }
    std::string_view row(int i) const { return table->rowView(keep[size_t(i)]); }
    qint64 histCount = 0;
    qint64 histId = 0;
    bool unsaved = false;           // changes after the last save
    int unsavedRows = 0;            // rows added since the last save and still there
    qint64 validBytes = 0;          // length of the undamaged part
    bool damaged = false;           // something after validBytes was dropped
};

// Reads a journal; an absent or empty file holds nothing.
JournalContents ReadJournal(const QString &path);
JournalContents ParseJournal(const QByteArray &bytes);

class Journal {
public:
    Journal();
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    // The journal of this user: journal.qvj in the application data folder.
    static QString defaultPath();

    // Opens (creating it and its folder) for appending; a damaged end is cut
    // off first. Only one program may hold a journal: false with the reason
    // when another has it, or it cannot be opened.
    bool open(const QString &path, QString &error);
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    void close();

    // Records one change of the store (wire it to HistoryStore::onChange).
    // False when the disk refused it (the reason in lastError()).
    bool record(const HistoryStore &store, const HistoryChange &change);
    // Starts afresh: empty, or (saved) holding the store's rows as saved.
    bool startFresh(const HistoryStore *saved);
    // Moves the journal to a dated file beside it (never deleted) and starts
    // an empty one. The new name, or empty on failure.
    QString moveAside();

    QString lastError() const { return m_error; }
    // Raised when a record could not be written (once until one succeeds).
    std::function<void(const QString &error)> onError;

private:
    bool append(const std::string &lines);
    bool rewrite(const std::string &contents);
    bool failed(int error);

    int m_fd = -1;
    QString m_path;
    QString m_error;
    bool m_failing = false;
};

// The lines of a row record ("R" or "B"), for tests and the snapshot.
std::string JournalRowLine(char kind, const HistoryStore &store, int row);

} // namespace qv
