#pragma once
// The owner of exhibits: ObjectOwner.h's owner with the project's exhibit
// settings (statistics definitions, factor sets).
#include "ExhibitSettings.h"
#include "ObjectOwner.h"

class IExhibitOwner : public IObjectOwner {
public:
    virtual const QSExhibitSettings& GetExhibitSettings() const = 0;
};
