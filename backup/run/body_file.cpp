#include "backup/run/body_file.h"

#include <cerrno>
#include <unistd.h>

namespace ombrix {

void BodyFile::attach(int fd) {
    fd_ = fd;
    written_ = 0;
    error_.clear();
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void BodyFile::detach() {
    close();
    fd_ = -1;
}

qint64 BodyFile::writeData(const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = std::error_code(n < 0 ? errno : ENOSPC, std::generic_category());
            return -1;
        }
        done += n;
    }
    written_ += done;
    return done;
}

} // namespace ombrix
