// The carried thread classes on real threads, and the maintainers' log file.
#include "app/Thread.h"
#include "TestSupport.h"
#include "app/DebugLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

using namespace std::chrono_literals;

// Records what the thread did, and lets the test wait for a record.
class Journal {
public:
    void Add(std::string what) {
        {
            std::lock_guard lock(mutex_);
            entries_.push_back(std::move(what));
        }
        changed_.notify_all();
    }
    std::vector<std::string> Entries() {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return entries_.size() >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> entries_;
};

class ProbeThread : public CThread {
public:
    explicit ProbeThread(Journal& journal) : journal_(journal) {}
    ~ProbeThread() override { Join(); }

protected:
    void OnStart() override { journal_.Add(IsRunning() ? "start, running" : "start"); }
    void Run() override {
        journal_.Add("run");
        WaitWhileSuspended();
        journal_.Add("resumed");
    }
    void OnEnd() override { journal_.Add("end"); }

private:
    Journal& journal_;
};

using Lines = std::vector<std::string>;

} // namespace

TEST(ThreadTest, RunsBetweenItsHooksOnceAndReportsItsFlags) {
    Journal journal;
    ProbeThread thread(journal);
    EXPECT_FALSE(thread.IsStarted());
    EXPECT_FALSE(thread.IsRunning());
    thread.Join(); // never started: nothing to wait for
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.IsStarted());
    EXPECT_FALSE(thread.Start());
    thread.Join();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.IsStarted());
    EXPECT_EQ(journal.Entries(), (Lines{"start, running", "run", "resumed", "end"}));
}

TEST(ThreadTest, ASuspendedThreadWaitsAtItsCheckpointUntilResumed) {
    Journal journal;
    ProbeThread thread(journal);
    thread.Suspend();
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(journal.WaitFor(2));
    // Held: a while later it has gone no further.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(journal.Entries(), (Lines{"start, running", "run"}));
    EXPECT_TRUE(thread.IsRunning());
    thread.Resume();
    thread.Join();
    EXPECT_EQ(journal.Entries(), (Lines{"start, running", "run", "resumed", "end"}));
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, TheWorkerHandlesRequestsInOrderAndFinishesThemBeforeItGoes) {
    Journal journal;
    {
        CWorkerThread worker([&](const std::string& r) { journal.Add(r); });
        EXPECT_TRUE(worker.IsStarted());
        worker.Enqueue("first");
        ASSERT_TRUE(journal.WaitFor(1));
        // Requests queued faster than they are handled; going away waits
        // for every one of them.
        for (int i = 0; i < 50; ++i)
            worker.Enqueue("r" + std::to_string(i));
    }
    const Lines entries = journal.Entries();
    ASSERT_EQ(entries.size(), 51u);
    EXPECT_EQ(entries[0], "first");
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(entries[static_cast<std::size_t>(i) + 1], "r" + std::to_string(i));

    // A worker waiting with nothing to do, and one held suspended, both go
    // when they are destroyed.
    CWorkerThread idle([](const std::string&) {});
    EXPECT_TRUE(idle.IsRunning());
    CWorkerThread held([](const std::string&) {});
    held.Suspend();
}

TEST(DebugLogTest, AppendsLinesToTheLogInTheCurrentFolder) {
    TempDir dir;
    WriteFile("Debug.Log", {'o', 'l', 'd', '\n'});
    EXPECT_TRUE(DebugLog("first"));
    EXPECT_TRUE(DebugLog(""));
    EXPECT_TRUE(DebugLog("third line"));
    const auto bytes = ReadFile("Debug.Log");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old\nfirst\n\nthird line\n");

    // Made when missing; a folder in its place cannot be written.
    std::filesystem::remove("Debug.Log");
    EXPECT_TRUE(DebugLog("again"));
    EXPECT_EQ(ReadFile("Debug.Log").size(), 6u);
    std::filesystem::remove("Debug.Log");
    std::filesystem::create_directory("Debug.Log");
    EXPECT_FALSE(DebugLog("lost"));
}
