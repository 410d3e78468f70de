#pragma once
// The Welcome dialog of the start-up: create a new project or open one of
// the recent files (or "More Files..."), and whether to show it again.
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QListWidget;
class QRadioButton;

class CWelcomeDlg : public QDialog {
public:
    static constexpr const char* kMoreFiles = "More Files...";
    explicit CWelcomeDlg(const QStringList& recentFiles, QWidget* parent = nullptr);

    QListWidget* List() const { return m_list; }
    QRadioButton* CreateNew() const { return m_new; }
    QRadioButton* OpenExisting() const { return m_open; }
    QCheckBox* DoNotShow() const { return m_doNotShow; }
    // 0 create new, 1 open existing.
    int Choice() const;
    QString SelectedText() const;
    int SelectedIndex() const;

private:
    QListWidget* m_list;
    QRadioButton* m_new;
    QRadioButton* m_open;
    QCheckBox* m_doNotShow;
};
