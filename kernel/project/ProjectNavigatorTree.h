#pragma once
// The navigator tree of a project: categories (parent 0) and the nodes under
// them by id, each with its name, and the show list that a navigator set to
// "show selected" limits itself to. Objects name their node themselves (the
// object store); this part knows only the tree.
#include <map>
#include <string>

#include "KernelTypes.h"

class ProjectNavigatorTree {
public:
    struct Node {
        QSID parent = 0;
        std::string name;
    };

    // The categories and nodes every project starts with.
    void AddStandardNodes();
    // Adds or renames a node.
    void Add(QSID id, QSID parent, const std::string& name) { m_nodes[id] = Node{parent, name}; }
    bool Has(QSID id) const { return m_nodes.count(id) != 0; }
    // The category a node belongs to (itself for a category; an unknown
    // node is its own root).
    QSID Root(QSID node) const;
    // The nodes directly under node, in id order; kUnknownId for no such node.
    QSSTATUS Children(QSID node, QSStringArray& names, QSIDArray& ids) const;
    const std::map<QSID, Node>& Nodes() const { return m_nodes; }
    void SetNodes(std::map<QSID, Node> nodes) { m_nodes = std::move(nodes); }

    // The show list, of layer-neutral ids, each once.
    const QSIDArray& ShowItems() const { return m_showItems; }
    // Takes ids in order, dropping repeats.
    void SetShowItems(const QSIDArray& ids);
    void AddShowItem(QSID id);
    void RemoveShowItem(QSID id);
    // Whether a navigator showing selected items shows id: every id while
    // the list is empty.
    bool Shows(QSID id) const;

    // Nodes and show list both go.
    void Clear() {
        m_nodes.clear();
        m_showItems.clear();
    }

private:
    std::map<QSID, Node> m_nodes;
    QSIDArray m_showItems;
};
