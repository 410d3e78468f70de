#pragma once
// A view that must be asked before its frame closes (a graph view offers to
// save style and graph changes): false when the user cancelled.
class IGraphCloseQuery {
public:
    virtual ~IGraphCloseQuery() = default;
    virtual bool CanCloseGraph() = 0;
};
