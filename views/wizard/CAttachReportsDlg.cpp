#include "CAttachReportsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "CProject.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "WaitCursor.h"

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

QIcon ReportIcon(int image) {
    return QApplication::style()->standardIcon(image == 18 ? QStyle::SP_FileLinkIcon : QStyle::SP_FileIcon);
}

QTreeWidget* MakeList(QWidget* owner, int id, const QString& column) {
    auto* list = new QTreeWidget(owner);
    CWnd::SetControlId(list, id);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({column});
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}
}  // namespace

CAttachReportsDlg::CAttachReportsDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent),
      m_left(MakeList(this, IDC_REPORTS, QStringLiteral("Reports"))),
      m_right(MakeList(this, IDC_ATTACHED, QStringLiteral("Attached"))),
      m_onlyWithData(new QCheckBox(QStringLiteral("&Only with data"), this)) {
    setWindowTitle(m_strCaption);
    SetControlId(m_onlyWithData, IDC_ONLY_WITH_DATA);
    auto* layout = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_left, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    auto* attach = new QPushButton(QStringLiteral(" >> &Attach"), this);
    auto* detach = new QPushButton(QStringLiteral("&Detach <<"), this);
    SetControlId(attach, IDC_ATTACH);
    SetControlId(detach, IDC_DETACH);
    attach->setAutoDefault(false);
    detach->setAutoDefault(false);
    middle->addWidget(attach);
    middle->addWidget(detach);
    middle->addStretch();
    lists->addLayout(middle);
    lists->addWidget(m_right, 1);
    layout->addLayout(lists, 1);
    layout->addWidget(m_onlyWithData);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    resize(520, 360);
    connect(attach, &QPushButton::clicked, this, [this] { OnAttach(); });
    connect(detach, &QPushButton::clicked, this, [this] { OnDetach(); });
    connect(m_left, &QTreeWidget::itemDoubleClicked, this, [this] { OnAttach(); });
    connect(m_right, &QTreeWidget::itemDoubleClicked, this, [this] { OnDetach(); });
    connect(m_onlyWithData, &QCheckBox::toggled, this, [this](bool on) {
        m_bOnlyWithData = on ? 1 : 0;
        FillReports();
    });
}

void CAttachReportsDlg::FillReports() {
    CWaitCursor wait;
    m_left->clear();
    if (m_pProject == nullptr) return;
    QSIDArray attached;
    for (int i = 0; i < m_right->topLevelItemCount(); ++i)
        attached.push_back(QSID(m_right->topLevelItem(i)->data(0, kIdRole).toLongLong()));
    QSID id = 0;
    std::string name;
    const int category = 7000;
    for (QSSTATUS st = m_pProject->GetFirst(category, id, name, 0, -1); st == 0;
         st = m_pProject->GetNext(category, id, name, 0, -1)) {
        if (std::find(attached.begin(), attached.end(), id) != attached.end()) continue;
        if (m_bOnlyWithData && !m_pProject->IDHasData(id, 1)) continue;
        auto* item = new QTreeWidgetItem(m_left, {QString::fromStdString(name)});
        const int kind = GetIDDOType(id);
        const int image = (kind == 2 || kind == 4 || kind == 6) ? 18 : 12;
        item->setData(0, kIdRole, qlonglong(id));
        item->setData(0, kImageRole, image);
        item->setIcon(0, ReportIcon(image));
    }
}

BOOL CAttachReportsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CWaitCursor wait;
    setWindowTitle(m_strCaption);
    m_left->setColumnWidth(0, m_left->width() * 2);
    m_right->setColumnWidth(0, m_left->width() * 2);
    m_right->clear();
    m_onlyWithData->setChecked(m_bOnlyWithData != 0);
    FillReports();
    QStringList missing;
    for (QSID link : m_links) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < m_left->topLevelItemCount() && !found; ++i)
            if (QSID(m_left->topLevelItem(i)->data(0, kIdRole).toLongLong()) == link) found = m_left->topLevelItem(i);
        if (found == nullptr) {
            // Kept out of the result, but the user is told rather than losing it unseen.
            missing << QString::number(GetIDIndex(link));
            continue;
        }
        m_left->clearSelection();
        found->setSelected(true);
        Move(m_left, m_right);
    }
    m_left->clearSelection();
    m_right->clearSelection();
    if (!missing.isEmpty())
        AfxMessageBox(QStringLiteral("The following attached reports no longer exist and will be detached: ") +
                          missing.join(QStringLiteral(", ")) + QStringLiteral("."),
                      MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

void CAttachReportsDlg::Move(QTreeWidget* from, QTreeWidget* to) {
    to->clearSelection();
    QTreeWidgetItem* last = nullptr;
    const QList<QTreeWidgetItem*> chosen = from->selectedItems();
    for (int i = 0; i < from->topLevelItemCount();) {
        QTreeWidgetItem* item = from->topLevelItem(i);
        if (!chosen.contains(item)) {
            ++i;
            continue;
        }
        from->takeTopLevelItem(i);
        item->setText(0, item->text(0).left(255));
        item->setSelected(false);
        to->addTopLevelItem(item);
        item->setSelected(false);
        last = item;
    }
    if (last) to->scrollToItem(last);
    to->setFocus();
}

void CAttachReportsDlg::OnAttach() { Move(m_left, m_right); }

void CAttachReportsDlg::OnDetach() {
    Move(m_right, m_left);
    // With the data filter on, a detached report without data leaves the left list.
    if (m_bOnlyWithData) FillReports();
}

void CAttachReportsDlg::OnOK() {
    UpdateData(TRUE);
    m_links.clear();
    for (int i = 0; i < m_right->topLevelItemCount(); ++i)
        m_links.push_back(QSID(m_right->topLevelItem(i)->data(0, kIdRole).toLongLong()));
    EndDialog(IDOK);
}
