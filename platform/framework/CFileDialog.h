#pragma once
// The file chooser: a QFileDialog (never the desktop's native one, so a
// ModalScript can drive it) with the class library's arguments: filters as
// "Description|*.ext;*.ex2|...||", a default extension, a preset name, and
// OFN_ flags. With OFN_ALLOWMULTISELECT several files can be chosen; the
// names must fit m_ofn.nMaxFile characters (folder, a NUL, each name and
// its NUL, a final NUL, as the common dialog packs them), or DoModal returns
// IDCANCEL and CommDlgExtendedError() gives FNERR_BUFFERTOOSMALL.
#include <QFileDialog>
#include <QStringList>

#include "CWnd.h"
#include "MessageBox.h"

enum : DWORD {
    OFN_READONLY = 0x00000001,
    OFN_OVERWRITEPROMPT = 0x00000002,
    OFN_HIDEREADONLY = 0x00000004,
    OFN_NOCHANGEDIR = 0x00000008,
    OFN_ALLOWMULTISELECT = 0x00000200,
    OFN_PATHMUSTEXIST = 0x00000800,
    OFN_FILEMUSTEXIST = 0x00001000,
    OFN_EXPLORER = 0x00080000,
};

enum : DWORD {
    FNERR_BUFFERTOOSMALL = 0x3003,
};

struct OPENFILENAME {
    DWORD Flags = 0;
    DWORD nMaxFile = 260;
    QString lpstrTitle;
    QString lpstrInitialDir;
    int nFilterIndex = 1;
};

class CFileDialog : public QFileDialog, public CWnd {
public:
    CFileDialog(BOOL bOpenFileDialog, const QString& lpszDefExt = QString(), const QString& lpszFileName = QString(),
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const QString& lpszFilter = QString(),
                CWnd* pParentWnd = nullptr);
    ~CFileDialog() override;

    virtual INT_PTR DoModal();

    QString GetPathName() const;  // the first file chosen
    QString GetFileName() const;  // its name with extension
    QString GetFileExt() const;   // its extension without the dot
    QString GetFileTitle() const; // its name without extension
    QString GetFolderPath() const;
    // Every file chosen, in order (multi-select walks them with these).
    POSITION GetStartPosition() const;
    QString GetNextPathName(POSITION& pos) const;
    const QStringList& SelectedPaths() const { return m_chosen; }
    // Sets the caption of the OK button (an empty text keeps the dialog's own).
    void SetOkCaption(const QString& text);

    OPENFILENAME m_ofn;

    // Converts "Desc|*.a;*.b|All|*.*||" into Qt name filters.
    static QStringList ConvertFilter(const QString& filter);

private:
    BOOL m_bOpenFileDialog;
    QString m_defExt;
    QStringList m_chosen;
};

// The reason the last file dialog ended with IDCANCEL (0: the user cancelled).
DWORD CommDlgExtendedError();
