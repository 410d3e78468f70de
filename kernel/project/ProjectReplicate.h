#pragma once
// Replicating a user-defined object of one project into another: what the
// copy would read that the target lacks, and the copy's entry into the
// target. The copy itself comes from CProject::DuplicateObject.
#include "CProject.h"

// The objects id's definition reads: its formula's objects (a method's
// columns' too), the objects it is calculated from and a graph's tables;
// layer-neutral ids, each once, without id itself.
QSIDArray GetObjectsReadBy(const CProject& project, QSID id);

// The long names of the objects that id's definition reads (its formula's
// objects, a graph's tables) which target lacks or holds under another name
// at the same id: the copy would read nothing, or the wrong table.
QSSTATUS GetReplicateMissingSources(const CProject& source, QSID id, const CProject& target, QSStringArray& names);

// Adds copy (of source's sourceId) to target as a new user-defined object of
// the source's kind, bound to target's objects; newId receives its id. The
// function takes the copy in every case (copy is null afterwards); nothing
// is added on a failure (kNameTaken: the name or abbreviated name is used).
QSSTATUS AddReplicatedObject(CProject& target, const CProject& source, QSID sourceId, CFormula*& copy, QSID& newId);
