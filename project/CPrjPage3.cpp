#include "CPrjPage3.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kLayerBoxes[5] = {CPrjPage3::IDC_GROSS, CPrjPage3::IDC_CEDED, CPrjPage3::IDC_DIRECT,
                                CPrjPage3::IDC_ASSUMED, CPrjPage3::IDC_NET};

}  // namespace

CPrjPage3::CPrjPage3() : CPropertyPage(IDD, QStringLiteral("Layers")) {
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
                                 "Quillstone allows you to enter data in three layers.  Data in two additional layers "
                                 "will be automatically calculated based on which layers are entered.  Select the "
                                 "entered layers below."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* entered = new QGroupBox(QStringLiteral("Entered Layers"), this);
    auto* boxes = new QVBoxLayout(entered);
    const std::pair<int, const char*> labels[5] = {{IDC_ASSUMED, "&Assumed"}, {IDC_CEDED, "&Ceded"},
                                                   {IDC_DIRECT, "&Direct"},   {IDC_GROSS, "&Gross"},
                                                   {IDC_NET, "&Net"}};
    for (const auto& [id, text] : labels) {
        auto* box = new QCheckBox(QString::fromLatin1(text), entered);
        SetControlId(box, id);
        connect(box, &QCheckBox::clicked, this, [this, nID = id] { OnLayerClicked(nID); });
        boxes->addWidget(box);
    }
    layout->addWidget(entered);

    auto* relations = new QGroupBox(QStringLiteral("Layer Relationships"), this);
    auto* texts = new QVBoxLayout(relations);
    for (int id : {IDC_RELATION1, IDC_RELATION2}) {
        auto* label = new QLabel(relations);
        SetControlId(label, id);
        texts->addWidget(label);
    }
    layout->addWidget(relations);
    auto* hint = new QLabel(this);
    hint->setWordWrap(true);
    SetControlId(hint, IDC_HINT);
    layout->addWidget(hint);
    layout->addStretch();
}

QString CPrjPage3::Relation1Text(int relation) {
    switch (relation) {
    case 0: return QStringLiteral("Gross - Ceded = Net");
    case 1: return QStringLiteral("Gross - Net = Ceded");
    case 2: return QStringLiteral("Net + Ceded = Gross");
    default: return QString();
    }
}

QString CPrjPage3::Relation2Text(int relation) {
    switch (relation) {
    case 0: return QStringLiteral("Gross - Assumed = Direct");
    case 1: return QStringLiteral("Gross - Direct = Assumed");
    case 2: return QStringLiteral("Direct + Assumed = Gross");
    default: return QString();
    }
}

LAYERNAMES CPrjPage3::Relation1Layer(int relation) {
    constexpr LAYERNAMES layers[3] = {NET, CEDED, GROSS};
    return relation >= 0 && relation < 3 ? layers[relation] : NOLAYER;
}

LAYERNAMES CPrjPage3::Relation2Layer(int relation) {
    constexpr LAYERNAMES layers[3] = {DIRECT, ASSUMED, GROSS};
    return relation >= 0 && relation < 3 ? layers[relation] : NOLAYER;
}

int CPrjPage3::Relation1Of(LAYERNAMES layer) {
    for (int r = 0; r < 3; ++r)
        if (Relation1Layer(r) == layer) return r;
    return -1;
}

int CPrjPage3::Relation2Of(LAYERNAMES layer) {
    for (int r = 0; r < 3; ++r)
        if (Relation2Layer(r) == layer) return r;
    return -1;
}

BOOL CPrjPage3::CheckEnteredLayers(QString& message) {
    UpdateData(TRUE);
    const bool net = m_bNet, gross = m_bGross, ceded = m_bCeded, direct = m_bDirect, assumed = m_bAssumed;
    const int count = net + gross + ceded + direct + assumed;
    if (count > 3) {
        message = QStringLiteral("Cannot select more than 3 entered layers!");
        return FALSE;
    }
    // Weights chosen so that only the three layers of one relationship sum to 10.
    const int weight = net * 1 + direct * 2 + assumed * 3 + ceded * 4 + gross * 5;
    if (weight == 10) {
        message = QStringLiteral("Cannot have 3 entered layers in one relationship!");
        return FALSE;
    }
    if (count == 0) return TRUE;
    int first = 2, second = 1;
    if (gross) first = ceded ? 0 : 1;
    if (assumed && !direct) second = 0;
    if (assumed && direct) {
        second = 2;
        if (first == 2) first = ceded ? 0 : 1;
    }
    m_nRelation1 = first;
    m_nRelation2 = second;
    return TRUE;
}

BOOL CPrjPage3::OnInitDialog() {
    if (m_bLocked) {
        for (int id : kLayerBoxes) GetDlgItem(id)->setEnabled(false);
        m_bAssumed = m_bCeded = m_bDirect = m_bGross = m_bNet = 1;
        const auto uncheck = [this](LAYERNAMES layer) {
            switch (layer) {
            case NET: m_bNet = 0; break;
            case GROSS: m_bGross = 0; break;
            case CEDED: m_bCeded = 0; break;
            case DIRECT: m_bDirect = 0; break;
            case ASSUMED: m_bAssumed = 0; break;
            default: break;
            }
        };
        if (m_nRelation1 >= 0 && m_nRelation1 <= 2) {
            uncheck(Relation1Layer(m_nRelation1));
            m_strRelation1 = Relation1Text(m_nRelation1);
        }
        if (m_nRelation2 >= 0 && m_nRelation2 <= 2) {
            uncheck(Relation2Layer(m_nRelation2));
            m_strRelation2 = Relation2Text(m_nRelation2);
        }
    }
    return CPropertyPage::OnInitDialog();
}

void CPrjPage3::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_ASSUMED, m_bAssumed);
    DDX_Check(pDX, IDC_CEDED, m_bCeded);
    DDX_Check(pDX, IDC_DIRECT, m_bDirect);
    DDX_Check(pDX, IDC_GROSS, m_bGross);
    DDX_Check(pDX, IDC_NET, m_bNet);
    DDX_Text(pDX, IDC_RELATION1, m_strRelation1);
    DDX_Text(pDX, IDC_RELATION2, m_strRelation2);
    DDX_Text(pDX, IDC_HINT, m_strHint);
}

void CPrjPage3::OnLayerClicked(int nID) {
    QString message;
    if (CheckEnteredLayers(message)) {
        m_strHint.clear();
        m_strRelation1 = Relation1Text(m_nRelation1);
        m_strRelation2 = Relation2Text(m_nRelation2);
    } else {
        switch (nID) {
        case IDC_ASSUMED: m_bAssumed = 0; break;
        case IDC_CEDED: m_bCeded = 0; break;
        case IDC_DIRECT: m_bDirect = 0; break;
        case IDC_GROSS: m_bGross = 0; break;
        case IDC_NET: m_bNet = 0; break;
        default: break;
        }
        m_strHint = QStringLiteral("Hint: ") + message;
    }
    UpdateData(FALSE);
}
