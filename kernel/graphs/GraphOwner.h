#pragma once
// The owner of graphs: MethodOwner.h's owner with the graphs it keeps for
// its tables and its default graph styles.
#include <memory>

#include "CGraphDefaultStyles.h"
#include "MethodOwner.h"

class CGraph;

class IGraphOwner : public IMethodOwner {
public:
    // The kept graph of a table (by the table's id or its graph id), null when none.
    virtual CGraph* GetTableGraph(QSID id) const = 0;
    // Keeps graph as the graph of a table under its graph id; returns it.
    virtual CGraph* KeepTableGraph(QSID graphId, std::unique_ptr<CGraph> graph) = 0;
    virtual const CGraphDefaultStyles& GetGraphDefaultStyles() const = 0;
};
