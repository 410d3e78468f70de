#pragma once
// The dialog "Page Setup": one page setup edited in place on four tabs
// (Layout, Titles, Fonts, Graphs). "&Save" is enabled while the settings
// differ from those the dialog opened with; "&Save as Default" and "&Use
// Default" while they differ from the stored defaults ("PageSetup.def").
//
// Margins and the scale percent are checked as they are typed: a text that
// is no number (or a percent outside 1-65535) is not written, and "&Save"
// refuses with a message and puts the focus on it.
#include <QString>
#include <QStringList>

#include <memory>

#include "CEditPageSetup.h"
#include "CTabDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class CPageSetupLayoutPage : public CTabPageDialog {
public:
    CPageSetupLayoutPage(CEditPageSetup& setup, QWidget* parent);
    void Refresh() override;
    // The scaling mode the fields stand for (0-6).
    static int ModeOf(const CPageSetup& setup);
    // Chooses a scaling mode as the combo box does.
    void ChooseMode(int mode);
    // The first edit whose text is not a valid value, null when all are.
    QLineEdit* InvalidEdit() const;

    QComboBox* m_pScaling;
    QLineEdit* m_pPercent;
    QLabel* m_pPercentLabel;
    QLineEdit* m_pTablesPerPage;
    QCheckBox* m_pNewPage;
    QLabel* m_pGraphsLabel;
    QComboBox* m_pGraphs;
    QCheckBox* m_pCalendar;
    QRadioButton* m_pPresentation[3];
    QLineEdit* m_pMargins[4];  // top, left, bottom, right
    QRadioButton* m_pPortrait;
    QRadioButton* m_pLandscape;

private:
    void ShowModeControls(int mode);
    void OnMarginChanged(int which);
    void OnPercentChanged();
    void OnTablesPerPageChanged();
    CEditPageSetup& m_setup;
    bool m_loading = false;
};

class CPageSetupTitlesPage : public CTabPageDialog {
public:
    CPageSetupTitlesPage(CEditPageSetup& setup, QWidget* parent);
    void Refresh() override;
    void OnInsertField();
    // [row][column]: rows header, title, footer.
    QPlainTextEdit* m_pEdits[3][3];
    QPushButton* m_pInsertField;
    QPlainTextEdit* m_pRemembered = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string>& Strings(int row);
    CEditPageSetup& m_setup;
    bool m_loading = false;
};

class CPageSetupFontsPage : public CTabPageDialog {
public:
    CPageSetupFontsPage(CEditPageSetup& setup, QWidget* parent);
    void Refresh() override;
    // "Arial, 10pt, bold, italic".
    static QString Describe(const CLOGFONT& font);
    void ChooseFont(int which);
    CLOGFONT& FontAt(int which);
    QPushButton* m_pButtons[6];
    QLineEdit* m_pDescriptions[6];

private:
    CEditPageSetup& m_setup;
};

class CPageSetupGraphsPage : public CTabPageDialog {
public:
    CPageSetupGraphsPage(CEditPageSetup& setup, QWidget* parent);
    void Refresh() override;
    QComboBox* m_pSeries;
    QLineEdit* m_pNumber;
    QCheckBox* m_pDefaultView;
    QCheckBox* m_pBy[3];  // rows, columns, diagonals

    void OnNumberChanged();
    void OnSeriesChanged();
    void OnDefaultView();
    void OnBy();

private:
    // False (with the message) when the number is not 1-100.
    bool ReadNumber();
    void SetCounts();
    CEditPageSetup& m_setup;
    int m_nNumber = 1;
    bool m_loading = false;
};

class CPageSetupTabCtrl : public CDialogTabCtrl {
public:
    CPageSetupTabCtrl(CEditPageSetup& setup, QWidget* parent) : CDialogTabCtrl(parent), m_setup(setup) {}
    void CreatePages() override;
    CPageSetupLayoutPage* m_pLayout = nullptr;
    CPageSetupTitlesPage* m_pTitles = nullptr;
    CPageSetupFontsPage* m_pFonts = nullptr;
    CPageSetupGraphsPage* m_pGraphs = nullptr;

private:
    CEditPageSetup& m_setup;
};

class CPageSetupDlg : public CTabDialog {
public:
    enum { kTemplateId = 405, IDC_SAVE_DEFAULT = 1188, IDC_USE_DEFAULT = 1645 };
    CPageSetupDlg(CEditPageSetup& setup, QWidget* parent = nullptr, const QString& caption = QString());
    ~CPageSetupDlg() override;

    void UpdateControls() override;
    void OnOK() override;
    void OnSaveAsDefault();
    void OnUseDefault();

    CPageSetupTabCtrl* Tabs() const { return m_pTabs; }
    QPushButton* m_pSave;
    QPushButton* m_pSaveDefault;
    QPushButton* m_pUseDefault;

private:
    CEditPageSetup& m_setup;
    std::unique_ptr<CEditPageSetup> m_pOpening;
    std::unique_ptr<CEditPageSetup> m_pDefaults;
    CPageSetupTabCtrl* m_pTabs;
};

// "Select Field to insert": the title-only names (when asked) and the page
// setup's printable field names.
class CInsertFieldDlg : public CDialog {
public:
    CInsertFieldDlg(const CEditPageSetup& setup, bool titleNames, QWidget* parent = nullptr);
    void OnOK() override;
    QListWidget* m_pList;
    QString m_strChosen;
};
