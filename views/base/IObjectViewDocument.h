#pragma once
// What a table view needs of the project document that owns it. The project
// document implements it; tests give the views a small document of their own.
#include <QString>

#include "KernelTypes.h"

class CProject;
class CPageSetup;
namespace qs::ss {
class SpreadsheetControl;
}

class IObjectViewDocument {
public:
    virtual ~IObjectViewDocument() = default;

    virtual CProject* GetProject() const = 0;
    // The object and layer the opener asked for; the view takes them when it is created.
    virtual QSID GetPendingObjectID() const = 0;
    virtual unsigned short GetPendingLayer() const = 0;
    virtual QString GetDocumentTitle() const = 0;
    // The document cannot be changed (opened read-only).
    virtual bool IsDocumentReadOnly() const { return false; }
    // A sheet the new grid is joined to, when the document holds one.
    virtual qs::ss::SpreadsheetControl* GetSheetToJoin() const { return nullptr; }
    // Opens (or activates) the window of another object of the project:
    // activate an open one, make it visible, skip a summary report's options.
    // Non-zero on success.
    virtual int OpenObjectWindow(QSID id, unsigned short layer, int activate, int show, int flags) = 0;
    // Runs the ultimates flood fill of the project (with its progress and
    // completion message).
    virtual void RunUltimatesFloodFill() {}
};
