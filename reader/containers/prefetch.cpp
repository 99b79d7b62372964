#include "prefetch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace reader {

namespace {

constexpr std::size_t kChunkSize = 1024 * 1024;
constexpr std::size_t kChunks = 4;

struct Chunk
{
    std::vector<char> data = std::vector<char>(kChunkSize);
    std::int64_t size = 0;
};

// Chunks travel between the two threads: empty ones to the worker, filled
// ones to the consumer. A filled chunk of size 0 or -1 ends the stream.
class Pipe final
{
public:
    Pipe()
        : m_chunks(kChunks)
    {
        for (Chunk& chunk : m_chunks)
            m_empty.push_back(&chunk);
    }

    Chunk* takeEmpty()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopped || !m_empty.empty(); });
        if (m_stopped)
            return nullptr;
        Chunk* chunk = m_empty.front();
        m_empty.pop_front();
        return chunk;
    }

    void putFilled(Chunk* chunk)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_filled.push_back(chunk);
        }
        m_changed.notify_all();
    }

    Chunk* takeFilled()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_filled.empty(); });
        Chunk* chunk = m_filled.front();
        m_filled.pop_front();
        return chunk;
    }

    void putEmpty(Chunk* chunk)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_empty.push_back(chunk);
        }
        m_changed.notify_all();
    }

    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
    }

private:
    std::vector<Chunk> m_chunks;
    std::deque<Chunk*> m_empty;
    std::deque<Chunk*> m_filled;
    bool m_stopped = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

} // namespace

bool pump(const ChunkReader& read, const ChunkConsumer& consume, std::uint64_t expectedSize)
{
    // One byte more than expected, so that the end is seen in the first read.
    std::vector<char> buffer(std::size_t(std::min<std::uint64_t>(kChunkSize, std::max<std::uint64_t>(expectedSize, 4095) + 1)));
    for (;;) {
        const std::int64_t n = read(buffer.data(), buffer.size());
        if (n <= 0)
            return n == 0;
        if (!consume(buffer.data(), std::size_t(n)))
            return false;
    }
}

bool prefetch(const ChunkReader& read, const ChunkConsumer& consume)
{
    Pipe pipe;
    std::thread worker;
    try {
        worker = std::thread([&pipe, &read] {
            for (;;) {
                Chunk* chunk = pipe.takeEmpty();
                if (!chunk)
                    return;
                chunk->size = read(chunk->data.data(), chunk->data.size());
                pipe.putFilled(chunk);
                if (chunk->size <= 0)
                    return;
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the same work, one step after the other.
        return pump(read, consume);
    }

    bool ok = false;
    try {
        for (;;) {
            Chunk* chunk = pipe.takeFilled();
            if (chunk->size <= 0) {
                ok = chunk->size == 0;
                break;
            }
            if (!consume(chunk->data.data(), std::size_t(chunk->size)))
                break;
            pipe.putEmpty(chunk);
        }
    } catch (...) {
        pipe.stop();
        worker.join();
        throw;
    }
    pipe.stop();
    worker.join();
    return ok;
}

} // namespace reader
