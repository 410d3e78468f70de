#include "CF1Ctrl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

#include "CCmdUI.h"
#include "CommandIds.h"
#include "SpreadsheetControl.h"

using namespace qs::ss;
using qs::fw::MenuItem;

// --- CF1Ctrl ------------------------------------------------------------------------

CF1Ctrl::CF1Ctrl(QWidget* parent) : CSpreadsheetWnd(parent) {}

void CF1Ctrl::OnControlCreated() {
    Ctrl()->installEventFilter(this);
    Ctrl()->viewport()->installEventFilter(this);
}

bool CF1Ctrl::eventFilter(QObject* watched, QEvent* event) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl != nullptr && (watched == ctrl || watched == ctrl->viewport()) && PreTranslateControlEvent(watched, event))
        return true;
    return CSpreadsheetWnd::eventFilter(watched, event);
}

bool CF1Ctrl::PreTranslateControlEvent(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut:
        // The grid keeps its selection and state while another control of
        // the dialog works.
        return watched == Ctrl();
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) m_bLButtonDown = 1;
        return false;
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && m_bLButtonDown;
    default: return false;
    }
}

// --- CF1WeightsCtrl ---------------------------------------------------------------

namespace {

CF1WeightsCtrl::PopupChooser& WeightsPopupChooser() {
    static CF1WeightsCtrl::PopupChooser chooser;
    return chooser;
}

}  // namespace

CF1WeightsCtrl::CF1WeightsCtrl(QWidget* parent) : CF1Ctrl(parent) {
    MapCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    MapCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    MapCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    MapCommand(kCmdDelete, [this] { OnEditDelete(); });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditDelete(); });
    MapUpdateCommand(ID_EDIT_PASTE, [this](CCmdUI* ui) { ui->Enable(Ctrl() && Ctrl()->CanEditPaste() && HasFocus()); });
    MapUpdateCommand(ID_EDIT_CLEAR, [this](CCmdUI* ui) { ui->Enable(HasFocus()); });
}

bool CF1WeightsCtrl::HasFocus() const { return Ctrl() != nullptr && Ctrl()->hasFocus(); }

void CF1WeightsCtrl::OnEditCopy() {
    if (Ctrl()) Ctrl()->EditCopy();
}

void CF1WeightsCtrl::OnEditCut() {
    OnEditCopy();
    OnEditDelete();
}

void CF1WeightsCtrl::OnEditPaste() {
    if (Ctrl()) Ctrl()->EditPaste();
}

void CF1WeightsCtrl::OnEditDelete() {
    // A grid the user may not edit keeps its values.
    if (Ctrl() && Ctrl()->GridSwitch(SSG_AllowEditing)) Ctrl()->Clear(SSC_Values);
}

const std::vector<MenuItem>& CF1WeightsCtrl::ContextMenuItems() {
    if (const auto* registered = qs::fw::FindMenu(kContextMenu); registered && !registered->empty())
        return registered->front().items;
    qs::fw::RegisterMenu(kContextMenu, {MenuItem(QStringLiteral("_POPUP_"),
                                                 std::vector<MenuItem>{MenuItem(QStringLiteral("Cu&t"), ID_EDIT_CUT),
                                                                       MenuItem(QStringLiteral("&Copy"), ID_EDIT_COPY),
                                                                       MenuItem(QStringLiteral("&Paste"), ID_EDIT_PASTE)})});
    return qs::fw::FindMenu(kContextMenu)->front().items;
}

void CF1WeightsCtrl::SetPopupChooser(PopupChooser chooser) { WeightsPopupChooser() = std::move(chooser); }

void CF1WeightsCtrl::ShowContextMenu(const QPoint& globalPos) {
    if (Ctrl() == nullptr || !Ctrl()->GridSwitch(SSG_AllowEditing)) return;
    QMenu menu(this);
    for (const MenuItem& item : ContextMenuItems()) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setData(item.id);
        CCmdUI ui;
        ui.m_nID = item.id;
        ui.m_pOther = &menu;
        ui.DoUpdate(this, FALSE);
        action->setEnabled(ui.m_bEnableChanged ? ui.m_enabled : true);
    }
    UINT command = 0;
    if (WeightsPopupChooser()) {
        command = WeightsPopupChooser()(menu, globalPos);
    } else if (QAction* chosen = menu.exec(globalPos)) {
        command = chosen->data().toUInt();
    }
    if (command != 0) SendMessage(WM_COMMAND, command, 0);
}

bool CF1WeightsCtrl::PreTranslateControlEvent(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: return watched == Ctrl();
    case QEvent::ContextMenu: {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        ShowContextMenu(menuEvent->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5))
                                                                           : menuEvent->globalPos());
        return true;
    }
    case QEvent::KeyPress: {
        if (watched != Ctrl()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & Qt::ShiftModifier)) {
            ShowContextMenu(mapToGlobal(QPoint(5, 5)));
            return true;
        }
        if (!(key->modifiers() & Qt::ControlModifier)) return false;
        switch (key->key()) {
        case Qt::Key_C: OnEditCopy(); return true;
        case Qt::Key_V: OnEditPaste(); return true;
        case Qt::Key_X: OnEditCut(); return true;
        default: return false;
        }
    }
    default: return false;  // left-button presses and double clicks as the grid has them
    }
}
