#pragma once
// Helpers the formula tests and the formula benchmark share: formulas written
// as blank-separated tokens, and user tables added to a project by formula.
#include <string>

#include "CProject.h"
#include "FormulaBinding.h"

namespace qs::test {

// Splits "DO101000001 / 2" at blanks into the token stack a formula is
// stored as (raw and resolved alike when no names need resolving).
inline CStringStack FormulaTokens(const std::string& text) {
    CStringStack s;
    std::string cur;
    for (char ch : text) {
        if (ch == ' ') {
            if (!cur.empty()) s.Push(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) s.Push(cur);
    return s;
}

// Adds a user input table calculated by the formula; its id, or 0 when the
// formula or the table is refused (the status is left in *status).
inline QSID AddFormulaTable(CProject& p, const std::string& name, const CStringStack& raw,
                            const CStringStack& resolved, int vectorType = CDataObject::VT_TRIANGLE,
                            QSSTATUS* status = nullptr) {
    CUserTable proto;
    proto.SetIDLongName(name);
    proto.SetVectorType(vectorType);
    QSSTATUS st = proto.SetFormula(raw, resolved);
    QSID id = 0;
    if (st == 0) st = p.AddNewFormulaObject(proto, 2, 0, qsk::kNodeUserInput, true, id);
    if (status) *status = st;
    return st == 0 ? id : 0;
}

}  // namespace qs::test
