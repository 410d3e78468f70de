#pragma once
// The bar above the grid: a tab per curve, each holding the curve's formula
// panel (fitted a, b, c, R squared and cutoff, with the buttons that set the
// constant and the cutoff and run Reset, Apply and Cancel).
#include <QWidget>

#include <vector>

#include "CWnd.h"

class QLabel;
class QPushButton;
class QTabWidget;

class CFormulaPanel : public QWidget, public CWnd {
public:
    CFormulaPanel(int curve, QWidget* parent = nullptr);
    ~CFormulaPanel() override;
    int Curve() const { return m_curve; }

    void Fill();
    // The buttons' work (public so tests can press them without a person).
    void OnConstant();
    void OnCutoff();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_curve;
    QLabel* m_formula;
};

class CCurveGridBar : public QWidget, public CWnd {
public:
    explicit CCurveGridBar(QWidget* parent = nullptr);
    ~CCurveGridBar() override;

    QTabWidget* Tabs() const { return m_tabs; }
    CFormulaPanel* Panel(int curve) const { return m_panels.at(size_t(curve)); }

private:
    QTabWidget* m_tabs;
    std::vector<CFormulaPanel*> m_panels;
};

// The formula of a curve as rich text, in the form the fit-values-below-1
// switch selects.
QString CurveFormulaText(int curve, bool fitNegative);
