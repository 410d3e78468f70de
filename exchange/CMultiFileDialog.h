#pragma once
// A file chooser for several files at once whose OK button says what the
// caller does with them ("Import", "Convert"). The selection has no length
// limit: however many names are chosen, OK gives every one of them.
#include "CFileDialog.h"

class CMultiFileDialog : public CFileDialog {
public:
    static constexpr int kMaxCaption = 254;

    // An empty caption keeps the dialog's own OK text.
    CMultiFileDialog(const QString& okCaption, BOOL bOpenFileDialog, const QString& defExt, const QString& fileName,
                     DWORD flags, const QString& filter, CWnd* pParentWnd);

    INT_PTR DoModal() override;
    const QString& GetOkCaption() const { return m_okCaption; }

protected:
    virtual BOOL OnInitDialog();

private:
    QString m_okCaption;
};
