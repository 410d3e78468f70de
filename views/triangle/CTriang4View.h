#pragma once
// The view of the two data-adjustment tables (the kinds of 101010494 and
// 101010497): their columns are calendar periods shown newest first, and the
// adjustment's two parameters, a base diagonal and a cut-off age, are chosen
// in the frame's two lists (32974 and 32972). Both live in the table's
// footnote, "Data Adjustment using Diagonal=[d] and cut off after [a]
// months", which the view writes when a value is picked and reads to set the
// lists and to hide the columns newer than the chosen diagonal, on screen and
// in print alike. The kernel evaluates the adjustment.
#include <QString>

#include "CTriangView.h"

class QComboBox;

class CTriang4View : public CTriangView {
public:
    enum : UINT { IDC_DIAGONAL = 32974, IDC_CUT_OFF = 32972 };
    static constexpr const char* kFootnoteFormat = "Data Adjustment using Diagonal=[%1] and cut off after [%2] months";

    explicit CTriang4View(QWidget* parent = nullptr);

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Params; }
    void OnInitialUpdate() override;
    BOOL Format(const CPageSetup* pageSetup) override;
    BOOL UpdateData(BOOL bSave) override;
    BOOL GetAt(int row, int col, CFormula* object = nullptr) override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    void BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) override;

    // The two lists: the frame's controls unless given.
    void SetLists(QComboBox* diagonal, QComboBox* cutOff) {
        m_pDiagonal = diagonal;
        m_pCutOff = cutOff;
    }
    QComboBox* DiagonalList();
    QComboBox* CutOffList();

    // Fills the lists, reads the footnote, selects its values (rewriting a
    // footnote whose values are missing) and hides the newer columns.
    bool ApplyAdjustment();
    // A value was picked in either list.
    void OnAdjustmentChanged();

    // The footnote's two values; false when it does not hold them. A label
    // may itself contain brackets.
    static bool ParseFootnote(const QString& footnote, QString& diagonal, QString& cutOff);
    static QString MakeFootnote(const QString& diagonal, const QString& cutOff);
    // Grid columns hidden on screen for diagonal index d of maxCol columns: 1..result.
    static int HiddenColumnCount(int maxCol, int diagonalIndex) { return std::max(0, maxCol - diagonalIndex - 1); }

private:
    bool FillLists();
    void HideColumns(int maxCol, int diagonalIndex, int offset);

    QComboBox* m_pDiagonal = nullptr;
    QComboBox* m_pCutOff = nullptr;
    bool m_bApplying = false;
};
