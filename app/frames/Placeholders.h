#pragma once
// Minimal stand-ins for the classes start-up creates whose own subsystems
// are not part of the program yet: the documents, frames and views the
// document templates combine. Each keeps only what start-up and shutdown touch; the real class
// replaces it (remove it here and include the subsystem's header instead).
#include <QMdiSubWindow>  // CMDIFrameWnd.h keeps a QPointer to one
#include <QWidget>

#include "CDocument.h"
#include "CMDIChildWnd.h"
#include "CSpreadsheetWnd.h"  // the start-up grid
#include "CView.h"
#include "frames/NotYetView.h"

// Documents, frames and views of the templates, each named as its
// subsystem names it, in a namespace of their own so the real classes can
// arrive without a clash.
namespace qs::app::placeholder {
// The views among them say in their window that they are not available yet.
using CView = qs::app::CNotYetView;
#define QS_PLACEHOLDER(Name, Base) \
    class Name : public Base {     \
    };
// The two server documents mark the application's automation as active
// while they exist.
class CQuillstoneAutomationDoc : public CDocument {
public:
    CQuillstoneAutomationDoc();
    ~CQuillstoneAutomationDoc() override;
};
class CQuillstoneStandaloneDoc : public CDocument {
public:
    CQuillstoneStandaloneDoc();
    ~CQuillstoneStandaloneDoc() override;
};
QS_PLACEHOLDER(CQuillstoneAutomationView, CView)
QS_PLACEHOLDER(CQuillstoneStandaloneView, CView)
#undef QS_PLACEHOLDER
}  // namespace qs::app::placeholder
