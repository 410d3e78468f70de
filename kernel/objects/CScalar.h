#pragma once
// A single value (the scaling factor, user scalars). Blank until set.
#include "CFormula.h"

class CScalar : public CFormula {
    DECLARE_DYNAMIC(CScalar)

public:
    explicit CScalar(QSID id = 0) : CFormula(id) {}
    std::unique_ptr<CFormula> Clone() const override { return std::make_unique<CScalar>(*this); }

    QSSTATUS GetValue(double& value) const;  // fails (value 0) while blank
    QSSTATUS SetValue(double value);
    QSSTATUS SetValueBlank();
    bool IsScalarBlank() const { return m_blank; }

    int GetStorageTag() const override { return 2; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;

private:
    double m_value = 0.0;
    bool m_blank = true;
};
