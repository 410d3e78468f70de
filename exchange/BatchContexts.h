#pragma once
// The four kinds of batch object, one per outside format.
//   CLotusBatchContext          Lotus 1-2-3 worksheets (.wk1)
//   CEnhancedAsciiBatchContext  enhanced ASCII files (.dat), several
//                               projects per file
//   CAsciiBatchContext          fixed-width ASCII records (.asc) laid out
//                               by "ascrec.dat"
//   CConvertPC5BatchContext     predecessor exhibit files (.pc5), import only
// Each embeds the option dialogs of its format; their members are the
// options of the run.
#include <QString>

#include <cstdint>
#include <vector>

#include "CBatchContext.h"
#include "ExchangeOptionDialogs.h"

class CFile;

class CLotusBatchContext : public CBatchContext {
public:
    explicit CLotusBatchContext(qs::exchange::BatchHost& host);
    QString GetExtension() const override { return QStringLiteral(".wk1"); }
    QString GetFilter() const override;
    BOOL GetImportOptions() override;
    BOOL ChooseFiles() override;
    BOOL GetExportOptions(CProjectDoc* active) override;
    QSSTATUS ImportFile(CProject& project, const QString& source, int add) override;
    QSSTATUS ExportFile(CProject& project, const QString& target) override;

    CImportLotusDlg m_importDlg;
    CExportLotusDlg m_exportDlg;
};

class CEnhancedAsciiBatchContext : public CBatchContext {
public:
    explicit CEnhancedAsciiBatchContext(qs::exchange::BatchHost& host);
    QString GetExtension() const override { return QStringLiteral(".dat"); }
    QString GetFilter() const override;
    BOOL GetImportOptions() override;
    BOOL ChooseFiles() override;
    BOOL GetExportOptions(CProjectDoc* active) override;
    // Writes the project into a file of its own, between the header and
    // footer padding; 0 on success.
    QSSTATUS ExportFile(CProject& project, const QString& target) override;
    int ExportAllToOneFile() override { return BatchExportEnhancedAscii(); }
    // Every chosen project into one file the user names.
    int BatchExportEnhancedAscii();

    CImportEnhancedAsciiDlg m_importDlg;
    CExportEnhancedAsciiDlg m_exportDlg;

protected:
    int EnhancedAsciiClearSelecteds() const override { return m_importDlg.m_bClearSelecteds; }
};

class CAsciiBatchContext : public CBatchContext {
public:
    explicit CAsciiBatchContext(qs::exchange::BatchHost& host);
    QString GetExtension() const override { return QStringLiteral(".asc"); }
    QString GetFilter() const override;
    BOOL GetImportOptions() override;
    BOOL ChooseFiles() override;
    BOOL GetExportOptions(CProjectDoc* active) override;
    QSSTATUS ImportFile(CProject& project, const QString& source, int add) override;
    QSSTATUS ExportFile(CProject& project, const QString& target) override;

    CImportAsciiDlg m_importDlg;
    CExportAsciiDlg m_exportDlg;
};

class CConvertPC5BatchContext : public CBatchContext {
public:
    explicit CConvertPC5BatchContext(qs::exchange::BatchHost& host) : CBatchContext(host) {}
    QString GetExtension() const override { return QStringLiteral(".pc5"); }
    QString GetFilter() const override;
    BOOL GetImportOptions() override;
    BOOL ChooseFiles() override;
    QSSTATUS ImportFile(CProject& project, const QString& source, int add) override;
    BOOL CanAddToExisting() const override { return FALSE; }
    // Converts one predecessor file into the project; 1 when it is none.
    QSSTATUS ConvertPC5File(CProject& project, const QString& path);
};

namespace qs::exchange {

// The projects of an enhanced ASCII file, as a scan of its lines finds them:
// a line whose characters 8 and 9 are both '0' starts one.
struct DatProject {
    QString name;          // the name field (columns 10-17), at most 8 characters
    bool longName = false; // the full name is longer than the field
    std::uint64_t start = 0;
    std::uint64_t end = 0;  // the next project's start, or the end of the file
};

struct DatScan {
    std::vector<DatProject> projects;
    // Project lines that cannot be imported (no name), each with the reason.
    QStringList refused;
};

// False with the reason when the file cannot be read.
bool ScanEnhancedAsciiFile(const QString& path, DatScan& scan, QString* error);

}  // namespace qs::exchange
