#pragma once
// What the project document asks of a view that shows one kernel object (a
// table, exhibit, method, scalar, graph or the information text): which
// object and layer it shows, and its link into the kernel, so the document
// can find, detach and re-attach object windows around structural changes.
// The object views implement it next to CView.
#include "KernelTypes.h"

class CFormula;
class IKernelWindow;

namespace qs::project {

// The views a project object can open in (the view template chosen for it).
enum class ObjectViewKind {
    None,
    Info,     // project information text (id 0)
    Graph,
    Update,   // the update table (id -1)
    PPA,
    Scalar,
    Params,   // the two parameter tables
    Table,
    Exhibit,
    Method,
};

class ObjectViewLink {
public:
    virtual ~ObjectViewLink() = default;
    virtual ObjectViewKind ViewKind() const = 0;
    // Creation, once the frame holds the view: the view takes the pending
    // object of its document. 0 on success; -1 makes the frame go again.
    virtual int OnCreate() { return 0; }
    // The object id (a graph view: its graph id) and the layer shown.
    virtual QSID ViewObjectId() const = 0;
    virtual unsigned short ViewLayer() const = 0;
    // The kernel link and the window the kernel calls back; null when detached.
    virtual CFormula* KernelLink() const { return nullptr; }
    virtual void SetKernelLink(CFormula*) {}
    virtual IKernelWindow* KernelWindow() { return nullptr; }
    // A table remembers whether it is shown cumulatively while detached.
    virtual void RememberCumulative() {}
    virtual void RestoreCumulative() {}
    // After re-attaching: redraw from the kernel (format, data; a graph redraws).
    virtual void RefreshAfterReattach() {}
    // A graph window counts one more open request.
    virtual void AddOpenRef() {}
    // The window leaves its document (it is closing) and is about to let go
    // of its kernel object.
    virtual void BeforeDetach() {}
};

}  // namespace qs::project
