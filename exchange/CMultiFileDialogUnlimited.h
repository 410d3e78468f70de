#pragma once
// The project-file chooser's dialog: several files at once with an OK
// button of the caller's wording, for selections of any length. The dialog
// keeps a name buffer of the platform's usual size; when the chosen names
// outgrow it, the folder and the names are copied out while the user
// selects, the buffer's too-small failure becomes OK, and the iteration
// (GetStartPosition, GetNextPathName) walks the copies. Callers iterate
// with this class's own functions.
#include <QStringList>

#include "CFileDialog.h"

class CMultiFileDialogUnlimited : public CFileDialog {
public:
    static constexpr int kMaxCaption = 254;

    CMultiFileDialogUnlimited(const QString& okCaption, BOOL bOpenFileDialog, const QString& defExt,
                              const QString& fileName, DWORD flags, const QString& filter, CWnd* pParentWnd);

    INT_PTR DoModal() override;
    POSITION GetStartPosition() const;
    QString GetNextPathName(POSITION& pos) const;
    // Every chosen path, in the dialog's order.
    QStringList ChosenPaths() const;

    // True while the selection is held in the copies.
    bool HoldsCopies() const { return m_hasCopies; }

protected:
    virtual BOOL OnInitDialog();
    // Each change of the selection: copies the folder and the names out when
    // they no longer fit the dialog's buffer, drops the copies when they do.
    virtual void OnFileNameChange(const QStringList& selected);

private:
    void FreeCopies();

    QString m_okCaption;
    bool m_hasCopies = false;
    QString m_folder;
    QStringList m_names;
};
