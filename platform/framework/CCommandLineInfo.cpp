#include "CCommandLineInfo.h"

void CCommandLineInfo::ParseParam(const QString& pszParam, BOOL bFlag, BOOL bLast) {
    if (bFlag) ParseParamFlag(pszParam);
    else ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseArguments(const QStringList& arguments) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool flag = arg.size() > 1 && (arg.front() == u'/' || arg.front() == u'-');
        ParseParam(flag ? arg.mid(1) : arg, flag, i == arguments.size() - 1);
    }
}

void CCommandLineInfo::ParseParamFlag(const QString& flag) {
    auto is = [&flag](const char* name) { return flag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("pt")) {
        m_nShellCommand = FilePrintTo;
    } else if (is("p")) {
        m_nShellCommand = FilePrint;
    } else if (is("Register") || is("Regserver")) {
        m_nShellCommand = AppRegister;
    } else if (is("Unregister") || is("Unregserver")) {
        m_nShellCommand = AppUnregister;
    } else if (is("dde")) {
        m_nShellCommand = FileDDE;
    } else if (is("Embedding")) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (is("Automation")) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    } else if (is("nologo")) {
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const QString& param) {
    if (m_strFileName.isEmpty()) m_strFileName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.isEmpty()) m_strPrinterName = param;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.isEmpty()) m_strDriverName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.isEmpty()) m_strPortName = param;
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.isEmpty()) m_nShellCommand = FileOpen;
}
