#include "tools/quor_server/quor_server.h"

#include <httplib.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSeparator = "######";
constexpr const char* kBinaryType = "application/octet-stream";
constexpr const char* kTextType = "text/plain; charset=utf-8";

std::optional<std::string> ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// True when the relative path stays inside the folder it is taken from.
// The entry as plain text inside the error page.
std::string HtmlEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (c == '&')
            escaped += "&amp;";
        else
            escaped += c;
    }
    return escaped;
}

bool StaysInside(const fs::path& relative) {
    if (relative.empty() || relative.is_absolute() || relative.has_root_name())
        return false;
    return std::none_of(relative.begin(), relative.end(),
                        [](const fs::path& piece) { return piece == ".."; });
}

} // namespace

QuorServer::QuorServer(fs::path folder, std::optional<Tls> tls)
    : folder_(std::move(folder)), tls_(std::move(tls)) {}

QuorServer::~QuorServer() {
    stop();
}

int QuorServer::start(int port) {
    if (server_)
        return port_;
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    if (tls_)
        server_ =
            std::make_unique<httplib::SSLServer>(tls_->certificate.c_str(), tls_->key.c_str());
    else
        server_ = std::make_unique<httplib::Server>();
    // Small answers go out at once instead of waiting on the client's delayed ACK.
    server_->set_tcp_nodelay(true);
    route();
    const int bound = port == 0 ? server_->bind_to_any_port("127.0.0.1")
                                : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound < 0) {
        server_.reset();
        return -1;
    }
    port_ = bound;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is only safe once the accept loop runs; the socket already queues connections.
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port_;
}

void QuorServer::stop() {
    if (!server_)
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_->stop();
    if (thread_.joinable())
        thread_.join();
    server_.reset();
}

std::string QuorServer::baseUrl() const {
    return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

void QuorServer::setListText(std::optional<std::string> text) {
    std::lock_guard lock(mutex_);
    knobs_.listText = std::move(text);
}

void QuorServer::setListStatus(int status) {
    std::lock_guard lock(mutex_);
    knobs_.listStatus = status;
}

void QuorServer::setClearingAnswer(std::string answer) {
    std::lock_guard lock(mutex_);
    knobs_.clearingAnswer = std::move(answer);
}

void QuorServer::setDelayPerFile(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    knobs_.delayPerFile = delay;
}

void QuorServer::setStatusFor(const std::string& entry, int status) {
    std::lock_guard lock(mutex_);
    knobs_.statusFor[entry] = status;
}

void QuorServer::setDropHalfWay(const std::string& entry) {
    std::lock_guard lock(mutex_);
    knobs_.dropHalfWay.insert(entry);
}

void QuorServer::setSlowBody(const std::string& entry, std::chrono::milliseconds chunkDelay,
                             int chunks) {
    std::lock_guard lock(mutex_);
    knobs_.slowBody[entry] = SlowBody{chunkDelay, std::max(chunks, 1)};
}

void QuorServer::setStalledBody(const std::string& entry) {
    std::lock_guard lock(mutex_);
    knobs_.stalled.insert(entry);
}

void QuorServer::setEndlessBody(const std::string& entry) {
    std::lock_guard lock(mutex_);
    knobs_.endless.insert(entry);
}

void QuorServer::setRedirectFor(const std::string& entry, std::string location) {
    std::lock_guard lock(mutex_);
    knobs_.redirectFor[entry] = std::move(location);
}

void QuorServer::clearEntryKnobs() {
    std::lock_guard lock(mutex_);
    knobs_.statusFor.clear();
    knobs_.dropHalfWay.clear();
    knobs_.slowBody.clear();
    knobs_.stalled.clear();
    knobs_.endless.clear();
    knobs_.redirectFor.clear();
    knobs_.delayPerFile = std::chrono::milliseconds(0);
}

std::vector<QuorServer::Request> QuorServer::requests() const {
    std::lock_guard lock(mutex_);
    return log_;
}

int QuorServer::countOf(std::string_view path) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(log_.begin(), log_.end(), [&](const Request& r) { return r.path == path; }));
}

void QuorServer::clearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

void QuorServer::setRequestObserver(std::function<void(const Request&)> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

std::string QuorServer::ListOfFolder(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec))
        if (item.is_regular_file(ec))
            names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string list;
    for (const auto& name : names)
        list += name + kSeparator;
    return list;
}

void QuorServer::route() {
    server_->set_keep_alive_max_count(static_cast<std::size_t>(keepAliveRequests_));
    server_->set_keep_alive_timeout(1); // short, so that stop() is quick
    server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        record(req);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_->Get(kClearingPath, [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(knobs().clearingAnswer, kTextType);
    });
    server_->Get(
        std::string(kUploadPrefix) + "(.*)",
        [this](const httplib::Request& req, httplib::Response& res) { answerUpload(req, res); });
}

void QuorServer::record(const httplib::Request& req) {
    Request entry{req.method, req.path, req.remote_port};
    std::function<void(const Request&)> observer;
    {
        std::lock_guard lock(mutex_);
        log_.push_back(entry);
        observer = observer_;
    }
    if (observer)
        observer(entry);
}

void QuorServer::answerUpload(const httplib::Request& req, httplib::Response& res) {
    const std::string entry = req.matches[1];
    const Knobs now = knobs();
    if (answeredByKnob(now, entry, res))
        return;
    if (entry == kListEntry) {
        res.status = now.listStatus;
        answerBody(entry, now.listText.value_or(ListOfFolder(folder_)), res);
        return;
    }
    const auto file = fileOf(entry);
    const auto bytes = file ? ReadWhole(*file) : std::nullopt;
    if (!bytes) {
        answerError(404, entry, res);
        return;
    }
    if (!pause(now.delayPerFile))
        return;
    answerBody(entry, *bytes, res);
}

bool QuorServer::answeredByKnob(const Knobs& now, const std::string& entry,
                                httplib::Response& res) {
    if (auto status = now.statusFor.find(entry); status != now.statusFor.end()) {
        answerError(status->second, entry, res);
        return true;
    }
    if (auto to = now.redirectFor.find(entry); to != now.redirectFor.end()) {
        res.set_redirect(to->second, 302);
        return true;
    }
    if (now.endless.count(entry)) {
        // Chunked, with no end: stops when the client goes away or the server stops.
        const char* type = entry == kListEntry ? kTextType : kBinaryType;
        res.set_chunked_content_provider(type, [this](std::size_t, httplib::DataSink& sink) {
            static const std::string filler(64 * 1024, 'x');
            return pause(std::chrono::milliseconds(0)) && sink.write(filler.data(), filler.size());
        });
        return true;
    }
    return false;
}

void QuorServer::answerBody(const std::string& entry, std::string body, httplib::Response& res) {
    const Knobs now = knobs();
    const std::string type = entry == kListEntry ? kTextType : kBinaryType;
    auto shared = std::make_shared<std::string>(std::move(body));
    const std::size_t size = shared->size();
    if (now.stalled.count(entry)) {
        // Headers go out, then nothing: the provider waits for the server to stop.
        res.set_content_provider(size, type, [this](std::size_t, std::size_t, httplib::DataSink&) {
            std::unique_lock lock(mutex_);
            stopped_.wait(lock, [this] { return stopping_; });
            return false;
        });
    } else if (now.dropHalfWay.count(entry)) {
        // Returning false after half the bytes makes httplib close the connection.
        res.set_content_provider(size, type,
                                 [shared](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     sink.write(shared->data(), shared->size() / 2);
                                     return false;
                                 });
    } else if (auto slow = now.slowBody.find(entry); slow != now.slowBody.end()) {
        const SlowBody how = slow->second;
        const std::size_t chunk = std::max<std::size_t>(1, (size + how.chunks - 1) / how.chunks);
        res.set_content_provider(size, type,
                                 [this, shared, how, chunk](std::size_t offset, std::size_t left,
                                                            httplib::DataSink& sink) {
                                     if (!pause(how.chunkDelay))
                                         return false;
                                     return sink.write(shared->data() + offset,
                                                       std::min(chunk, left));
                                 });
    } else {
        res.set_content(*shared, type);
    }
}

void QuorServer::answerError(int status, const std::string& entry, httplib::Response& res) {
    const std::string title = "Errore " + std::to_string(status);
    res.status = status;
    res.set_content("<html><head><title>" + title + "</title></head><body><h1>" + title +
                        "</h1><p>" + HtmlEscaped(entry) + "</p></body></html>\n",
                    "text/html; charset=utf-8");
}

std::optional<fs::path> QuorServer::fileOf(const std::string& entry) const {
    const fs::path relative = fs::path(entry).lexically_normal();
    if (!StaysInside(relative))
        return std::nullopt;
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(folder_, ec);
    const fs::path file = fs::weakly_canonical(folder_ / relative, ec);
    if (ec || !fs::is_regular_file(file, ec))
        return std::nullopt;
    // A link inside the folder must not lead out of it either.
    const auto [end, ignored] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (end != root.end())
        return std::nullopt;
    return file;
}

QuorServer::Knobs QuorServer::knobs() const {
    std::lock_guard lock(mutex_);
    return knobs_;
}

bool QuorServer::pause(std::chrono::milliseconds delay) const {
    std::unique_lock lock(mutex_);
    if (delay.count() > 0)
        stopped_.wait_for(lock, delay, [this] { return stopping_; });
    return !stopping_;
}
