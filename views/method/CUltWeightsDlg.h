#pragma once
// The weights of a summary report's weighted ultimates. CUltWeightsDlg is
// the grid: one column per ultimate, row 1 "All Other" (the weight of every
// exposure period before the latest N), then one row per latest period,
// newest last. CWeightSettingsDlg ("Weight Settings") hosts it in a
// scrolling window, CUltWeightsScrollWnd, so many ultimates fit on screen.
// The weights travel in a CKDVUltWeightDataInfo: set before showing, read
// back after OK.
#include <QScrollArea>

#include <vector>

#include "CDialog.h"
#include "CKDVUltWeightData.h"
#include "KernelTypes.h"

class CProject;
class QLabel;
class QSpinBox;
namespace qs::ss {
class SpreadsheetControl;
}

class CUltWeightsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 311;
    enum : int { IDC_BOOK = 1363, IDC_LATEST_LABEL = 1723, IDC_LATEST = 1352, IDC_SPIN = 1118, IDC_TEXT = 1724 };
    static constexpr int kMaxLatest = 250;
    static constexpr const char* kLookupFailed = "Lookup failed for ultimate id";

    CUltWeightsDlg(CProject* project, QWidget* parent = nullptr);
    ~CUltWeightsDlg() override;

    void SetWeightData(const QSIDArray& ids, const CKDVUltWeightDataInfo& info, unsigned short layer);
    const CKDVUltWeightDataInfo& GetWeightInfo() const { return m_Info; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    // Reads the grid back into the weight info; false when N is out of range.
    bool SaveWeights();
    // The number of latest periods changed (edit or spin).
    void OnLatestChanged(int latest);
    // True when a typed weight may be taken: digits and at most one ".".
    static bool IsAcceptableWeight(const QString& text);

    qs::ss::SpreadsheetControl* Grid() const { return m_pGrid; }
    QSpinBox* LatestEdit() const { return m_pLatest; }
    int m_nLatest = 4;

private:
    void BuildRowHeadings();
    void FitWidths();

    CProject* m_pProject;
    QSIDArray m_Ids;
    CKDVUltWeightDataInfo m_Info;
    unsigned short m_nLayer = 1;
    // Columns that were filled; an ultimate after a failed look-up keeps
    // the weights it came with.
    int m_nFilled = 0;
    qs::ss::SpreadsheetControl* m_pGrid = nullptr;
    QSpinBox* m_pLatest = nullptr;
    bool m_bReady = false;
};

// The scrolling window that holds the weights dialog.
class CUltWeightsScrollWnd : public QScrollArea {
public:
    static constexpr int kControlId = 1434;
    CUltWeightsScrollWnd(CUltWeightsDlg* dialog, QWidget* parent);
    CUltWeightsDlg* Hosted() const { return m_pDialog; }

private:
    CUltWeightsDlg* m_pDialog;
};

class CWeightSettingsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 339;
    CWeightSettingsDlg(CProject* project, CWnd* pParent = nullptr);

    void SetWeightData(const QSIDArray& ids, const CKDVUltWeightDataInfo& info, unsigned short layer);
    BOOL OnInitDialog() override;
    void OnOK() override;
    CUltWeightsDlg* Weights() const { return m_pWeights; }
    CUltWeightsScrollWnd* ScrollWindow() const { return m_pScroll; }

private:
    CUltWeightsDlg* m_pWeights;
    CUltWeightsScrollWnd* m_pScroll;
};
