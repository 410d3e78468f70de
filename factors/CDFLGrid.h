#pragma once
// The one-row grid of the factor-library view: the development factors of
// one factor set for one exhibit and layer, one column per development
// period. Typed entries are checked here and written by the view.
#include "CSpreadsheetWnd.h"

class CDFLView;

class CDFLGrid : public CSpreadsheetWnd {
public:
    static constexpr int kControlId = 2;

    explicit CDFLGrid(CDFLView* view, QWidget* parent = nullptr);
    ~CDFLGrid() override;

    // 0 until the view's permission check allows editing.
    int m_bEditPermission = 0;

    void OnEndEdit(const QString& text, bool& cancel) override;
    void OnEntryStored() override;
    void OnKeyDown(qs::ss::Notification* n) override;

    // Opens the grid's context menu (Cut, Copy, Paste) at pos (grid
    // coordinates); its commands go to the frame.
    void ShowContextMenu(const QPoint& pos);
    // Sets up a newly created control: one row, Enter moving down unless
    // "Enter Moves" is 4, the number format, the selection at (1, 1).
    void SetUp(int decimals);
    void ApplyEnterMoves();

private:
    CDFLView* m_pView;
};
