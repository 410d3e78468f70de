#pragma once
// Three small dialogs of the table views and the navigator: Clear (what to
// erase from the selected cells), View (which tables the navigator's list
// shows) and Zoom (the table magnification). Each exchanges one radio group
// as an integer, the first button being 0; the callers act on the choice.
#include <QString>

#include <functional>

#include "CDialog.h"

class QAbstractButton;
class QButtonGroup;
class QPushButton;

// A radio group inside a dialog: buttons by control id, the choice as the
// index of the checked button (-1 when none is checked).
class RadioGroup {
public:
    RadioGroup(QWidget* owner, QButtonGroup* group) : m_owner(owner), m_group(group) {}
    QAbstractButton* Add(int controlId, const QString& text);
    int Choice() const;
    void SetChoice(int index);
    QButtonGroup* Group() const { return m_group; }

private:
    QWidget* m_owner;
    QButtonGroup* m_group;
};

class CClearDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 175;
    enum : int { IDC_DATA_AND_NOTES = 1087, IDC_NOTES = 1086 };
    enum : int { kDataAndNotes = 0, kNotesOnly = 1 };

    explicit CClearDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nChoice = kNotesOnly;

private:
    RadioGroup m_radio;
};

class CViewSelectionDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 241;
    enum : int {
        IDC_ALL = 1420,
        IDC_WITH_DATA = 1421,
        IDC_ENTERED = 1422,
        IDC_CALCULATED = 1423,
        IDC_SELECTED = 1418,
        IDC_SELECT = 1419,
    };

    explicit CViewSelectionDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nSelection = 0;
    int m_bEntered = 1;
    int m_bCalculated = 1;
    int m_bWithData = 0;
    int m_bSelectedOnly = 0;

    // "Select...": the display selection dialog of the project settings;
    // whoever owns that dialog installs it (nothing happens without one).
    static std::function<void(CWnd* parent)>& DisplaySelectionRunner();

    QPushButton* SelectButton() const { return m_select; }
    // The buttons in the dialog's order (0 "&All tables" .. 4 "Only selected &tables").
    QAbstractButton* Choice(int index) const;

private:
    void OnChoiceClicked();

    RadioGroup m_radio;
    QPushButton* m_select;
};

class CZoomDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 242;
    enum : int {
        IDC_400 = 1086,
        IDC_200 = 1087,
        IDC_100 = 1191,
        IDC_75 = 1095,
        IDC_50 = 1096,
        IDC_25 = 1196,
    };

    explicit CZoomDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    // The button a zoom value (percent) chooses; -1 outside 10..400.
    static int IndexForZoom(int zoom);
    // The zoom value of a button; -1 for no button.
    static int ZoomForIndex(int index);
    // The Zoom command: the dialog preset from zoom; on OK zoom takes the
    // chosen value (kept when no button was chosen). False on Cancel.
    static bool Run(int& zoom, CWnd* pParent = nullptr);

    int m_nZoom = -1;

private:
    RadioGroup m_radio;
};
