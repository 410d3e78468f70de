#pragma once
// "Tip of the Day": one tip at a time from "tips.txt" in the installation's
// System Directory, remembering in the profile's "Tip" section where the
// reading stopped ("FilePos"), which file it was ("TimeStamp") and whether
// tips show at start-up ("StartUp", 0 = show).
//
// A tip is a line (at most 1000 characters) whose first character is not a
// blank, a tab, a line end or ";". Reading wraps at the end of the file; a
// file without any tip line yields an empty tip after one full pass.
#include <QString>

#include <cstdio>

#include "CDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

class CTipDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 239;
    enum : int { IDC_STARTUP = 1001, IDC_NEXTTIP = 1002, IDC_TIPSTRING = 1004, IDC_BULB = 1000 };

    // The tips file of the installation: "System Directory" + "/tips.txt".
    CTipDlg();
    // A given tips file (tests, other installations).
    explicit CTipDlg(const QString& tipsPath);
    ~CTipDlg() override;

    void GetNextTipString(QString& tip);
    void OnNextTip();
    void OnOK() override;
    BOOL OnInitDialog() override;

    bool IsFileOpen() const { return m_pStream != nullptr; }
    const QString& TipText() const { return m_strTip; }
    QString ShownTip() const;
    bool StartupChecked() const;
    bool IsNextTipEnabled() const;

    // The tips file path the installation uses.
    static QString DefaultTipsPath();

    BOOL m_bStartup = TRUE;
    QString m_strTip;

private:
    void Init(const QString& tipsPath);

    std::FILE* m_pStream = nullptr;
    QCheckBox* m_startup = nullptr;
    QLabel* m_tip = nullptr;
    QPushButton* m_next = nullptr;
};

// The Start command's step: with the splash flag of the command line, a tip
// dialog is made and shown when its check box is checked; it is destroyed
// either way, so the file position is saved even when nothing is shown.
void ShowTipAtStartup(bool showSplash);
// Command 240: a tip dialog, whatever the check box says.
void OnTipOfTheDay();
