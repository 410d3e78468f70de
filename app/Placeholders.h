#pragma once
// Minimal stand-ins for neighbours that start-up creates but that are built
// by their own subsystems (main frame contents, spreadsheet host window,
// project set-up sheet, status window, document/view classes). Each keeps
// only what start-up and shutdown touch; its own work replaces it.
#include <QMainWindow>
#include <QWidget>
#include <string>

// The MDI main frame; start-up loads it with the resource set's menu id.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    bool LoadFrame(int resourceId);
    int ResourceId() const { return m_resourceId; }
    bool AcceptsDroppedFiles() const { return acceptDrops(); }

private:
    int m_resourceId = 0;
};

// The hidden host window of the spreadsheet control.
class CSpreadsheetWnd : public QWidget {
    Q_OBJECT
public:
    static CSpreadsheetWnd* CreateInParent(QWidget* parent);

private:
    explicit CSpreadsheetWnd(QWidget* parent);
};

// The single project set-up sheet.
class CPrjSheet : public QWidget {
    Q_OBJECT
public:
    static constexpr unsigned kNoApplyNow = 0x80;
    CPrjSheet();
    unsigned Flags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    void ResetPages(void* project);
    int ResetCount() const { return m_resets; }

private:
    unsigned m_flags = 0;
    int m_resets = 0;
};

// The frame of the status (log) window, created hidden at start-up.
class CStatusWindowFrame : public QWidget {
    Q_OBJECT
public:
    CStatusWindowFrame();
};

// A document template: which document, frame and view classes a kind of
// window combines, with the resource id of the resource set in use.
struct DocTemplateSpec {
    const char* name;
    int standardResource;
    int enterpriseResource;
    const char* documentClass;
    const char* frameClass;
    const char* viewClass;
    bool addedToApplication;
    const char* classId;  // OLE class of a server template, null otherwise
};

class CMultiDocTemplate {
public:
    CMultiDocTemplate(const DocTemplateSpec& spec, bool standardResources)
        : m_spec(spec), m_resourceId(standardResources ? spec.standardResource : spec.enterpriseResource) {}
    const DocTemplateSpec& Spec() const { return m_spec; }
    int ResourceId() const { return m_resourceId; }
    bool IsRegistered() const { return m_registered; }
    void SetRegistered(bool on) { m_registered = on; }

private:
    DocTemplateSpec m_spec;
    int m_resourceId;
    bool m_registered = false;
};
