#include "credentials/file_replace.h"

#include <cerrno>
#include <fstream>
#include <random>

namespace shared {

namespace fs = std::filesystem;

namespace {

bool IsReadOnly(const fs::path& target) {
    std::error_code ec;
    const auto st = fs::status(target, ec);
    if (ec || !fs::exists(st))
        return false;
    // Checked by its mode bits: a superuser could write the file, but it is meant not to be.
    return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

fs::path TemporaryBeside(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    return target.parent_path() / ("." + target.filename().string() + "." +
                                   std::to_string(random() % 1000000000) + ".tmp");
}

std::error_code LastError() {
    return std::error_code(errno ? errno : EIO, std::generic_category());
}

} // namespace

std::error_code ReplaceFile(const fs::path& target, std::string_view bytes) {
    std::error_code ec;
    if (!fs::is_directory(target.parent_path(), ec))
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (fs::is_directory(target, ec))
        return std::make_error_code(std::errc::is_a_directory);
    if (IsReadOnly(target))
        return std::make_error_code(std::errc::permission_denied);

    const fs::path temporary = TemporaryBeside(target);
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return LastError();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        out.close();
        if (out.fail()) {
            ec = LastError();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return ec;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return ec;
}

std::error_code ReadWholeFile(const fs::path& file, std::string& bytes) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (fs::is_directory(file, ec))
        return std::make_error_code(std::errc::is_a_directory);
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return LastError();
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return LastError();
    return {};
}

} // namespace shared
