#pragma once
// The flood-fill rules of every exhibit of the project on one layer, for the
// selected factors (CFloodFillSettingsDlg) or the interpolated factors
// (CInterpFloodFillSettingsDlg): a list of the exhibit groups and their
// exhibits with each one's rule, where the user edits the rule of one or
// many exhibits at once or clears it. OK hands every rule to the project;
// Cancel stores nothing. After OK the caller marks the project modified when
// IsModified() says a rule was stored or cleared.
#include <QString>

#include <memory>
#include <vector>

#include "CDialog.h"
#include "FloodFillOptions.h"
#include "KernelTypes.h"
#include "ObjectMaps.h"

class CProject;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

class CFloodFillSettingsBase : public CDialog {
public:
    static constexpr UINT kTemplateId = 319;
    enum : int { IDC_LAYER = 1361, IDC_LIST = 1379, IDC_EDIT = 1377, IDC_CLEAR = 1376 };
    // The exhibit groups of the project tree, in the order shown.
    static constexpr QSID kNodes[] = {5001, 5022, 5032, 5042, 5050, 5060};

    CFloodFillSettingsBase(CProject* project, CWnd* pParent);
    ~CFloodFillSettingsBase() override;

    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnEdit(QTreeWidgetItem* clicked = nullptr);
    void OnClear();
    // A double click edits the first selected row alone.
    void OnDoubleClick();
    void OnLayerChanged();
    // Ctrl+click on a group row: selects its members, or clears them when the
    // first is selected already.
    void ToggleGroup(QTreeWidgetItem* group);

    int IsModified() const { return m_bModified; }
    unsigned short CurrentLayer() const { return m_nLayer; }
    QTreeWidget* List() const { return m_list; }
    QComboBox* LayerCombo() const { return m_layers; }
    // The rule the map holds for an exhibit id (with layer); null when none.
    const CObject* RuleOf(QSID id) const;
    // The row of an exhibit, null when not shown.
    QTreeWidgetItem* RowOf(QSID id) const;
    static bool IsGroupRow(const QTreeWidgetItem* item);

protected:
    struct Member {
        QSID id;
        QString name;
    };
    struct Node {
        QSID id;
        QString name;
        std::vector<Member> members;
    };
    virtual QStringList Columns() const = 0;
    virtual std::vector<int> ColumnSevenths() const = 0;
    virtual QSSTATUS ReadRules(CMapLongToOb& map) const = 0;
    virtual QSSTATUS StoreRules(const CMapLongToOb& map) = 0;
    // Whether an exhibit belongs in the list (has the factors of the kind).
    virtual bool Lists(QSID id) const = 0;
    virtual bool IsActive(const CObject* rule) const = 0;
    virtual QStringList Texts(const CObject* rule) const = 0;
    // Runs the rule dialog on a copy of rule (or none); the edited rule, or
    // null on Cancel or when the dialog yields none.
    virtual std::unique_ptr<CObject> EditRule(const CObject* rule, const QString& title) = 0;
    virtual bool SameRule(const CObject* a, const CObject* b) const = 0;
    virtual CObject* CopyRule(const CObject* rule) const = 0;
    virtual void AssignRule(CObject* to, const CObject* from) const = 0;
    // Edit and Clear with nothing selected.
    virtual void NothingToEdit() {}
    virtual void NothingToClear() {}

    CProject* m_pProject;
    unsigned short m_nLayer = 1;

private:
    void ReadNodes();
    void FillList();
    std::vector<QTreeWidgetItem*> SelectedMembers() const;
    void ClearGroupSelection();
    void StoreFor(const std::vector<QSID>& ids, const CObject& rule);
    void EditRows(const std::vector<QTreeWidgetItem*>& rows, QTreeWidgetItem* open);
    void FreeMap();

    CMapLongToOb m_map;
    std::vector<Node> m_nodes;
    int m_bModified = 0;
    QComboBox* m_layers = nullptr;
    QTreeWidget* m_list = nullptr;
};

class CFloodFillSettingsDlg : public CFloodFillSettingsBase {
public:
    CFloodFillSettingsDlg(CProject* project, CWnd* pParent = nullptr);
    // The statistic of a Statistics rule in words, as the list shows it.
    static QString StatisticText(const CFFStat& stat, int periodMonths, bool abbreviated);

protected:
    QStringList Columns() const override;
    std::vector<int> ColumnSevenths() const override { return {3, 2, 2}; }
    QSSTATUS ReadRules(CMapLongToOb& map) const override;
    QSSTATUS StoreRules(const CMapLongToOb& map) override;
    bool Lists(QSID id) const override;
    bool IsActive(const CObject* rule) const override;
    QStringList Texts(const CObject* rule) const override;
    std::unique_ptr<CObject> EditRule(const CObject* rule, const QString& title) override;
    bool SameRule(const CObject* a, const CObject* b) const override;
    CObject* CopyRule(const CObject* rule) const override;
    void AssignRule(CObject* to, const CObject* from) const override;
    void NothingToEdit() override;
    void NothingToClear() override;
};

class CInterpFloodFillSettingsDlg : public CFloodFillSettingsBase {
public:
    CInterpFloodFillSettingsDlg(CProject* project, CWnd* pParent = nullptr);

protected:
    QStringList Columns() const override;
    std::vector<int> ColumnSevenths() const override { return {3, 4}; }
    QSSTATUS ReadRules(CMapLongToOb& map) const override;
    QSSTATUS StoreRules(const CMapLongToOb& map) override;
    bool Lists(QSID id) const override;
    bool IsActive(const CObject* rule) const override;
    QStringList Texts(const CObject* rule) const override;
    std::unique_ptr<CObject> EditRule(const CObject* rule, const QString& title) override;
    bool SameRule(const CObject* a, const CObject* b) const override;
    CObject* CopyRule(const CObject* rule) const override;
    void AssignRule(CObject* to, const CObject* from) const override;
    void NothingToEdit() override;
    void NothingToClear() override;
};

namespace qs::views {
// The project document's flood-fill settings commands: runs the dialog and,
// after OK with a change, marks the project modified. True after OK.
bool RunFloodFillSettings(CProject* project, bool interpolated, CWnd* parent = nullptr);
}  // namespace qs::views
