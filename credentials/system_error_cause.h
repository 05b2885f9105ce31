// Why the system refused a file operation, in Italian, for the operator: the one mapping
// from the system's error codes to causes, for both programs. The caller names the file.
#pragma once

#include <string>
#include <system_error>

namespace shared {

// The cause as UTF-8 text, without a final full stop ("spazio esaurito sul disco").
std::string SystemErrorCause(const std::error_code& error);

} // namespace shared
