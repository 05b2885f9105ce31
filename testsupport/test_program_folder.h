// A temporary program folder for tests: txt/ and dat/ made, the whole folder removed at the
// end (also a txt/ that a test made read-only).
//
// Standard C++, so that the tests of the standard-only credential library can use it. Built
// with Qt, each operation also takes Qt's types: given exactly a QString, it answers in
// QString and QByteArray; a string literal picks the standard ones.
#pragma once

#include <concepts>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#ifdef QT_CORE_LIB
#include <QByteArray>
#include <QString>
#endif

class TestProgramFolder {
  public:
    TestProgramFolder() {
        std::random_device random;
        const auto temp = std::filesystem::temp_directory_path();
        do
            root_ =
                temp / ("program-folder-" + std::to_string(random()) + std::to_string(random()));
        while (!std::filesystem::create_directory(root_));
        std::filesystem::create_directory(root_ / "txt");
        std::filesystem::create_directory(root_ / "dat");
    }
    ~TestProgramFolder() {
        std::error_code ec;
        std::filesystem::permissions(root_ / "txt", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path file(std::string_view relative) const { return root_ / relative; }

    void write(std::string_view relative, std::string_view bytes) const {
        std::ofstream(file(relative), std::ios::binary | std::ios::trunc)
            .write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::string read(std::string_view relative) const {
        std::ifstream in(file(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(std::string_view relative) const { return std::filesystem::exists(file(relative)); }

#ifdef QT_CORE_LIB
    template <std::same_as<QString> S> QString file(const S& relative) const {
        return QString::fromStdString(file(std::string_view(relative.toStdString())).string());
    }
    template <std::same_as<QString> S>
    void write(const S& relative, const QByteArray& bytes) const {
        write(std::string_view(relative.toStdString()), std::string_view(bytes));
    }
    template <std::same_as<QString> S> QByteArray read(const S& relative) const {
        return QByteArray::fromStdString(read(std::string_view(relative.toStdString())));
    }
    template <std::same_as<QString> S> bool exists(const S& relative) const {
        return std::filesystem::exists(file(std::string_view(relative.toStdString())));
    }
#endif

  private:
    std::filesystem::path root_;
};
