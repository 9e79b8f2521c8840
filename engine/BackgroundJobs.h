#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace gstdvd {

// Jobs that must not hold up the window thread, each on a thread of its own. Starting one never
// waits for another: finished threads are joined as new jobs come, and the rest when this ends.
class BackgroundJobs {
public:
    BackgroundJobs() = default;
    ~BackgroundJobs();
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    void run(std::function<void()> job);

private:
    void reapFinished();

    struct Job {
        std::thread thread;
        std::shared_ptr<bool> done;
    };
    std::mutex mutex_;
    std::vector<Job> jobs_;
};

}  // namespace gstdvd
