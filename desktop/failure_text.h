// The operator's message, in Italian, for a data file that failed: the file and the cause.
#pragma once

#include "credentials/file_failure.h"

#include <QString>

namespace shared {

QString FailureText(const FileFailure& failure);

} // namespace shared
