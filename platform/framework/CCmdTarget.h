#pragma once
// Command tables. A target registers handlers by command id (the message
// map's ON_COMMAND and ON_UPDATE_COMMAND_UI); OnCmdMsg looks in the target's
// own table and then along its route (a view passes on to its document, a
// frame asks its active view first and then the application).
#include <functional>
#include <map>
#include <vector>

#include "CCmdUI.h"
#include "CObject.h"

enum : int {
    CN_COMMAND = 0,
    CN_UPDATE_COMMAND_UI = -1,
};

class CCmdTarget;

// Filled when OnCmdMsg is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

class CCmdTarget : public CObject {
public:
    using CommandHandler = std::function<void()>;
    using RangeHandler = std::function<void(UINT)>;
    using UpdateHandler = std::function<void(CCmdUI*)>;

    ~CCmdTarget() override;

    // The message map: ON_COMMAND, ON_COMMAND_RANGE, ON_UPDATE_COMMAND_UI(_RANGE). A later
    // registration for the same id replaces the earlier one.
    void MapCommand(UINT nID, CommandHandler handler);
    void MapCommandRange(UINT nFirst, UINT nLast, RangeHandler handler);
    void MapUpdateCommand(UINT nID, UpdateHandler handler);
    void MapUpdateCommandRange(UINT nFirst, UINT nLast, UpdateHandler handler);

    // nCode CN_COMMAND runs the command; CN_UPDATE_COMMAND_UI runs the update
    // handler with pExtra the CCmdUI. With pHandlerInfo set nothing runs: the
    // answer tells whether a handler exists and who has it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    // Shorthands.
    BOOL RouteCommand(UINT nID) { return OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr); }
    BOOL HasCommandHandler(UINT nID);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

protected:
    CCmdTarget() = default;
    // This target's own table only.
    BOOL DispatchOwnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

private:
    struct Range {
        UINT first, last;
        RangeHandler command;
        UpdateHandler update;
    };
    std::map<UINT, CommandHandler> m_commands;
    std::map<UINT, UpdateHandler> m_updates;
    std::vector<Range> m_commandRanges;
    std::vector<Range> m_updateRanges;
};
