#pragma once
// Book controls of dialogs: a spreadsheet window whose grid keeps its state
// when the keyboard focus leaves it.
//
// CF1Ctrl also ignores double clicks once the grid has been clicked, so a
// dialog's grid never opens a cell by a double click.
//
// CF1WeightsCtrl (the ultimate-weights grid) has its own clipboard commands:
// Ctrl+C, Ctrl+V and Ctrl+X (either case) copy, paste and cut, and a
// Cut/Copy/Paste context menu, offered only while its cells can be edited,
// opens at the pointer or, from the keyboard (menu key, Shift+F10), at the
// grid's top-left corner 5 pixels in. Its commands run on the grid itself.
#include <functional>
#include <vector>

#include "CSpreadsheetWnd.h"
#include "Resources.h"

class QMenu;

class CF1Ctrl : public CSpreadsheetWnd {
public:
    explicit CF1Ctrl(QWidget* parent = nullptr);

    // Set by the first left-button press on the grid.
    int m_bLButtonDown = 0;

protected:
    void OnControlCreated() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The grid's own messages; true when this window takes the message and
    // the grid never sees it.
    virtual bool PreTranslateControlEvent(QObject* watched, QEvent* event);
};

class CF1WeightsCtrl : public CF1Ctrl {
public:
    static constexpr UINT kContextMenu = 210;
    // The grid's Delete command (the Clear command is the framework's).
    static constexpr UINT kCmdDelete = 32837;

    explicit CF1WeightsCtrl(QWidget* parent = nullptr);

    // Command handlers.
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditDelete();  // also Clear: the values of the selection

    // Menu 210's Cut, Copy and Paste, each enabled as its update handler says.
    static const std::vector<qs::fw::MenuItem>& ContextMenuItems();
    // The context menu at a screen point: nothing unless the cells can be
    // edited. The chosen command goes to this window.
    void ShowContextMenu(const QPoint& globalPos);

    // Tests choose from the menu in place of a person: the chooser gets the
    // built menu and its position and returns the chosen command (0 none).
    using PopupChooser = std::function<UINT(QMenu& menu, const QPoint& globalPos)>;
    static void SetPopupChooser(PopupChooser chooser);

protected:
    bool PreTranslateControlEvent(QObject* watched, QEvent* event) override;

private:
    // The grid itself has the keyboard focus.
    bool HasFocus() const;
};
