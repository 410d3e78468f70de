#pragma once
// The bar above the graph: a check box per curve in the curve's colour
// (drawn or not), R squared and the tail factor of each curve under its
// box, "Reset Zoom" and "Fit values less than 1".
#include <QCheckBox>
#include <QWidget>

#include "CWnd.h"

class CColorCheckButton : public QCheckBox {
public:
    CColorCheckButton(const QString& caption, const QColor& color, QWidget* parent = nullptr);
};

class CCurveGraphBar : public QWidget, public CWnd {
public:
    explicit CCurveGraphBar(QWidget* parent = nullptr);
    ~CCurveGraphBar() override;

    void Fill();
    // Box 1029: the new setting, with every point's exclusion recomputed.
    void OnFitNegative(bool on);
};
