#include "app/Thread.h"

#include <utility>

CThread::~CThread() {
    Join();
}

bool CThread::Start() {
    if (started_.exchange(true)) return false;
    running_ = true;
    thread_ = std::thread([this] {
        OnStart();
        Run();
        OnEnd();
        running_ = false;
    });
    return true;
}

void CThread::Join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void CThread::Suspend() {
    std::lock_guard lock(mutex_);
    suspended_ = true;
}

void CThread::Resume() {
    {
        std::lock_guard lock(mutex_);
        suspended_ = false;
    }
    resumed_.notify_all();
}

void CThread::WaitWhileSuspended() {
    std::unique_lock lock(mutex_);
    resumed_.wait(lock, [this] { return !suspended_; });
}

CWorkerThread::CWorkerThread(std::function<void(const std::string&)> handler)
    : handler_(std::move(handler)) {
    Start();
}

CWorkerThread::~CWorkerThread() {
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    Resume();
    Join();
}

void CWorkerThread::Enqueue(std::string request) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(std::move(request));
    }
    queued_.notify_one();
}

void CWorkerThread::Run() {
    for (;;) {
        WaitWhileSuspended();
        std::string request;
        {
            std::unique_lock lock(queueMutex_);
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return; // stopping, and nothing left to do
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        if (handler_) handler_(request);
    }
}
