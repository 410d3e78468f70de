#pragma once
// The view of one scalar of the project: a one-cell grid holding the value
// (or blank), a column heading saying whether the number is a currency, a
// percentage or a fixed number, and a title with the scalar's name and layer.
#include "CObjectView.h"
#include "CObjectViewGrid.h"

class CScalar;

class CScalarView : public CObjectView {
public:
    explicit CScalarView(QWidget* parent = nullptr);
    ~CScalarView() override;

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Scalar; }
    void SetKernelLink(CFormula* object) override;
    int OnCreate() override;
    BOOL Format(const CPageSetup* pageSetup) override;
    BOOL UpdateData(BOOL bSave) override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    // Kernel refreshes of the scalar reload its one cell.
    BOOL GetDataR(int row) override;
    BOOL GetDataC(int col) override;
    BOOL GetDataRC(int row, int col) override;

    void OnEditClear();

    CScalar* GetScalar() const { return m_pScalar; }
    // The frame title Format set: name and layer.
    const QString& GetTitleText() const { return m_strTitle; }
    // Resource of the frame icon chosen at creation (173 or 139).
    int GetIconId() const { return m_nIconId; }

    // Parses a typed number with the user's locale ("(5)" and "-5" are -5).
    static double ParseNumber(const QString& text);

private:
    BOOL LoadCell();
    void ClearValues();

    CScalar* m_pScalar = nullptr;
    CObjectViewGrid* m_pGrid = nullptr;
    QString m_strTitle;
    int m_nIconId = 0;
};
