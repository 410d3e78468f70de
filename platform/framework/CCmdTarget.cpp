#include "CCmdTarget.h"

#include <QCursor>
#include <QGuiApplication>

#include "WaitCursor.h"

CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::MapCommand(UINT nID, CommandHandler handler) { m_commands[nID] = std::move(handler); }

void CCmdTarget::MapCommandRange(UINT nFirst, UINT nLast, RangeHandler handler) {
    m_commandRanges.push_back({nFirst, nLast, std::move(handler), {}});
}

void CCmdTarget::MapUpdateCommand(UINT nID, UpdateHandler handler) { m_updates[nID] = std::move(handler); }

void CCmdTarget::MapUpdateCommandRange(UINT nFirst, UINT nLast, UpdateHandler handler) {
    m_updateRanges.push_back({nFirst, nLast, {}, std::move(handler)});
}

BOOL CCmdTarget::DispatchOwnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (nCode == CN_COMMAND) {
        auto found = m_commands.find(nID);
        if (found != m_commands.end() && found->second) {
            if (pHandlerInfo) pHandlerInfo->pTarget = this;
            else found->second();
            return TRUE;
        }
        // The latest range registered wins, as a later map entry would.
        for (auto it = m_commandRanges.rbegin(); it != m_commandRanges.rend(); ++it) {
            if (nID >= it->first && nID <= it->last && it->command) {
                if (pHandlerInfo) pHandlerInfo->pTarget = this;
                else it->command(nID);
                return TRUE;
            }
        }
        return FALSE;
    }
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        auto found = m_updates.find(nID);
        if (found != m_updates.end() && found->second) {
            if (pHandlerInfo) pHandlerInfo->pTarget = this;
            else if (ui) found->second(ui);
            return TRUE;
        }
        for (auto it = m_updateRanges.rbegin(); it != m_updateRanges.rend(); ++it) {
            if (nID >= it->first && nID <= it->last && it->update) {
                if (pHandlerInfo) pHandlerInfo->pTarget = this;
                else if (ui) it->update(ui);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    return DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CCmdTarget::HasCommandHandler(UINT nID) {
    AFX_CMDHANDLERINFO info;
    return OnCmdMsg(nID, CN_COMMAND, nullptr, &info);
}

void CCmdTarget::BeginWaitCursor() { qs::fw::DoWaitCursor(1); }
void CCmdTarget::EndWaitCursor() { qs::fw::DoWaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { qs::fw::DoWaitCursor(0); }

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (pTarget == nullptr) return FALSE;
    if (pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr)) return TRUE;
    if (bDisableIfNoHndler && !pTarget->HasCommandHandler(m_nID)) Enable(FALSE);
    return FALSE;
}
