#include "frames/Placeholders.h"

#include "CQuillstoneApp.h"

namespace qs::app::placeholder {

namespace {
void SetAutomationActive(int on) {
    if (CQuillstoneApp* app = CQuillstoneApp::Current()) app->m_nAutomationActive = on;
}
}  // namespace

CQuillstoneAutomationDoc::CQuillstoneAutomationDoc() { SetAutomationActive(1); }
CQuillstoneAutomationDoc::~CQuillstoneAutomationDoc() { SetAutomationActive(0); }
CQuillstoneStandaloneDoc::CQuillstoneStandaloneDoc() { SetAutomationActive(1); }
CQuillstoneStandaloneDoc::~CQuillstoneStandaloneDoc() { SetAutomationActive(0); }

}  // namespace qs::app::placeholder
