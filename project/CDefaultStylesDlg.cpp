#include "CDefaultStylesDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CGraphDefaultStyles.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "ProjectHost.h"

namespace {

const char* const kLabels[CGraphDefaultStyles::kCount] = {"&Input Arrays:", "&Exhibits:", "&Methods:",
                                                          "&Reports:",      "&Ultimates:", "&SDFs:"};

// The style files of the working directory's "styles" folder (its name
// matched without regard to case, as the files are), hidden files left out.
QStringList InstalledStyleFiles(const QString& workingDirectory) {
    QStringList files;
    const QDir working(workingDirectory);
    for (const QString& folder : working.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (folder.compare(QLatin1String("styles"), Qt::CaseInsensitive) != 0) continue;
        QDir styles(working.filePath(folder));
        styles.setNameFilters({QStringLiteral("*.rgs")});
        for (const QString& f : styles.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
            if (!f.startsWith(QLatin1Char('.'))) files << f;
    }
    return files;
}

// The names of the database's graph style records (ids 0 and up), in query order.
bool DatabaseStyles(CProject* project, QStringList& names) {
    CKDVVantor* vantor = project ? project->GetCKDVVantor() : nullptr;
    CKDVGraphStyle* store = vantor ? vantor->GetGraphStyle() : nullptr;
    if (store == nullptr) return false;
    store->SetQueryToGetGraphStyleRecords();
    for (int eod = 0; store->GetEodToGetGraphStyleRecords(eod) >= 0 && !eod;) {
        long id = 0;
        std::string name;
        store->GetGraphStyleRecords(id, name);
        if (id >= 0) names << QString::fromStdString(name);
        if (store->MoveNextToGetGraphStyleRecords() < 0) break;
    }
    store->CloseToGetGraphStyleRecords();
    return true;
}

}  // namespace

CDefaultStylesDlg::CDefaultStylesDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project),
      m_pStyles(project ? &project->GetGraphDefaultStyles() : nullptr) {
    setWindowTitle(QStringLiteral("Default Styles"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select Default style for:"), this));
    auto* form = new QFormLayout;
    for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind) {
        m_lists[kind] = new QComboBox(this);
        m_lists[kind]->setMinimumContentsLength(20);
        SetControlId(m_lists[kind], IDC_FIRST_STYLE + kind);
        auto* label = new QLabel(QString::fromLatin1(kLabels[kind]), this);
        label->setBuddy(m_lists[kind]);
        form->addRow(label, m_lists[kind]);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
}

QStringList CDefaultStylesDlg::AvailableStyles(const QString& current) const {
    QStringList names;
    if (m_pProject != nullptr && m_pProject->Mode() == RM_DATABASE) {
        if (!DatabaseStyles(m_pProject, names) || !names.contains(current)) names << current;
        return names;
    }
    const QString& working = qs::project::Host().workingDirectory;
    if (working.isEmpty()) return names;
    names = InstalledStyleFiles(working);
    if (names.isEmpty()) names << current;
    return names;
}

BOOL CDefaultStylesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pStyles == nullptr) return TRUE;
    for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind) {
        const QString current = QString::fromStdString(m_pStyles->GetStyle(kind));
        QComboBox* list = m_lists[kind];
        list->clear();
        list->addItems(AvailableStyles(current));
        list->setCurrentIndex(list->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    return TRUE;
}

void CDefaultStylesDlg::OnOK() {
    if (m_pStyles != nullptr) {
        bool changed = false;
        for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind) {
            if (m_lists[kind]->currentIndex() < 0) continue;
            const QString chosen = m_lists[kind]->currentText();
            const QString old = QString::fromStdString(m_pStyles->GetStyle(kind));
            m_pStyles->SetStyle(kind, chosen.toStdString());
            if (chosen.compare(old, Qt::CaseInsensitive) != 0) changed = true;
        }
        if (changed && m_pProject != nullptr) m_pProject->SetModifiedFlag(true);
    }
    CDialog::OnOK();
}
