// A temporary program folder for window tests: txt/ and dat/ made, removed at the end.
#pragma once

#include "desktop/text_codec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

using namespace shared;

class TestProgramFolder {
  public:
    TestProgramFolder() {
        QDir(dir_.path()).mkpath(QStringLiteral("txt"));
        QDir(dir_.path()).mkpath(QStringLiteral("dat"));
    }
    std::filesystem::path path() const { return ToPath(dir_.path()); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }

    void write(const QString& relative, const QByteArray& bytes) const {
        QFile f(file(relative));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    QByteArray read(const QString& relative) const {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& relative) const { return QFile::exists(file(relative)); }

  private:
    QTemporaryDir dir_;
};
