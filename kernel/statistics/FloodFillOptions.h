#pragma once
// The flood-fill rules the project keeps: per exhibit and layer, where its
// selected development factors come from (CKDVSDFFloodFillOption) and which
// curves fill its interpolated factors (CInterpolateSDFFloodFillOption); per
// estimate kind and layer, which estimate becomes the selected ultimate
// (CKDVUltFloodFillData). Every class is a CObject with Serialize, so the
// project can keep them in CMapLongToOb maps and archive them.
#include <string>

#include "CInterpolationUtil.h"
#include "CObject.h"
#include "KernelTypes.h"

class CArchive;

// The kind of development-factor fill: the selected or the interpolated factors.
enum ENUM_SDF_TYPE : int { SDF_SELECTED = 0, SDF_INTERPOLATED = 1 };

// Curve parameters of a fitted tail: the cutoff (periods beyond the latest
// development period when variable, an age in years when fixed), the points
// left out at either end and the c parameter of the curves.
class CFFCRXSetting : public CObject {
    DECLARE_SERIAL(CFFCRXSetting)
public:
    CFFCRXSetting() = default;
    CFFCRXSetting(const CFFCRXSetting&) = default;
    CFFCRXSetting& operator=(const CFFCRXSetting&) = default;
    bool operator==(const CFFCRXSetting& o) const;
    void Serialize(CArchive& ar) override;

    bool m_cutoffIsVariable = true;
    double m_cutoff = 10.0;
    int m_excludeFirst = 0;
    int m_excludeLast = 0;
    double m_c = 0.0;
};

// How the tail (the last cell of the selected factors) is found.
class CFFTailOption : public CObject {
    DECLARE_SERIAL(CFFTailOption)
public:
    enum Type { INVERSE_POWER = 0, EXPONENTIAL = 1, WEIBULL = 2, BEST_R2 = 3, SPECIFIED = 4, NONE = 5 };
    CFFTailOption() = default;
    CFFTailOption(const CFFTailOption&) = default;
    CFFTailOption& operator=(const CFFTailOption&) = default;
    bool operator==(const CFFTailOption& o) const;
    void Serialize(CArchive& ar) override;
    CFFCRXSetting& GetTailSettings() { return m_settings; }
    const CFFCRXSetting& GetTailSettings() const { return m_settings; }

    int m_type = NONE;
    bool m_showAllCurves = false;
    bool m_fillMissing = false;
    double m_specified = 1.0;
    CFFCRXSetting m_settings;
};

// The Statistics source: one statistic of the exhibit (the fields of a
// statistics definition), an optional minimum and the tail option.
class CFFStat : public CObject {
    DECLARE_SERIAL(CFFStat)
public:
    CFFStat() = default;
    CFFStat(const CFFStat&) = default;
    CFFStat& operator=(const CFFStat&) = default;
    bool operator==(const CFFStat& o) const;
    void Serialize(CArchive& ar) override;
    CFFTailOption& GetTailFactor() { return m_tail; }
    const CFFTailOption& GetTailFactor() const { return m_tail; }
    // The statistic as the 8 leading bytes of a statistics definition.
    void ToRecord(unsigned char bytes[8]) const;
    static CFFStat FromRecord(const unsigned char* bytes, std::size_t count);

    int m_avgType = 1;    // 1 Average, 2 Linear Trend, 4 Exponential Curve, 0 none
    int m_weighting = 0;  // 0 none, 1 volume, 2 time, 3 user
    bool m_includeZeros = false;
    bool m_excludeHighLow = false;
    int m_excludeFirst = 0;
    int m_excludeLast = 0;
    int m_useLast = 0;  // 0: every period
    bool m_setMin = false;
    double m_minValue = 1.0;
    CFFTailOption m_tail;
};

// The Historical Selection source: selection 1 is the latest.
class CFFHistorical : public CObject {
    DECLARE_SERIAL(CFFHistorical)
public:
    CFFHistorical() = default;
    CFFHistorical(int number, int fillLast) : m_number(number), m_fillLast(fillLast) {}
    CFFHistorical(const CFFHistorical&) = default;
    CFFHistorical& operator=(const CFFHistorical&) = default;
    bool operator==(const CFFHistorical& o) const { return m_number == o.m_number && m_fillLast == o.m_fillLast; }
    void Serialize(CArchive& ar) override;

    int m_number = 1;
    int m_fillLast = 1;  // fill blank last cells by spreading the tail
};

// The Factor Library Set source: a set of a ".dfl" library (the library name
// is its path on file side).
class CFFDFL : public CObject {
    DECLARE_SERIAL(CFFDFL)
public:
    CFFDFL() = default;
    CFFDFL(const char* library, const char* description, const char* factorSet)
        : m_library(library ? library : ""), m_description(description ? description : ""),
          m_factorSet(factorSet ? factorSet : "") {}
    CFFDFL(const CFFDFL&) = default;
    CFFDFL& operator=(const CFFDFL&) = default;
    bool operator==(const CFFDFL& o) const {
        return m_library == o.m_library && m_description == o.m_description && m_factorSet == o.m_factorSet;
    }
    void Serialize(CArchive& ar) override;
    const std::string& GetLibraryName() const { return m_library; }
    const std::string& GetLibraryDesc() const { return m_description; }
    const std::string& GetFactorSetName() const { return m_factorSet; }

    std::string m_library;
    std::string m_description;
    std::string m_factorSet;
};

// One exhibit's rule for its selected development factors.
class CKDVSDFFloodFillOption : public CObject {
    DECLARE_SERIAL(CKDVSDFFloodFillOption)
public:
    enum Type { STATISTICS = 0, HISTORICAL = 1, FACTOR_SET = 2, NONE = 3 };
    CKDVSDFFloodFillOption() = default;
    explicit CKDVSDFFloodFillOption(int type) : m_type(type) {}
    CKDVSDFFloodFillOption(const CKDVSDFFloodFillOption&) = default;
    CKDVSDFFloodFillOption& operator=(const CKDVSDFFloodFillOption&) = default;
    bool operator==(const CKDVSDFFloodFillOption& o) const;
    void Serialize(CArchive& ar) override;
    int GetType() const { return m_type; }
    void SetType(int type) { m_type = type; }
    CFFStat& GetStatData() { return m_stat; }
    const CFFStat& GetStatData() const { return m_stat; }
    CFFHistorical& GetHistData() { return m_hist; }
    const CFFHistorical& GetHistData() const { return m_hist; }
    CFFDFL& GetDFLData() { return m_dfl; }
    const CFFDFL& GetDFLData() const { return m_dfl; }

    int m_type = NONE;
    CFFStat m_stat;
    CFFHistorical m_hist;
    CFFDFL m_dfl;
};

// One curve choice of an interpolated fill: the curve and the form of the
// factors it is fitted to.
class CInterpolateSDFFloodFillSelection : public CObject {
    DECLARE_SERIAL(CInterpolateSDFFloodFillSelection)
public:
    CInterpolateSDFFloodFillSelection() = default;
    CInterpolateSDFFloodFillSelection(ENUM_CURVE_TYPE curve, ENUM_INPUT_TYPE input) : m_curve(curve), m_input(input) {}
    CInterpolateSDFFloodFillSelection(const CInterpolateSDFFloodFillSelection&) = default;
    CInterpolateSDFFloodFillSelection& operator=(const CInterpolateSDFFloodFillSelection&) = default;
    bool operator==(const CInterpolateSDFFloodFillSelection& o) const {
        return m_curve == o.m_curve && m_input == o.m_input;
    }
    void Serialize(CArchive& ar) override;
    ENUM_CURVE_TYPE GetCurveType() const { return m_curve; }
    ENUM_INPUT_TYPE GetInputType() const { return m_input; }

    ENUM_CURVE_TYPE m_curve = CURVE_LINEAR;
    ENUM_INPUT_TYPE m_input = INPUT_CUMULATIVE;
};

// One exhibit's rule for its interpolated factors: type 0 interpolates with
// the first default curve (the second serves where the first cannot fit),
// type 1 is no rule.
class CInterpolateSDFFloodFillOption : public CObject {
    DECLARE_SERIAL(CInterpolateSDFFloodFillOption)
public:
    enum Type { INTERPOLATE = 0, NONE = 1 };
    CInterpolateSDFFloodFillOption() = default;
    CInterpolateSDFFloodFillOption(const CInterpolateSDFFloodFillOption&) = default;
    CInterpolateSDFFloodFillOption& operator=(const CInterpolateSDFFloodFillOption&) = default;
    bool operator==(const CInterpolateSDFFloodFillOption& o) const {
        return m_type == o.m_type && m_default1 == o.m_default1 && m_default2 == o.m_default2;
    }
    void Serialize(CArchive& ar) override;
    int GetType() const { return m_type; }
    void SetType(int type) { m_type = type; }
    CInterpolateSDFFloodFillSelection& GetDefault1() { return m_default1; }
    const CInterpolateSDFFloodFillSelection& GetDefault1() const { return m_default1; }
    CInterpolateSDFFloodFillSelection& GetDefault2() { return m_default2; }
    const CInterpolateSDFFloodFillSelection& GetDefault2() const { return m_default2; }

    int m_type = INTERPOLATE;
    CInterpolateSDFFloodFillSelection m_default1;
    CInterpolateSDFFloodFillSelection m_default2{CURVE_EXPONENTIAL, INPUT_CUMULATIVE};
};

// A candidate estimate of the ultimates fill: the report column (method or
// report id and column) an estimate kind can take its selected ultimate
// from. Two candidates are equal when their id, column and layer agree as
// numbers and their names as strings.
class CKDVUltFloodFillData : public CObject {
    DECLARE_SERIAL(CKDVUltFloodFillData)
public:
    CKDVUltFloodFillData() = default;
    CKDVUltFloodFillData(QSID id, int column, int layer, const std::string& name)
        : m_id(id), m_column(column), m_layer(layer), m_name(name) {}
    CKDVUltFloodFillData(const CKDVUltFloodFillData&) = default;
    CKDVUltFloodFillData& operator=(const CKDVUltFloodFillData&) = default;
    bool operator==(const CKDVUltFloodFillData& o) const {
        return m_id == o.m_id && m_column == o.m_column && m_layer == o.m_layer && m_name == o.m_name;
    }
    void Serialize(CArchive& ar) override;
    const std::string& GetName() const { return m_name; }
    bool IsEmpty() const { return m_id == 0; }

    QSID m_id = 0;
    int m_column = 0;
    int m_layer = 0;
    std::string m_name;
};
