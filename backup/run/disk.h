// The file-system calls that saving a body makes, one virtual function each, so that a test
// can record their order or make one of them fail. SystemDisk makes the real calls.
//
// Folders and files are file descriptors; names are single path components in the bytes
// the file system stores. Every call returns the system's reason on failure, or an empty
// code. syncFilesystem may be called from another thread than the others.
#pragma once

#include <string>
#include <system_error>

namespace ombrix {

class Disk {
  public:
    virtual ~Disk() = default;

    // A folder, opened to create and name files in it (O_DIRECTORY).
    virtual int openFolder(const std::string& path, std::error_code& error);
    // A new file without a name in folder (O_TMPFILE): nothing of it remains if the program
    // dies before it is linked. Fails with operation_not_supported where the file system
    // has no such files.
    virtual int openUnnamed(int folder, std::error_code& error);
    // A new file under a name that must not exist yet (O_EXCL).
    virtual int openExclusive(int folder, const std::string& name, std::error_code& error);
    // Everything written to the file system that holds fd, on stable storage (syncfs).
    virtual std::error_code syncFilesystem(int fd);
    // Gives the unnamed file fd the name `name` in folder; never replaces an existing file.
    virtual std::error_code linkUnnamed(int fd, int folder, const std::string& name);
    // Renames `from` to `to` in folder; never replaces an existing file.
    virtual std::error_code renameNoReplace(int folder, const std::string& from,
                                            const std::string& to);
    virtual void remove(int folder, const std::string& name);
    virtual void close(int fd);
};

// The process's real disk.
Disk& SystemDisk();

} // namespace ombrix
