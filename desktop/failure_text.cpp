#include "desktop/failure_text.h"

#include "credentials/system_error_cause.h"
#include "desktop/text_codec.h"

namespace shared {

namespace {

QString Reason(const std::error_code& error) {
    return QString::fromStdString(SystemErrorCause(error));
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

} // namespace shared
