#include "CPrintList.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <map>

#include "CFrameWnd.h"
#include "CObjectView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CView.h"
#include "KernelIds.h"
#include "PrintHost.h"
#include "PrintListIds.h"
#include "CPrintListView.h"

using namespace qs::print;

namespace {

bool IsArrayDataType(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    return (type == 0 || type == 8) && (kind == 1 || kind == 2);
}

// Input arrays the All Arrays entry leaves out: indexes 23-29, 33-39 and
// above 103 of the system arrays.
bool SkippedByAllArrays(QSID id) {
    if (GetIDDOType(id) != 1 || GetIDDataType(id) != 0) return false;
    const int index = GetIDIndex(id);
    return index > 103 || (index >= 23 && index <= 29) || (index >= 33 && index <= 39);
}

}  // namespace

// ---- CPrintListItem ---------------------------------------------------------------

CPrintListItem::CPrintListItem(CProjectDoc* document, QSID id, unsigned short layer, CPrintList* list)
    : m_id(id), m_layer(layer), m_pList(list) {
    if (document == nullptr) return;
    const std::vector<CView*> before = document->Views();
    // Printing does not show the object: a window opened here stays hidden
    // and is closed again when the item is done.
    m_pFrame = document->OpenObjectView(id, layer, TRUE, FALSE, TRUE);
    if (m_pFrame == nullptr) return;
    m_pView = m_pFrame->GetActiveView();
    if (m_pView == nullptr) {
        const std::vector<CView*> views = m_pFrame->GetViews();
        if (!views.empty()) m_pView = views.front();
    }
    m_bOpenedFrame = std::find(before.begin(), before.end(), m_pView) == before.end();
}

CPrintListItem::~CPrintListItem() { Close(); }

void CPrintListItem::Close() {
    if (m_pView == nullptr) return;
    if (CObjectView* table = tableView()) table->RestoreScreenAfterPrinting();
    if (m_bOpenedFrame && m_pFrame != nullptr) m_pFrame->DestroyWindow();
    m_pView = nullptr;
    m_pFrame = nullptr;
}

bool CPrintListItem::isGraph() const { return IsGraphEntry(m_id); }

CObjectView* CPrintListItem::tableView() const { return dynamic_cast<CObjectView*>(m_pView); }

bool CPrintListItem::IsTablePrintable(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    if (kind == 5 || kind == 6) return true;
    if (kind == 1 || kind == 2) return type == 0 || type == 1 || type == 7 || type == 8;
    if (kind == 3 || kind == 4) return type >= 1 && type <= 3;
    return false;
}

bool CPrintListItem::Prints() const {
    if (m_pView == nullptr) return false;
    if (isGraph()) {
        const GraphItemPrinting& g = Host().graphs;
        return g.isGraphView && g.beginPrint && g.printPage && g.isGraphView(m_pView);
    }
    return IsTablePrintable(m_id) && tableView() != nullptr;
}

void CPrintListItem::BeginPrint(QPainter* dc, CPrintInfo* info) {
    if (!Prints()) return;
    if (isGraph()) Host().graphs.beginPrint(m_pView, dc, info);
    else tableView()->BeginPrinting(dc, info);
}

void CPrintListItem::PrintPage(QPainter* dc, CPrintInfo* info) {
    if (!Prints()) return;
    if (isGraph()) Host().graphs.printPage(m_pView, dc, info);
    else tableView()->OnPrint(dc, info);
}

void CPrintListItem::EndPrint(QPainter* dc, CPrintInfo* info) {
    if (!Prints()) return;
    if (isGraph()) {
        if (Host().graphs.endPrint) Host().graphs.endPrint(m_pView, dc, info);
        return;
    }
    tableView()->EndPrinting(dc, info);
    tableView()->RestoreScreenAfterPrinting();
}

// ---- CPrintList ---------------------------------------------------------------------

CPrintList::CPrintList(CProjectDoc* document)
    : m_pDocument(document), m_pProject(document != nullptr ? document->GetProject() : nullptr) {
    const TraceScope trace("CPrintList::CPrintList(CProjectDoc * document)");
}

CPrintList::CPrintList(const CPrintList& rhs) : CPrintListData() {
    const TraceScope trace("CPrintList::CPrintList(const CPrintList & rhs)");
    *this = rhs;
}

CPrintList::~CPrintList() {
    const TraceScope trace("CPrintList::~CPrintList()");
    closeCurrentItem();
}

CPrintList& CPrintList::operator=(const CPrintList& rhs) {
    const TraceScope trace("CPrintList::operator =(const CPrintList& rhs)");
    if (&rhs == this) return *this;
    assignData(rhs);
    m_strName = rhs.m_strName;
    m_pDocument = rhs.m_pDocument;
    m_pProject = rhs.m_pProject;
    m_nIndex = rhs.m_nIndex;
    m_compiled = rhs.m_compiled;
    // A pending page setup of the other list points into its own array.
    m_pPendingPageSetup = nullptr;
    if (const CPageSetup* pending = rhs.m_pPendingPageSetup) {
        m_pPendingPageSetup = pending;
        for (int i = 0; i < rhs.pageSetupCount(); ++i)
            if (&rhs.pageSetupAt(i) == pending) m_pPendingPageSetup = &pageSetupAt(i);
    }
    m_nPendingPage = rhs.m_nPendingPage;
    m_bMayPrint = rhs.m_bMayPrint;
    closeCurrentItem();
    return *this;
}

BOOL CPrintList::loadDefault() {
    m_strName = defaultFileName();
    readFile(m_strName);
    // As documented: the default list is there whatever the read gave.
    return TRUE;
}

BOOL CPrintList::saveDefault() { return writeFile(defaultFileName()); }

BOOL CPrintList::print() {
    const TraceScope trace("CPrintList::print()");
    CPrintListView view(this);
    view.print();
    return isAtEnd();
}

QString CPrintList::defaultFileName() const { return WorkingFile(QStringLiteral("default.lst")); }

void CPrintList::appendCompiled(QSID id, bool graph) { m_compiled.push_back(graph ? GetGraphIDOf(id) : id); }

void CPrintList::compileEntry(int entry) {
    const QSID stored = entryId(entry);
    if (IsMarkerEntry(stored)) {
        m_compiled.push_back(stored);
        return;
    }
    const bool graph = IsGraphEntry(stored);
    QSID base = DelGraphIDOf(stored);
    const unsigned short entryLayer = GetIDLayer(base);
    SetIDLayer(base, 0);
    const unsigned short first = entryLayer == 0 ? 1 : entryLayer;
    const unsigned short last = entryLayer == 0 ? 5 : entryLayer;
    const int kind = GetIDDOType(base);
    const bool markerKind = kind == 0 || kind == 2 || kind == 4 || kind == 6;
    for (unsigned short layer = first; layer <= last; ++layer) {
        const auto withLayer = [layer](QSID id) {
            SetIDLayer(id, layer);
            return id;
        };
        const auto appendExhibitsOf = [&](QSID array) {
            QSIDArray exhibits;
            m_pProject->GetAllTypeIDsFromID(array, qsk::kCatExhibit, exhibits);
            for (QSID exhibit : exhibits)
                if (m_pProject->IDHasData(withLayer(exhibit), layer)) appendCompiled(withLayer(exhibit), graph);
        };
        QSID id = base;
        if (markerKind && GetIDInstance(base) == kAllEntriesInstance) {
            const int which = GetIDIndex(base);
            if (which == 1) {
                std::array<std::map<QSID, std::string>, 5> maps;
                m_pProject->GetProjStructDataInfo(layer, maps, true);
                maps[0].insert(maps[1].begin(), maps[1].end());
                for (const auto& [array, name] : maps[0]) {
                    if (SkippedByAllArrays(array)) continue;
                    appendCompiled(array, graph);
                    if (m_bPrintAllExhibits != 0) appendExhibitsOf(array);
                }
            } else if (which == 2) {
                // Every exhibit of the project, in id order.
                QSID exhibit = 0;
                std::string name;
                const int category = qsk::kCatExhibit;
                for (QSSTATUS st = m_pProject->GetFirst(category, exhibit, name); st == 0;
                     st = m_pProject->GetNext(category, exhibit, name))
                    if (m_pProject->IDHasData(withLayer(exhibit), layer)) appendCompiled(withLayer(exhibit), graph);
            }
            continue;
        }
        if (markerKind) {
            // The entry follows its object through renumbering by name.
            QSID found = 0;
            if (m_pProject->GetPrintIDFromName(entryName(entry), found, base) != 0 || found == 0) continue;
            id = DelGraphIDOf(found);
            SetIDLayer(id, 0);
        }
        const int type = GetIDDataType(id), idKind = GetIDDOType(id);
        const QSID layered = withLayer(id);
        if (!m_pProject->IDHasData(layered, layer)) continue;
        appendCompiled(layered, graph);
        if ((idKind == 3 || idKind == 4) && type == 2) {
            QSIDArray links;
            m_pProject->GetIDLinks(id, links);
            for (QSID link : links)
                if (m_pProject->IDHasData(withLayer(link), layer)) appendCompiled(withLayer(link), graph);
        } else if (!(idKind == 3 || idKind == 4) && IsArrayDataType(id) && m_bPrintAllExhibits != 0) {
            appendExhibitsOf(id);
        }
    }
}

void CPrintList::compilePrintList() {
    const TraceScope trace("CPrintList::compilePrintList()");
    m_compiled.clear();
    if (m_pProject == nullptr) return;
    for (int i = 0; i < static_cast<int>(m_ids.size()); ++i) compileEntry(i);
}

void CPrintList::closeCurrentItem() {
    if (!m_pCurrentItem) return;
    std::unique_ptr<CPrintListItem> item = std::move(m_pCurrentItem);
    item->Close();
}

BOOL CPrintList::isAtEnd() const { return m_nIndex < 0 || m_nIndex >= static_cast<int>(m_compiled.size()); }

void CPrintList::consumeMarkers() {
    while (!isAtEnd()) {
        const QSID id = m_compiled[std::size_t(m_nIndex)];
        if (IsPageBreakEntry(id)) {
            const int next = GetIDIndex(id);
            m_nPendingPage = next == 0 ? kPageNumberInSequence : next;
        } else if (IsPageSetupEntry(id)) {
            const int at = findPageSetup(pageSetupKeyOf(id));
            if (at >= 0) m_pPendingPageSetup = &pageSetupAt(at);
        } else {
            return;
        }
        ++m_nIndex;
    }
}

BOOL CPrintList::moveFirst() {
    const TraceScope trace("CPrintList::moveFirst()");
    compilePrintList();
    closeCurrentItem();
    m_nIndex = m_compiled.empty() ? -1 : 0;
    consumeMarkers();
    return !isAtEnd();
}

BOOL CPrintList::moveNext() {
    const TraceScope trace("CPrintList::moveNext()");
    closeCurrentItem();
    if (m_nIndex >= 0 && m_nIndex < static_cast<int>(m_compiled.size())) ++m_nIndex;
    consumeMarkers();
    return !isAtEnd();
}

CPrintListItem* CPrintList::currentItem() {
    const TraceScope trace("CPrintListItem CPrintList::currentItem()");
    if (!m_pCurrentItem && !isAtEnd()) {
        QSID id = m_compiled[std::size_t(m_nIndex)];
        const unsigned short layer = GetIDLayer(DelGraphIDOf(id));
        if (!IsMarkerEntry(id)) SetIDLayer(id, 0);
        trace.Line(QString::asprintf("    index=%d, id=%d, layer=%d", m_nIndex, id, layer));
        m_pCurrentItem = std::make_unique<CPrintListItem>(m_pDocument, id, layer, this);
    }
    return m_pCurrentItem.get();
}

int CPrintList::listKind() const {
    if (m_strName == defaultFileName()) return 0;
    return m_strName.isEmpty() ? 1 : 2;
}

QString CPrintList::dialogTitle() const {
    switch (listKind()) {
    case 0: return QStringLiteral("Print");
    case 1: return QStringLiteral("Create print list");
    default: return QStringLiteral("Print - ") + QFileInfo(m_strName).fileName();
    }
}

BOOL CPrintList::openAndEdit(const QString& path) {
    if (!readFile(path)) return FALSE;
    m_strName = path;
    return edit();
}

std::unique_ptr<CPrintList> CPrintList::createNewPrintList(CProjectDoc* document) {
    const TraceScope trace("createNewPrintList(CProjectDoc * document)");
    if (!Host().fileStorage && Host().createEnterprisePrintList)
        if (std::unique_ptr<CPrintList> list = Host().createEnterprisePrintList(document)) return list;
    return std::make_unique<CFilePrintList>(document);
}

std::unique_ptr<CPrintList> CPrintList::createDefaultPrintList(CProjectDoc* document) {
    const TraceScope trace("CPrintList::createDefaultPrintList(CProjectDoc * document)");
    std::unique_ptr<CPrintList> list = createNewPrintList(document);
    list->loadDefault();
    return list;
}

std::unique_ptr<CPrintList> CPrintList::createDirectPrintList(CProjectDoc* document) {
    const TraceScope trace("CPrintList::createDirectPrintList(CProjectDoc * document)");
    return std::make_unique<CDirectPrintList>(document);
}

// ---- CDirectPrintList -------------------------------------------------------------

CDirectPrintList::CDirectPrintList(CProjectDoc* document) : CPrintList(document) {
    if (document == nullptr) return;
    const int category = document->GetActiveObject();
    QSID id = document->m_nCurrentObjectId;
    if (id == 0) return;
    std::string name;
    if (m_pProject != nullptr) m_pProject->GetNameFromID(DelGraphIDOf(id), name);
    const bool graph = IsGraphID(id) || category == CProjectDoc::kCategoryGraph;
    id = DelGraphIDOf(id);
    SetIDLayer(id, document->m_nCurrentLayer);
    addEntry(graph ? GetGraphIDOf(id) : id, name);
}
