#include "vxOrderedRuns.h"

#include "vxProcessors.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace vxOrderedRuns {

std::vector<std::size_t> blocks(std::size_t count, std::uint64_t size,
                                const std::function<std::uint64_t(std::size_t)>& weight)
{
    std::vector<std::size_t> bounds = {0};
    if (!weight) { // size items a run, the last run what is left
        if (count == 0)
            return bounds;
        const std::size_t step = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 1, count));
        for (std::size_t end = step; end < count; end += step)
            bounds.push_back(end);
        bounds.push_back(count);
        return bounds;
    }
    std::uint64_t inBlock = 0;
    for (std::size_t i = 0; i < count; ++i) {
        inBlock += weight(i);
        if (inBlock >= size || i + 1 == count) {
            bounds.push_back(i + 1);
            inBlock = 0;
        }
    }
    return bounds;
}

namespace {

// The runs made one after the other on this thread.
void makeHere(const std::vector<std::size_t>& bounds, const MakeRun& make, const TakeRun& take)
{
    std::string text;
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        text.clear();
        make(bounds[k], bounds[k + 1], text);
        if (!take(k, text))
            return;
    }
}

} // namespace

void makeInOrder(const std::vector<std::size_t>& bounds, const MakeRun& make, const TakeRun& take)
{
    if (bounds.size() < 2)
        return;
    const std::size_t blocks = bounds.size() - 1;
    const unsigned processors = vxProcessors::usable();
    if (blocks == 1 || processors < 2) // not worth a thread
        return makeHere(bounds, make, take);

    // One helper per processor makes runs in turn, run k into slot k % ahead,
    // which is free again once run k - ahead is written. One slot more than
    // helpers keeps the helpers busy while the writer writes; the slots keep
    // their memory from run to run.
    const std::size_t helpers = std::min<std::size_t>(processors, blocks);
    const std::size_t ahead = helpers + 1;
    struct Slot {
        std::string text;
        bool made = false;
    };
    std::vector<Slot> slots(ahead);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0; // the next run to make
    std::size_t done = 0; // runs written
    bool stop = false;
    std::exception_ptr failure;

    const auto help = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next == blocks || next < done + ahead; });
            if (stop || next == blocks)
                return;
            const std::size_t k = next++;
            Slot& slot = slots[k % ahead];
            lock.unlock();
            try {
                slot.text.clear();
                make(bounds[k], bounds[k + 1], slot.text);
            } catch (...) {
                lock.lock();
                failure = std::current_exception();
                stop = true;
                changed.notify_all();
                return;
            }
            lock.lock();
            slot.made = true;
            changed.notify_all();
        }
    };
    {
        std::vector<std::jthread> threads;
        // Whatever ends the writing, the helpers stop before they are joined.
        struct Stop {
            std::mutex& mutex;
            std::condition_variable& changed;
            bool& stop;
            ~Stop()
            {
                std::lock_guard lock(mutex);
                stop = true;
                changed.notify_all();
            }
        } stopAtEnd{mutex, changed, stop};
        for (std::size_t i = 0; i < helpers; ++i) {
            try {
                threads.emplace_back(help);
            } catch (const std::system_error&) {
                break; // the system has no more threads to give: fewer helpers
            }
        }
        if (threads.empty())
            return makeHere(bounds, make, take);

        for (std::size_t k = 0; k < blocks; ++k) {
            Slot& slot = slots[k % ahead];
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return slot.made || stop; });
                if (!slot.made)
                    break; // a helper failed
            }
            if (!take(k, slot.text))
                break;
            std::lock_guard lock(mutex);
            slot.made = false;
            done = k + 1;
            changed.notify_all();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace vxOrderedRuns
