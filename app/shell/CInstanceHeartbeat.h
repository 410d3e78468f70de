#pragma once
// The instance heartbeat: an 8-byte record in named shared memory, per
// program slot and user, holding the owner's process id (rewritten every
// second by a background thread) and the tick count at start. Any process
// of the system can open it by name to learn whether, and in which process,
// that program runs for that user. Every failure is silent.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "QsNamedMutex.h"
#include "QsSharedMemory.h"

class QWidget;

class CInstanceHeartbeat {
public:
    static constexpr int kSlotCount = 3;
    static constexpr int kNoSlot = 3;
    static constexpr std::size_t kRecordSize = 8;

    CInstanceHeartbeat();
    ~CInstanceHeartbeat();
    CInstanceHeartbeat(const CInstanceHeartbeat&) = delete;
    CInstanceHeartbeat& operator=(const CInstanceHeartbeat&) = delete;

    // Opens (or creates) the slot's record, writes it and starts the thread.
    // The owner is the process of the given window: always this process here.
    void Start(QWidget* window, int slot);
    void Stop();

    bool IsRunning() const { return m_running.load(); }
    bool ExistedBefore(int slot) const;
    int CurrentSlot() const { return m_currentSlot; }

    // "QSEE_<slot>_<user>", "???" for a user name that cannot be read.
    static std::string BlockName(int slot, const std::string& userName);
    static std::string MutexName(int slot, const std::string& userName) { return BlockName(slot, userName) + "Mutex"; }
    // Reads a record from any process; false when no such block exists.
    static bool ReadRecord(const std::string& blockName, std::uint32_t& processId, std::uint32_t& startTick);
    // Milliseconds since the machine started, as a 32-bit count.
    static std::uint32_t TickCount();

private:
    struct SlotEntry {
        qs::ipc::SharedMemory block;
        std::size_t size = kRecordSize;
        bool mapped = false;
        bool existedBefore = false;
        std::string mutexName;
        std::unique_ptr<qs::ipc::NamedMutex> mutex;
        std::string blockName = "SharedMemory";
    };

    void Run();

    SlotEntry m_slots[kSlotCount];
    int m_currentSlot = kNoSlot;
    std::atomic<std::uint32_t*> m_view{nullptr};
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::uint32_t m_ownerProcessId = 0;
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    long long m_startTime = 0;
    std::uint32_t m_startTick = 0;
};
