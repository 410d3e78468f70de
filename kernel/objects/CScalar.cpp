#include "CScalar.h"

#include "ObjectOwner.h"
#include "KernelStream.h"

IMPLEMENT_DYNAMIC(CScalar, CFormula)

QSSTATUS CScalar::GetValue(double& value) const {
    value = m_blank ? 0.0 : m_value;
    return m_blank ? qsk::kFail : qsk::kOk;
}

QSSTATUS CScalar::SetValue(double value) {
    if (IsReadOnly()) return qsk::kReadOnly;
    if (!m_blank && m_value == value) return qsk::kOk;
    m_value = value;
    m_blank = false;
    NotifyAll(XR_CELL, 0);
    if (m_pOwner) m_pOwner->SetModifiedFlag(true);
    Changed();
    return qsk::kOk;
}

QSSTATUS CScalar::SetValueBlank() {
    if (IsReadOnly()) return qsk::kReadOnly;
    if (m_blank) return qsk::kOk;
    m_blank = true;
    m_value = 0.0;
    NotifyAll(XR_CELL, 0);
    if (m_pOwner) m_pOwner->SetModifiedFlag(true);
    Changed();
    return qsk::kOk;
}

void CScalar::Write(KernelWriter& w) const {
    CFormula::Write(w);
    w.U8(m_blank ? 1 : 0);
    w.F64(m_value);
}

void CScalar::Read(KernelReader& r, int version) {
    CFormula::Read(r, version);
    m_blank = r.U8() != 0;
    m_value = r.F64();
}
