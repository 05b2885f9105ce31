// Why a transfer got no complete answer, in Italian, for the operator: the one mapping from
// libcurl's codes to causes. The caller puts the URL in front.
#pragma once

#include <curl/curl.h>

#include <QString>

namespace ombrix {

// What is known of a transfer that libcurl ended with a code other than CURLE_OK.
struct TransferFacts {
    CURLcode code = CURLE_OK;
    long certificateCheck = 0; // the TLS library's verification result, 0 when none failed
    curl_off_t received = 0;   // body bytes received
    curl_off_t announced = -1; // the body length the server announced, -1 when it did not
    QString refusedRedirect;   // where a redirect that was not followed led, if one did
    bool fromHttps = false;    // the transfer began at an https:// address
};

QString TransferFailureCause(const TransferFacts& facts);

} // namespace ombrix
