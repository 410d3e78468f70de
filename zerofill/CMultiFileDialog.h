#pragma once
// The project-file chooser of the wizard: several files at once, a name
// buffer of 2048 characters, and an OK button whose text the caller gives.
#include "CFileDialog.h"

class CMultiFileDialog : public CFileDialog {
public:
    static constexpr DWORD kBufferChars = 2048;

    CMultiFileDialog(const QString& okText, BOOL bOpenFileDialog, const QString& defExt, const QString& fileName,
                     DWORD flags, const QString& filter, CWnd* pParentWnd);

    INT_PTR DoModal() override;
    const QString& GetOkText() const { return m_okText; }

protected:
    virtual BOOL OnInitDialog();

private:
    QString m_okText;  // at most 255 characters
};
