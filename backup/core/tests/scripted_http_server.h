// A raw HTTP server on 127.0.0.1, for the wire-level cases that the Quor server cannot make
// (redirects, odd framings, garbage, a connection closed under a request, TLS). Each request
// that arrives is answered with the next queued answer, byte for byte. It runs on the test's
// own thread: the client's waiting event loop serves it.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

class ScriptedHttpServer : public QObject {
  public:
    struct Answer {
        QByteArray bytes;        // empty: no answer at all
        bool closeAfter = false; // close the connection once the bytes are out
    };

    // Plain HTTP; with tls, HTTPS with that certificate and key.
    explicit ScriptedHttpServer(const QSslConfiguration* tls = nullptr) {
        if (tls) {
            auto* server = new QSslServer;
            server->setSslConfiguration(*tls);
            server_.reset(server);
        } else {
            server_.reset(new QTcpServer);
        }
        server_->listen(QHostAddress::LocalHost, 0);
        // A TLS connection is pending once its handshake is done.
        connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = server_->nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                serve(socket);
            }
        });
        scheme_ = tls ? "https" : "http";
    }

    void queue(const QByteArray& bytes, bool closeAfter = false) {
        answers_.enqueue({bytes, closeAfter});
    }
    QString address() const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(scheme_).arg(server_->serverPort());
    }
    quint16 port() const { return server_->serverPort(); }

    QList<QByteArray> requests; // the heads of the requests received, oldest first
    int connections = 0;

  private:
    void serve(QTcpSocket* socket) {
        QByteArray& pending = pending_[socket];
        pending += socket->readAll();
        for (qsizetype end; (end = pending.indexOf("\r\n\r\n")) >= 0;) {
            requests << pending.first(end);
            pending.remove(0, end + 4);
            const Answer answer = answers_.isEmpty() ? Answer{{}, true} : answers_.dequeue();
            socket->write(answer.bytes);
            if (answer.closeAfter) {
                socket->disconnectFromHost();
                return;
            }
        }
    }

    std::unique_ptr<QTcpServer> server_;
    QString scheme_;
    QQueue<Answer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
