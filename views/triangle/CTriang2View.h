#pragma once
// The update pass over the input arrays: after a new evaluation has been
// appended, the analyst steps through every array that takes data, one at a
// time in one window, and types the new diagonal. The view opens the arrays
// in turn itself (its document's pending id is -1), offers Next and Back and
// the frame's array box (control 1176), and marks the arrays typed into.
//
// The pass shows the development layout: the process-wide calendar flag is
// switched off while the view lives and restored, with the views told, when
// it closes.
#include <QStyledItemDelegate>

#include <vector>

#include "CTriangView.h"
#include "KernelTypes.h"

class QComboBox;

class CTriang2View : public CTriangView {
public:
    enum : UINT { ID_UPDATE_NEXT = 32900, ID_UPDATE_BACK = 32901, IDC_ARRAY_LIST = 1176 };
    static constexpr std::uint32_t kEditedColor = 0x0000FF;

    explicit CTriang2View(QWidget* parent = nullptr);
    ~CTriang2View() override;

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Update; }
    int OnCreate() override;
    void OnInitialUpdate() override;
    void UpdateCaption() override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    int MoveActiveCell(int key, bool shift, int& row, int& col, int mode) override;

    // 1 opened, 0 failed (the view then shows no object).
    int OpenTriangleObject(QSID id);
    void OnNext();
    void OnBack();
    // Opens the array box's current item.
    void OpenCurrentItem();

    // The array box: the frame's control 1176 unless one is given.
    void SetArrayList(QComboBox* combo) { m_pCombo = combo; }
    QComboBox* ArrayList() const { return m_pCombo; }
    const QSIDArray& Ids() const { return m_ids; }
    bool IsEdited(QSID id) const;
    // The text an item shows: the array's name and its layer's name.
    QString ItemName(QSID id) const;
    QString ItemLayer(QSID id) const;

    // The arrays an update pass visits (nodes 1000 then 9000).
    static QSIDArray CollectIds(const CProject& project);

private:
    static void Collect(const CProject& project, QSID node, QSIDArray& out);
    void FillArrayList();
    void SelectNewDiagonal();
    void NotifyCalendar();

    QSIDArray m_ids;
    std::vector<std::uint16_t> m_edited;
    int m_bEditedThis = 0;
    int m_nSavedCalendar = 0;
    bool m_bCalendarChanged = false;
    QComboBox* m_pCombo = nullptr;
    CProject* m_pOpenedProject = nullptr;
};

// Draws the array box's items from the update view that owns the box: the
// edited ones in the edited font and colour, the layer name at the right.
class CUpdateItemDelegate : public QStyledItemDelegate {
public:
    CUpdateItemDelegate(CTriang2View* view, QObject* parent) : QStyledItemDelegate(parent), m_pView(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CTriang2View* m_pView;
};
