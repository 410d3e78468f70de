#include "startup/CWelcomeDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

CWelcomeDlg::CWelcomeDlg(const QStringList& recentFiles, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Welcome to Quillstone"));
    auto* layout = new QVBoxLayout(this);
    m_new = new QRadioButton(QStringLiteral("Create &New Quillstone File"), this);
    m_open = new QRadioButton(QStringLiteral("&Open an existing Quillstone File"), this);
    m_open->setChecked(true);
    m_list = new QListWidget(this);
    // File names first, so rows of one folder do not all look alike; the
    // folder follows and the whole path is the row's tooltip.
    for (const QString& f : recentFiles) {
        if (f.isEmpty()) continue;
        const QFileInfo info(f);
        auto* item = new QListWidgetItem(info.fileName() + QStringLiteral("    ") +
                                         QDir::toNativeSeparators(info.absolutePath()), m_list);
        item->setToolTip(f);
    }
    m_list->addItem(QString::fromLatin1(kMoreFiles));
    m_list->setCurrentRow(0);
    m_doNotShow = new QCheckBox(QStringLiteral("Do not &show this dialog box again"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double-click on a file opens it, as OK would.
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        m_open->setChecked(true);
        accept();
    });
    layout->addWidget(m_new);
    layout->addWidget(m_open);
    layout->addWidget(m_list);
    layout->addWidget(m_doNotShow);
    layout->addWidget(buttons);
}

int CWelcomeDlg::Choice() const { return m_new->isChecked() ? 0 : 1; }

QString CWelcomeDlg::SelectedText() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}

int CWelcomeDlg::SelectedIndex() const { return m_list->currentRow(); }
