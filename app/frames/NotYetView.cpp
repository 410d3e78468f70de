#include "frames/NotYetView.h"

#include <QVBoxLayout>

#include "CFormula.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"

namespace qs::app {

CNotYetView::CNotYetView(QWidget* parent) : CView(parent), m_label(new QLabel(this)) {
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
}

QString CNotYetView::Message() const { return m_label->text(); }

void CNotYetView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    QString name = QStringLiteral("This table");
    QString caption = name;
    auto* doc = dynamic_cast<CProjectDoc*>(GetDocument());
    if (doc != nullptr && doc->GetProject() != nullptr) {
        CProject* project = doc->GetProject();
        const QSID id = doc->GetPendingObjectID();
        const unsigned short layer = doc->GetPendingLayer();
        QSID base = id;
        SetIDLayer(base, 0);
        CFormula* object = project->FindObject(base, layer);
        if (object == nullptr) object = project->FindObject(id, layer);
        std::string layerName;
        project->GetNameLayer(layerName, layer);
        if (object != nullptr) {
            name = QString::fromStdString(object->GetIDName(-1));
            caption = name + QStringLiteral(" (") + QString::fromStdString(layerName) + QLatin1Char(')');
        }
        caption = doc->GetTitle() + QStringLiteral(": ") + caption;
    }
    m_label->setText(name + QStringLiteral("\n\nThis kind of table cannot be shown yet: its view is not "
                                            "available in this version of Quillstone."));
    if (CFrameWnd* frame = GetParentFrame()) frame->SetWindowText(caption);
}

}  // namespace qs::app
