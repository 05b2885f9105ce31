#include "credentials/system_error_cause.h"

#include <cerrno>

namespace shared {

std::string SystemErrorCause(const std::error_code& error) {
    if (!error)
        return "errore sconosciuto";
    if (error.category() != std::generic_category() && error.category() != std::system_category())
        return error.message();
    switch (error.value()) {
    case ENOENT:
        return "la cartella che lo contiene non esiste";
    case ENOTDIR:
        return "una parte del percorso non è una cartella";
    case EACCES:
    case EPERM:
        return "il file è di sola lettura o l'accesso è negato";
    case EROFS:
        return "il disco è di sola lettura";
    case EISDIR:
        return "al suo posto c'è una cartella";
    case EEXIST:
        return "esiste già un file con questo nome";
    case ENOSPC:
        return "spazio esaurito sul disco";
    case EDQUOT:
        return "spazio esaurito sul disco (quota dell'utente)";
    case EFBIG:
        return "il file supera la dimensione consentita";
    case ENAMETOOLONG:
        return "il nome è troppo lungo";
    case ELOOP:
        return "troppi collegamenti simbolici nel percorso";
    case EIO:
        return "errore di lettura o scrittura sul disco";
    case EMFILE:
    case ENFILE:
        return "troppi file aperti";
    case EINVAL:
    case EOPNOTSUPP:
        return "operazione non ammessa su questo disco";
    default:
        return "errore di sistema " + std::to_string(error.value());
    }
}

} // namespace shared
