#pragma once
// The message switches, held in one record that every process which has the
// library loaded shares: a switch changed in one process (by the options
// applet) takes effect at once in all the others. Read and written without a
// lock, as the switches are single words and a torn read only delays a change
// by one message.
#include <cstdint>

namespace faultbox {

struct SharedMessageOptions {
    std::int32_t CErrorsMsgBox;
    std::int32_t CErrorsDebugWin;
    std::int32_t AlertMsgBox;
    std::int32_t AlertDebugWin;
    std::int32_t TraceMsgs;
    std::int32_t ErrorFile;
    std::int32_t AlertFile;
    std::int32_t TraceFile;
    char ShowPriority;
    char DefaultFileName[64];
    char SectionName[64];
    char OwnFileName[32];
};

inline constexpr const char* kDefaultFileName = "c:\\msg_file.dbg";
inline constexpr const char* kOptionsSection = "PCraftr Error Display Driver";
inline constexpr const char* kOwnFileName = "faultbox.dll";

// Sets the record's initial values: every switch 0, priority '0', and the
// three names above.
void InitialiseSharedMessageOptions(SharedMessageOptions& options);

// The record shared by the processes of this user's session (the IPC
// namespace). Made and initialised by the first process that asks; a process
// that cannot reach the shared record gets a record of its own, so the
// library still works, only without sharing.
SharedMessageOptions& SharedOptions();

}  // namespace faultbox
