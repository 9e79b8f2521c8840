#include "engine/BackgroundJobs.h"

namespace gstdvd {

BackgroundJobs::~BackgroundJobs()
{
    for (auto& job : jobs_)
        job.thread.join();
}

void BackgroundJobs::run(std::function<void()> job)
{
    reapFinished();
    auto done = std::make_shared<bool>(false);
    std::thread thread([job = std::move(job), done, this] {
        job();
        std::lock_guard<std::mutex> lock(mutex_);
        *done = true;
    });
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back({std::move(thread), done});
}

void BackgroundJobs::reapFinished()
{
    std::vector<std::thread> finished;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            if (*it->done) {
                finished.push_back(std::move(it->thread));
                it = jobs_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& thread : finished)
        thread.join();
}

}  // namespace gstdvd
