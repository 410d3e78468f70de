#pragma once
// Collects what this process writes to standard error (the library's
// debugger output) while the object lives.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "TestEnvironment.h"

class CaptureStderr {
public:
    CaptureStderr() : m_path(qs::test::MakeTempDir("stderr") + "/err.txt") {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~CaptureStderr() { Stop(); }

    // What was written so far; stops capturing.
    std::string Text() {
        Stop();
        return qs::test::ReadFile(m_path);
    }

private:
    void Stop() {
        if (m_saved < 0) return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::string m_path;
    int m_saved = -1;
};
