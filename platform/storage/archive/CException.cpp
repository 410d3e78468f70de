#include "CException.h"

#include <cerrno>
#include <cstring>

namespace {
std::string ArchiveMessage(CArchiveException::Cause cause, const std::string& detail, const std::string& fileName)
{
    std::string text = CArchiveException::CauseText(cause);
    if (!detail.empty())
        text += ": " + detail;
    if (!fileName.empty())
        text += " (" + fileName + ")";
    return text;
}
}  // namespace

CArchiveException::CArchiveException(Cause cause, const std::string& detail, const std::string& fileName)
    : CException(ArchiveMessage(cause, detail, fileName)), m_cause(cause), m_strFileName(fileName)
{
}

const char* CArchiveException::CauseText(Cause cause)
{
    switch (cause) {
    case none: return "no error";
    case genericException: return "archive error";
    case readOnly: return "tried to write to an archive opened for loading";
    case endOfFile: return "unexpected end of archive";
    case writeOnly: return "tried to read from an archive opened for storing";
    case badIndex: return "invalid object or class reference in archive";
    case badClass: return "unknown or unexpected class in archive";
    case badSchema: return "unsupported class version in archive";
    }
    return "archive error";
}

CFileException::CFileException(Cause cause, int osError, const std::string& fileName, const std::string& action)
    : CException(action + " " + fileName + ": " + (osError ? std::strerror(osError) : "failed")),
      m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

CFileException::Cause CFileException::CauseFromErrno(int err)
{
    switch (err) {
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case EWOULDBLOCK: return sharingViolation;
    case ENOSPC:
    case EDQUOT: return diskFull;
    default: return genericException;
    }
}
