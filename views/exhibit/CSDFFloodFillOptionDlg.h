#pragma once
// "Flood Fill Option": one flood-fill rule for the selected development
// factors of an exhibit: a statistic of the exhibit (with a minimum and a
// tail factor), an earlier selection, a set of a development factor library,
// or none. Opened on a copy of the exhibit's rule (or none); after OK the
// caller reads GetOption (null when it was opened without a rule and None
// was chosen).
#include <QString>

#include <memory>

#include "CDialog.h"
#include "FloodFillOptions.h"

class CProject;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CSDFFloodFillOptionDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 320;
    enum : int {
        IDC_STATISTICS = 1382,
        IDC_HISTORICAL = 1383,
        IDC_FACTOR_SET = 1393,
        IDC_NONE = 1429,
        IDC_TYPE = 1385,
        IDC_WEIGHTS = 1390,
        IDC_INCLUDE_ZEROS = 1386,
        IDC_EXCLUDE_HILO = 1387,
        IDC_EXCLUDE_FIRST = 1388,
        IDC_EXCLUDE_LAST = 1389,
        IDC_USE_LAST = 1036,
        IDC_SET_MIN = 1380,
        IDC_MIN_VALUE = 1397,
        IDC_TAIL = 1381,
        IDC_SELECTION_NUMBER = 1391,
        IDC_FILL_LAST = 1384,
        IDC_LIBRARY = 1394,
        IDC_FACTOR_SET_NAME = 1395,
        IDC_BROWSE = 1396,
    };
    static constexpr const char* kWeightsRefused = "Weights are not allowed on linear trends or exponential curves.";

    CSDFFloodFillOptionDlg(const CKDVSDFFloodFillOption* option, CProject* project, CWnd* pParent = nullptr);
    ~CSDFFloodFillOptionDlg() override;

    INT_PTR DoModal(const QString& name);
    INT_PTR DoModal() override { return DoModal(QString()); }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The edited rule; null when there is none.
    const CKDVSDFFloodFillOption* GetOption() const { return m_pOption.get(); }

    void OnSourceClicked();
    void OnTypeChanged();
    void OnWeightsChanged();
    void OnSetMinClicked();
    void OnSetTailFactor();
    void OnBrowse();

    QRadioButton* Radio(int id) const;
    QComboBox* Combo(int id) const;
    QLineEdit* Edit(int id) const;
    QCheckBox* Check(int id) const;
    QPushButton* Button(int id) const;
    const CFFTailOption& TailOption() const { return m_tail; }
    const QString& LibraryDescription() const { return m_strLibraryDesc; }

    // Values of the dialog data.
    int m_nSource = CKDVSDFFloodFillOption::NONE;
    int m_nExcludeFirst = 0, m_nExcludeLast = 0, m_nUseLast = 0;
    int m_bIncludeZeros = 0, m_bExcludeHiLo = 0;
    int m_bSetMin = 0;
    double m_dMinValue = 1.0;
    int m_nSelection = 1;
    int m_bFillLast = 1;
    QString m_strLibrary, m_strFactorSet, m_strLibraryDesc;

private:
    // Fills blank edits with their defaults for the checked source; with
    // checkLibrary the library fields must be given (false after the message).
    bool FillBlankFields(bool checkLibrary);
    void ApplyEnableRules();

    std::unique_ptr<CKDVSDFFloodFillOption> m_pOption;
    CProject* m_pProject;
    CFFTailOption m_tail;
    QString m_strTitle;
    bool m_bLoading = false;
};
