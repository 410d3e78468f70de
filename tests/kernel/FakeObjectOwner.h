#pragma once
// A small owner for kernel objects built without a project: it keeps a few
// objects by id, answers labels from a yearly structure and counts the
// changes it is told of. Only what ObjectOwner.h asks for, nothing more.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "KernelIds.h"
#include "ObjectOwner.h"

class FakeObjectOwner : public IObjectOwner {
public:
    // Exposure years from firstYear, development ages 12, 24, ...
    FakeObjectOwner(std::uint16_t numExp, std::uint16_t numDev, std::uint16_t firstYear = 2001) {
        m_structure.numExp = numExp;
        m_structure.numDev = numDev;
        m_structure.firstYear = firstYear;
    }

    // Keeps object under id (layer-neutral) and makes this its owner.
    template <class T>
    T* Add(QSID id, std::unique_ptr<T> object) {
        T* raw = object.get();
        raw->SetIDNum(id);
        raw->SetOwner(this);
        m_objects[GetLayerNeutralID(id)] = std::move(object);
        return raw;
    }
    // A triangle of the structure's shape, every cell blank: the newest row
    // one age long, each older row one age longer (at most every age).
    CDataObject* AddTriangle(QSID id, const std::string& name) {
        std::vector<std::uint16_t> stairs;
        for (int r = 0; r < m_structure.numExp; ++r)
            stairs.push_back(static_cast<std::uint16_t>(std::min(m_structure.numExp - r, int{m_structure.numDev})));
        auto d = std::make_unique<CDataObject>();
        d->SetShape(m_structure.numExp, m_structure.numDev, CDataObject::VT_TRIANGLE, stairs);
        d->SetIDLongName(name);
        return Add(id, std::move(d));
    }

    int ModifiedCount() const { return m_modified; }

    CFormula* FindObject(QSID id, unsigned short) const override {
        auto it = m_objects.find(GetLayerNeutralID(id));
        return it == m_objects.end() ? nullptr : it->second.get();
    }
    CDataObject* FindDataObject(QSID id, unsigned short layer) const override {
        return dynamic_cast<CDataObject*>(FindObject(id, layer));
    }
    bool IDExists(QSID id) const override { return FindObject(id, 0) != nullptr; }
    QSSTATUS GetLongNameFromID(QSID id, std::string& name) const override {
        const CFormula* f = FindObject(id, 0);
        if (!f) return qsk::kUnknownId;
        name = f->GetIDLongName();
        return qsk::kOk;
    }
    QSSTATUS GetLabels(QSStringArray& exposure, QSStringArray& development, QSStringArray& exhibit,
                       std::string& title) const override {
        exposure = Years();
        development = Ages();
        exhibit.clear();
        for (std::size_t c = 0; c + 1 < development.size(); ++c) exhibit.push_back(development[c] + "-" + development[c + 1]);
        title = "Year";
        return qsk::kOk;
    }
    QSSTATUS GetLabels(QSStringArray& labels, LABELTYPES kind, std::string& caption, const short&) const override {
        QSStringArray exposure, development, exhibit;
        GetLabels(exposure, development, exhibit, caption);
        labels = kind == LBL_DEVELOPMENT ? development : kind == LBL_EXHIBIT ? exhibit : exposure;
        return qsk::kOk;
    }
    QSSTATUS GetObjectLabels(const CDataObject&, QSStringArray& rows, QSStringArray& cols,
                             std::string& corner) const override {
        rows = Years();
        cols = Ages();
        corner = "Year";
        return qsk::kOk;
    }
    QSSTATUS GetNameLayer(std::string& name, unsigned short) const override {
        name = "Net";
        return qsk::kOk;
    }
    const QSStructure& GetStructure() const override { return m_structure; }
    QSSTATUS GetDevPeriod(int& months, int index) const override {
        if (index < 0 || index >= m_structure.numDev) return qsk::kOutOfRange;
        months = 12 * (index + 1);
        return qsk::kOk;
    }
    void SetModifiedFlag(bool modified) override { m_modified += modified ? 1 : 0; }

private:
    QSStringArray Years() const {
        QSStringArray out;
        for (int r = 0; r < m_structure.numExp; ++r) out.push_back(std::to_string(m_structure.firstYear + r));
        return out;
    }
    QSStringArray Ages() const {
        QSStringArray out;
        for (int c = 0; c < m_structure.numDev; ++c) out.push_back(std::to_string(12 * (c + 1)));
        return out;
    }

    QSStructure m_structure;
    std::map<QSID, std::unique_ptr<CFormula>> m_objects;
    int m_modified = 0;
};
