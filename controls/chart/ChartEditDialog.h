#pragma once
// The chart's editing dialog: titles and legend, each series' pen, axis,
// visibility and markers, and each axis' scale and title. It edits a copy of
// the appearance; the caller takes Result() after OK.
#include <QDialog>

#include <QStringList>

#include "ChartTypes.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qs::chart {

class ChartEditDialog : public QDialog {
    Q_OBJECT
public:
    // seriesNames: what the series list calls each series (the legend's
    // names); a missing or empty one reads "Series n".
    ChartEditDialog(const Appearance& look, int seriesCount, QWidget* parent = nullptr,
                    const QStringList& seriesNames = {});

    Appearance Result();

    // The controls, named for people and for tests that play one.
    QLineEdit* TitleEdit() const { return m_title; }
    QLineEdit* FootnoteEdit() const { return m_footnote; }
    QCheckBox* LegendCheck() const { return m_legend; }
    QComboBox* LegendPositionChoice() const { return m_legendPosition; }
    // The axis labels' point size; the other texts keep their proportion to it.
    QDoubleSpinBox* TextSize() const { return m_textSize; }
    QComboBox* SeriesChoice() const { return m_series; }
    QCheckBox* HiddenCheck() const { return m_hidden; }
    QCheckBox* SecondaryCheck() const { return m_secondary; }
    QDoubleSpinBox* PenWidth() const { return m_penWidth; }
    QCheckBox* MarkerVisibleCheck() const { return m_markerVisible; }
    QComboBox* MarkerStyleChoice() const { return m_markerStyle; }
    QDoubleSpinBox* MarkerSize() const { return m_markerSize; }
    QCheckBox* AutomaticCheck(int axis) const { return m_axis[axis].automatic; }
    QDoubleSpinBox* Minimum(int axis) const { return m_axis[axis].minimum; }
    QDoubleSpinBox* Maximum(int axis) const { return m_axis[axis].maximum; }
    QSpinBox* MajorDivisions(int axis) const { return m_axis[axis].major; }
    QLineEdit* AxisTitleEdit(int axis) const { return m_axis[axis].title; }

    void accept() override;

private:
    void LoadSeries(int index);
    void StoreSeries(int index);
    void ShowColor();

    Appearance m_look;
    int m_current = -1;
    QColor m_penColor;
    QLineEdit* m_title;
    QLineEdit* m_footnote;
    QCheckBox* m_legend;
    QComboBox* m_legendPosition;
    QDoubleSpinBox* m_textSize;
    QComboBox* m_series;
    QPushButton* m_color;
    QDoubleSpinBox* m_penWidth;
    QCheckBox* m_hidden;
    QCheckBox* m_secondary;
    QCheckBox* m_markerVisible;
    QComboBox* m_markerStyle;
    QDoubleSpinBox* m_markerSize;
    struct AxisControls {
        QCheckBox* automatic;
        QDoubleSpinBox* minimum;
        QDoubleSpinBox* maximum;
        QSpinBox* major;
        QSpinBox* minor;
        QLineEdit* title;
    } m_axis[kAxisCount];
};

}  // namespace qs::chart
