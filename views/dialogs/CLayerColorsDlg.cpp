#include "CLayerColorsDlg.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ModalScript.h"

namespace {

constexpr const char* kLayerColorNames[5] = {"Net", "Gross", "Ceded", "Direct", "Assumed"};

QColor LayerColorToQColor(std::uint32_t ref) { return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }

std::uint32_t LayerColorFromQColor(const QColor& c) {
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

}  // namespace

CLayerColorsDlg::CLayerColorsDlg(const Colors& colors, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_colors(colors), m_layer(new QComboBox(this)), m_swatch(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Choose Layer Colors"));
    SetControlId(m_layer, IDC_LAYER);
    SetControlId(m_swatch, IDC_SWATCH);
    for (const char* name : kLayerColorNames) m_layer->addItem(QString::fromLatin1(name));
    m_swatch->setReadOnly(true);
    m_swatch->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_layer);
    row->addWidget(m_swatch);
    row->addWidget(AddButton(IDC_CHANGE, QStringLiteral("Change Color")));
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddButton(IDC_RESTORE, QStringLiteral("Restore Defaults")));
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    connect(m_layer, &QComboBox::currentIndexChanged, this, [this](int) { PaintSwatch(); });
    MapCommand(IDC_CHANGE, [this] { OnChangeColor(); });
    MapCommand(IDC_RESTORE, [this] { OnRestoreDefaults(); });
}

BOOL CLayerColorsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_layer->setCurrentIndex(0);
    PaintSwatch();
    return TRUE;
}

std::uint32_t CLayerColorsDlg::SwatchColor() const {
    const int i = m_layer->currentIndex();
    return i >= 0 && i < 5 ? m_colors[std::size_t(i)] : 0;
}

void CLayerColorsDlg::PaintSwatch() {
    const QColor c = LayerColorToQColor(SwatchColor());
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Base, c);
    palette.setColor(QPalette::Window, c);
    m_swatch->setPalette(palette);
    m_swatch->update();
}

void CLayerColorsDlg::OnChangeColor() {
    QColorDialog chooser(LayerColorToQColor(SwatchColor()), this);
    chooser.setWindowTitle(QStringLiteral("Color"));
    if (qs::fw::RunModal(chooser) != IDOK) return;
    // The colour goes to the layer whose name is the list's text.
    const QString text = m_layer->currentText();
    for (int i = 0; i < 5; ++i) {
        if (text.compare(QString::fromLatin1(kLayerColorNames[i]), Qt::CaseInsensitive) == 0) {
            m_colors[std::size_t(i)] = LayerColorFromQColor(chooser.selectedColor());
            break;
        }
    }
    PaintSwatch();
}

void CLayerColorsDlg::OnRestoreDefaults() {
    m_colors = kDefaultColors;
    PaintSwatch();
}
