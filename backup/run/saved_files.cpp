#include "backup/run/saved_files.h"

#include "backup/run/disk.h"
#include "credentials/system_error_cause.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentRun>

#include <filesystem>
#include <sys/stat.h>

namespace ombrix {

using namespace shared;

namespace {

constexpr std::size_t kBatchFiles = 256;
constexpr qint64 kBatchBytes = qint64(16) << 20;
constexpr qint64 kBatchAgeMs = 500;

// Temporary names hold the list's separator: no entry can ever be called so.
constexpr std::string_view kTemporaryPrefix = ".######";

bool IsTemporaryName(const std::string& name) {
    return name.size() == kTemporaryPrefix.size() + 8 && name.starts_with(kTemporaryPrefix);
}

std::string NewTemporaryName() {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", QRandomGenerator::global()->generate());
    return std::string(kTemporaryPrefix) + digits;
}

QString Cause(const std::error_code& error) {
    return QString::fromStdString(SystemErrorCause(error));
}

unsigned long DeviceOf(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? static_cast<unsigned long>(info.st_dev) : 0;
}

// The result of work on the helper thread; the window stays live meanwhile.
template <typename T> T WaitFor(const QFuture<T>& future) {
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec(); // returns at once when the program is ending: then result() blocks
    }
    return future.result();
}

} // namespace

QString CannotWrite(const QString& localPath, const std::error_code& error) {
    return QStringLiteral("Impossibile scrivere il file %1: %2.").arg(localPath, Cause(error));
}

SavedFiles::SavedFiles(Disk& disk) : disk_(disk) {}

SavedFiles::~SavedFiles() {
    syncDone_.waitForFinished(); // the helper's descriptors are about to close
    discard();
    for (Batch* batch : {&syncing_, &filling_})
        for (Body& body : batch->bodies)
            drop(body);
    for (const auto& [path, folder] : folders_)
        disk_.close(folder.fd);
}

std::optional<QString> SavedFiles::begin(const Target& target) {
    current_ = Body{};
    current_.name = target.name;
    current_.localPath = target.localPath;
    if (auto failure = openBody(current_, target)) {
        drop(current_);
        return failure;
    }
    sink_.attach(current_.file);
    return std::nullopt;
}

std::optional<QString> SavedFiles::openBody(Body& body, const Target& target) {
    std::error_code error;
    auto known = folders_.find(target.folder);
    if (known == folders_.end()) {
        const int fd = disk_.openFolder(target.folder, error);
        if (error)
            return CannotWrite(target.localPath, error);
        known = folders_.emplace(target.folder, Folder{fd, DeviceOf(fd)}).first;
    }
    body.folder = known->second.fd;
    body.device = known->second.device;
    body.file = disk_.openUnnamed(body.folder, error);
    if (error != std::errc::operation_not_supported)
        return error ? std::optional(CannotWrite(target.localPath, error)) : std::nullopt;
    // Temporary files left by a run that died here before go first: none can be an entry.
    if (swept_.insert(target.folder).second) {
        std::error_code ignored;
        for (const auto& item : std::filesystem::directory_iterator(target.folder, ignored))
            if (IsTemporaryName(item.path().filename().string()))
                disk_.remove(body.folder, item.path().filename().string());
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        body.temporary = NewTemporaryName();
        body.file = disk_.openExclusive(body.folder, body.temporary, error);
        if (error != std::errc::file_exists)
            break;
    }
    if (error) {
        body.temporary.clear();
        return CannotWrite(target.localPath, error);
    }
    return std::nullopt;
}

QString SavedFiles::writeFailure() const {
    const std::error_code error = sink_.writeError();
    return error ? CannotWrite(current_.localPath, error) : QString();
}

void SavedFiles::discard() {
    sink_.detach();
    drop(current_);
}

QString SavedFiles::complete() {
    const qint64 bytes = sink_.written();
    sink_.detach();
    if (filling_.bodies.empty())
        filling_.age.start();
    waiting_.insert(current_.localPath);
    filling_.bodies.push_back(std::exchange(current_, Body{}));
    filling_.bytes += bytes;
    return full() ? rotate() : QString();
}

bool SavedFiles::full() const {
    return filling_.bodies.size() >= kBatchFiles || filling_.bytes >= kBatchBytes ||
           filling_.age.elapsed() >= kBatchAgeMs;
}

// The batch being filled starts its sync; the one syncing before it is named first.
QString SavedFiles::rotate() {
    QString failure = settle();
    if (!failure.isEmpty() || filling_.bodies.empty())
        return failure;
    std::vector<int> fds; // one per file system
    std::set<unsigned long> devices;
    for (const Body& body : filling_.bodies)
        if (devices.insert(body.device).second)
            fds.push_back(body.file);
    syncing_ = std::exchange(filling_, Batch{});
    syncDone_ = QtConcurrent::run([this, fds] { return syncEach(fds); });
    return QString();
}

std::error_code SavedFiles::syncEach(std::vector<int> fds) {
    for (int fd : fds)
        if (const std::error_code error = disk_.syncFilesystem(fd))
            return error;
    return {};
}

// Waits for the batch being synced, then gives its bodies their names.
QString SavedFiles::settle() {
    if (syncing_.bodies.empty())
        return QString();
    const std::error_code error = WaitFor(syncDone_);
    syncDone_ = {};
    QString failure;
    if (error)
        failure = QStringLiteral("Impossibile rendere durevole il file %1: %2.")
                      .arg(syncing_.bodies.front().localPath, Cause(error));
    for (Body& body : syncing_.bodies) {
        if (failure.isEmpty())
            failure = name(body); // after a failure the rest stay unnamed
        else
            drop(body);
    }
    syncing_ = Batch{};
    return failure;
}

QString SavedFiles::name(Body& body) {
    const std::error_code error =
        body.temporary.empty() ? disk_.linkUnnamed(body.file, body.folder, body.name)
                               : disk_.renameNoReplace(body.folder, body.temporary, body.name);
    if (error) {
        const QString failure = CannotWrite(body.localPath, error);
        drop(body);
        return failure;
    }
    body.temporary.clear();
    named_.try_emplace(body.device, body.folder);
    drop(body);
    return QString();
}

void SavedFiles::drop(Body& body) {
    waiting_.erase(body.localPath);
    if (!body.temporary.empty())
        disk_.remove(body.folder, body.temporary);
    disk_.close(body.file);
    body = Body{};
}

std::string SavedFiles::pathOf(int folder) const {
    for (const auto& [path, known] : folders_)
        if (known.fd == folder)
            return path;
    return std::string();
}

QString SavedFiles::finish() {
    const QString failure = rotate();
    return failure.isEmpty() ? settle() : failure;
}

QString SavedFiles::makeDurable() {
    QString failure = finish();
    if (!failure.isEmpty() || named_.empty())
        return failure;
    std::vector<int> folders;
    for (const auto& [device, folder] : named_)
        folders.push_back(folder);
    named_.clear();
    for (int folder : folders) {
        const std::error_code error =
            WaitFor(QtConcurrent::run([this, folder] { return syncEach({folder}); }));
        if (error)
            return QStringLiteral("Impossibile rendere durevoli i file salvati in %1: %2.")
                .arg(QString::fromStdString(pathOf(folder)), Cause(error));
    }
    return QString();
}

} // namespace ombrix
