#pragma once
// The rows of an exhibit's interpolated block: for each interpolation
// selection of the project (a curve and the form of the factors it is fitted
// to), the kernel's CInterpolation run on the exhibit's selected factors in
// cumulative or ratio-to-ultimate form, kept with its label. The result of
// each run is turned into factors from each interpolated age to the next
// (CDataObjectUtil), the form the interpolated selections take, so a result
// row can be dropped into them as it stands. The helper does no arithmetic
// of its own.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "CInterpolateSelection.h"
#include "CInterpolation.h"
#include "KernelTypes.h"

class CDataObject;
class CProject;

class CExhibitInterpolationHelper {
public:
    struct Item {
        QString label;
        int kind = 4;
        // Null when the interpolation gave nothing: the row keeps its place.
        std::unique_ptr<CDataObject> result;
    };

    CExhibitInterpolationHelper();
    virtual ~CExhibitInterpolationHelper();
    CExhibitInterpolationHelper(const CExhibitInterpolationHelper&) = delete;
    CExhibitInterpolationHelper& operator=(const CExhibitInterpolationHelper&) = delete;

    bool SetProject(CProject* project);
    // Clears the labels and results. False when the SDF, the current periods
    // or the interpolate periods are missing, or when the project has no
    // interpolation selections (or does not interpolate); otherwise the
    // inputs are kept (borrowed) and the selections read.
    bool SetInput(CDataObject* sdf, CDataObject* cumulative, CDataObject* ratio, CDataObject* sdfAgain,
                  CDataObject* currentPeriods, CDataObject* interpolatePeriods);
    // Rebuilds the labels and results from the kept inputs; true.
    bool Interpolate();

    static QString GetItemLabel(const Item& item) { return item.label; }
    const std::vector<Item>& GetItems() const { return m_items; }
    const QStringList& GetLabels() const { return m_labels; }
    // The settings read with the selections.
    ENUM_ADJ_UNEARNED_EXPOSURE GetAdjustment() const { return m_adjustment; }
    ENUM_PERIOD GetPeriod() const { return m_period; }
    int GetPeriodLength() const { return m_periodLength; }

private:
    void Clear();
    bool LoadSelections();

    std::vector<Item> m_items;
    QStringList m_labels;
    CDataObject* m_pCumSDF = nullptr;
    CDataObject* m_pRatioSDF = nullptr;
    CDataObject* m_pSDF = nullptr;
    CDataObject* m_pCurrentPeriods = nullptr;
    CDataObject* m_pInterpolatePeriods = nullptr;
    CInterpolation m_interpolation;
    std::vector<CInterpolateSelection> m_selections;
    CProject* m_pProject = nullptr;
    ENUM_PERIOD m_period = PERIOD_ACCIDENT;
    int m_periodLength = 12;
    int m_display = 0, m_abbreviate = 0, m_useInMethods = 0;
    ENUM_ADJ_UNEARNED_EXPOSURE m_adjustment = ADJ_FULL_PERIOD_ULTIMATE;
};
