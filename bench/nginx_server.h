// Debian's nginx as a static Quor server for the benchmarks: started on a free port of
// 127.0.0.1 with a configuration of its own (every request on one kept connection, files
// sent with sendfile), serving a folder laid out as the Quor server's (quor/img_upload/...).
// One process, no daemon; it ends with the object.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class NginxServer {
  public:
    // slowEntry, if given, is sent at bytesPerSecond: a body that takes its time.
    explicit NginxServer(const QString& root, const QString& slowEntry = {},
                         int bytesPerSecond = 0);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    bool running() const { return running_; }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

  private:
    QTemporaryDir prefix_; // configuration, logs, temporary folders
    QProcess process_;
    int port_ = 0;
    bool running_ = false;
};
