// The one reader of history, search-result and memory files (bytes -> store),
// used by File > Open, a file dropped on a grid, the command line and the
// fuzz target. The window adds only the busy cursor, the gauge, the
// questions and the messages around it, through the callbacks below.
//
// A history file is its header line, then one record line per row: fields
// separated by TAB, lines by CR LF (a CR alone is text; an empty line is a
// row; the last line may lack CR LF). Lines are read in blocks cut after
// their last CR LF; whatever follows is read with the next block, so no row
// depends on the block size, and a line longer than a block is read whole.
// Blocks are parsed on worker threads and the rows go into the store in file
// order when the file has been read.
#pragma once

#include "files/FileMessages.h"
#include "history/HistoryStore.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

class QIODevice;

namespace qv {

enum class DataHeader { None, Polish, English, Legacy };

// The header a file's bytes start with (the legacy one only when `history`).
DataHeader RecognizeHeader(std::string_view start, bool history);
QByteArray HeaderBytes(DataHeader header);

struct FileReadOptions {
    // Bytes read at a time.
    int blockSize = 65534;
    // Threads that parse blocks (1: on the calling thread).
    int threads = 2;
    // Asked before each block: true stops reading; the rows read stay.
    std::function<bool()> abortRequested;
    // The read position as a percentage of the file, after each block.
    std::function<void(int percent)> progress;
    // How messages show the path.
    PathShortener shortenPath;
};

struct FileReadResult {
    enum Status {
        Opened,          // the whole file was read
        NotFound,        // no such file: nothing is said, nothing changed
        NotRecognized,   // no header matches: the store is unchanged
        TooManyData,     // the history is full with data left in the file
        Aborted,         // the user stopped it: the rows read are kept
        Failed,          // the system failed to read: the rows before are kept
    };
    Status status = Opened;
    DataHeader header = DataHeader::None;
    int rows = 0;
    // What the user is told (empty: nothing).
    QString message;
};

// Opens a history file into the store (replacing the history and emptying
// the search results, unless the header is not recognised).
FileReadResult ReadHistoryFile(const QString &path, HistoryStore &store, const FileReadOptions &options = {});
// The same from an open device; `path` names it in messages.
FileReadResult ReadHistoryFile(QIODevice &in, const QString &path, HistoryStore &store,
                               const FileReadOptions &options = {});

// A memory file: the header (Polish or English), then the memory image,
// read in one block of at most 65534 bytes; at most 512 lines of it are kept.
struct MemoryReadResult {
    FileReadResult::Status status = FileReadResult::Opened;
    DataHeader header = DataHeader::None;
    bool loaded = false;   // at least one line: `image` replaces the held image
    QByteArray image;
    int lines = 0;
    QString message;
};
MemoryReadResult ReadMemoryFile(const QString &path, const PathShortener &shortenPath = {});
MemoryReadResult ReadMemoryFile(QIODevice &in, const QString &path, const PathShortener &shortenPath = {});

// The memory image held in `data`: the lines counted as the file reader
// counts them (a line ends at a CR looked for from one byte after its start,
// the next starts two bytes after that CR), at most `limit` of them. `kept`
// is the length of those lines; `more` tells whether data follow them.
struct MemoryLineCount {
    int lines = 0;
    int kept = 0;
    bool more = false;
};
MemoryLineCount CountMemoryLines(std::string_view data, int limit);

constexpr int MemoryFileBlock = 65534;

} // namespace qv
