#pragma once
// A project document on a copy of the sample project (the RAA paid-loss
// triangle), with the view templates the print list opens its objects in,
// and a printing host that prints to PDF files in the test's folder.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "CDocTemplate.h"
#include "CExhibitView.h"
#include "CFrameWnd.h"
#include "CInfoView.h"
#include "CMethodView.h"
#include "CPrintInfo.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CScalarView.h"
#include "CTriangView.h"
#include "MessageBox.h"
#include "PrintFields.h"
#include "PrintHost.h"
#include "PrintTestSupport.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

namespace qs::test {

inline constexpr QSID kPaid = 101000001;

class PrintListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = MakeTempDir("printlist");
        ResetPrintHost(m_dir);
        qs::views::Settings() = qs::views::ViewSettings{};
        m_table = Template(RUNTIME_CLASS(CTriangView));
        m_exhibit = Template(RUNTIME_CLASS(CExhibitView));
        m_method = Template(RUNTIME_CLASS(CMethodView));
        m_scalar = Template(RUNTIME_CLASS(CScalarView));
        m_info = Template(RUNTIME_CLASS(CInfoView));
        qs::project::Host().viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            switch (kind) {
            case qs::project::ObjectViewKind::Table: return m_table.get();
            case qs::project::ObjectViewKind::Exhibit: return m_exhibit.get();
            case qs::project::ObjectViewKind::Method: return m_method.get();
            case qs::project::ObjectViewKind::Scalar: return m_scalar.get();
            case qs::project::ObjectViewKind::Info: return m_info.get();
            default: return nullptr;
            }
        };
        auto& host = qs::print::Host();
        host.preparePrinter = [this](QPrinter& printer, CProjectDoc*, const QString&) {
            const QString path = QString::fromStdString(m_dir) + QStringLiteral("/job%1.pdf").arg(++m_jobs);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setPageSize(QPageSize(QPageSize::Letter));
            m_pdfs.push_back(path);
            return true;
        };
        host.expandPrintFields = [](const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object) {
            return qs::print::ExpandPrintFields(text, info, doc, object, true);
        };
        qs::views::Settings().expandPrintFields = [](const QString& text, CPrintInfo* info, CObjectView* view) {
            auto* doc = dynamic_cast<CProjectDoc*>(view->GetDocument());
            return qs::print::ExpandPrintFields(text, info, doc, view->GetObject(), true);
        };
        m_doc = OpenSample("sample.qs5");
        ASSERT_TRUE(m_doc);
    }
    void TearDown() override {
        if (m_doc) m_doc->CloseObjectViews(TRUE);
        m_docs.clear();
        m_doc.reset();
        qs::project::Host().viewTemplate = nullptr;
        qs::views::Settings() = qs::views::ViewSettings{};
        qs::print::Host() = qs::print::PrintHost{};
    }

    std::unique_ptr<CMultiDocTemplate> Template(const CRuntimeClass* view) {
        return std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd), view);
    }

    // A copy of the sample project under name, opened.
    std::unique_ptr<CProjectDoc> OpenSample(const std::string& name) {
        const std::string copy = m_dir + "/" + name;
        WriteFile(copy, ReadFile(DataDir() + "/projects/gen.qs5"));
        auto doc = std::make_unique<CProjectDoc>();
        doc->m_bAutoDelete = FALSE;
        if (!doc->OnOpenDocument(QString::fromStdString(copy))) return nullptr;
        doc->SetPathName(QString::fromStdString(copy), FALSE);
        return doc;
    }

    QString Path(const std::string& name) const { return QString::fromStdString(m_dir + "/" + name); }

    std::string m_dir;
    std::unique_ptr<CMultiDocTemplate> m_table, m_exhibit, m_method, m_scalar, m_info;
    std::unique_ptr<CProjectDoc> m_doc;
    std::vector<std::unique_ptr<CProjectDoc>> m_docs;
    std::vector<QString> m_pdfs;
    int m_jobs = 0;
    qs::fw::MessageBoxScript m_boxes;
};

}  // namespace qs::test
