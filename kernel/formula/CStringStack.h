#pragma once
// A formula as the kernel receives it: a sequence of token strings in the
// order they were written (the bottom of the stack is the first token).
// Formulas travel as two stacks of the same length: the raw tokens the user
// typed (names, numbers, operators, function names) and the resolved tokens,
// where each object name is replaced by "DO" and its decimal identifier.
//
// Stored form (Serialize): a count, then each string (see CArchive.h).
#include <string>
#include <vector>

#include "CObject.h"
#include "KernelTypes.h"

class KernelWriter;
class KernelReader;

class CStringStack : public CObject {
    DECLARE_SERIAL(CStringStack)

public:
    // Statuses of the stack operations.
    static constexpr QSSTATUS kEmpty = 1;       // Pop or Top on an empty stack
    static constexpr QSSTATUS kOutOfRange = 2;  // GetAt/SetAt outside the stack

    CStringStack() = default;
    CStringStack(std::initializer_list<std::string> tokens) : m_items(tokens) {}
    explicit CStringStack(std::vector<std::string> tokens) : m_items(std::move(tokens)) {}
    CStringStack(const CStringStack&) = default;
    CStringStack& operator=(const CStringStack&) = default;
    ~CStringStack() override = default;

    void Push(const std::string& token) { m_items.push_back(token); }
    QSSTATUS Pop(std::string& token);
    QSSTATUS Top(std::string& token) const;
    QSSTATUS GetAt(int index, std::string& token) const;  // 0 is the first token pushed
    QSSTATUS SetAt(int index, const std::string& token);
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    void RemoveAll() { m_items.clear(); }

    const std::vector<std::string>& Tokens() const { return m_items; }
    // The tokens in stack order with sep between them.
    std::string Join(const std::string& sep = "") const;

    bool operator==(const CStringStack& o) const { return m_items == o.m_items; }
    bool operator!=(const CStringStack& o) const { return !(*this == o); }

    void Serialize(CArchive& ar) override;
    // The same layout in the kernel's project stream (a U32 count, then each
    // string); Read leaves the stack unchanged when the reader fails.
    void Write(KernelWriter& w) const;
    void Read(KernelReader& r);

private:
    std::vector<std::string> m_items;
};
