#pragma once
// The two pages of the blanks-to-zeros wizard: page 1 takes the options and
// the files, page 2 asks, converts each file and tells what it did.
#include <QString>

#include <memory>

#include "CMultiFileDialog.h"
#include "CPropertySheet.h"

class QListWidget;

// What the pages share for one run of the wizard.
struct ZerofillSession {
    // The chooser with the files chosen; it lives from page 1's Next to the
    // end of processing.
    std::unique_ptr<CMultiFileDialog> fileDialog;
    int incrementalMode = 0;  // page 1's check box
};

class CPropPage1 : public CPropertyPage {
public:
    enum { IDD = 103, IDC_INCREMENTAL = 1002 };
    explicit CPropPage1(ZerofillSession& session);

    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void OnIncrementalClicked();

private:
    ZerofillSession& m_session;
};

class CPropPage2 : public CPropertyPage {
public:
    enum { IDD = 104, IDC_STATUS = 1000, IDC_RESULTS = 1001 };
    explicit CPropPage2(ZerofillSession& session);

    BOOL OnSetActive() override;
    void OnCancel() override;
    // Converts one file; reports its failures itself. Always 1.
    int ProcessFile(const QString& path);

    QString m_strStatus;
    // The pause after each file, in milliseconds (tests set 0).
    int m_pauseMs = 1000;
    bool StopRequested() const { return m_bStopRequested; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    LRESULT OnStartProcessing();
    void SetStatus(const QString& text);
    void LetMessagesRun();

    ZerofillSession& m_session;
    bool m_bStopRequested = false;
    bool m_processing = false;
    QListWidget* m_results = nullptr;
};

// The wizard sheet with its two pages, as the program shows it.
class CZerofillSheet : public CPropertySheet {
public:
    CZerofillSheet();
    ZerofillSession m_session;
    CPropPage1 m_page1;
    CPropPage2 m_page2;
};
