#pragma once

// An open file descriptor that is closed when it goes out of scope (or by Close, which tells
// whether the close went through).

#include <cerrno>
#include <unistd.h>

namespace lintervale {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int Fd) : m_Fd(Fd) {}
    ~TFileDescriptor() {
        if (m_Fd >= 0) {
            ::close(m_Fd);
        }
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    // The descriptor, or below 0 when the open failed.
    int Get() const { return m_Fd; }
    // Closes now; the error of the close, or 0.
    int Close() {
        const int result = ::close(m_Fd) == 0 ? 0 : errno;
        m_Fd = -1;
        return result;
    }

private:
    int m_Fd;
};

} // namespace lintervale
