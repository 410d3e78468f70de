#pragma once
// The tail program's small dialogs: the curves to keep on Apply, a constant
// or cutoff value, a point's new value, and the About box.
#include <QString>

#include "CDialog.h"

class QCheckBox;

// "Saving...": which curves the exhibit shows. All unchecked when it opens.
class CApplyDlg : public CDialog {
public:
    explicit CApplyDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    int m_curves[3] = {0, 0, 0};
};

// A constant (kind 1) or a cutoff (kind 2), checked as typed.
class CValueDlg : public CDialog {
public:
    enum Kind { Constant = 1, Cutoff = 2 };
    CValueDlg(Kind kind, const QString& initialText, double initialAge, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;

    Kind m_kind;
    QString m_prompt;
    QString m_text;     // the entered text, cleaned
    double m_value = 0; // the parsed value
    double m_initialAge;
};

// "Modify Point": the point's effective value and a new one.
class CModifyPointDlg : public CDialog {
public:
    explicit CModifyPointDlg(double oldValue, CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    double m_oldValue;
    double m_newValue = 0.0;
};

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
};

// The texts of the value checks, by their message numbers.
namespace crx {
inline constexpr char kMsgNotNumeric[] = "The value can only contain numeric characters or a single decimal point.";
inline constexpr char kMsgEmpty[] = "The value must be at least one digit in length.";
inline constexpr char kMsgCutoffRefused[] = "The specified Cutoff value is too small.";
inline constexpr char kMsgConstantTooSmall[] = "The constant value is too small: the first age plus the constant must be greater than 0.";
inline constexpr char kMsgCutoffTooLarge[] = "The upper limit for cutoff value is 255.";
}  // namespace crx
