#include "desktop/italian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace shared {

bool InstallQtItalian(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_it"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace shared
