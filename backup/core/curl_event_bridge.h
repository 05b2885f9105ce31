// libcurl's multi-socket interface driven by the Qt event loop of the thread that owns the
// bridge: every socket libcurl asks to watch gets a QSocketNotifier, its timer is a QTimer.
// A transfer therefore advances in whichever event loop runs on that thread, a nested one
// included (a modal box, a fetch waiting for its answer).
//
// One transfer at a time. The multi handle lives as long as the bridge and keeps its
// connections between transfers, so an easy handle started again reuses the connection.
#pragma once

#include <curl/curl.h>

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace ombrix {

class CurlEventBridge : public QObject {
  public:
    explicit CurlEventBridge(QObject* parent = nullptr);
    ~CurlEventBridge() override;
    CurlEventBridge(const CurlEventBridge&) = delete;
    CurlEventBridge& operator=(const CurlEventBridge&) = delete;

    // Starts the transfer of easy and sends what can be sent at once. `done` is called once,
    // from the event loop (or from here, for a transfer that ends at once), with libcurl's
    // verdict, after the transfer has been taken off the multi handle. Returns false (and
    // never calls `done`) when libcurl refuses to start it.
    bool start(CURL* easy, std::function<void(CURLcode)> done);
    // Takes the transfer in hand off the multi handle without a verdict. Without one, nothing.
    void cancel();

  private:
    struct Watch; // the notifiers of one socket number
    static int onSocket(CURL* easy, curl_socket_t socket, int what, void* bridge, void* watch);
    static int onTimer(CURLM* multi, long timeoutMs, void* bridge);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);
    void finishIfDone();

    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr; // the transfer in hand
    std::function<void(CURLcode)> done_;
    QTimer timer_;
    std::map<curl_socket_t, std::unique_ptr<Watch>> watches_;
};

} // namespace ombrix
