#include "CZerofillApp.h"

#include "KernelGlobals.h"
#include "MessageBox.h"
#include "QsInstanceCounter.h"
#include "ZerofillPages.h"

CZerofillApp::CZerofillApp() : CWinApp(QStringLiteral("Zerofill")) {}

CZerofillApp::~CZerofillApp() = default;

BOOL CZerofillApp::InitInstance() {
    m_counter = std::make_unique<qs::ipc::InstanceCounter>("zerofill");
    const int count = m_counter->Increment();
    // A counter that cannot be had (no runtime folder) lets the program run.
    if (count < 0) m_counter.reset();
    if (count > 1) {
        AfxMessageBox(QStringLiteral("Application is running."), MB_OK);
        return FALSE;
    }
    InitNumbrixExtensionDLL();
    CZerofillSheet sheet;
    m_pMainWnd = &sheet;
    qs::fw::SetMainWindow(&sheet);
    sheet.DoModal();
    qs::fw::SetMainWindow(nullptr);
    m_pMainWnd = nullptr;
    return FALSE;
}

int CZerofillApp::ExitInstance() {
    if (m_counter) m_counter->Decrement();
    m_counter.reset();
    return CWinApp::ExitInstance();
}
