#include "shell/CInstanceHeartbeat.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "QsEnvironment.h"

namespace {

void WriteLe32(void* at, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::uint32_t word;
    std::memcpy(&word, b, 4);
    // One aligned 32-bit store: readers in other processes see either the old
    // or the new value, never a mix.
    __atomic_store_n(static_cast<std::uint32_t*>(at), word, __ATOMIC_RELAXED);
}

std::uint32_t ReadLe32(const void* at) {
    std::uint32_t word = __atomic_load_n(static_cast<const std::uint32_t*>(at), __ATOMIC_RELAXED);
    unsigned char b[4];
    std::memcpy(b, &word, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

CInstanceHeartbeat::CInstanceHeartbeat() = default;

CInstanceHeartbeat::~CInstanceHeartbeat() { Stop(); }

std::string CInstanceHeartbeat::BlockName(int slot, const std::string& userName) {
    return "QSEE_" + std::to_string(slot) + "_" + (userName.empty() ? std::string("???") : userName);
}

std::uint32_t CInstanceHeartbeat::TickCount() {
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(ts.tv_sec) * 1000ull + ts.tv_nsec / 1000000);
}

bool CInstanceHeartbeat::ExistedBefore(int slot) const {
    return slot >= 0 && slot < kSlotCount && m_slots[slot].existedBefore;
}

void CInstanceHeartbeat::Start(QWidget* /*window*/, int slot) {
    if (slot < 0 || slot >= kSlotCount) return;
    m_currentSlot = slot;
    SlotEntry& e = m_slots[slot];
    const std::string user = qs::env::UserName();
    e.blockName = BlockName(slot, user);
    e.mutexName = MutexName(slot, user);
    e.existedBefore = false;

    if (!e.mapped) {
        e.mutex = std::make_unique<qs::ipc::NamedMutex>(e.mutexName);
        if (e.block.Create(e.blockName, kRecordSize)) {
            e.existedBefore = e.block.Existed();
            e.mapped = true;
        }
    }
    std::uint32_t* view = e.mapped ? static_cast<std::uint32_t*>(e.block.Data()) : nullptr;
    m_view = view;
    // The owner is the process of the given window, which is always ours.
    m_ownerProcessId = static_cast<std::uint32_t>(::getpid());
    const std::uint32_t tick = TickCount();
    if (view) {
        WriteLe32(view + 1, tick);
        WriteLe32(view, m_ownerProcessId);
    }
    m_startTime = static_cast<long long>(std::time(nullptr));
    m_startTick = tick;
    if (m_running.exchange(true)) return;  // the thread runs already
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (...) {
        m_running = false;
    }
}

void CInstanceHeartbeat::Run() {
    while (m_running.load()) {
        std::uint32_t* view = m_view.load();
        if (m_currentSlot != kNoSlot && view) WriteLe32(view, m_ownerProcessId);
        std::unique_lock lock(m_wakeLock);
        m_wake.wait_for(lock, std::chrono::milliseconds(1000), [this] { return !m_running.load(); });
    }
}

void CInstanceHeartbeat::Stop() {
    {
        std::lock_guard lock(m_wakeLock);
        m_running = false;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    m_view = nullptr;
    for (SlotEntry& e : m_slots) {
        if (e.mapped) {
            e.block.Close();
            e.mapped = false;
        }
        e.mutex.reset();
    }
}

bool CInstanceHeartbeat::ReadRecord(const std::string& blockName, std::uint32_t& processId, std::uint32_t& startTick) {
    qs::ipc::SharedMemory block;
    if (!block.Open(blockName, kRecordSize)) return false;
    const auto* data = static_cast<const std::uint32_t*>(block.Data());
    processId = ReadLe32(data);
    startTick = ReadLe32(data + 1);
    return true;
}
