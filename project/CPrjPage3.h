#pragma once
// "Layers": which three of the five layers the user enters; the other two
// are calculated through the two layer relationships.
#include <QString>

#include "CPropertySheet.h"
#include "KernelTypes.h"

class CPrjPage3 : public CPropertyPage {
public:
    enum : int {
        IDD = 188,
        IDC_HINT = 1102,
        IDC_GROSS = 1169,
        IDC_CEDED = 1170,
        IDC_DIRECT = 1171,
        IDC_ASSUMED = 1172,
        IDC_RELATION1 = 1199,
        IDC_NET = 1201,
        IDC_RELATION2 = 1202,
    };
    CPrjPage3();

    // Text and calculated layer of each relationship value 0..2 (NOLAYER and
    // an empty text outside).
    static QString Relation1Text(int relation);
    static QString Relation2Text(int relation);
    static LAYERNAMES Relation1Layer(int relation);
    static LAYERNAMES Relation2Layer(int relation);
    // The relationship value of a calculated layer; -1 when no relationship calculates it.
    static int Relation1Of(LAYERNAMES layer);
    static int Relation2Of(LAYERNAMES layer);

    // Takes the check boxes and sets the relationships from the entered
    // layers; FALSE with message set when the layers cannot be entered together.
    BOOL CheckEnteredLayers(QString& message);

    int m_bAssumed = 0;
    int m_bCeded = 0;
    int m_bDirect = 1;
    int m_bGross = 1;
    int m_bNet = 1;
    QString m_strRelation1 = Relation1Text(1);
    QString m_strRelation2 = Relation2Text(1);
    QString m_strHint;
    int m_bLocked = 0;
    int m_nRelation1 = 1;
    int m_nRelation2 = 1;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // A click on one of the five boxes (its control id).
    void OnLayerClicked(int nID);
};
