#include "files/BlockParsers.h"

namespace qv {

namespace {
constexpr size_t WaitingPerThread = 8;
}

BlockParsers::BlockParsers(int threads, std::function<void(BlockJob &)> parse) : m_parse(std::move(parse))
{
    for (int i = 0; threads > 1 && i < threads; ++i)
        m_workers.emplace_back([this] { work(); });
}

BlockParsers::~BlockParsers()
{
    finish();
}

void BlockParsers::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_next < m_jobs.size() || m_closing; });
        if (m_next == m_jobs.size())
            return;
        BlockJob *job = m_jobs[m_next++].get();
        lock.unlock();
        m_parse(*job);
        lock.lock();
        ++m_done;
        m_progress.notify_all();
    }
}

void BlockParsers::submit(std::unique_ptr<BlockJob> job)
{
    if (m_workers.empty()) {
        m_parse(*job);
        m_jobs.push_back(std::move(job));
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_progress.wait(lock, [this] { return m_jobs.size() - m_done < WaitingPerThread * m_workers.size(); });
    m_jobs.push_back(std::move(job));
    m_wake.notify_one();
}

std::vector<std::unique_ptr<BlockJob>> BlockParsers::finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_workers)
        t.join();
    m_workers.clear();
    return std::move(m_jobs);
}

} // namespace qv
