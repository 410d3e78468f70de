#pragma once
// The framework's standard command line. Switches start with "/" or "-"
// and are matched without case:
//   /Embedding /Automation   started by the automation layer (no splash)
//   /p file                  print the file
//   /pt file printer driver port   print the file to that printer
//   /dde                     wait for shell DDE commands
//   /Regserver /Register     register and end
//   /Unregserver /Unregister unregister and end
//   /nologo                  no splash screen
// The first plain argument is the file to open.
#include <QString>
#include <QStringList>

#include "WindowsTypes.h"

class CCommandLineInfo {
public:
    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    };

    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // One argument; pszParam has the "/" or "-" removed when bFlag.
    virtual void ParseParam(const QString& pszParam, BOOL bFlag, BOOL bLast);
    // All arguments (without the program name).
    void ParseArguments(const QStringList& arguments);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    QString m_strFileName;
    QString m_strPrinterName;
    QString m_strDriverName;
    QString m_strPortName;

private:
    void ParseParamFlag(const QString& flag);
    void ParseParamNotFlag(const QString& param);
    void ParseLast(BOOL bLast);
};
