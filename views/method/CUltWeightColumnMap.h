#pragma once
// The display layout of a summary report that shows weights: beside each of
// its first n ultimate columns (the weighted ones) a column with the weight
// each exposure period gives that ultimate. For N data columns and n weighted
// ultimates there are N + n display columns: 1, 3, ..., 2n-1 are data columns
// 1..n, 2, 4, ..., 2n their weight columns, 2n+1 .. N+n data columns n+1 .. N.
// The method view and the workbook export lay summary reports out with it.
#include <QString>
#include <QStringList>

#include <cstdint>

#include "CKDVUltWeightData.h"
#include "KernelTypes.h"

class CDataObject;
class CProject;

class CUltWeightColumnMap {
public:
    CUltWeightColumnMap() = default;
    virtual ~CUltWeightColumnMap() = default;

    // False for no project or an id below 1; else remembers the three.
    bool Attach(CProject* project, QSID id, unsigned short layer);
    // Reads the report's options: true when they were read (or when there is
    // nothing to read); false, and no weight columns, when the kernel refused.
    bool Load();
    void Clear();
    bool IsSummaryReport() const;
    // True when weight columns are shown.
    bool IsActive() const { return m_bActive != 0 && m_bWeights != 0 && m_nWeighted >= 1; }

    // The data column of display column d; isWeight tells a weight column
    // (d is then returned unchanged).
    int DisplayToDataColumn(int d, bool& isWeight) const;
    // N + n display labels for the N data labels; true (labels untouched)
    // when there are no weight columns.
    bool GetColumnLabel(QStringList& labels) const;
    // Puts "(d)" in place of the label's last "(...)" part.
    static QString RenumberLabel(const QString& label, int d);
    // Fills the single column of target with the weights the ultimate shown
    // left of weight column d gives each of rows exposure periods. False, and
    // nothing written, for no target or when that ultimate holds no weights.
    bool FillWeights(int d, int rows, CDataObject* target) const;
    // The ultimate whose weights weight column d shows (0 when none).
    QSID WeightedIdOfColumn(int d) const;

    int GetNumWeighted() const { return m_nWeighted; }
    const QSIDArray& GetIds() const { return m_Ids; }
    const CKDVUltWeightDataInfo& GetInfo() const { return m_Info; }

private:
    int m_bActive = 0;
    int m_bWeights = 0;
    int m_nWeighted = 0;
    QSIDArray m_Ids;
    CKDVUltWeightDataInfo m_Info;
    CProject* m_pProject = nullptr;
    QSID m_lId = 0;
    unsigned short m_nLayer = 0;
};
