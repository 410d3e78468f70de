#pragma once
// A count of running instances shared by all processes of the program, that
// a crashed process cannot leave too high: each instance holds an advisory
// lock on its own slot file in a folder under qs::ipc::RuntimeDirectory(),
// and the count is the number of slots whose lock is held. The system drops
// the locks of a process that dies, and with them its share of the count.
//
// Increment and Decrement are atomic with respect to each other across
// processes, like InterlockedIncrement on a shared counter. A Windows
// counter that starts at -1 reads Increment() - 1: 0 means "only instance".
// Slots are numbered from 0; an instance takes the lowest free one.
#include <string>
#include <vector>

namespace qs::ipc {

class InstanceCounter {
public:
    explicit InstanceCounter(const std::string& name);
    ~InstanceCounter();   // gives back every slot still held
    InstanceCounter(const InstanceCounter&) = delete;
    InstanceCounter& operator=(const InstanceCounter&) = delete;

    // Takes a slot for this instance; returns the count including it, or -1
    // on failure (errno set). Each call takes one more slot.
    int Increment();
    // Gives back the slot taken last; returns the count left, or -1 when this
    // object holds no slot or on failure.
    int Decrement();
    // The current count over all processes; -1 on failure.
    int Count() const;
    // This object's first slot number, -1 when it holds none.
    int Slot() const { return m_slots.empty() ? -1 : m_slots.front().number; }

private:
    struct HeldSlot {
        int number;
        int fd;
    };
    int CountLocked() const;
    std::string m_dir;
    std::vector<HeldSlot> m_slots;
};

}  // namespace qs::ipc
