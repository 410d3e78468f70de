#pragma once
// Exceptions of the archive and file layer. Everything the archive throws
// derives from CException (itself a std::runtime_error), so a caller that
// turns failures into a status catches one type.
#include <stdexcept>
#include <string>

class CException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A damaged or unexpected archive: reading past the end, a bad tag, an unknown
// class, a schema mismatch, a count the remaining bytes cannot hold, or an
// operation in the wrong direction.
class CArchiveException : public CException {
public:
    enum Cause {
        none,
        genericException,
        readOnly,      // tried to store into a loading archive
        endOfFile,     // reading past the end (also: a count larger than the bytes left)
        writeOnly,     // tried to load from a storing archive
        badIndex,      // a tag refers to nothing read so far, or to the wrong kind of entry
        badClass,      // unknown class name, or not the class the caller asked for
        badSchema,     // stored schema differs and the class is not versionable
    };

    CArchiveException(Cause cause, const std::string& detail, const std::string& fileName = {});

    Cause m_cause;
    std::string m_strFileName;

    static const char* CauseText(Cause cause);
};

// An operating-system error on a file (open, read, write, seek, rename).
class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        accessDenied,
        sharingViolation,
        diskFull,
        endOfFile,
    };

    CFileException(Cause cause, int osError, const std::string& fileName, const std::string& action);

    // Maps an errno value to a cause.
    static Cause CauseFromErrno(int err);

    Cause m_cause;
    int m_lOsError;  // errno
    std::string m_strFileName;
};
