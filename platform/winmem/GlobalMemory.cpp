#include "GlobalMemory.h"

#include <map>
#include <mutex>
#include <vector>

namespace winmem {
namespace {

struct Block {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

struct Table {
    std::mutex mutex;
    std::map<HGLOBAL, Block> blocks;
    HGLOBAL next = 1;
};

Table& table() {
    static Table t;
    return t;
}

}  // namespace

HGLOBAL GlobalAlloc(unsigned /*flags*/, std::size_t bytes) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (t.next == 0) return 0;  // the handle space is used up
    try {
        Block b;
        b.bytes.assign(bytes, 0);  // always zeroed: uninitialised bytes help no caller
        const HGLOBAL h = t.next++;
        t.blocks.emplace(h, std::move(b));
        return h;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void* GlobalLock(HGLOBAL h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    if (it == t.blocks.end()) return nullptr;
    ++it->second.locks;
    static unsigned char empty = 0;
    return it->second.bytes.empty() ? &empty : it->second.bytes.data();
}

bool GlobalUnlock(HGLOBAL h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    if (it == t.blocks.end() || it->second.locks == 0) return false;
    return --it->second.locks > 0;
}

std::size_t GlobalSize(HGLOBAL h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(h);
    return it == t.blocks.end() ? 0 : it->second.bytes.size();
}

HGLOBAL GlobalFree(HGLOBAL h) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.blocks.erase(h) ? 0 : h;
}

std::size_t GlobalBlockCount() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.blocks.size();
}

}  // namespace winmem
