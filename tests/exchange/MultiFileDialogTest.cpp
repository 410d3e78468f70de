// The multi-file choosers: any number of chosen files comes back whole.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

#include "CMultiFileDialog.h"
#include "CMultiFileDialogUnlimited.h"
#include "ModalScript.h"
#include "TestEnvironment.h"

using qs::fw::ModalScript;

namespace {

// Files with long names in a folder of their own.
QStringList MakeFiles(const QString& dir, int count, int nameLength) {
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("%1_").arg(i, 3, 10, QLatin1Char('0'));
        name += QString(nameLength - name.size() - 4, QLatin1Char('x')) + QStringLiteral(".wk1");
        QFile f(dir + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        names << name;
    }
    return names;
}

ModalScript::Handler Choose(const QString& dir, const QStringList& names) {
    return [dir, names](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.setDirectory(dir);
        // A person's new choice replaces the list's selection of the last run.
        for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
            if (view->selectionModel()) view->clearSelection();
        QStringList quoted;
        for (const QString& n : names) quoted << "\"" + n + "\"";
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(quoted.join(' '));
        d.accept();
    };
}

QStringList Walk(const CMultiFileDialogUnlimited& d) {
    QStringList out;
    for (POSITION pos = d.GetStartPosition(); pos != nullptr;) out << d.GetNextPathName(pos);
    return out;
}

// Far more than any fixed buffer: 60 names of 100 characters.
TEST(MultiFileDialog, LongSelectionsComeBackWhole) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("many"));
    const QStringList names = MakeFiles(dir, 60, 100);
    QStringList expected;
    for (const QString& n : names) expected << dir + "/" + n;

    ModalScript script;
    script.Then(Choose(dir, names)).Then(Choose(dir, names)).Then(Choose(dir, names.mid(0, 2)));
    CMultiFileDialog fixed("Import", TRUE, "wk1", QString(), OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_EXPLORER,
                           "Lotus|*.wk1||", nullptr);
    ASSERT_EQ(fixed.DoModal(), IDOK);
    QStringList chosen;
    for (POSITION pos = fixed.GetStartPosition(); pos != nullptr;) chosen << fixed.GetNextPathName(pos);
    EXPECT_EQ(chosen, expected);
    EXPECT_EQ(fixed.labelText(QFileDialog::Accept), "Import");

    CMultiFileDialogUnlimited unlimited("Select", TRUE, QString(), QString(),
                                        OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, "Lotus|*.wk1||", nullptr);
    ASSERT_EQ(unlimited.DoModal(), IDOK);
    EXPECT_TRUE(unlimited.HoldsCopies());
    EXPECT_EQ(Walk(unlimited), expected);
    EXPECT_EQ(unlimited.labelText(QFileDialog::Accept), "Select");

    // A second run that fits the dialog's own buffer starts without the
    // copies of the first and walks the dialog's list.
    ASSERT_EQ(unlimited.DoModal(), IDOK);
    EXPECT_FALSE(unlimited.HoldsCopies());
    EXPECT_EQ(Walk(unlimited), expected.mid(0, 2));
    EXPECT_TRUE(script.AllHandled());
}

TEST(MultiFileDialog, CancelStaysCancel) {
    ModalScript script;
    script.Then([](QDialog& d) { d.reject(); });
    CMultiFileDialogUnlimited dialog(QString(), TRUE, QString(), QString(), OFN_ALLOWMULTISELECT, QString(), nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetStartPosition(), nullptr);
}

}  // namespace
