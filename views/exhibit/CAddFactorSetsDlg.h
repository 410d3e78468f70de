#pragma once
// "Add Development Factor Sets": opens a development factor library (a
// ".dfl" file, or a library of the enterprise database when the project has
// a database manager and the host a store), lists its factor sets with their
// structure, marks those that do not fit the project and returns the names
// the user picks with the library's name and description. On file side the
// library's name is the path of its file (the flood fill reads it from there).
//
// The dialog is the only owner of its library: a failed load leaves the
// dialog without one and nothing else frees it.
#include <QString>
#include <QStringList>

#include <memory>

#include "CDialog.h"

class CFSLib;
class CProject;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

class CAddFactorSetsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 211;
    enum : int { IDC_LIST = 1160, IDC_PATH = 1162, IDC_DESCRIPTION = 1011 };
    // Images of the rows.
    enum : int { kImageCompatible = 0, kImageIncompatible = 1, kImageAccepted = 2 };

    // selectionMode 0: several rows may be chosen; any other value: one.
    CAddFactorSetsDlg(CProject* project, int selectionMode, CWnd* pParent = nullptr, bool requirePermission = false,
                      bool acceptAllAllowed = false);
    ~CAddFactorSetsDlg() override;

    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // Set before DoModal: a library file to open without asking.
    QString m_strFilePath;
    // "Development Factor Sets" for the project's factor-set commands.
    QString m_strPurpose;

    // After IDOK: the chosen names in list order, the library and its name
    // and description.
    const QStringList& GetChosenNames() const { return m_chosen; }
    CFSLib* GetLibrary() const { return m_pLibrary.get(); }
    // Hands the library to a caller that keeps it beyond the dialog.
    std::unique_ptr<CFSLib> TakeLibrary() { return std::move(m_pLibrary); }
    QString GetLibraryName() const { return m_strLibraryName; }
    QString GetLibraryDescription() const { return m_strDescription; }
    bool AcceptsAll() const { return m_bAcceptAll; }

    QTreeWidget* List() const { return m_list; }
    // Loads a library file; false after the failure was reported (the
    // dialog then holds no library).
    bool LoadFile(const QString& path);
    // Refills the list from the library; false after a reported failure.
    bool ListFactorSets();

private:
    bool ChooseFromFile();
    bool ChooseFromDatabase();
    void ReportFailure(const QString& text);

    CProject* m_pProject;
    int m_nSelectionMode;
    bool m_bRequirePermission;
    bool m_bAcceptAll = false;
    std::unique_ptr<CFSLib> m_pLibrary;
    QString m_strLibraryName;
    QString m_strDescription;
    QStringList m_chosen;
    bool m_bOpened = false;
    QLabel* m_path = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QTreeWidget* m_list = nullptr;
};
