#pragma once
// What an object asks of the project that owns it: other objects by id, the
// labels of its rows and columns, the period structure it is shaped by, and
// that the project has changed. CProject implements it; an object built
// outside a project (a test, a calculation on its own) can be given a small
// owner of its own instead of a whole project.
//
// Higher rooms widen it for the objects they hold: IExhibitOwner (exhibit
// settings), IMethodOwner (summary report options), IGraphOwner (kept graphs
// and default styles). An object finds its room's owner with dynamic_cast
// and does without when the owner is not one.
#include <string>

#include "KernelTypes.h"
#include "ProjectPeriods.h"

class CFormula;
class CDataObject;

class IObjectOwner {
public:
    virtual ~IObjectOwner() = default;

    // ---- objects
    // The instance of id in layer (layer 0 takes the id's own layer); null
    // for an unknown id or a bad layer.
    virtual CFormula* FindObject(QSID id, unsigned short layer = 0) const = 0;
    virtual CDataObject* FindDataObject(QSID id, unsigned short layer) const = 0;
    virtual bool IDExists(QSID id) const = 0;
    virtual QSSTATUS GetLongNameFromID(QSID id, std::string& name) const = 0;

    // ---- labels
    // Exposure, development and exhibit (age-to-age) labels, and the period word.
    virtual QSSTATUS GetLabels(QSStringArray& exposure, QSStringArray& development, QSStringArray& exhibit,
                               std::string& title) const = 0;
    // One kind of labels; index -1 for all, else the one label at index.
    virtual QSSTATUS GetLabels(QSStringArray& labels, LABELTYPES kind, std::string& caption,
                               const short& index) const = 0;
    virtual QSSTATUS GetObjectLabels(const CDataObject& object, QSStringArray& rows, QSStringArray& cols,
                                     std::string& corner) const = 0;
    virtual QSSTATUS GetNameLayer(std::string& name, unsigned short layer) const = 0;

    // ---- periods
    virtual const QSStructure& GetStructure() const = 0;
    // The age in months of development column index.
    virtual QSSTATUS GetDevPeriod(int& months, int index) const = 0;

    // An object's stored definition or values changed.
    virtual void SetModifiedFlag(bool modified = true) = 0;
};
