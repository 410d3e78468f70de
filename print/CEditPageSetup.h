#pragma once
// Page settings that the page setup dialog edits and that can be stored as,
// and reset to, the user's defaults: the file "PageSetup.def" in the working
// directory, exactly one page setup in the kernel's stored form (written at
// layout version 0, read at version 1, as the print list files are).
//
// A defaults file that is missing, locked, cut short or damaged leaves the
// settings as they were; the kernel's layout version is back at 0 on every
// path, so a damaged file cannot spoil the page setups read after it.
#include <QString>
#include <QStringList>

#include "CPageSetup.h"
#include "WindowsTypes.h"

class QWidget;

class CEditPageSetup : public CPageSetup {
public:
    // The kernel's defaults, replaced by the stored defaults when readable.
    CEditPageSetup();
    // The kernel's defaults and a (non-owning) list of the printable field
    // names; the defaults file is not read.
    explicit CEditPageSetup(const QStringList* fieldNames);
    // The other's page settings; the field-name list is not copied.
    CEditPageSetup(const CEditPageSetup& other);
    explicit CEditPageSetup(const CPageSetup& settings, const QStringList* fieldNames = nullptr);
    // The page settings only; the field-name list stays.
    CEditPageSetup& operator=(const CEditPageSetup& other);
    CEditPageSetup& operator=(const CPageSetup& other);

    // Runs the page setup dialog on this object (edited in place); TRUE when
    // it closed with "&Save". The caption is the dialog's title ("Page
    // Setup" when empty).
    virtual BOOL Edit(QWidget* parent = nullptr, const QString& caption = QString());

    // Accepts every key and returns 0.
    WORD SetKeyValue(WORD key);

    // TRUE when the defaults file was read whole (only then do the settings change).
    BOOL LoadDefaults();
    // TRUE when the defaults file was written (whole: temporary file and rename).
    BOOL SaveDefaults() const;
    static QString DefaultsPath();

    const QStringList* FieldNames() const { return m_pFieldNames; }
    void SetFieldNames(const QStringList* names) { m_pFieldNames = names; }

private:
    const QStringList* m_pFieldNames = nullptr;
};

// Sets the kernel's page-setup layout version for a read and puts it back to
// 0 when it goes out of scope, whatever the read threw.
class PageSetupVersionScope {
public:
    explicit PageSetupVersionScope(int version) { CPageSetup::SetVersion(version); }
    ~PageSetupVersionScope() { CPageSetup::SetVersion(0); }
    PageSetupVersionScope(const PageSetupVersionScope&) = delete;
    PageSetupVersionScope& operator=(const PageSetupVersionScope&) = delete;
};
