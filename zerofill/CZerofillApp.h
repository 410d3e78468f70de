#pragma once
// The blanks-to-zeros program: one running copy at a time, its wizard as the
// main window.
#include <memory>

#include "CWinApp.h"

namespace qs::ipc {
class InstanceCounter;
}

class CZerofillApp : public CWinApp {
public:
    CZerofillApp();
    ~CZerofillApp() override;
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    std::unique_ptr<qs::ipc::InstanceCounter> m_counter;
};
