#include "BatchContexts.h"

#include <QFileInfo>

#include <cstring>

#include "CFile.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CException.h"
#include "ExchangeStatus.h"
#include "MessageBox.h"

namespace {

QString ActiveTitle(CProjectDoc* active) { return active ? active->GetTitle() : QString(); }


}  // namespace

// ---------------------------------------------------------------- Lotus

CLotusBatchContext::CLotusBatchContext(qs::exchange::BatchHost& host)
    : CBatchContext(host), m_importDlg(host.mainWindow), m_exportDlg(host.mainWindow) {}

QString CLotusBatchContext::GetFilter() const {
    return QStringLiteral("Lotus 1-2-3 Files (*.wk1)|*.wk1|All Files (*.*)|*.*||");
}

BOOL CLotusBatchContext::GetImportOptions() { return m_importDlg.DoModal() == IDOK; }

BOOL CLotusBatchContext::ChooseFiles() {
    return RunFileDialog(QStringLiteral("Import from Lotus 1-2-3 Files"), QStringLiteral("Import"),
                         QStringLiteral("wk1"), GetFilter());
}

BOOL CLotusBatchContext::GetExportOptions(CProjectDoc* active) {
    m_exportDlg.m_strActiveName = ActiveTitle(active);
    if (m_exportDlg.DoModal() != IDOK) return FALSE;
    m_bBatchMode = m_exportDlg.m_nMode;
    m_nFormat = kFormatLotus;
    return TRUE;
}

QSSTATUS CLotusBatchContext::ImportFile(CProject& project, const QString& source, int add) {
    return project.ImportWK1(source.toStdString(), m_importDlg.m_bCumulative, add, m_importDlg.m_bClearSelecteds);
}

QSSTATUS CLotusBatchContext::ExportFile(CProject& project, const QString& target) {
    return project.ExportWK1(target.toStdString(), m_exportDlg.m_bCumulative, m_exportDlg.m_bUsePC5Format);
}

// ---------------------------------------------------------------- ASCII

CAsciiBatchContext::CAsciiBatchContext(qs::exchange::BatchHost& host)
    : CBatchContext(host), m_importDlg(host.mainWindow), m_exportDlg(host.mainWindow) {}

QString CAsciiBatchContext::GetFilter() const { return QStringLiteral("ASCII Files (*.asc)|*.asc|All Files (*.*)|*.*||"); }

BOOL CAsciiBatchContext::GetImportOptions() { return m_importDlg.DoModal() == IDOK; }

BOOL CAsciiBatchContext::ChooseFiles() {
    return RunFileDialog(QStringLiteral("Import from ASCII Files"), QStringLiteral("Import"), QStringLiteral("asc"),
                         GetFilter());
}

BOOL CAsciiBatchContext::GetExportOptions(CProjectDoc* active) {
    m_exportDlg.m_strActiveName = ActiveTitle(active);
    if (m_exportDlg.DoModal() != IDOK) return FALSE;
    m_bBatchMode = m_exportDlg.m_nMode;
    m_nFormat = kFormatAscii;
    return TRUE;
}

QSSTATUS CAsciiBatchContext::ImportFile(CProject& project, const QString& source, int add) {
    const CAsciiRecordStructureDlg& layout = m_importDlg.m_recordDlg;
    return project.ImportAscii(source.toStdString(), m_importDlg.m_nLayer + 1, m_importDlg.m_bCumulative,
                               layout.m_arrHeaderWidths, layout.m_arrDataWidths, add, m_importDlg.m_bClearSelecteds);
}

QSSTATUS CAsciiBatchContext::ExportFile(CProject& project, const QString& target) {
    const CAsciiRecordStructureDlg& layout = m_exportDlg.m_recordDlg;
    return project.ExportAscii(target.toStdString(), m_exportDlg.m_nLayer + 1, m_exportDlg.m_bCumulative,
                               layout.m_arrHeaderWidths, layout.m_arrDataWidths);
}

// ---------------------------------------------------------------- predecessor

QString CConvertPC5BatchContext::GetFilter() const {
    return QStringLiteral("PLATECRAFT5 Files (*.pc5)|*.pc5|All Files (*.*)|*.*||");
}

BOOL CConvertPC5BatchContext::GetImportOptions() {
    return m_host.conversionOptions ? (m_host.conversionOptions() ? TRUE : FALSE) : TRUE;
}

BOOL CConvertPC5BatchContext::ChooseFiles() {
    return RunFileDialog(QStringLiteral("Convert PC5 Files"), QStringLiteral("Convert"), QStringLiteral("pc5"),
                         QStringLiteral("PLATECRAFT5 Files (*.pc5)|*.pc5||"));
}

QSSTATUS CConvertPC5BatchContext::ImportFile(CProject& project, const QString& source, int) {
    return ConvertPC5File(project, source);
}

QSSTATUS CConvertPC5BatchContext::ConvertPC5File(CProject& project, const QString& path) {
    CFile file;
    int error = 0;
    if (!file.Open(path.toStdString(), CFile::modeRead | CFile::shareDenyNone, &error)) {
        qs::exchange::ShowFileError(path, QString::fromLocal8Bit(std::strerror(error)));
        return 1;
    }
    char signature[4] = {};
    if (file.Read(signature, 4) == 4 && std::memcmp(signature, "05.3", 4) == 0) return project.ImportPC5(file);
    Log(QStringLiteral("\r\n ") + path + QStringLiteral(" is not an PLATECRAFT5 file."));
    return 1;
}
