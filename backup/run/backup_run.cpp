#include "backup/run/backup_run.h"

#include "backup/core/file_list.h"
#include "backup/core/http_client.h"
#include "backup/core/quor_urls.h"
#include "backup/core/server_config.h"
#include "backup/run/disk.h"
#include "backup/run/entry_file.h"
#include "backup/run/run_window.h"
#include "backup/run/saved_files.h"

#include <cmath>
#include <filesystem>

namespace ombrix {

using namespace shared;

namespace {

// Marks the run active for as long as it is in hand, whichever way it leaves.
struct ActiveGuard {
    bool& active;
    explicit ActiveGuard(bool& a) : active(a) { active = true; }
    ~ActiveGuard() { active = false; }
};

bool IsErrorStatus(int status) {
    return status >= 400;
}

// Why an answer is not the entry's file, or "" when it is: a whole body with status 200.
QString AnswerFailure(const HttpResult& answer, const QString& entry, const QUrl& url) {
    if (!answer.succeeded())
        return QStringLiteral("Il file \"%1\" non è stato salvato. %2").arg(entry, answer.failure);
    if (answer.status != 200)
        return QStringLiteral("Il file \"%1\" non è stato salvato: il server ha risposto a %2 con "
                              "lo stato HTTP %3.")
            .arg(entry, url.toString(), QString::number(answer.status));
    return QString();
}

} // namespace

BackupRun::BackupRun(std::filesystem::path programFolder, RunWindow& window, HttpClient& client,
                     Disk* disk)
    : programFolder_(std::move(programFolder)), window_(window), client_(client),
      disk_(disk ? *disk : SystemDisk()) {}

QString BackupRun::FailureListText() {
    return QStringLiteral("Salvataggio Fallito.\r\nEseguire il comando Copia di Sicurezza dal "
                          "pannello di Quor.");
}

QString BackupRun::PercentCaption(double p) {
    // nearbyint follows the default rounding mode: halves go to the even neighbour.
    return QString::number(static_cast<long long>(std::nearbyint(p))) + u'%';
}

void BackupRun::click() {
    // The configuration is read on every click, the stop click included.
    const auto address = ReadServerAddress(programFolder_);
    if (const auto* failure = std::get_if<FileFailure>(&address)) {
        window_.failWith(*failure);
        return;
    }
    const QString state = window_.runState();
    if (state == u"0") {
        if (!active_)
            run(std::get<QString>(address));
    } else if (state == u"1") {
        window_.setRunState(QStringLiteral("0"));
        window_.setButtonCaption(QStringLiteral("Salva"));
    }
}

void BackupRun::run(const QString& serverAddress) {
    ActiveGuard guard(active_);
    window_.setRunState(QStringLiteral("1"));
    window_.setButtonCaption(QStringLiteral("Ferma"));
    const double frame = window_.frameWidth();
    std::optional<double> p;
    double k = 0;

    const QString upload = UploadAddress(serverAddress);
    std::optional<FileList> list = fetchList(upload);
    if (!list)
        return;
    const int u = list->highestIndex();
    const QByteArray uploadOnWire = WireForm(upload);
    SavedFiles saved(disk_);
    ExistingFiles existing;
    if (u > 1) {
        for (ListEntry entry; list->next(entry);) {
            if (entry.isEmpty())
                continue;
            k += 1;
            p = k * 10 * 10 / u; // multiplied first, so that k = U gives exactly 100
            Step step = handleEntry(uploadOnWire, entry, *p, frame, existing, saved);
            // Entries saved already wait on nothing: the window is served here too, so that
            // a stop click, "Cambia Directory" or a close is handled within a frame.
            if (step == Step::Go && !client_.deliverEvents(kFrame))
                step = Step::Stop;
            if (step != Step::Go)
                return leave(step, saved);
            if (window_.runState() == u"0")
                break;
        }
    } else {
        window_.replaceList(FailureListText());
    }
    endOfRun(serverAddress, p, saved);
}

std::optional<FileList> BackupRun::fetchList(const QString& uploadAddress) {
    // As bytes: each entry is requested with the bytes the list gave it.
    HttpBytesResult list = client_.fetchBytes(FileListUrl(uploadAddress), kFileListLimit);
    if (list.abandoned())
        return std::nullopt;
    if (!list.succeeded()) {
        window_.failWith(list.failure);
        return std::nullopt;
    }
    // An error page is no list: it counts as the unusable list it stands for.
    if (IsErrorStatus(list.status))
        return FileList(QByteArray());
    return FileList(std::move(list.bytes));
}

// The entry's display, in the order of its steps: Attuale, Elencofile, perc, barra, colour.
void BackupRun::showEntry(const QString& entry, double p, double frame) {
    window_.setCurrentEntry(QStringLiteral("Stò salvando: ") + entry);
    window_.prependEntry(entry);
    window_.setPercentCaption(PercentCaption(p));
    window_.setBarWidth(static_cast<float>(frame * p / 100));
    if (p > 50)
        window_.highlightPercent();
}

// The display is changed while the server answers: the request goes out first. Nothing of
// the window can tell, since no event is delivered between the two, and for small files
// the display costs as much as the transfer.
BackupRun::Step BackupRun::handleEntry(const QByteArray& uploadOnWire, const ListEntry& part,
                                       double p, double frame, ExistingFiles& existing,
                                       SavedFiles& saved) {
    const QString& entry = part.text;
    const auto show = [&] { showEntry(entry, p, frame); };
    if (!IsSafeEntryName(entry)) {
        show();
        return fail(QStringLiteral("Nome di file non valido nell'elenco del server: \"%1\". "
                                   "Nessun file è stato scritto per questa voce.")
                        .arg(entry));
    }
    const QString destination = window_.destinationFolder();
    // A bare name lies in the destination itself; a name with a folder must not lead out of
    // it, whether its file exists or not.
    if (entry.contains(u'/')) {
        const auto target = TargetOf(destination, entry);
        if (const QString* failure = std::get_if<QString>(&target)) {
            show();
            return fail(*failure);
        }
    }
    if (existing.contains(destination, entry) || saved.holds(LocalFileOf(destination, entry))) {
        show();
        return Step::Go;
    }
    return saveEntry(uploadOnWire, part, show, saved);
}

BackupRun::Step BackupRun::saveEntry(const QByteArray& uploadOnWire, const ListEntry& listed,
                                     const std::function<void()>& show, SavedFiles& saved) {
    const QString& entry = listed.text;
    // The destination is read again for writing: the operator may have changed it.
    const auto target = TargetOf(window_.destinationFolder(), entry);
    std::optional<QString> failure;
    if (const QString* refused = std::get_if<QString>(&target))
        failure = *refused;
    else
        failure = saved.begin(std::get<SavedFiles::Target>(target));
    if (failure) {
        show();
        return fail(*failure);
    }
    const QUrl url = FileUrlOnWire(uploadOnWire, listed.bytes.toByteArray());
    const HttpResult answer = client_.fetchInto(url, saved.body(), show);
    if (answer.abandoned()) {
        saved.discard();
        return Step::Stop;
    }
    // A local failure stops the transfer too: it is the one to tell.
    QString refusal = saved.writeFailure();
    if (refusal.isEmpty())
        refusal = AnswerFailure(answer, entry, url);
    if (!refusal.isEmpty()) {
        saved.discard();
        return fail(refusal);
    }
    const QString late = saved.complete();
    return late.isEmpty() ? Step::Go : fail(late);
}

BackupRun::Step BackupRun::fail(QString text) {
    failure_ = std::move(text);
    return Step::Failed;
}

// Whatever was whole before a failure or the program's end is saved first.
void BackupRun::leave(Step step, SavedFiles& saved) {
    const QString late = saved.finish();
    if (step == Step::Failed)
        window_.failWith(failure_);
    else if (!late.isEmpty() && step != Step::Stop)
        window_.failWith(late);
}

void BackupRun::endOfRun(const QString& serverAddress, std::optional<double> p, SavedFiles& saved) {
    const bool complete = p && *p == 100;
    // The server deletes its copies only once every name is on stable storage.
    if (const QString failure = complete ? saved.makeDurable() : saved.finish();
        !failure.isEmpty()) {
        window_.failWith(failure);
        return;
    }
    if (complete) {
        window_.setButtonCaption(QStringLiteral("Salvataggio Terminato"));
        const HttpTextResult answer =
            client_.fetchText(ClearingUrl(serverAddress), kClearingAnswerLimit);
        if (answer.abandoned())
            return;
        if (!answer.succeeded()) {
            window_.failWith(answer.failure);
            return;
        }
        window_.appendLine(answer.text);
    } else if (!p || *p < 100) {
        window_.setButtonCaption(QStringLiteral("Riprendi"));
    }
}

} // namespace ombrix
