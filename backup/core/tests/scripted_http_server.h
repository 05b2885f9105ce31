// A raw HTTP server on 127.0.0.1, for the wire-level cases that the Quor server cannot make
// (redirects, odd framings, garbage, a connection closed under a request). Each request that
// arrives is answered with the next queued answer, byte for byte. It runs on the test's own
// thread: the client's waiting event loop serves it.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QTcpServer>
#include <QTcpSocket>

class ScriptedHttpServer : public QObject {
  public:
    struct Answer {
        QByteArray bytes;        // empty: no answer at all
        bool closeAfter = false; // close the connection once the bytes are out
    };

    ScriptedHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

    void queue(const QByteArray& bytes, bool closeAfter = false) {
        answers_.enqueue({bytes, closeAfter});
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }
    quint16 port() const { return server_.serverPort(); }

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

    QTcpServer server_;
    QQueue<Answer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
