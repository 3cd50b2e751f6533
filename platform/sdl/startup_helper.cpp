#include "platform/sdl/startup_helper.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace sdlbackend {

namespace {

// Never destroyed: the process may end while the helper waits for work or
// runs a job, and no destructor may then run against its lock or thread.
struct Helper {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::pair<int, std::function<void()>>> jobs;
    int posted = 0;
    int done = 0;
    bool running = false;
};
Helper& helper() {
    static auto* theHelper = new Helper;
    return *theHelper;
}

void work(Helper& h) {
    std::unique_lock<std::mutex> held(h.lock);
    for (;;) {
        h.changed.wait(held, [&h] { return !h.jobs.empty(); });
        auto [ticket, job] = std::move(h.jobs.front());
        h.jobs.pop_front();
        held.unlock();
        job();
        held.lock();
        h.done = ticket;
        h.changed.notify_all();
    }
}

}  // namespace

void startHelper() {
    Helper& h = helper();
    if (h.running) return;
    try {
        std::thread(work, std::ref(h)).detach();
        h.running = true;
    } catch (const std::exception&) {
        h.running = false;  // no thread to be had: jobs run where they are posted
    }
}

int helperPost(std::function<void()> job) {
    Helper& h = helper();
    std::lock_guard<std::mutex> held(h.lock);
    const int ticket = ++h.posted;
    if (!h.running) {
        job();
        h.done = ticket;
        return ticket;
    }
    h.jobs.emplace_back(ticket, std::move(job));
    h.changed.notify_all();
    return ticket;
}

void helperWait(int ticket) {
    Helper& h = helper();
    std::unique_lock<std::mutex> held(h.lock);
    h.changed.wait(held, [&h, ticket] { return h.done >= ticket; });
}

}  // namespace sdlbackend
