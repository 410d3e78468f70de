#include "CPropertySheet.h"

#include <QKeyEvent>

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

CPropertyPage::CPropertyPage(UINT nIDTemplate, const QString& caption) : CDialog(nIDTemplate, nullptr), m_strCaption(caption) {
    setWindowFlags(Qt::Widget);
}

CPropertyPage::~CPropertyPage() {
    if (m_pSheet) m_pSheet->PageDestroyed(this);
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::SetModified(BOOL bChanged) {
    m_bModified = bChanged;
    if (m_pSheet) m_pSheet->PageModified(this);
}

void CPropertyPage::accept() {
    if (m_pSheet) m_pSheet->PressButton(m_pSheet->IsWizard() ? PSBTN_NEXT : PSBTN_OK);
}

void CPropertyPage::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == 0 && m_pSheet != nullptr) {
        accept();
        return;
    }
    CDialog::keyPressEvent(event);
}

void CPropertyPage::reject() {
    if (m_pSheet) m_pSheet->PressButton(PSBTN_CANCEL);
}

CPropertySheet::CPropertySheet(const QString& caption, CWnd* pParentWnd, UINT iSelectPage)
    : CDialog(0, pParentWnd), m_initialPage(iSelectPage) {
    setWindowTitle(caption);
    MapCommand(ID_APPLY_NOW, [this] { PressButton(PSBTN_APPLYNOW); });
    MapCommand(ID_WIZBACK, [this] { PressButton(PSBTN_BACK); });
    MapCommand(ID_WIZNEXT, [this] { PressButton(PSBTN_NEXT); });
    MapCommand(ID_WIZFINISH, [this] { PressButton(PSBTN_FINISH); });
}

CPropertySheet::~CPropertySheet() {
    // Pages belong to the caller: take them out of the widget tree first.
    m_switching = true;
    for (CPropertyPage* page : m_pages) {
        if (page->parentWidget() != nullptr) page->setParent(nullptr);
        page->m_pSheet = nullptr;
    }
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage == nullptr) return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
    if (m_built) {
        if (m_tabs) m_tabs->addTab(pPage, pPage->GetCaption());
        else m_stack->addWidget(pPage);
    }
}

void CPropertySheet::RemovePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return;
    CPropertyPage* page = m_pages[std::size_t(nPage)];
    m_pages.erase(m_pages.begin() + nPage);
    m_switching = true;
    page->setParent(nullptr);
    m_switching = false;
    page->m_pSheet = nullptr;
    if (m_active == nPage) {
        m_active = -1;
        if (!m_pages.empty()) ActivateFrom(std::min(nPage, GetPageCount() - 1), +1);
    } else if (m_active > nPage) {
        --m_active;
    }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[std::size_t(nPage)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_active); }

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
    auto found = std::find(m_pages.begin(), m_pages.end(), pPage);
    return found == m_pages.end() ? -1 : int(found - m_pages.begin());
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
    if (!m_built) {
        m_initialPage = UINT(nPage);
        return TRUE;
    }
    if (CPropertyPage* current = GetActivePage(); current && nPage != m_active && !current->OnKillActive()) return FALSE;
    return ActivateFrom(nPage, +1) ? TRUE : FALSE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

void CPropertySheet::SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
    m_wizardButtons = dwFlags;
    UpdateButtons();
}

void CPropertySheet::SetFinishText(const QString& text) {
    m_finishText = text;
    if (m_buttons[PSBTN_FINISH]) m_buttons[PSBTN_FINISH]->setText(text);
}

QPushButton* CPropertySheet::Button(int nButton) const {
    return nButton >= 0 && nButton < 7 ? m_buttons[nButton] : nullptr;
}

void CPropertySheet::BuildLayout() {
    if (m_built) return;
    m_built = true;
    auto* layout = new QVBoxLayout(this);
    if (IsWizard()) {
        m_stack = new QStackedWidget(this);
        for (CPropertyPage* page : m_pages) m_stack->addWidget(page);
        layout->addWidget(m_stack);
    } else {
        m_tabs = new QTabWidget(this);
        for (CPropertyPage* page : m_pages) m_tabs->addTab(page, page->GetCaption());
        layout->addWidget(m_tabs);
        QObject::connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
            if (m_switching || index < 0 || index == m_active) return;
            CPropertyPage* current = GetActivePage();
            if (current && !current->OnKillActive()) {
                ShowPage(m_active);  // the page keeps the focus
                return;
            }
            if (!ActivateFrom(index, +1)) ShowPage(m_active);
        });
    }
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    if (IsWizard()) {
        m_buttons[PSBTN_BACK] = AddButton(ID_WIZBACK, QStringLiteral("< &Back"));
        m_buttons[PSBTN_NEXT] = AddButton(ID_WIZNEXT, QStringLiteral("&Next >"));
        m_buttons[PSBTN_FINISH] = AddButton(ID_WIZFINISH, m_finishText.isEmpty() ? QStringLiteral("Finish") : m_finishText);
        m_buttons[PSBTN_CANCEL] = AddButton(IDCANCEL, QStringLiteral("Cancel"));
        m_buttons[PSBTN_NEXT]->setDefault(true);
        for (int b : {PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH, PSBTN_CANCEL}) row->addWidget(m_buttons[b]);
    } else {
        m_buttons[PSBTN_OK] = AddButton(IDOK, QStringLiteral("OK"));
        m_buttons[PSBTN_CANCEL] = AddButton(IDCANCEL, QStringLiteral("Cancel"));
        // Enter in a field presses OK, as in any dialog.
        m_buttons[PSBTN_OK]->setDefault(true);
        row->addWidget(m_buttons[PSBTN_OK]);
        row->addWidget(m_buttons[PSBTN_CANCEL]);
        if (!(m_psh.dwFlags & PSH_NOAPPLYNOW)) {
            m_buttons[PSBTN_APPLYNOW] = AddButton(ID_APPLY_NOW, QStringLiteral("&Apply"));
            m_buttons[PSBTN_APPLYNOW]->setEnabled(false);
            row->addWidget(m_buttons[PSBTN_APPLYNOW]);
        }
    }
    layout->addLayout(row);
}

void CPropertySheet::ShowPage(int index) {
    m_switching = true;
    m_active = index;
    if (m_tabs) m_tabs->setCurrentIndex(index);
    if (m_stack) m_stack->setCurrentIndex(index);
    m_switching = false;
    UpdateButtons();
}

bool CPropertySheet::ActivateFrom(int index, int step) {
    const int previous = m_active;
    for (int i = index; i >= 0 && i < GetPageCount(); i += step) {
        CPropertyPage* page = m_pages[std::size_t(i)];
        m_active = i;
        page->PrepareForShow();
        if (page->OnSetActive()) {
            page->m_bShown = true;
            ShowPage(i);
            return true;
        }
    }
    m_active = previous;
    return false;
}

void CPropertySheet::UpdateButtons() {
    if (!m_built) return;
    if (IsWizard()) {
        const bool finish = m_wizardButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH);
        m_buttons[PSBTN_BACK]->setEnabled(m_wizardButtons & PSWIZB_BACK);
        m_buttons[PSBTN_NEXT]->setEnabled(m_wizardButtons & PSWIZB_NEXT);
        m_buttons[PSBTN_FINISH]->setVisible(finish);
        m_buttons[PSBTN_FINISH]->setEnabled(m_wizardButtons & PSWIZB_FINISH);
        m_buttons[PSBTN_NEXT]->setVisible(!finish || (m_psh.dwFlags & PSH_WIZARD97) || (m_wizardButtons & PSWIZB_NEXT));
    } else if (m_buttons[PSBTN_APPLYNOW]) {
        const bool modified = std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* p) { return p->IsModified(); });
        m_buttons[PSBTN_APPLYNOW]->setEnabled(modified);
    }
}

void CPropertySheet::PageModified(CPropertyPage*) { UpdateButtons(); }

void CPropertySheet::PageDestroyed(CPropertyPage* page) {
    // A page that goes before its sheet just leaves; nothing is asked of it.
    const int index = GetPageIndex(page);
    if (index < 0) return;
    m_switching = true;
    m_pages.erase(m_pages.begin() + index);
    page->setParent(nullptr);
    if (m_active == index) m_active = -1;
    else if (m_active > index) --m_active;
    m_switching = false;
}

BOOL CPropertySheet::OnInitDialog() {
    BuildLayout();
    for (CPropertyPage* page : m_pages) page->m_bShown = false;
    m_active = -1;
    if (!m_pages.empty() && !ActivateFrom(std::min(int(m_initialPage), GetPageCount() - 1), +1)) ActivateFrom(0, +1);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal() { return CDialog::DoModal(); }

BOOL CPropertySheet::Create(UINT nIDTemplate, CWnd* pParentWnd) { return CDialog::Create(nIDTemplate, pParentWnd); }

bool CPropertySheet::Next() {
    CPropertyPage* page = GetActivePage();
    if (page == nullptr) return false;
    const LRESULT answer = page->OnWizardNext();
    if (answer == -1) return false;
    int target = m_active + 1;
    if (answer != 0) {
        target = -1;
        for (int i = 0; i < GetPageCount(); ++i)
            if (m_pages[std::size_t(i)]->GetTemplateId() == UINT(answer)) target = i;
    }
    if (target < 0 || target >= GetPageCount()) return false;
    if (!page->OnKillActive()) return false;
    return ActivateFrom(target, target > m_active ? +1 : -1);
}

bool CPropertySheet::Back() {
    CPropertyPage* page = GetActivePage();
    if (page == nullptr) return false;
    const LRESULT answer = page->OnWizardBack();
    if (answer == -1) return false;
    int target = m_active - 1;
    if (answer != 0) {
        target = -1;
        for (int i = 0; i < GetPageCount(); ++i)
            if (m_pages[std::size_t(i)]->GetTemplateId() == UINT(answer)) target = i;
    }
    if (target < 0 || target >= GetPageCount()) return false;
    return ActivateFrom(target, target > m_active ? +1 : -1);
}

bool CPropertySheet::Finish() {
    CPropertyPage* page = GetActivePage();
    if (page != nullptr && !page->OnWizardFinish()) return false;
    EndDialog(ID_WIZFINISH);
    return true;
}

bool CPropertySheet::Apply() {
    CPropertyPage* page = GetActivePage();
    if (page != nullptr && !page->OnKillActive()) return false;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* p = m_pages[std::size_t(i)];
        if (!p->m_bShown) continue;
        if (!p->OnApply()) {
            ActivateFrom(i, +1);
            return false;
        }
    }
    for (CPropertyPage* p : m_pages) p->m_bModified = FALSE;
    UpdateButtons();
    return true;
}

void CPropertySheet::OnOK() {
    if (IsWizard()) {
        PressButton((m_wizardButtons & PSWIZB_FINISH) ? PSBTN_FINISH : PSBTN_NEXT);
        return;
    }
    if (Apply()) EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
    CPropertyPage* page = GetActivePage();
    if (page != nullptr && !page->OnQueryCancel()) return;
    for (CPropertyPage* p : m_pages) {
        if (!p->m_bShown) continue;
        p->OnReset();
        p->OnCancel();
    }
    EndDialog(IDCANCEL);
}

BOOL CPropertySheet::PressButton(int nButton) {
    QPushButton* button = Button(nButton);
    if (button == nullptr || !button->isEnabled()) return FALSE;
    switch (nButton) {
    case PSBTN_BACK: return Back();
    case PSBTN_NEXT: return Next();
    case PSBTN_FINISH: return Finish();
    case PSBTN_OK: OnOK(); return TRUE;
    case PSBTN_APPLYNOW: return Apply();
    case PSBTN_CANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}
