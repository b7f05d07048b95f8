// Two thread classes the system carries for maintainers: a base class with
// start and end hooks around a run operation, and a worker that handles
// request strings in the order they were queued. Nothing in the game starts
// either; they sit on the standard thread library.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CThread {
public:
    CThread() = default;
    // Joins a thread still running. A derived class whose Run reads its own
    // members joins in its own destructor, before those members go.
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Starts the thread: OnStart, Run, OnEnd, in that order. False when the
    // thread was started before (a thread object runs once).
    bool Start();
    // Waits for the thread to end; nothing when it was never started.
    void Join();
    // Suspending holds the thread at its next call of WaitWhileSuspended
    // until Resume; a thread cannot be stopped safely anywhere else.
    void Suspend();
    void Resume();

    bool IsStarted() const { return started_; }
    // From just before OnStart to just after OnEnd.
    bool IsRunning() const { return running_; }

protected:
    virtual void OnStart() {}
    virtual void Run() = 0;
    virtual void OnEnd() {}
    // The points where Run may be held by Suspend.
    void WaitWhileSuspended();

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable resumed_;
    bool suspended_ = false;
    std::atomic<bool> started_ = false;
    std::atomic<bool> running_ = false;
};

// A thread, started by the constructor, that hands each queued request to
// `handler` in queue order and waits without spinning while the queue is
// empty. The destructor lets it finish the requests already queued and waits
// for it.
class CWorkerThread : public CThread {
public:
    explicit CWorkerThread(std::function<void(const std::string&)> handler);
    ~CWorkerThread() override;

    void Enqueue(std::string request);

protected:
    void Run() override;

private:
    std::function<void(const std::string&)> handler_;
    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<std::string> queue_;
    bool stopping_ = false;
};
