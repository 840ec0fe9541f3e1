// Blocks of a file parsed on worker threads while the next ones are read:
// jobs are taken in the order they were submitted and handed back in that
// order, so the result does not depend on the number of threads.
#pragma once

#include "history/CellTable.h"

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv {

struct BlockJob {
    std::string text;        // complete record lines
    qint64 firstRow = 0;     // the row index of the first line
    qint64 lines = 0;        // the lines to parse
    CellTable::PackedRows out;
    bool outOfMemory = false;   // parsing stopped; the rows before stay
};

class BlockParsers {
public:
    // threads <= 1: each job is parsed by submit() itself.
    BlockParsers(int threads, std::function<void(BlockJob &)> parse);
    ~BlockParsers();
    BlockParsers(const BlockParsers &) = delete;
    BlockParsers &operator=(const BlockParsers &) = delete;

    // Waits while too many jobs are waiting (memory stays bounded).
    void submit(std::unique_ptr<BlockJob> job);
    // Every job parsed, in the order submitted.
    std::vector<std::unique_ptr<BlockJob>> finish();

private:
    void work();

    std::function<void(BlockJob &)> m_parse;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_progress;
    std::vector<std::unique_ptr<BlockJob>> m_jobs;
    size_t m_next = 0;
    size_t m_done = 0;
    bool m_closing = false;
    std::vector<std::thread> m_workers;
};

} // namespace qv
