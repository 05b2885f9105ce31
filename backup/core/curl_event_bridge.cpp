#include "backup/core/curl_event_bridge.h"

#include <QSocketNotifier>

namespace ombrix {

// A socket's notifiers, made as libcurl first asks for each direction. They are kept for
// the bridge's life and only disabled when libcurl lets the socket go: a kept connection
// is let go and taken up again for every transfer, and a socket number reused by a new
// connection takes the same notifiers. Never deleted from inside their own signals.
struct CurlEventBridge::Watch {
    QSocketNotifier* read = nullptr; // children of the bridge
    QSocketNotifier* write = nullptr;
};

CurlEventBridge::CurlEventBridge(QObject* parent) : QObject(parent), multi_(curl_multi_init()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlEventBridge::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlEventBridge::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
}

CurlEventBridge::~CurlEventBridge() {
    cancel();
    curl_multi_cleanup(multi_); // closes the kept connections, retiring their watches
}

bool CurlEventBridge::start(CURL* easy, std::function<void(CURLcode)> done) {
    if (easy_ || curl_multi_add_handle(multi_, easy) != CURLM_OK)
        return false;
    easy_ = easy;
    done_ = std::move(done);
    // Under way at once: the request goes out now, not at the loop's next turn.
    act(CURL_SOCKET_TIMEOUT, 0);
    return true;
}

void CurlEventBridge::cancel() {
    if (!easy_)
        return;
    CURL* easy = easy_;
    easy_ = nullptr;
    done_ = nullptr;
    curl_multi_remove_handle(multi_, easy);
}

int CurlEventBridge::onSocket(CURL*, curl_socket_t socket, int what, void* bridge, void*) {
    static_cast<CurlEventBridge*>(bridge)->watch(socket, what);
    return 0;
}

int CurlEventBridge::onTimer(CURLM*, long timeoutMs, void* bridge) {
    QTimer& timer = static_cast<CurlEventBridge*>(bridge)->timer_;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(static_cast<int>(timeoutMs)); // 0: at the next loop turn, never from here
    return 0;
}

void CurlEventBridge::watch(curl_socket_t socket, int what) {
    std::unique_ptr<Watch>& watch = watches_[socket];
    if (!watch)
        watch = std::make_unique<Watch>();
    const auto want = [&](QSocketNotifier*& notifier, QSocketNotifier::Type type, bool on,
                          int event) {
        if (!notifier && on) {
            notifier = new QSocketNotifier(socket, type, this);
            connect(notifier, &QSocketNotifier::activated, this,
                    [this, socket, event] { act(socket, event); });
        }
        if (notifier && notifier->isEnabled() != on)
            notifier->setEnabled(on);
    };
    const bool removed = what == CURL_POLL_REMOVE;
    want(watch->read, QSocketNotifier::Read, !removed && (what & CURL_POLL_IN), CURL_CSELECT_IN);
    want(watch->write, QSocketNotifier::Write, !removed && (what & CURL_POLL_OUT),
         CURL_CSELECT_OUT);
}

void CurlEventBridge::act(curl_socket_t socket, int events) {
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    finishIfDone();
}

void CurlEventBridge::finishIfDone() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy_)
            continue;
        const CURLcode code = message->data.result;
        std::function<void(CURLcode)> done = std::move(done_);
        cancel(); // off the multi handle: the connection stays in its cache
        if (done)
            done(code);
    }
}

} // namespace ombrix
