#include "ChartEditDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "MessageBox.h"

namespace qs::chart {

namespace {

const char* const kMarkerNames[kMarkerStyleCount] = {
    "Dash", "Plus", "X", "Star", "Circle", "Square", "Diamond", "Up triangle", "Down triangle", "Filled circle",
    "Filled square", "Filled diamond", "Filled up triangle", "Filled down triangle", "3D ball", "None"};

QDoubleSpinBox* NumberBox() {
    auto* box = new QDoubleSpinBox;
    box->setDecimals(6);
    box->setRange(-1e12, 1e12);
    return box;
}

void Swatch(QPushButton* button, const QColor& color) {
    button->setText(color.name());
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; }")
                              .arg(color.name(), color.lightness() < 128 ? "white" : "black"));
}

}  // namespace

ChartEditDialog::ChartEditDialog(const Appearance& look, int seriesCount, QWidget* parent,
                                 const QStringList& seriesNames)
    : QDialog(parent), m_look(look) {
    setWindowTitle(tr("Chart Properties"));
    // Wide enough for every tab's name to show.
    setMinimumWidth(480);
    auto* tabs = new QTabWidget;

    auto* chartPage = new QWidget;
    auto* chartForm = new QFormLayout(chartPage);
    chartForm->addRow(tr("&Title:"), m_title = new QLineEdit(look.title));
    chartForm->addRow(tr("&Footnote:"), m_footnote = new QLineEdit(look.footnote));
    chartForm->addRow(QString(), m_legend = new QCheckBox(tr("Show &legend")));
    m_legend->setChecked(look.legend);
    chartForm->addRow(tr("Legend &position:"), m_legendPosition = new QComboBox);
    m_legendPosition->addItems({tr("Top"), tr("Bottom"), tr("Left"), tr("Right")});
    m_legendPosition->setCurrentIndex(look.legendPosition);
    chartForm->addRow(tr("Text si&ze (points):"), m_textSize = new QDoubleSpinBox);
    m_textSize->setRange(4.0, 48.0);
    m_textSize->setDecimals(1);
    m_textSize->setValue(look.text.axisLabels);
    tabs->addTab(chartPage, tr("Chart"));

    auto* seriesPage = new QWidget;
    auto* seriesForm = new QFormLayout(seriesPage);
    seriesForm->addRow(tr("&Series:"), m_series = new QComboBox);
    for (int s = 1; s <= std::min<int>(seriesCount, int(m_look.series.size())); ++s)
        m_series->addItem(seriesNames.value(s - 1).isEmpty() ? tr("Series %1").arg(s) : seriesNames.value(s - 1));
    seriesForm->addRow(tr("Line &colour:"), m_color = new QPushButton);
    seriesForm->addRow(tr("Line &width:"), m_penWidth = new QDoubleSpinBox);
    m_penWidth->setRange(0, 20);
    m_penWidth->setDecimals(1);
    seriesForm->addRow(QString(), m_hidden = new QCheckBox(tr("&Hidden")));
    seriesForm->addRow(QString(), m_secondary = new QCheckBox(tr("On the s&econd Y axis")));
    seriesForm->addRow(QString(), m_markerVisible = new QCheckBox(tr("Show &markers")));
    seriesForm->addRow(tr("Marker st&yle:"), m_markerStyle = new QComboBox);
    for (const char* name : kMarkerNames) m_markerStyle->addItem(tr(name));
    seriesForm->addRow(tr("Marker si&ze:"), m_markerSize = new QDoubleSpinBox);
    m_markerSize->setRange(0, 64);
    m_markerSize->setDecimals(1);
    seriesPage->setEnabled(m_series->count() > 0);
    tabs->addTab(seriesPage, tr("Series"));
    connect(m_color, &QPushButton::clicked, this, &ChartEditDialog::ShowColor);
    connect(m_series, &QComboBox::currentIndexChanged, this, [this](int index) {
        StoreSeries(m_current);
        LoadSeries(index);
    });
    LoadSeries(m_series->currentIndex());

    const QString axisNames[kAxisCount] = {tr("X axis"), tr("Y axis"), tr("Second Y axis")};
    for (int a = 0; a < kAxisCount; ++a) {
        auto* page = new QWidget;
        auto* form = new QFormLayout(page);
        AxisControls& c = m_axis[a];
        const AxisStyle& style = look.axes[size_t(a)];
        form->addRow(tr("T&itle:"), c.title = new QLineEdit(style.title));
        form->addRow(QString(), c.automatic = new QCheckBox(tr("&Automatic scale")));
        form->addRow(tr("Mi&nimum:"), c.minimum = NumberBox());
        form->addRow(tr("Ma&ximum:"), c.maximum = NumberBox());
        form->addRow(tr("Ma&jor divisions:"), c.major = new QSpinBox);
        form->addRow(tr("Mi&nor divisions:"), c.minor = new QSpinBox);
        c.major->setRange(0, 100);
        c.minor->setRange(0, 100);
        c.automatic->setChecked(style.scale.automatic);
        c.minimum->setValue(style.scale.minimum);
        c.maximum->setValue(style.scale.maximum);
        c.major->setValue(style.scale.majorDivisions);
        c.minor->setValue(style.scale.minorDivisions);
        auto enable = [c](bool automatic) {
            for (QWidget* w : {static_cast<QWidget*>(c.minimum), static_cast<QWidget*>(c.maximum),
                               static_cast<QWidget*>(c.major)})
                w->setEnabled(!automatic);
        };
        enable(style.scale.automatic);
        connect(c.automatic, &QCheckBox::toggled, this, enable);
        tabs->addTab(page, axisNames[a]);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChartEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChartEditDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

void ChartEditDialog::LoadSeries(int index) {
    m_current = index;
    if (index < 0 || index >= int(m_look.series.size())) return;
    const SeriesStyle& st = m_look.series[size_t(index)];
    m_penColor = st.penColor;
    Swatch(m_color, m_penColor);
    m_penWidth->setValue(st.penWidth);
    m_hidden->setChecked(st.hidden);
    m_secondary->setChecked(st.secondaryAxis);
    m_markerVisible->setChecked(st.marker.visible);
    m_markerStyle->setCurrentIndex(st.marker.style);
    m_markerSize->setValue(st.marker.size);
}

void ChartEditDialog::StoreSeries(int index) {
    if (index < 0 || index >= int(m_look.series.size())) return;
    SeriesStyle& st = m_look.series[size_t(index)];
    st.penColor = m_penColor;
    st.penWidth = m_penWidth->value();
    st.hidden = m_hidden->isChecked();
    st.secondaryAxis = m_secondary->isChecked();
    st.marker.visible = m_markerVisible->isChecked();
    st.marker.style = m_markerStyle->currentIndex();
    st.marker.size = m_markerSize->value();
    // A person who restyles a series restyles all its points.
    st.pointMarkers.clear();
}

void ChartEditDialog::ShowColor() {
    const QColor chosen = QColorDialog::getColor(m_penColor, this, tr("Line colour"));
    if (!chosen.isValid()) return;
    m_penColor = chosen;
    Swatch(m_color, m_penColor);
}

void ChartEditDialog::accept() {
    for (int a = 0; a < kAxisCount; ++a) {
        const AxisControls& c = m_axis[a];
        if (!c.automatic->isChecked() && !(c.maximum->value() > c.minimum->value())) {
            ::MessageBox(this, tr("The maximum of an axis must be greater than its minimum."), windowTitle(),
                         MB_OK | MB_ICONEXCLAMATION);
            c.maximum->setFocus();
            return;
        }
    }
    QDialog::accept();
}

Appearance ChartEditDialog::Result() {
    StoreSeries(m_current);
    Appearance look = m_look;
    look.title = m_title->text();
    look.footnote = m_footnote->text();
    look.legend = m_legend->isChecked();
    look.legendPosition = m_legendPosition->currentIndex();
    if (const double base = m_textSize->value(); base != look.text.axisLabels && look.text.axisLabels > 0) {
        const double k = base / look.text.axisLabels;
        for (double* size : {&look.text.title, &look.text.legend, &look.text.footnote, &look.text.axisTitles})
            *size = std::clamp(*size * k, 1.0, 200.0);
        look.text.axisLabels = base;
    }
    for (int a = 0; a < kAxisCount; ++a) {
        const AxisControls& c = m_axis[a];
        AxisStyle& style = look.axes[size_t(a)];
        style.title = c.title->text();
        style.scale.automatic = c.automatic->isChecked();
        style.scale.minimum = c.minimum->value();
        style.scale.maximum = c.maximum->value();
        style.scale.majorDivisions = c.major->value();
        style.scale.minorDivisions = c.minor->value();
    }
    return look;
}

}  // namespace qs::chart
