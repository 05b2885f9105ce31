// Qt's own texts in Italian: the standard buttons of message and input boxes ("Annulla").
#pragma once

class QCoreApplication;

namespace shared {

// Installs Qt's Italian translation (qtbase_it, from Debian's qt6-translations-l10n) into the
// application; false when it cannot be found, and the texts stay Qt's English ones.
bool InstallQtItalian(QCoreApplication& application);

} // namespace shared
