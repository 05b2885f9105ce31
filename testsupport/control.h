// The one way tests find a control: by kind and object name, as the programs name them.
// A control that is not there stops the test program with its name and window, instead of
// a crash on a null pointer.
#pragma once

#include <QObject>
#include <QString>

template <typename T> T* Control(const QObject* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("No %s named \"%s\" in %s", T::staticMetaObject.className(), qPrintable(name),
               qPrintable(window->objectName()));
    return found;
}

template <typename T> T* Control(const QObject* window, const char* name) {
    return Control<T>(window, QString::fromLatin1(name));
}
