// A temporary program folder with its txt/ subfolder, removed with the fixture.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

using namespace shared;

class TempProgramFolder {
  public:
    TempProgramFolder() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("credentials-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(root_ / "txt");
    }
    ~TempProgramFolder() {
        std::error_code ec;
        std::filesystem::permissions(root_ / "txt", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path file(const std::string& relative) const { return root_ / relative; }

    void write(const std::string& relative, std::string_view bytes) const {
        std::ofstream(root_ / relative, std::ios::binary).write(bytes.data(), bytes.size());
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(root_ / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path root_;
};
