#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "shell/CInstanceHeartbeat.h"
#include "QsEnvironment.h"
#include "QsSharedMemory.h"
#include "TestEnvironment.h"

namespace {


TEST(InstanceHeartbeat, NamesFollowSlotAndUser) {
    EXPECT_EQ(CInstanceHeartbeat::BlockName(1, "ann"), "QSEE_1_ann");
    EXPECT_EQ(CInstanceHeartbeat::BlockName(2, ""), "QSEE_2_???");
    EXPECT_EQ(CInstanceHeartbeat::MutexName(1, "ann"), "QSEE_1_annMutex");
}

// The record is seen from another process, the tick stays as written at
// start, and the owner id is rewritten within about a second.
TEST(InstanceHeartbeat, RecordIsVisibleElsewhereAndRefreshed) {
    const std::string block = CInstanceHeartbeat::BlockName(1, qs::env::UserName());
    CInstanceHeartbeat hb;
    hb.Start(nullptr, 1);
    ASSERT_TRUE(hb.IsRunning());
    EXPECT_FALSE(hb.ExistedBefore(1));

    std::uint32_t pid = 0, tick = 0;
    ASSERT_TRUE(CInstanceHeartbeat::ReadRecord(block, pid, tick));
    EXPECT_EQ(pid, static_cast<std::uint32_t>(::getpid()));
    const std::uint32_t startTick = tick;

    // Another process overwrites the owner; the heartbeat puts ours back.
    pid_t child = ::fork();
    if (child == 0) {
        std::uint32_t p = 0, t = 0;
        bool seen = CInstanceHeartbeat::ReadRecord(block, p, t) && p == static_cast<std::uint32_t>(::getppid());
        qs::ipc::SharedMemory m;
        const bool wrote = m.Open(block, 8);
        if (wrote) *static_cast<std::uint32_t*>(m.Data()) = 12345;
        ::_exit(seen && wrote ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // (The heartbeat may already have put it back: it rewrites every second.)
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(5000);
    while (std::chrono::steady_clock::now() < until) {
        CInstanceHeartbeat::ReadRecord(block, pid, tick);
        if (pid != 12345u) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(pid, static_cast<std::uint32_t>(::getpid()));
    EXPECT_EQ(tick, startTick);

    // A second heartbeat for the same slot and user shares the block.
    CInstanceHeartbeat second;
    second.Start(nullptr, 1);
    EXPECT_TRUE(second.ExistedBefore(1));

    hb.Stop();
    second.Stop();
    EXPECT_FALSE(hb.IsRunning());
    // Gone with its last user.
    EXPECT_FALSE(CInstanceHeartbeat::ReadRecord(block, pid, tick));
}

TEST(InstanceHeartbeat, StopIsPromptAndRepeatable) {
    CInstanceHeartbeat hb;
    hb.Start(nullptr, 2);
    ASSERT_TRUE(hb.IsRunning());
    // Stop wakes the beating thread rather than waiting out its period, and a
    // second Stop finds nothing left to do.
    hb.Stop();
    EXPECT_FALSE(hb.IsRunning());
    hb.Stop();
    EXPECT_FALSE(hb.IsRunning());
}

}  // namespace
