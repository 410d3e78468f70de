#pragma once
// "ASCII Record Structure": the 28 field widths of the ASCII header and data
// records and "Use linefeeds". The dialog loads "ascrec.dat" from the
// working directory when it is made, so every run starts from the stored
// layout; OK validates every field (its minimum to 255), rebuilds the two
// width lists the kernel reads and writes the file. Cancel changes nothing.
#include <QString>

#include "AsciiRecordLayout.h"
#include "CDialog.h"
#include "ValueArrays.h"

class CAsciiRecordStructureDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1547;

    // The layout file lies in the working directory of the project host
    // (empty: the current folder).
    explicit CAsciiRecordStructureDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The layout file in use.
    const std::string& LayoutPath() const { return m_path; }
    const qs::exchange::AsciiRecordLayout& Layout() const { return m_layout; }

    CByteArray m_arrHeaderWidths;
    CByteArray m_arrDataWidths;

private:
    void BuildLists();

    std::string m_path;
    qs::exchange::AsciiRecordLayout m_layout;
    // The fields as the controls hold them while OK validates.
    qs::exchange::AsciiRecordLayout m_edited;
};
