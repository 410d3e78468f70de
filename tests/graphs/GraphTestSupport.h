#pragma once
// The graph tests' fixture: the sample project (RAA paid losses, annual,
// 1981-1990) opened in a project document, a working directory holding the
// installed graph files, and graph views opened on it as the program opens
// them (creation with its data source dialog, then the initial update).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <functional>
#include <memory>
#include <string>

#include "CGraph.h"
#include "CGraphView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CSelectDataSourceDlg.h"
#include "GraphDefaults.h"
#include "GraphHost.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "TestEnvironment.h"

namespace qs::test {

constexpr QSID kPaidLoss = 101000001;

inline QSID PaidExhibit() { return qsmethods::StandardExhibitID(1); }

// Finds the object in the dialog's tree (any node of the current tab) and
// chooses it in the object list.
inline bool ChooseInDataSource(CSelectDataSourceDlg& d, QSID id) {
    for (QTreeWidgetItemIterator it(d.Tree()); *it; ++it) {
        d.Tree()->setCurrentItem(*it);
        for (int i = 0; i < d.ObjectList()->count(); ++i) {
            const QSID listed = d.ObjectList()->item(i)->data(Qt::UserRole).value<QSID>();
            if (GetLayerNeutralID(listed) == GetLayerNeutralID(id)) return d.ChooseObjects({listed});
        }
    }
    return false;
}

class SampleGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        work = QString::fromStdString(MakeTempDir("graphwork"));
        qs::graphs::Host().workingDirectory = work;
        ASSERT_TRUE(qs::graphs::InstallDefaultGraphFiles(work));
        const QString sample = QString::fromStdString(MakeTempDir("sample")) + "/sample.qs5";
        ASSERT_TRUE(QFile::copy(QString::fromStdString(BinDir() + "/sample.qs5"), sample));
        doc = std::make_unique<CProjectDoc>();
        ASSERT_TRUE(doc->OnOpenDocument(sample));
        doc->SetPathName(sample, FALSE);
    }
    void TearDown() override {
        views.clear();
        doc.reset();
        qs::graphs::Host().workingDirectory.clear();
    }
    CProject* Project() const { return doc->GetProject(); }

    // A view of the graph of id in layer; null when creation failed.
    CGraphView* Open(QSID id, unsigned short layer = NET) {
        doc->m_nCurrentObjectId = DelGraphIDOf(id);
        doc->m_nCurrentLayer = layer;
        auto view = std::make_unique<CGraphView>();
        view->SetObjectDocument(doc.get());
        view->resize(900, 600);
        view->show();
        if (view->OnCreate() != 0) return nullptr;
        view->OnInitialUpdate();
        views.push_back(std::move(view));
        return views.back().get();
    }

    // New Graph: a temporary graph whose data source dialog picks the paid
    // losses and the paid development exhibit, both in the graph's layer.
    CGraphView* NewGraphOfTwoTables() {
        qs::fw::ModalScript script;
        script.Then<CSelectDataSourceDlg>([](CSelectDataSourceDlg& d) {
            d.ShowTab(0);
            d.SetLayer(0);
            if (!ChooseInDataSource(d, kPaidLoss)) return;
            d.OnSelect();
            d.ShowTab(1);
            if (!ChooseInDataSource(d, PaidExhibit())) return;
            d.OnSelect();
            d.OnOK();
        });
        return Open(Project()->GetNextTempGraphID());
    }

    QString work;
    std::unique_ptr<CProjectDoc> doc;
    std::vector<std::unique_ptr<CGraphView>> views;
};

}  // namespace qs::test
