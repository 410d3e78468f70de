// Object windows of a project document: a triangle opened through the
// document shows the kernel's cells, a typed cell reaches the kernel and the
// calculated layer's open window follows, and the edit is saved.
#include <gtest/gtest.h>

#include <memory>

#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CInfoView.h"
#include "CScalar.h"
#include "CScalarView.h"
#include "CTriangView.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

namespace {

constexpr QSID kPaid = 101000001;

CTriangView* TriangleIn(CFrameWnd* frame) {
    if (frame == nullptr) return nullptr;
    for (CView* view : frame->GetViews())
        if (auto* t = dynamic_cast<CTriangView*>(view)) return t;
    return nullptr;
}

double GridNumber(CTriangView* view, int row, int col) {
    double value = 0;
    view->GetCtrl()->GetNumber(row, col, value);
    return value;
}

double KernelCell(CProjectDoc& doc, unsigned short layer, int row, int col) {
    double value = 0;
    std::uint8_t flags = 0;
    doc.GetProject()->FindDataObject(kPaid, layer)->GetAt(row, col, value, flags);
    return value;
}

class ProjectObjectViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        qs::views::Settings().defaultShow = 1;  // incremental: what is typed is what is stored
        m_template = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                         RUNTIME_CLASS(CTriangView));
        m_scalarTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                               RUNTIME_CLASS(CScalarView));
        m_infoTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                             RUNTIME_CLASS(CInfoView));
        qs::project::Host().viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            switch (kind) {
            case qs::project::ObjectViewKind::Table: return m_template.get();
            case qs::project::ObjectViewKind::Scalar: return m_scalarTemplate.get();
            case qs::project::ObjectViewKind::Info: return m_infoTemplate.get();
            default: return nullptr;
            }
        };
        m_dir = qs::test::MakeTempDir("views");
    }
    void TearDown() override { qs::project::Host().viewTemplate = nullptr; }

    std::unique_ptr<CProjectDoc> NewDocument() {
        auto doc = std::make_unique<CProjectDoc>();
        doc->m_bAutoDelete = FALSE;  // the test owns it
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        EXPECT_EQ(doc->GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
        return doc;
    }

    std::unique_ptr<CMultiDocTemplate> m_template;
    std::unique_ptr<CMultiDocTemplate> m_scalarTemplate;
    std::unique_ptr<CMultiDocTemplate> m_infoTemplate;
    std::string m_dir;
};

TEST_F(ProjectObjectViewsTest, TriangleOpensEditsFollowsAndSaves) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    CProject* project = doc->GetProject();
    project->FindDataObject(kPaid, NET)->SetAt(0, 0, 100.0);
    project->FindDataObject(kPaid, CEDED)->SetAt(0, 0, 10.0);
    project->FindDataObject(kPaid, NET)->SetAt(1, 1, 7.0);

    CFrameWnd* netFrame = doc->OpenObjectView(kPaid, NET);
    CTriangView* net = TriangleIn(netFrame);
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->GetObject(), project->FindDataObject(kPaid, NET));
    EXPECT_EQ(GridNumber(net, 1, 1), 100.0);
    EXPECT_EQ(GridNumber(net, 2, 2), 7.0);
    EXPECT_TRUE(net->GetCaption().contains(QStringLiteral("(Net)")));
    CTriangView* gross = TriangleIn(doc->OpenObjectView(kPaid, GROSS));
    ASSERT_NE(gross, nullptr);
    EXPECT_EQ(GridNumber(gross, 1, 1), 110.0);
    // Asking again activates the open window.
    EXPECT_EQ(doc->OpenObjectView(kPaid, NET), netFrame);

    // Typing into the Net grid reaches the kernel; Gross is recalculated
    // and its open window shows the new sum.
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetActiveCell(1, 1);
    ASSERT_EQ(ctrl->StartEdit(QStringLiteral("250"), true), 0);
    ctrl->EndEdit();
    EXPECT_EQ(KernelCell(*doc, NET, 0, 0), 250.0);
    EXPECT_EQ(KernelCell(*doc, GROSS, 0, 0), 260.0);
    EXPECT_EQ(GridNumber(gross, 1, 1), 260.0);

    // Closing a window lets go of its kernel object.
    CDataObject* grossObject = project->FindDataObject(kPaid, GROSS);
    EXPECT_EQ(grossObject->GetViewedCount(), 1);
    gross->GetParentFrame()->DestroyWindow();
    EXPECT_EQ(grossObject->GetViewedCount(), 0);

    const std::string path = m_dir + "/edited.qs5";
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    doc->OnCloseDocument();  // the Net window goes with the document
    EXPECT_EQ(project->FindDataObject(kPaid, NET)->GetViewedCount(), 0);
    doc.reset();

    auto reopened = std::make_unique<CProjectDoc>();
    reopened->m_bAutoDelete = FALSE;
    ASSERT_TRUE(reopened->OnOpenDocument(QString::fromStdString(path)));
    CTriangView* again = TriangleIn(reopened->OpenObjectView(kPaid, NET));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GridNumber(again, 1, 1), 250.0);
    reopened->OnCloseDocument();
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(ProjectObjectViewsTest, ObjectThatCannotOpenLeavesNoWindowAndKeepsTheDocument) {
    auto doc = NewDocument();
    doc->m_bAutoDelete = TRUE;  // a failed window must not close the document
    EXPECT_EQ(doc->OpenObjectView(MakeID(1, 1, 0, 0, 99), NET), nullptr);
    EXPECT_TRUE(doc->Views().empty());
    EXPECT_NE(doc->GetProject(), nullptr);
    doc->m_bAutoDelete = FALSE;
}

TEST_F(ProjectObjectViewsTest, StructuralChangeDetachesAndReattachesTheWindow) {
    auto doc = NewDocument();
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 42.0);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    QSSTATUS status = 0;
    net->GetTO()->ViewCumulative(1, status, 1);
    doc->CloseObjectViews(FALSE);
    EXPECT_EQ(net->GetObject(), nullptr);
    EXPECT_EQ(net->GetTO(), nullptr);
    doc->ReopenObjectViews();
    ASSERT_NE(net->GetTO(), nullptr);
    EXPECT_TRUE(net->GetTO()->IsViewedCumulative());  // the remembered presentation
    EXPECT_EQ(GridNumber(net, 1, 1), 42.0);
    doc->OnCloseDocument();
}

TEST_F(ProjectObjectViewsTest, ScalarAndInformationWindowsOpenOnceEach) {
    auto doc = NewDocument();
    CScalar proto;
    proto.SetIDLongName("Trend Rate");
    proto.SetIDShortName("TR");
    proto.SetInitialized(true);
    QSID id = 0;
    ASSERT_EQ(doc->GetProject()->AddNewObject(proto, id, 1), 0);
    auto* stored = dynamic_cast<CScalar*>(doc->GetProject()->FindObject(id, NET));
    ASSERT_NE(stored, nullptr);
    stored->SetValue(0.25);
    CFrameWnd* frame = doc->OpenObjectView(id, NET);
    ASSERT_NE(frame, nullptr);
    CScalarView* scalar = nullptr;
    for (CView* v : frame->GetViews())
        if ((scalar = dynamic_cast<CScalarView*>(v)) != nullptr) break;
    ASSERT_NE(scalar, nullptr);
    double value = 0;
    scalar->GetCtrl()->GetNumber(1, 1, value);
    EXPECT_DOUBLE_EQ(value, 0.25);
    EXPECT_EQ(doc->OpenObjectView(id, NET), frame);

    CFrameWnd* info = doc->OpenObjectView(0, NET);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(doc->OpenObjectView(0, GROSS), info);  // one information window per project
    doc->OnCloseDocument();
}

}  // namespace
