#include "CExhibitInterpolationHelper.h"

#include "CDataObject.h"
#include "CDataObjectUtil.h"
#include "CInterpolationUtil.h"
#include "CProject.h"

CExhibitInterpolationHelper::CExhibitInterpolationHelper() = default;

CExhibitInterpolationHelper::~CExhibitInterpolationHelper() {
    Clear();
    m_selections.clear();
}

void CExhibitInterpolationHelper::Clear() {
    m_items.clear();
    m_labels.clear();
}

bool CExhibitInterpolationHelper::SetProject(CProject* project) {
    if (project == nullptr) return false;
    m_pProject = project;
    return true;
}

bool CExhibitInterpolationHelper::SetInput(CDataObject* sdf, CDataObject* cumulative, CDataObject* ratio,
                                           CDataObject* sdfAgain, CDataObject* currentPeriods,
                                           CDataObject* interpolatePeriods) {
    Clear();
    if (sdf == nullptr || currentPeriods == nullptr || interpolatePeriods == nullptr) return false;
    m_pSDF = sdfAgain != nullptr ? sdfAgain : sdf;
    m_pCumSDF = cumulative;
    m_pRatioSDF = ratio;
    m_pCurrentPeriods = currentPeriods;
    m_pInterpolatePeriods = interpolatePeriods;
    return LoadSelections();
}

bool CExhibitInterpolationHelper::LoadSelections() {
    m_selections.clear();
    if (m_pProject == nullptr) return false;
    if (m_pProject->GetInterpolationSelections(m_selections, &m_period, &m_display, &m_abbreviate, &m_useInMethods,
                                               &m_adjustment) == 0 ||
        m_display == 0 || m_selections.empty())
        return false;
    PRDLENGTH length = PRD_YEAR;
    if (m_pProject->GetLengthExpPrd(length) != qsk::kOk) return false;
    m_periodLength = int(length);
    return true;
}

bool CExhibitInterpolationHelper::Interpolate() {
    Clear();
    const int abbreviated = m_pProject != nullptr ? m_pProject->GetInterpolateAbbrevFlag() : 0;
    for (const CInterpolateSelection& selection : m_selections) {
        Item item;
        item.label = QString::fromStdString(CInterpolationUtil::GetCurveLabel(selection.GetCurveType(), abbreviated)) +
                     QStringLiteral(" - ") +
                     QString::fromStdString(CInterpolationUtil::GetInputLabel(selection.GetInputType(), abbreviated));
        CDataObject* input = selection.GetInputType() == INPUT_CUMULATIVE          ? m_pCumSDF
                             : selection.GetInputType() == INPUT_RATIO_TO_ULTIMATE ? m_pRatioSDF
                                                                                   : nullptr;
        CDataObject* result = nullptr;
        // The project's unearned-exposure setting decides which ultimate the
        // interpolated factors develop to; it is passed on as read.
        if (input != nullptr && m_interpolation.SetInputParams(m_pCurrentPeriods, input, m_pInterpolatePeriods) &&
            m_interpolation.Interpolate(selection.GetCurveType(), m_period, m_periodLength, result, int(m_adjustment)) &&
            result != nullptr) {
            if (selection.GetInputType() == INPUT_CUMULATIVE) CDataObjectUtil::AdjustResultForCumulative(*result);
            else CDataObjectUtil::AdjustResultForRatioOfUltimate(*result);
        }
        item.result.reset(result);
        m_labels << item.label;
        m_items.push_back(std::move(item));
    }
    return true;
}
