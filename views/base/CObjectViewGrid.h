#pragma once
// The grid window of a data view: checks what the user types when the edit
// ends and hands the entry, once the grid has stored it, to the view's SetAt,
// the one way typed, pasted and cleared cells reach the kernel object.
#include "CSpreadsheetWnd.h"

class CObjectView;

class CObjectViewGrid : public CSpreadsheetWnd {
public:
    explicit CObjectViewGrid(CObjectView* view = nullptr);

    CObjectView* GetView() const { return m_pView; }
    void SetView(CObjectView* view) { m_pView = view; }

    void OnEndEdit(const QString& text, bool& cancel) override;
    void OnEntryStored() override;
    void OnCancelEdit() override;
    // Copy, cut, paste and Delete typed in the grid run the view's commands,
    // so they change the object exactly as the menu commands do.
    void OnKeyDown(qs::ss::Notification* n) override;

    // True when the typed text may be handed to the view: a formula (leading
    // "="), or text without letters.
    static bool IsAcceptableEntry(const QString& text);
    static constexpr const char* kNumericOnly = "Only numeric characters are allowed.";

private:
    CObjectView* m_pView = nullptr;
};
