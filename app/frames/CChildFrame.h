#pragma once
// The frame every project object opens in: the views set their own
// captions, "New Window" opens another frame on the active object, "Resize
// Window" replaces the frame by one fitted to its table, and "Close active
// window" closes it. The frames with toolbars derive from it.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include <functional>

#include "CMDIChildWnd.h"
#include "QsCommandIds.h"

class CDocument;

class CChildFrame : public CMDIChildWnd {
public:
    enum : UINT {
        ID_WINDOW_NEW_FRAME = 57648,
        ID_CLOSE_ACTIVE_WINDOW = qs::cmd::kCloseWindow,
        ID_RESIZE_WINDOW = qs::cmd::kResizeWindow,
        ID_VIEW_NAVIGATOR = qs::cmd::kShowNavigator,
        MF_SYSMENU = 0x2000,
        SIZE_RESTORED = 0,
        SIZE_MINIMIZED = 1,
    };
    CChildFrame();

    // How the project document opens another frame on the frame's object
    // (oldFrame null: an additional frame; else one that replaces oldFrame).
    // The document class installs it; false when no frame was opened.
    using OpenNewObjectFrameFn = std::function<bool(CDocument* document, CChildFrame* oldFrame)>;
    static void SetOpenNewObjectFrame(OpenNewObjectFrameFn fn);
    // Information views have no table to re-open (default: the CInfoView class).
    using IsInfoViewFn = std::function<bool(const CView* view)>;
    static void SetIsInfoView(IsInfoViewFn fn);
    // True while "Resize Window" re-opens an object in place of its frame.
    static bool IsRefitInProgress();

    void OnWindowNew();
    void OnResizeWindow();
    void OnCloseActiveWindow();

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    // The main frame's status line treats a child's system menu like its own
    // menus: its opening, and a selection in it (and the first one after),
    // are passed on to the main frame.
    void OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);
    // The main toolbar's "View Navigator" button shows pressed while the
    // child is not minimised.
    void OnSize(UINT nType);
    // True when the last menu selection was in a child's system menu.
    static bool LastSelectionInSystemMenu();

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    bool ActiveViewIsInfoView() const;
};
