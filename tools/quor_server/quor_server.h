// A small local Quor server for tests and demonstrations, bound to 127.0.0.1 only.
//
// It serves one folder the way the backup client expects a Quor server to:
//   GET /quor/img_upload/<entry>                      the file's bytes (entry is the decoded
//                                                     path below img_upload; anything that
//                                                     would leave the folder is a 404);
//   GET /quor/img_upload/quorbackup/quorbackuplog.sav the file list: every regular file at
//                                                     the top of the folder, sorted by name,
//                                                     each followed by "######" (or a text
//                                                     chosen with setListText);
//   GET /quor/backup/cancellacopie.php                a short answer text.
//
// Knobs let a test (or a person watching the demo) make chosen entries slow, broken or
// failing. Every knob keyed by an entry also applies to the list, whose entry is
// "quorbackup/quorbackuplog.sav". Knobs and the request log are safe to use from any thread
// while the server runs; the server answers on its own threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

class QuorServer {
  public:
    // One request as received: method, URL-decoded path (query string not included), and
    // the client's port, which tells the connections apart.
    struct Request {
        std::string method;
        std::string path;
        int clientPort = 0;
    };

    static constexpr const char* kListEntry = "quorbackup/quorbackuplog.sav";
    static constexpr const char* kListPath = "/quor/img_upload/quorbackup/quorbackuplog.sav";
    static constexpr const char* kUploadPrefix = "/quor/img_upload/";
    static constexpr const char* kClearingPath = "/quor/backup/cancellacopie.php";

    // How many requests one connection carries by default, as a common web server allows.
    static constexpr int kKeepAliveRequests = 100;

    // A certificate and its private key (PEM files): the server then speaks HTTPS.
    struct Tls {
        std::filesystem::path certificate;
        std::filesystem::path key;
    };

    explicit QuorServer(std::filesystem::path folder, std::optional<Tls> tls = std::nullopt);
    ~QuorServer(); // stops the server
    QuorServer(const QuorServer&) = delete;
    QuorServer& operator=(const QuorServer&) = delete;

    // Binds 127.0.0.1:port (0: the system picks a free port) and starts answering on a
    // thread of its own. Returns the bound port, or -1 when the port cannot be bound.
    int start(int port = 0);
    // Ends every answer in progress (stalled and slow bodies included) and stops. Idempotent.
    void stop();
    int port() const { return port_; }
    // How many requests one connection may carry; takes effect at the next start().
    void setKeepAliveRequests(int requests) { keepAliveRequests_ = requests; }
    // "http://127.0.0.1:PORT" ("https://" with TLS), no trailing slash: the server address
    // the client is given.
    std::string baseUrl() const;

    // The list answer: nullopt (the default) builds it from the folder; a text is sent as is.
    void setListText(std::optional<std::string> text);
    // The HTTP status of the list answer (default 200); the body stays the list.
    void setListStatus(int status);
    // The answer to the clearing request.
    void setClearingAnswer(std::string answer);

    // A pause before the body of every file (not the list), as a slow server would make.
    void setDelayPerFile(std::chrono::milliseconds delay);
    // The entry is answered with this status and a small HTML error page instead of the file.
    void setStatusFor(const std::string& entry, int status);
    // The entry's headers announce the full length, half the body is sent, then the
    // connection is closed.
    void setDropHalfWay(const std::string& entry);
    // The entry's body is sent in `chunks` pieces with a pause before each.
    void setSlowBody(const std::string& entry, std::chrono::milliseconds chunkDelay,
                     int chunks = 8);
    // The entry's headers are sent, then nothing until the server stops.
    void setStalledBody(const std::string& entry);
    // The entry's body never ends: chunks of filler until the client goes or the server stops.
    void setEndlessBody(const std::string& entry);
    // The entry is answered with a 302 to `location` instead of the file.
    void setRedirectFor(const std::string& entry, std::string location);
    // Back to plain answers for every entry (list text, statuses and answer kept).
    void clearEntryKnobs();

    // Every request received so far, oldest first.
    std::vector<Request> requests() const;
    // How many requests had this decoded path (e.g. "/quor/img_upload/a b.jpg").
    int countOf(std::string_view path) const;
    void clearLog();
    // Called on a server thread for every request as it arrives (for a console log).
    void setRequestObserver(std::function<void(const Request&)> observer);

    // The list text built from the folder: every regular file at its top, sorted by name,
    // each followed by "######".
    static std::string ListOfFolder(const std::filesystem::path& folder);

  private:
    struct SlowBody {
        std::chrono::milliseconds chunkDelay;
        int chunks;
    };
    struct Knobs {
        std::optional<std::string> listText;
        int listStatus = 200;
        std::string clearingAnswer = "Copie cancellate dal server.";
        std::chrono::milliseconds delayPerFile{0};
        std::map<std::string, int> statusFor;
        std::set<std::string> dropHalfWay;
        std::map<std::string, SlowBody> slowBody;
        std::set<std::string> stalled;
        std::set<std::string> endless;
        std::map<std::string, std::string> redirectFor;
    };

    void route();
    void record(const httplib::Request& req);
    void answerUpload(const httplib::Request& req, httplib::Response& res);
    // Status, redirect and endless knobs replace the whole answer, file or not.
    bool answeredByKnob(const Knobs& now, const std::string& entry, httplib::Response& res);
    void answerBody(const std::string& entry, std::string body, httplib::Response& res);
    void answerError(int status, const std::string& entry, httplib::Response& res);
    std::optional<std::filesystem::path> fileOf(const std::string& entry) const;
    Knobs knobs() const;
    // Sleeps for `delay` or until the server stops; false when the server is stopping.
    bool pause(std::chrono::milliseconds delay) const;

    std::filesystem::path folder_;
    std::optional<Tls> tls_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = -1;
    int keepAliveRequests_ = kKeepAliveRequests;

    mutable std::mutex mutex_; // guards knobs_, log_, observer_, stopping_
    mutable std::condition_variable stopped_;
    bool stopping_ = false;
    Knobs knobs_;
    std::vector<Request> log_;
    std::function<void(const Request&)> observer_;
};
