#pragma once
// The options of one batch import or export run, one modal dialog per
// format and direction. Each is embedded in the batch object of its format,
// which reads the members after OK; nothing is kept between runs except the
// ASCII record layout.
//   CImportLotusDlg, CImportEnhancedAsciiDlg, CImportAsciiDlg
//   CExportLotusDlg, CExportEnhancedAsciiDlg, CExportAsciiDlg
// The export dialogs choose between the active document and a batch of
// files: with no active document (m_strActiveName empty) only the batch is
// offered. Layer lists always hold the five layers; index + 1 is the
// kernel's layer number (1 Net ... 5 Assumed).
#include <QString>

#include "CAsciiRecordStructureDlg.h"
#include "CDialog.h"

class QComboBox;
class QRadioButton;

namespace qs::exchange {
// Control ids shared by the option dialogs.
enum : int {
    IDC_CUMULATIVE = 1168,
    IDC_CLEAR_SELECTEDS = 1218,
    IDC_HEADER_LENGTH = 1046,
    IDC_FOOTER_LENGTH = 1137,
    IDC_LAYER = 1180,
    IDC_RECORD_STRUCTURE = 1184,
    IDC_EXPORT_ACTIVE = 1086,
    IDC_BATCH_MODE = 1087,
    IDC_USE_PC5_FORMAT = 1212,
};
// The largest file header or footer, in bytes, an option accepts.
inline constexpr int kMaxPaddingBytes = 1 << 20;
}  // namespace qs::exchange

class CImportLotusDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 216;
    explicit CImportLotusDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    int m_bCumulative = 1;
    int m_bClearSelecteds = 0;
};

class CImportEnhancedAsciiDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1544;
    explicit CImportEnhancedAsciiDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nHeaderLength = 0;
    int m_nFooterLength = 0;
    int m_bClearSelecteds = 0;
};

class CImportAsciiDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1548;
    explicit CImportAsciiDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnRecordStructure();

    int m_bCumulative = 1;
    int m_nLayer = 0;
    int m_bClearSelecteds = 0;
    CAsciiRecordStructureDlg m_recordDlg;
};

class CExportLotusDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1540;
    explicit CExportLotusDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nMode = 0;  // 0 the active file, 1 batch
    int m_bCumulative = 1;
    int m_bUsePC5Format = 0;
    QString m_strActiveName;
    QRadioButton* m_btnActive = nullptr;
};

class CExportEnhancedAsciiDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1545;
    explicit CExportEnhancedAsciiDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nHeaderLength = 0;
    int m_nFooterLength = 0;
    int m_bCumulative = 1;
    int m_nMode = 0;
    QString m_strActiveName;
    QRadioButton* m_btnActive = nullptr;
};

class CExportAsciiDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1546;
    explicit CExportAsciiDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnRecordStructure();

    int m_bCumulative = 1;
    int m_nMode = 0;
    int m_nLayer = 0;
    QString m_strActiveName;
    QComboBox* m_cmbLayer = nullptr;
    QRadioButton* m_btnActive = nullptr;
    CAsciiRecordStructureDlg m_recordDlg;
};

// What to do with an import target that exists or was named twice in the
// run. DoModal returns the code of the button: 1 Add, 2 Replace, 3 Rename,
// 4 Skip File, 5 Cancel import (also Escape and the close box).
class CImportConflictDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1541;
    enum : int { IDC_ADD = 1130, IDC_REPLACE = 1169, IDC_RENAME = 1170, IDC_SKIP = 1171, IDC_MESSAGE = 1172,
                 IDC_CANCEL_IMPORT = 1173 };
    enum : int { kAdd = 1, kReplace = 2, kRename = 3, kSkipFile = 4, kCancelImport = 5 };

    explicit CImportConflictDlg(CWnd* pParent = nullptr);
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override {}  // each answer is a button of its own
    void OnCancel() override { Answer(kCancelImport); }
    void Answer(int code) { EndDialog(kAnswerBase + code); }

    QString m_strMessage;
    int m_bAllowAdd = 1;

private:
    // Answers travel offset: 1 and 2 would read as OK and Cancel, and a
    // dialog nobody answered must not come back as "Replace".
    static constexpr int kAnswerBase = 100;
};

// The five layer names in kernel order.
void FillLayerCombo(QComboBox* combo);
