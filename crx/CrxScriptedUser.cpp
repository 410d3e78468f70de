#include "CrxScriptedUser.h"

#include <QApplication>
#include <QTabWidget>

#include "AutomationObject.h"
#include "CCrxApp.h"
#include "CCurveGridBar.h"
#include "CCurveGridWnd.h"
#include "CGridFrame.h"
#include "CMainFrame.h"
#include "CrxDialogs.h"
#include "MessageBox.h"
#include "ModalScript.h"

namespace crx {

namespace {

void Settle() {
    for (int i = 0; i < 8; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents();
    }
}

}  // namespace

bool ScriptedUserWanted() { return qgetenv("QS_CRX_SCRIPTED_USER") == "1"; }

void AddScriptedUser(qs::automation::AutomationObject& object) {
    object.AddMethod("Act", [](qs::automation::AutomationCall& call) -> QVariant {
        CCrxApp* app = CrxApp();
        const QString action = call.args.value(0).toString();
        CGridFrame* grid = app->m_pGridFrame;
        if ((action == "cutoff" || action == "exclude") && !grid) {
            call.Fail(QStringLiteral("no grid window"));
            return {};
        }
        if (action == "cutoff") {
            const int curve = call.args.value(1).toInt();
            grid->Bar()->Tabs()->setCurrentIndex(curve);
            Settle();
            qs::fw::MessageBoxScript boxes;
            qs::fw::ModalScript script;
            const QString text = call.args.value(2).toString();
            script.Then<CValueDlg>([text](CValueDlg& d) {
                d.SetDlgItemText(1019, text);
                d.OnOK();
                if (d.isVisible()) d.OnCancel();
            });
            grid->Bar()->Panel(curve)->OnCutoff();
            Settle();
            return QVariant(boxes.Texts().join('\n'));
        }
        if (action == "exclude") {
            grid->Bar()->Tabs()->setCurrentIndex(call.args.value(1).toInt());
            Settle();
            grid->Grid()->OnClick(call.args.value(2).toInt() + 1, 4);
            Settle();
            return QVariant(true);
        }
        if (action == "apply") {
            const int mask = call.args.value(1).toInt();
            qs::fw::ModalScript script;
            script.Then<CApplyDlg>([mask](CApplyDlg& d) {
                for (int c = 0; c < 3; ++c) d.CheckDlgButton(1000 + c, (mask >> c) & 1);
                d.OnOK();
            });
            app->MainFrame()->OnApply();
            return QVariant(true);
        }
        if (action == "cancel") {
            qs::fw::MessageBoxScript boxes{IDYES};
            app->MainFrame()->OnCancel();
            return QVariant(boxes.Texts().join('\n'));
        }
        if (action == "state") return QVariant(CCrxApp::StreamOf(app->GetWorking()));
        call.Fail(QStringLiteral("unknown action ") + action);
        return {};
    });
}

}  // namespace crx
