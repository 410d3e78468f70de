#include "CStatusBar.h"

#include <QFontMetrics>
#include <QLabel>

#include "CFrameWnd.h"
#include "CommandIds.h"
#include "Resources.h"

CStatusBar::CStatusBar() {
    AttachWidget(this);
}

CStatusBar::~CStatusBar() { DetachWidget(); }

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (frame == nullptr) return FALSE;
    SetControlId(this, int(nID));
    frame->setStatusBar(this);  // the frame owns the bar from now on
    frame->SetStatusBar(this);
    setSizeGripEnabled(false);
    setVisible((dwStyle & WS_VISIBLE) != 0);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    for (Pane& pane : m_panes) delete pane.label;
    m_panes.clear();
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
        Pane pane{id, SBPS_NORMAL, 0, new QLabel(this), QString()};
        if (id == ID_SEPARATOR) {
            pane.style = SBPS_NOBORDERS | SBPS_STRETCH;
            pane.text = qs::fw::LoadResourceString(AFX_IDS_IDLEMESSAGE);
        } else {
            pane.text = qs::fw::LoadResourceString(id);
            pane.width = QFontMetrics(font()).horizontalAdvance(pane.text.isEmpty() ? QStringLiteral(" ") : pane.text);
        }
        m_panes.push_back(pane);
        ApplyPane(m_panes.back());
        if (m_panes.back().style & SBPS_STRETCH) addWidget(m_panes.back().label, 1);
        else addPermanentWidget(m_panes.back().label);
    }
    return TRUE;
}

void CStatusBar::ApplyPane(Pane& pane) {
    pane.label->setText((pane.style & SBPS_DISABLED) ? QString() : pane.text);
    if (!(pane.style & SBPS_STRETCH) && pane.width > 0) pane.label->setMinimumWidth(pane.width);
    pane.label->setFrameShape((pane.style & SBPS_NOBORDERS) ? QFrame::NoFrame : QFrame::Panel);
    pane.label->setFrameShadow((pane.style & SBPS_POPOUT) ? QFrame::Raised : QFrame::Sunken);
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == nIDFind) return int(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[std::size_t(nIndex)].id : 0;
}

BOOL CStatusBar::SetPaneText(int nIndex, const QString& text, BOOL bUpdate) {
    if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
    Pane& pane = m_panes[std::size_t(nIndex)];
    pane.text = text;
    ApplyPane(pane);
    if (bUpdate) pane.label->repaint();
    return TRUE;
}

QString CStatusBar::GetPaneText(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[std::size_t(nIndex)].text : QString();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    const Pane& pane = m_panes[std::size_t(nIndex)];
    nID = pane.id;
    nStyle = pane.style;
    cxWidth = pane.width;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    Pane& pane = m_panes[std::size_t(nIndex)];
    pane.id = nID;
    pane.style = nStyle;
    pane.width = cxWidth;
    pane.label->setMinimumWidth(0);
    // The width is the text's; the pane's frame and margins come on top, as
    // the platform's status bar adds its borders, so the text is not cut.
    if (!(nStyle & SBPS_STRETCH)) {
        const QMargins m = pane.label->contentsMargins();
        const int chrome = cxWidth > 0 ? 2 * pane.label->frameWidth() + m.left() + m.right() + 2 * pane.label->margin() + 6 : 0;
        pane.label->setFixedWidth(std::max(cxWidth, 0) + chrome);
    }
    else pane.label->setMaximumWidth(QWIDGETSIZE_MAX);
    ApplyPane(pane);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[std::size_t(nIndex)].style : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    m_panes[std::size_t(nIndex)].style = nStyle;
    ApplyPane(m_panes[std::size_t(nIndex)]);
}

void CStatusBar::GetItemRect(int nIndex, QRect* rect) const {
    if (rect == nullptr) return;
    *rect = nIndex >= 0 && nIndex < GetCount() ? m_panes[std::size_t(nIndex)].label->geometry() : QRect();
}

QLabel* CStatusBar::PaneLabel(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[std::size_t(nIndex)].label : nullptr;
}

void CStatusBar::UpdatePanes(CFrameWnd* frame) {
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].id == ID_SEPARATOR) continue;
        CCmdUI ui;
        ui.m_nID = m_panes[i].id;
        ui.m_nIndex = UINT(i);
        ui.m_pOther = this;
        ui.DoUpdate(frame, FALSE);
        Pane& pane = m_panes[i];
        if (ui.m_text) pane.text = *ui.m_text;
        if (ui.m_bEnableChanged) {
            if (ui.m_enabled) pane.style &= ~UINT(SBPS_DISABLED);
            else pane.style |= SBPS_DISABLED;
        }
        ApplyPane(pane);
    }
}
