// Disks for tests of saving: one that has no unnamed files (as a USB stick in vfat), and
// one that records the order of the calls that make files durable and give them names.
#pragma once

#include "backup/run/disk.h"

#include <mutex>
#include <string>
#include <vector>

using namespace ombrix;
using namespace shared;

// Saves through temporary names, as on a file system without O_TMPFILE.
class NoUnnamedFilesDisk : public Disk {
  public:
    int openUnnamed(int, std::error_code& error) override {
        error = std::make_error_code(std::errc::operation_not_supported);
        return -1;
    }
};

// Keeps, in order, "open" (a body's file made), "sync", "name <name>" and whatever note()
// adds (from any thread).
template <typename Base> class RecordingDisk : public Base {
  public:
    std::error_code syncFilesystem(int fd) override {
        const std::error_code error = Base::syncFilesystem(fd);
        note("sync");
        return error;
    }
    std::error_code linkUnnamed(int fd, int folder, const std::string& name) override {
        note("name " + name);
        return Base::linkUnnamed(fd, folder, name);
    }
    std::error_code renameNoReplace(int folder, const std::string& from,
                                    const std::string& to) override {
        note("name " + to);
        return Base::renameNoReplace(folder, from, to);
    }
    int openUnnamed(int folder, std::error_code& error) override {
        return opened(Base::openUnnamed(folder, error));
    }
    int openExclusive(int folder, const std::string& name, std::error_code& error) override {
        return opened(Base::openExclusive(folder, name, error));
    }
    void note(const std::string& event) {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    std::vector<std::string> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

  private:
    int opened(int fd) {
        if (fd >= 0)
            note("open");
        return fd;
    }

    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};
