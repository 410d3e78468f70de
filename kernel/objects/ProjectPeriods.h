#pragma once
// The period structure of a project: its shape (exposure and development
// periods, the two calculated layers), the start date of every exposure row,
// the development ages as labelled, and the ages that decide which cells of a
// triangle exist (the staircase). A project owns one; it moves cells itself
// when the shape changes, this part only says what the new shape is.
#include <cstdint>
#include <string>
#include <vector>

#include "KernelTypes.h"

// The project's structure. Exposure rows include the all-prior row (row 0)
// when there is one.
struct QSStructure {
    std::uint16_t numExp = 0;
    PRDLENGTH expLength = PRD_YEAR;
    std::uint16_t firstYear = 0;
    std::uint16_t firstInterval = 1;  // period of the year of the first row (1-based)
    std::uint16_t numDev = 0;
    PRDLENGTH devLength = PRD_YEAR;
    std::uint16_t firstDevAge = 12;   // months
    LAYERNAMES calc1 = GROSS;
    LAYERNAMES calc2 = ASSUMED;
    bool prior = false;               // row 0 holds all prior periods
    std::uint16_t evalExtra = 0;      // months the evaluation lies beyond the newest period's end
};

class ProjectPeriods {
public:
    // 0 for a shape a project can take; kBadLayer for calculated layers no
    // relation allows; kFail for anything else out of range.
    static QSSTATUS Validate(const QSStructure& s);
    // The first relation calculates Net, Ceded or Gross, the second Direct,
    // Assumed or Gross, and Gross by one of them only.
    static bool ValidCalcedLayers(LAYERNAMES calc1, LAYERNAMES calc2);
    // Moves the first period by months (negative: earlier), never before year 0.
    static void ShiftFirstPeriod(QSStructure& s, int months);
    // The first count of ages, continued by step months beyond the last one.
    static std::vector<int> ExtendAges(const std::vector<int>& ages, int count, int step);

    const QSStructure& Structure() const { return m_s; }
    // The shape alone; dates and ages stay as they are.
    void SetStructure(const QSStructure& s) { m_s = s; }
    // The shape, with dates and ages laid out afresh from it.
    void Reset(const QSStructure& s);
    // A new shape for a restructuring: dates and ages afresh, except the
    // dates given (when there is one per row) and, when the development
    // periods stay alike (newAges, one per column), the cells' ages given
    // with the old labels carried over.
    void Reshape(const QSStructure& s, const std::vector<double>* newDates, const std::vector<int>* newAges);

    // Cells per row of a triangle: a row sees the ages up to the evaluation.
    std::vector<std::uint16_t> Staircase() const;
    // The dates pattern that suits the exposure length ("yyyy", "yyyy'-'q", ...).
    std::string DefaultDatesFormat() const;
    // Diagonals that can still be removed, plus one.
    int EvaluationCount() const;
    bool IsLayerCalculated(unsigned short layer) const { return layer == m_s.calc1 || layer == m_s.calc2; }

    // Start date serial of each row.
    const std::vector<double>& Dates() const { return m_dates; }
    void SetDates(std::vector<double> dates) { m_dates = std::move(dates); }
    // One row's date: kOutOfRange for no such row, kFail when it would not
    // lie strictly between its neighbours' dates.
    QSSTATUS SetDate(int index, double serial);
    // Age in months of each column, as labelled.
    const std::vector<int>& Ages() const { return m_ages; }
    void SetAges(std::vector<int> ages) { m_ages = std::move(ages); }
    // One column's age: kOutOfRange for no such column or an age below one
    // month, kFail when it would not lie strictly between its neighbours.
    QSSTATUS SetAge(int index, int months);
    // The ages that decide which cells exist.
    const std::vector<int>& StairAges() const { return m_stairAges; }
    void SetStairAges(std::vector<int> ages) { m_stairAges = std::move(ages); }

private:
    QSStructure m_s;
    std::vector<double> m_dates;
    std::vector<int> m_ages;
    std::vector<int> m_stairAges;
};
