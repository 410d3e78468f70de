#include <QByteArray>
#include <QMutex>
#include <QString>

#include <map>

#include "WindowMessages.h"

namespace {
QMutex g_registeredMessagesMutex;
std::map<QByteArray, UINT> g_registeredMessages;  // upper-cased name -> number
std::map<UINT, QByteArray> g_registeredNumbers;
}  // namespace

UINT RegisterWindowMessage(const char* name) {
    if (name == nullptr || *name == 0) return 0;
    const QByteArray key = QString::fromUtf8(name).toUpper().toUtf8();
    QMutexLocker lock(&g_registeredMessagesMutex);
    auto found = g_registeredMessages.find(key);
    if (found != g_registeredMessages.end()) return found->second;
    std::uint32_t hash = 2166136261u;
    for (char c : key) {
        hash ^= std::uint8_t(c);
        hash *= 16777619u;
    }
    UINT number = 0xC000 + hash % 0x3FFF;
    while (g_registeredNumbers.count(number)) number = number == 0xFFFE ? 0xC000 : number + 1;
    g_registeredMessages[key] = number;
    g_registeredNumbers[number] = key;
    return number;
}
