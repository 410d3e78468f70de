#pragma once
// The shared fixture of the batch tests: a project document template, a
// batch host that collects the status log and counts the busy window's
// calls, and the RAA sample project (tests/data/triangles/raa.csv) built in
// the kernel: paid loss in Net, 1.5 x RAA as incurred loss in Direct.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QWidget>

#include <memory>
#include <string>

#include "BatchHost.h"
#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CTriangView.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

namespace qs::test {

inline constexpr QSID kPaid = 101000001;      // Paid Loss
inline constexpr QSID kIncurred = 101000011;  // Incurred Loss

// The busy window of a run, as a test sees it: Cancel is pressed when the
// test says so.
class FakeBusy : public qs::exchange::BatchBusy {
public:
    explicit FakeBusy(int& cancelAfter, int& registered) : m_cancelAfter(cancelAfter), m_registered(registered) {}
    bool CheckCancel() override { return m_cancelAfter >= 0 && m_cancelAfter-- == 0; }
    void SetPosLower() override {}
    void SetPosUpper() override {}
    void RegisterProgress() override { ++m_registered; }
    void UnregisterProgress() override { --m_registered; }

private:
    int& m_cancelAfter;
    int& m_registered;
};

inline const qs::calc::Triangle& Raa() {
    static const qs::calc::Triangle t = [] {
        qs::calc::Triangle out;
        qs::calc::ParseLongCsv(ReadFile(DataDir() + "/triangles/raa.csv"), "values", out);
        return out;
    }();
    return t;
}

// 10 x 10 annual from 1981; RAA paid in Net, 1.5 x RAA incurred in Direct.
inline void FillRaa(CProject& p, double scale = 1.0) {
    std::uint16_t gen = 5, n = 10, year = 1981, interval = 1, age = 12;
    PRDLENGTH len = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    ASSERT_EQ(p.Create(gen, n, len, year, interval, n, len, age, c1, c2), 0);
    const qs::calc::Triangle& t = Raa();
    ASSERT_EQ(t.rows, 10);
    for (int r = 0; r < t.rows; ++r)
        for (int c = 0; c < t.cols; ++c)
            if (t.Has(r, c)) {
                ASSERT_EQ(p.FindDataObject(kPaid, NET)->SetAt(r, c, t.At(r, c) * scale), 0);
                ASSERT_EQ(p.FindDataObject(kIncurred, DIRECT)->SetAt(r, c, t.At(r, c) * 1.5 * scale), 0);
            }
}

inline bool Cell(const CProject& p, QSID id, unsigned short layer, int r, int c, double& v) {
    CDataObject* d = p.FindDataObject(id, layer);
    if (d == nullptr) return false;
    std::uint8_t f = 0;
    return d->GetAt(r, c, v, f) == 0 && (f & CDataObject::CF_VALUE) != 0;
}

class ExchangeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        m_main = std::make_unique<QWidget>();
        m_main->show();
        qs::fw::SetMainWindow(m_main.get());
        m_template = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                         RUNTIME_CLASS(CTriangView));
        m_dir = QString::fromStdString(MakeTempDir("exchange"));
        qs::project::Host().workingDirectory = m_dir;
        qs::project::Host().viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            return kind == qs::project::ObjectViewKind::Table ? m_template.get() : nullptr;
        };
        m_host.projectTemplate = m_template.get();
        m_host.filesPath = m_dir;
        m_host.openStatusWindow = [this](const QString& title) {
            m_log << QStringLiteral("[") + title + QStringLiteral("]");
            return true;
        };
        m_host.writeStatus = [this](const QString& text) { m_log << text; };
        m_host.openBusy = [this](const QString& caption, bool showCancel) -> std::unique_ptr<qs::exchange::BatchBusy> {
            m_busyCaption = caption;
            m_busyShowsCancel = showCancel;
            return std::make_unique<FakeBusy>(m_cancelAfter, m_registered);
        };
        m_host.openForEditing = [this](const QString& path) { m_openedForEditing << path; };
        m_host.setBatchRunning = [this](bool on) { m_batchRunning = on; };
    }

    void TearDown() override {
        for (CDocument* doc : std::vector<CDocument*>(m_template->Documents())) {
            doc->SetModifiedFlag(FALSE);
            doc->OnCloseDocument();
        }
        qs::project::Host() = qs::project::ProjectHost{};
        qs::fw::SetMainWindow(nullptr);
    }

    QString Path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

    // Writes the RAA project as a project file.
    QString WriteSampleProject(const QString& name, double scale = 1.0) {
        CProjectDoc doc;
        doc.m_bAutoDelete = FALSE;
        FillRaa(*doc.GetProject(), scale);
        const QString path = Path(name);
        EXPECT_TRUE(doc.OnSaveDocument(path));
        doc.SetModifiedFlag(FALSE);
        doc.OnCloseDocument();
        return path;
    }

    // Opens a project file the way a user would have it open.
    CProjectDoc* OpenDocument(const QString& path) {
        return dynamic_cast<CProjectDoc*>(m_template->OpenDocumentFile(path, FALSE));
    }

    // Loads a project file into a kernel project for comparison.
    std::unique_ptr<CProjectDoc> Load(const QString& path) {
        auto doc = std::make_unique<CProjectDoc>();
        doc->m_bAutoDelete = FALSE;
        if (!doc->OnOpenDocument(path)) return nullptr;
        doc->SetPathName(path, FALSE);
        return doc;
    }

    QString LogText() const { return m_log.join(QLatin1Char('\n')); }

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<CMultiDocTemplate> m_template;
    QString m_dir;
    qs::exchange::BatchHost m_host;
    QStringList m_log;
    QString m_busyCaption;
    bool m_busyShowsCancel = false;
    int m_cancelAfter = -1;  // the n-th poll of Cancel (from 0) says pressed
    int m_registered = 0;
    QStringList m_openedForEditing;
    bool m_batchRunning = false;
};

}  // namespace qs::test
