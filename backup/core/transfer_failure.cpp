#include "backup/core/transfer_failure.h"

namespace ombrix {

namespace {

// The TLS library's verification results that an operator can act on.
QString CertificateProblem(long check) {
    switch (check) {
    case 9: // X509_V_ERR_CERT_NOT_YET_VALID
        return QStringLiteral(": il certificato non è ancora valido");
    case 10: // X509_V_ERR_CERT_HAS_EXPIRED
        return QStringLiteral(": il certificato è scaduto");
    case 18: // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
    case 19: // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
        return QStringLiteral(": il certificato è autofirmato");
    case 2:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT
    case 20: // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
    case 21: // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
        return QStringLiteral(": il certificato è firmato da un'autorità sconosciuta");
    case 62: // X509_V_ERR_HOSTNAME_MISMATCH
        return QStringLiteral(": il certificato non è intestato a questo server");
    default:
        return QString();
    }
}

QString RedirectRefused(const TransferFacts& facts) {
    if (facts.fromHttps && facts.refusedRedirect.startsWith(u"http:", Qt::CaseInsensitive))
        return QStringLiteral("reindirizzamento da https a http rifiutato (verso %1)")
            .arg(facts.refusedRedirect);
    return QStringLiteral("reindirizzamento verso un indirizzo non ammesso (%1)")
        .arg(facts.refusedRedirect);
}

QString CutShort(const TransferFacts& facts) {
    if (facts.announced < 0)
        return QStringLiteral("connessione interrotta prima della fine della risposta");
    return QStringLiteral("connessione interrotta: ricevuti %1 byte su %2")
        .arg(facts.received)
        .arg(facts.announced);
}

} // namespace

QString TransferFailureCause(const TransferFacts& facts) {
    switch (facts.code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        if (!facts.refusedRedirect.isEmpty())
            return RedirectRefused(facts);
        return QStringLiteral("l'indirizzo deve cominciare con http:// o https://");
    case CURLE_URL_MALFORMAT:
        return QStringLiteral("l'indirizzo non è valido");
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("proxy non trovato");
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("server non trovato");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("connessione rifiutata o server irraggiungibile");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("tempo scaduto");
    case CURLE_PARTIAL_FILE:
        return CutShort(facts);
    case CURLE_GOT_NOTHING:
        return QStringLiteral("connessione interrotta dal server senza alcuna risposta");
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return QStringLiteral("connessione interrotta");
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return QStringLiteral("risposta non valida dal server");
    case CURLE_TOO_MANY_REDIRECTS:
        return QStringLiteral("troppi reindirizzamenti");
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("il certificato TLS del server non è attendibile") +
               CertificateProblem(facts.certificateCheck);
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("errore TLS nello stabilire la connessione sicura");
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return QStringLiteral("errore TLS: i certificati di fiducia non sono leggibili");
    case CURLE_PROXY:
        return QStringLiteral("il proxy ha rifiutato la richiesta");
    case CURLE_OUT_OF_MEMORY:
        return QStringLiteral("memoria esaurita");
    default:
        return QStringLiteral("errore di rete (%1)")
            .arg(QLatin1String(curl_easy_strerror(facts.code)));
    }
}

} // namespace ombrix
