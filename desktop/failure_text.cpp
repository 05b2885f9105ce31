#include "failure_text.h"

#include "text_codec.h"

namespace {

QString Reason(const std::error_code& error) {
    if (error == std::errc::no_such_file_or_directory)
        return QStringLiteral("la cartella che lo contiene non esiste");
    if (error == std::errc::permission_denied || error == std::errc::read_only_file_system)
        return QStringLiteral("il file è di sola lettura o l'accesso è negato");
    if (error == std::errc::is_a_directory)
        return QStringLiteral("al suo posto c'è una cartella");
    if (error == std::errc::no_space_on_device)
        return QStringLiteral("lo spazio su disco è esaurito");
    if (error == std::errc::file_too_large)
        return QStringLiteral("il file supera la dimensione consentita");
    if (error)
        return QString::fromStdString(error.message());
    return QStringLiteral("errore sconosciuto");
}

} // namespace

QString FailureText(const FileFailure& failure) {
    const QString file = FromPath(failure.file);
    switch (failure.cause) {
    case FileFailureCause::Missing:
        return QStringLiteral("File non trovato: %1").arg(file);
    case FileFailureCause::Unreadable:
        return QStringLiteral("Impossibile leggere il file %1: %2.")
            .arg(file, Reason(failure.error));
    case FileFailureCause::Damaged:
        return QStringLiteral("Il file %1 è vuoto o danneggiato: non contiene un dato valido.")
            .arg(file);
    case FileFailureCause::CannotWrite:
        return QStringLiteral("Impossibile scrivere il file %1: %2. Il contenuto precedente non è "
                              "stato modificato.")
            .arg(file, Reason(failure.error));
    }
    return file;
}
