#pragma once
// The payment pattern view: one row of fractions, one per development
// period, typed into a one-row grid of 250 columns. Every edit checks the
// pattern and says what is wrong on the frame's hint line; the pattern
// reaches the kernel object only with Apply (command 12321), after two
// questions when it is short or does not cumulate to 1.
#include <QString>

#include <optional>
#include <vector>

#include "CObjectView.h"
#include "CObjectViewGrid.h"

class CDataObject;
class CPPAView;

// What the view needs of its frame: the hint line, the total and the two
// flags that enable Apply. The payment pattern frame implements it.
class IPaymentPatternFrame {
public:
    virtual ~IPaymentPatternFrame() = default;
    virtual void SetModified(bool modified) = 0;
    virtual bool IsModified() const = 0;
    virtual void SetDataValid(bool valid) = 0;
    virtual bool IsDataValid() const = 0;
    // False when the frame carries no hint line and total.
    virtual bool HasHintControls() const = 0;
    virtual void SetHintText(const QString& text) = 0;
    virtual void SetTotalText(const QString& text) = 0;
    // The total and its label show in incremental view only.
    virtual void ShowTotalControls(bool show) = 0;
};

// The grid: refuses letters, checks the pattern after every accepted edit
// and clears the selection on Delete.
class CPPAGrid : public CObjectViewGrid {
public:
    explicit CPPAGrid(CPPAView* view);
    void OnEndEdit(const QString& text, bool& cancel) override;
    void OnEntryStored() override;
    void OnKeyDown(qs::ss::Notification* n) override;

private:
    CPPAView* m_pPPA;
};

class CPPAView : public CObjectView {
public:
    static constexpr int kColumns = 250;
    static constexpr UINT ID_PPA_APPLY = 12321;
    static constexpr int kIconId = 237;

    explicit CPPAView(QWidget* parent = nullptr);
    ~CPPAView() override;

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::PPA; }
    void SetKernelLink(CFormula* object) override;
    int OnCreate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // The kernel's refreshes are not followed: the grid holds the user's
    // values until Apply.
    void XRefresh(CFormula* object, int kind, long code) override;
    BOOL Format(const CPageSetup* pageSetup) override;
    // A one-row grid: the frame opens wide and low.
    QSize sizeHint() const override { return QSize(900, 140); }
    BOOL UpdateData(BOOL bSave) override;

    // The outcome of checking a pattern.
    struct Check {
        QString hint;
        bool valid = true;
        int entered = 0;  // the last column with a non-zero value
        QString total;    // six decimals
    };
    // Checks cells 1..250 (nullopt: empty) in the given view; q is the
    // number of development periods in an exposure period.
    static Check Evaluate(const std::vector<std::optional<double>>& cells, bool cumulative, int q, int numDev,
                          int numExp);
    // Checks the grid's pattern and shows the outcome.
    void CheckPattern();

    void OnApply();
    void OnViewCumulative();
    void OnEditClear();
    void OnEditClearAll();
    void OnEditCutPattern();
    void OnEditPastePattern();

    // The frame's state (the view keeps its own copy when it has no frame).
    bool IsChanged() const;
    bool IsValid() const;
    const QString& GetHint() const { return m_strHint; }
    const QString& GetTotal() const { return m_strTotal; }
    int GetEntered() const { return m_nEntered; }
    int GetNeeded() const { return m_nNeeded; }
    CDataObject* GetPattern() const { return m_pPattern; }

    static constexpr const char* kHintOk = "OK! Press Apply to update table.";

private:
    IPaymentPatternFrame* Frame() const;
    void SetChanged(bool on);
    void SetValid(bool on);
    void ShowHint(const QString& text);
    std::vector<std::optional<double>> GridCells() const;
    int LastNonZeroColumn() const;
    void MapPPACommands();

    CDataObject* m_pPattern = nullptr;
    CPPAGrid* m_pGrid = nullptr;
    std::uint16_t m_nEntered = 0;
    std::uint16_t m_nNeeded = 0;
    QString m_strTotal;
    const QString m_strOne = QStringLiteral("1.000000");
    QString m_strHint;
    bool m_bChanged = false;
    bool m_bValid = true;
};
