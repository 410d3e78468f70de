// The graph view's styles: the chart's whole appearance kept in style files
// of the working directory's styles folder (or anywhere the user saves one),
// loaded before the chart is filled. Styles in the enterprise database come
// with the database subsystem; until then every style lives in a file.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include "CFileDialog.h"
#include "CGraph.h"
#include "CGraphChartWnd.h"
#include "CGraphView.h"
#include "CProject.h"
#include "GraphHost.h"
#include "MessageBox.h"

namespace {

const char* const kFilter = "Quillstone Graph Styles (*.rgs)|*.rgs||";

const char* const kProtected[] = {"DEF_ARR",  "DEF_ARR2", "DEF_COL",  "DEF_EXH",  "DEF_EXH2", "DEF_EXH3",
                                  "DEF_EXH4", "DEF_MET",  "DEF_MET2", "DEF_MET3", "DEF_REP",  "DEF_REP2",
                                  "DEF_REP3", "DEF_REP4", "DEF_SDF",  "zoom",     "DEF_RESPLOT"};

// The file of the styles folder named name, its letter case aside; empty
// when there is none.
QString StyleFileInFolder(const QString& name) {
    if (name.isEmpty()) return {};
    const QDir folder(qs::graphs::StylesFolder());
    for (const QString& f : folder.entryList(QDir::Files))
        if (f.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(f);
    return {};
}

bool IsPath(const QString& name) { return name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('/')); }

}  // namespace

bool CGraphView::IsProtectedStyle(const QString& name) {
    QString base = QFileInfo(name).fileName();
    if (base.endsWith(QStringLiteral(".rgs"), Qt::CaseInsensitive)) base.chop(4);
    for (const char* p : kProtected)
        if (base.compare(QLatin1String(p), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString CGraphView::StyleNameForPath(const QString& path) {
    const QFileInfo file(path);
    const QString folder = QDir::cleanPath(file.absolutePath());
    const QString styles = QDir::cleanPath(QFileInfo(qs::graphs::StylesFolder()).absoluteFilePath());
    return folder.compare(styles, Qt::CaseInsensitive) == 0 ? file.fileName() : file.absoluteFilePath();
}

QString CGraphView::DefaultStyleName() const {
    if (m_pGraph == nullptr) return {};
    // The default of the kind of table the graph draws (its first table's).
    const CGraphData& data = m_pGraph->GetNumTables() > 0 ? m_pGraph->GetTables().front() : m_pGraph->GetData();
    const QString name = QString::fromStdString(data.GetStyleName(GetProject()));
    return StyleFileInFolder(name).isEmpty() ? QString() : name;
}

bool CGraphView::LoadStyle(int mode) {
    if (m_pGraph == nullptr) return false;
    DropSavedAppearance();
    QString name = QString::fromStdString(m_pGraph->GetStyleName());
    if (name == kDefaultStyle) name = DefaultStyleName();
    // Database styles need the enterprise database's link, which a view
    // does not have yet: every style is a file.
    if (mode == StyleAutomatic || mode == StyleDatabase) mode = StyleFile;
    bool loaded = false;
    if (!name.isEmpty()) {
        QString path = IsPath(name) ? name : StyleFileInFolder(name);
        if (path.isEmpty()) path = QDir(qs::graphs::StylesFolder()).filePath(name);
        loaded = m_pChart->LoadStyleFile(path, true);
    }
    if (!loaded) {
        const QString fallback = DefaultStyleName();
        if (!fallback.isEmpty() && fallback != name) {
            m_pGraph->SetStyleName(fallback.toStdString());
            loaded = m_pChart->LoadStyleFile(StyleFileInFolder(fallback), true);
        }
    }
    return loaded;
}

void CGraphView::OnSaveStyle() {
    if (m_pGraph == nullptr) return;
    CFileDialog dialog(FALSE, QStringLiteral("rgs"), QString(), OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QString::fromLatin1(kFilter), this);
    dialog.setWindowTitle(QStringLiteral("Save Graph Style"));
    dialog.SetOkCaption(QStringLiteral("Save Graph Style"));
    dialog.m_ofn.lpstrInitialDir = qs::graphs::StylesFolder();
    dialog.setDirectory(qs::graphs::StylesFolder());
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return;
    SaveStyleToFile(dialog.GetPathName());
}

bool CGraphView::SaveStyleToFile(const QString& chosen) {
    if (m_pGraph == nullptr) return false;
    QString path = chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".rgs");
    const QString name = StyleNameForPath(path);
    if (!IsPath(name) && IsProtectedStyle(name)) {
        AfxMessageBox(QStringLiteral(" \"%1\" is a default style.\n Default Styles cannot be overwritten.\n Please use a "
                                     "different name.")
                          .arg(name),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!m_pChart->SaveStyleFile(path, true)) return false;
    m_pGraph->SetStyleName(name.toStdString());
    m_pGraph->SetDirty(true);
    FillStyleList();
    m_bStyleChanged = false;
    MarkProjectModified();
    return true;
}

void CGraphView::OnLoadStyle() {
    if (m_pGraph == nullptr) return;
    CFileDialog dialog(TRUE, QStringLiteral("rgs"), QString(), OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       QString::fromLatin1(kFilter), this);
    dialog.setWindowTitle(QStringLiteral("Load Graph Style"));
    dialog.SetOkCaption(QStringLiteral("Load"));
    dialog.m_ofn.lpstrInitialDir = qs::graphs::StylesFolder();
    dialog.setDirectory(qs::graphs::StylesFolder());
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return;
    LoadStyleFromFile(dialog.GetPathName());
}

bool CGraphView::LoadStyleFromFile(const QString& path) {
    if (m_pGraph == nullptr) return false;
    DropSavedAppearance();
    m_pGraph->SetStyleName(StyleNameForPath(path).toStdString());
    const bool loaded = LoadStyle(StyleFile);
    RefreshGraph(FALSE);
    m_pGraph->GetData().SetStatus(0);
    m_bStyleChanged = false;
    FillStyleList();
    MarkProjectModified();
    return loaded;
}

void CGraphView::FillStyleList() {
    QComboBox* list = StyleList();
    if (list == nullptr || m_pGraph == nullptr) return;
    const QSignalBlocker block(list);
    list->clear();
    QStringList names;
    const QString fallback = DefaultStyleName();
    if (!fallback.isEmpty()) names << fallback;
    QDir folder(qs::graphs::StylesFolder());
    folder.setNameFilters({QStringLiteral("*.rgs")});
    for (const QString& f : folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (!f.startsWith(QLatin1Char('.')) && !names.contains(f)) names << f;
    const QString current = QString::fromStdString(m_pGraph->GetStyleName());
    if (!names.contains(current)) names.prepend(current);
    list->addItems(names);
    list->setCurrentIndex(names.indexOf(current));
}

void CGraphView::OnStyleSelected(const QString& name) {
    if (m_pGraph == nullptr || name.isEmpty()) return;
    if (m_bStyleChanged &&
        AfxMessageBox(QStringLiteral("Would you like to save your changes to the graph style?"), MB_YESNO) == IDYES)
        OnSaveStyle();
    DropSavedAppearance();
    if (name.compare(QString::fromStdString(m_pGraph->GetStyleName()), Qt::CaseInsensitive) != 0) {
        MarkProjectModified();
        m_pGraph->SetStyleName(name.toStdString());
    }
    LoadStyle(StyleAutomatic);
    RefreshGraph(FALSE);
    m_bStyleChanged = false;
    FillStyleList();
}
