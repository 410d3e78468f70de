#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "QsInstanceCounter.h"
#include "QsNamedMutex.h"
#include "QsSharedMemory.h"

namespace {

using namespace std::chrono_literals;
using qs::ipc::InstanceCounter;
using qs::ipc::NamedMutex;
using qs::ipc::SharedMemory;

// A forked child running `body`, with a pipe each way: the child reports
// ints to the parent and can wait for the parent's go-ahead. The child never
// returns into the test framework.
class Child {
public:
    explicit Child(const std::function<int(Child&)>& body) {
        if (::pipe(m_up) != 0 || ::pipe(m_down) != 0) std::abort();
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(m_up[0]);
            ::close(m_down[1]);
            _exit(body(*this));
        }
        ::close(m_up[1]);
        ::close(m_down[0]);
    }
    ~Child() {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_up[0]);
        ::close(m_down[1]);
    }
    // In the child.
    void Report(int v) { (void)!::write(m_up[1], &v, sizeof v); }
    void AwaitGo() {
        char c;
        (void)!::read(m_down[0], &c, 1);
    }
    // In the parent.
    int Receive() {
        int v = -999;
        if (::read(m_up[0], &v, sizeof v) != sizeof v) return -999;
        return v;
    }
    void Go() { (void)!::write(m_down[1], "g", 1); }
    int Wait() {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Kill() {
        ::kill(m_pid, SIGKILL);
        Wait();
    }

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_up[2] = {-1, -1};
    int m_down[2] = {-1, -1};
};

int* Ints(const SharedMemory& m) { return static_cast<int*>(m.Data()); }

TEST(SharedMemoryTest, IsSharedWithAnotherProcessAndGoesWithItsLastUser) {
    SharedMemory block;
    bool initialised = false;
    ASSERT_TRUE(block.Create("QSEE_1_ann", 8, [&](void* d, std::size_t n) {
        initialised = true;
        EXPECT_EQ(n, 8u);
        static_cast<int*>(d)[0] = 7;
    }));
    EXPECT_TRUE(initialised);
    EXPECT_FALSE(block.Existed());
    EXPECT_EQ(Ints(block)[1], 0);  // zero-filled

    Child child([](Child& self) {
        SharedMemory mine;
        bool ranInit = false;
        if (!mine.Create("QSEE_1_ann", 8, [&](void*, std::size_t) { ranInit = true; })) return 1;
        self.Report(mine.Existed() && !ranInit ? Ints(mine)[0] : -1);
        Ints(mine)[1] = 42;
        SharedMemory tooBig;
        self.Report(tooBig.Open("QSEE_1_ann", 9) ? 1 : 0);
        return 0;
    });
    EXPECT_EQ(child.Receive(), 7);
    EXPECT_EQ(child.Receive(), 0);
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(Ints(block)[1], 42);

    SharedMemory second;
    ASSERT_TRUE(second.Open("QSEE_1_ann"));
    EXPECT_EQ(second.Size(), 8u);
    EXPECT_EQ(Ints(second)[1], 42);
    second.Close();
    block.Close();
    SharedMemory after;
    EXPECT_FALSE(after.Open("QSEE_1_ann"));
    EXPECT_EQ(errno, ENOENT);
    ASSERT_TRUE(after.Create("QSEE_1_ann", 8));
    EXPECT_FALSE(after.Existed());
    EXPECT_EQ(Ints(after)[1], 0);
}

TEST(SharedMemoryTest, ABlockLeftByAKilledProcessIsNotReused) {
    Child child([](Child& self) {
        SharedMemory mine;
        if (!mine.Create("Orphan", 4)) return 1;
        Ints(mine)[0] = 5;
        self.Report(1);
        self.AwaitGo();
        return 0;
    });
    ASSERT_EQ(child.Receive(), 1);
    {
        SharedMemory seen;
        ASSERT_TRUE(seen.Open("Orphan"));
        EXPECT_EQ(Ints(seen)[0], 5);
    }
    child.Kill();
    SharedMemory fresh;
    EXPECT_FALSE(fresh.Open("Orphan"));
    ASSERT_TRUE(fresh.Create("Orphan", 4));
    EXPECT_FALSE(fresh.Existed());
    EXPECT_EQ(Ints(fresh)[0], 0);
}

// Several processes add to a shared total with a read-yield-write race
// window; only real exclusion gets every increment in.
TEST(IpcMutexTest, ExcludesOtherProcesses) {
    struct Kind {
        const char* name;
        bool named;
    };
    for (Kind kind : {Kind{"named mutex", true}, Kind{"block mutex", false}}) {
        SharedMemory total;
        ASSERT_TRUE(total.Create(std::string("Total-") + kind.name, sizeof(int)));
        const int kProcesses = 4, kRounds = 300;
        std::vector<std::unique_ptr<Child>> children;
        for (int p = 0; p < kProcesses; ++p) {
            children.push_back(std::make_unique<Child>([&](Child&) {
                SharedMemory mine;
                if (!mine.Open(std::string("Total-") + kind.name)) return 1;
                NamedMutex mutex("Total-lock");
                for (int i = 0; i < kRounds; ++i) {
                    if (kind.named ? !mutex.Lock() : !mine.Lock()) return 2;
                    int v = Ints(mine)[0];
                    sched_yield();
                    Ints(mine)[0] = v + 1;
                    kind.named ? mutex.Unlock() : mine.Unlock();
                }
                return 0;
            }));
        }
        for (auto& c : children) EXPECT_EQ(c->Wait(), 0) << kind.name;
        EXPECT_EQ(Ints(total)[0], kProcesses * kRounds) << kind.name;
    }
}

TEST(IpcMutexTest, IsRecursiveForItsThreadAndReleasedWhenTheHolderDies) {
    NamedMutex mutex("QSEE_1_annMutex");
    ASSERT_TRUE(mutex.IsOpen());
    ASSERT_TRUE(mutex.Lock());
    ASSERT_TRUE(mutex.Lock());
    mutex.Unlock();
    std::atomic<bool> otherGotIt{true};
    std::thread([&] { otherGotIt = mutex.TryLock(); }).join();
    EXPECT_FALSE(otherGotIt);  // still held once
    mutex.Unlock();

    SharedMemory block;
    ASSERT_TRUE(block.Create("Held", 4));
    Child holder([](Child& self) {
        NamedMutex m("QSEE_1_annMutex");
        SharedMemory b;
        if (!m.Lock() || !b.Open("Held") || !b.Lock()) return 1;
        self.Report(1);
        self.AwaitGo();
        return 0;
    });
    ASSERT_EQ(holder.Receive(), 1);
    EXPECT_FALSE(mutex.TryLock());
    EXPECT_FALSE(mutex.LockFor(30ms));
    EXPECT_FALSE(block.TryLock());
    holder.Kill();
    EXPECT_TRUE(mutex.LockFor(5s));
    EXPECT_TRUE(block.Lock());  // robust: handed over from the dead holder
    block.Unlock();
    mutex.Unlock();
}

TEST(InstanceCounterTest, CountsLiveInstancesAndForgetsKilledOnes) {
    InstanceCounter mine("Standard");
    EXPECT_EQ(mine.Count(), 0);
    EXPECT_EQ(mine.Slot(), -1);
    EXPECT_EQ(mine.Increment(), 1);  // the only instance
    EXPECT_EQ(mine.Slot(), 0);

    Child other([](Child& self) {
        InstanceCounter c("Standard");
        self.Report(c.Increment());
        self.Report(c.Slot());
        self.AwaitGo();
        return 0;
    });
    EXPECT_EQ(other.Receive(), 2);
    EXPECT_EQ(other.Receive(), 1);
    EXPECT_EQ(mine.Count(), 2);
    EXPECT_EQ(InstanceCounter("Enterprise").Count(), 0);  // counters are separate
    other.Kill();
    EXPECT_EQ(mine.Count(), 1);

    InstanceCounter again("Standard");
    EXPECT_EQ(again.Increment(), 2);
    EXPECT_EQ(again.Slot(), 1);  // the dead process's slot is free again
    EXPECT_EQ(mine.Decrement(), 1);
    EXPECT_EQ(again.Decrement(), 0);
    EXPECT_EQ(again.Decrement(), -1);  // holds nothing
}

// Instances starting together must each see a different count, exactly as
// with an atomic increment: one of them, and only one, is first.
TEST(InstanceCounterTest, SimultaneousIncrementsSeeDistinctCounts) {
    const int kProcesses = 6;
    std::vector<std::unique_ptr<Child>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(std::make_unique<Child>([](Child& self) {
            self.AwaitGo();
            InstanceCounter c("Race");
            self.Report(c.Increment());
            self.AwaitGo();
            return 0;
        }));
    }
    for (auto& c : children) c->Go();
    std::vector<int> counts;
    for (auto& c : children) counts.push_back(c->Receive());
    std::sort(counts.begin(), counts.end());
    for (int i = 0; i < kProcesses; ++i) EXPECT_EQ(counts[i], i + 1);
    for (auto& c : children) {
        c->Go();
        EXPECT_EQ(c->Wait(), 0);
    }
    EXPECT_EQ(InstanceCounter("Race").Count(), 0);
}

}  // namespace
