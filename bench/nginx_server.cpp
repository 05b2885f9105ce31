#include "bench/nginx_server.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QByteArray Configuration(const QString& prefix, const QString& root, int port,
                         const QString& slowEntry, int bytesPerSecond) {
    const QByteArray p = prefix.toUtf8();
    QByteArray slow;
    if (!slowEntry.isEmpty())
        slow = "location = /quor/img_upload/" + slowEntry.toUtf8() + " { limit_rate " +
               QByteArray::number(bytesPerSecond) + "; }";
    return "daemon off;\nmaster_process off;\nworker_processes 1;\n"
           "pid " +
           p + "/nginx.pid;\nerror_log " + p +
           "/error.log;\n"
           "events { worker_connections 64; }\n"
           "http {\n"
           "  access_log off;\n  sendfile on;\n  tcp_nodelay on;\n"
           "  keepalive_requests 100000000;\n  keepalive_timeout 300s;\n"
           "  default_type application/octet-stream;\n"
           "  client_body_temp_path " +
           p + "/body;\n  proxy_temp_path " + p +
           "/proxy;\n"
           "  fastcgi_temp_path " +
           p + "/fastcgi;\n  uwsgi_temp_path " + p +
           "/uwsgi;\n"
           "  scgi_temp_path " +
           p +
           "/scgi;\n"
           "  server {\n    listen 127.0.0.1:" +
           QByteArray::number(port) +
           ";\n"
           "    root " +
           root.toUtf8() + ";\n    " + slow + "\n  }\n}\n";
}

} // namespace

NginxServer::NginxServer(const QString& root, const QString& slowEntry, int bytesPerSecond) {
    port_ = FreePort();
    const QString conf = prefix_.filePath(QStringLiteral("nginx.conf"));
    QFile file(conf);
    file.open(QIODevice::WriteOnly);
    file.write(Configuration(prefix_.path(), root, port_, slowEntry, bytesPerSecond));
    file.close();
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QStringLiteral("nginx"), {"-p", prefix_.path(), "-c", conf, "-e",
                                             prefix_.filePath(QStringLiteral("error.log"))});
    for (int attempt = 0; attempt < 100 && process_.state() != QProcess::NotRunning; ++attempt) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
        if ((running_ = probe.waitForConnected(100)))
            return;
        QThread::msleep(20);
    }
}

NginxServer::~NginxServer() {
    process_.terminate();
    process_.waitForFinished(5000);
}
