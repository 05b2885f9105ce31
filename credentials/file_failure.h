// What went wrong with one data file: which file, and why. The windows turn it into
// the message the operator reads.
#pragma once

#include <filesystem>
#include <system_error>

namespace shared {

enum class FileFailureCause {
    Missing,     // no file at the path
    Unreadable,  // it exists but cannot be opened or read
    Damaged,     // it was read, but does not hold what it should
    CannotWrite, // it could not be written; the previous content is untouched
};

struct FileFailure {
    std::filesystem::path file;
    FileFailureCause cause;
    std::error_code error; // the system's reason, where there is one
};

} // namespace shared
