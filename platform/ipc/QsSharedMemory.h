#pragma once
// Named shared memory standing in for a Windows named file mapping backed by
// the paging file: create-or-open by name, zero-filled when created, and
// gone when the last process using it closes it or dies.
//
// Built on POSIX shm_open; the name is prefixed by the IPC namespace. Who
// uses a block is tracked with advisory file locks in
// qs::ipc::RuntimeDirectory(), which the system drops when a process dies,
// so a block left behind by crashed processes is found unused and replaced
// at the next Create, and its existed-before flag tells the truth.
//
// The block carries its own process-shared mutex (recursive, and robust: a
// holder that dies hands it over to the next waiter); Data() points past it.
// Do not carry an object across fork(); open a new one in the child.
#include <cstddef>
#include <functional>
#include <string>

namespace qs::ipc {

class SharedMemory {
public:
    SharedMemory() = default;
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Creates the block, or opens it when another process made it already
    // (Existed() then says so). `initialise` runs only in the process that
    // creates it, on the zero-filled data, before any other process can open
    // it. Opening an existing block smaller than `size` fails (EINVAL).
    bool Create(const std::string& name, std::size_t size,
                const std::function<void(void* data, std::size_t size)>& initialise = {});
    // Opens an existing block only (ENOENT when there is none in use). Size 0
    // takes the block's own size.
    bool Open(const std::string& name, std::size_t size = 0);
    // Unmaps; the last user to close removes the block.
    void Close();

    bool IsOpen() const { return m_base != nullptr; }
    bool Existed() const { return m_existed; }
    void* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }
    const std::string& Name() const { return m_name; }

    // The block's own mutex. Lock returns false only when not open.
    bool Lock();
    bool TryLock();
    void Unlock();
    void lock() { Lock(); }
    bool try_lock() { return TryLock(); }
    void unlock() { Unlock(); }

private:
    bool Attach(const std::string& name, std::size_t size, bool create,
                const std::function<void(void*, std::size_t)>& initialise);

    void* m_base = nullptr;
    std::size_t m_mapped = 0;
    void* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_existed = false;
    int m_usersFd = -1;
    std::string m_name;
};

}  // namespace qs::ipc
