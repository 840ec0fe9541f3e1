// The one writer of history, search-result and memory files (store -> bytes),
// used by File > Save, the journal's command and the command line.
//
// A history or search-results file is the header line of the language, then
// one line per row with the cells of columns 0..15 each followed by a TAB and
// CR LF at the end; the date with a four-digit year (empty when the cell is no
// date); column 16 is never written. A memory file is the header and the
// memory image unchanged. The bytes are Windows-1250, as the rows are held.
//
// Saving goes through QSaveFile: the old file stays whole until the new one
// is complete. Stopping on the user's request commits what was written so
// far; a failure commits nothing.
#pragma once

#include "files/FileMessages.h"
#include "history/CellTable.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

namespace qv {

struct FieldFormat;

// Appends the record line of one row to `out`.
void AppendHistoryRecord(std::string &out, const CellTable &table, int row);
void AppendHistoryRecord(std::string &out, const CellTable &table, int row, const FieldFormat &format);
// The whole file: header, then the rows from `firstRow` to the last.
std::string HistoryFileBytes(const CellTable &table, int firstRow, int rows, uint8_t language);

struct SaveOptions {
    // Asked after each row: true stops writing; the rows written stay.
    std::function<bool()> abortRequested;
    // row x 100 / last row, when it changes (100 for a single row).
    std::function<void(int percent)> progress;
    PathShortener shortenPath;
};

struct SaveResult {
    enum Status { Saved, Aborted, Failed };
    Status status = Saved;
    int rowsWritten = 0;
    QString message;   // for Failed: what went wrong, with the system's text
};

// The rows [firstRow, firstRow + rows) of the table.
SaveResult SaveHistoryFile(const QString &path, const CellTable &table, int firstRow, int rows, uint8_t language,
                           const SaveOptions &options = {});
SaveResult SaveMemoryFile(const QString &path, const QByteArray &image, uint8_t language,
                          const SaveOptions &options = {});

// Writes a file through QSaveFile from pieces that `produce` hands to `write`
// (which is false once the file failed); `produce` returns false to stop
// early (what was written is kept). An existing file keeps its permissions.
SaveResult SaveThrough(const QString &path, const SaveOptions &options,
                       const std::function<bool(const std::function<bool(std::string &)> &write)> &produce);

// The header, then the rows [firstRow, end) as `appendRow` writes them,
// through a buffer; stops (keeping what was written) when abortRequested says
// so after a row.
SaveResult SaveRows(const QString &path, const SaveOptions &options, std::string header, int firstRow, int end,
                    const std::function<void(std::string &out, int row)> &appendRow);

} // namespace qv
