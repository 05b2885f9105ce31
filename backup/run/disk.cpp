#include "backup/run/disk.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace ombrix {

namespace {

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

int Opened(int fd, std::error_code& error) {
    error = fd < 0 ? LastError() : std::error_code();
    return fd;
}

} // namespace

int Disk::openFolder(const std::string& path, std::error_code& error) {
    return Opened(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), error);
}

int Disk::openUnnamed(int folder, std::error_code& error) {
    const int fd = Opened(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666), error);
    // Kernels and file systems without unnamed files answer in more than one way.
    if (fd < 0 && (error == std::errc::operation_not_supported ||
                   error == std::errc::is_a_directory || error == std::errc::invalid_argument))
        error = std::make_error_code(std::errc::operation_not_supported);
    return fd;
}

int Disk::openExclusive(int folder, const std::string& name, std::error_code& error) {
    return Opened(
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666),
        error);
}

std::error_code Disk::syncFilesystem(int fd) {
    return ::syncfs(fd) == 0 ? std::error_code() : LastError();
}

std::error_code Disk::linkUnnamed(int fd, int folder, const std::string& name) {
    // The documented way to name an unnamed file without special privileges.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return {};
    return LastError();
}

std::error_code Disk::renameNoReplace(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return LastError();
    // No such rename here (a network share): a second name, then the first one dropped.
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0)
        return LastError();
    ::unlinkat(folder, from.c_str(), 0);
    return {};
}

void Disk::remove(int folder, const std::string& name) {
    ::unlinkat(folder, name.c_str(), 0);
}

void Disk::close(int fd) {
    if (fd >= 0)
        ::close(fd);
}

Disk& SystemDisk() {
    static Disk disk;
    return disk;
}

} // namespace ombrix
