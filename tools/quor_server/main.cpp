// quor-demo-server: serves a folder as a Quor server on 127.0.0.1 until SIGINT or SIGTERM.
//
//   quor-demo-server --folder DIR [--port N] [--delay-ms M] [--list-file F] [--answer TEXT]
//                    [--keep-alive-requests K] [--log]
#include "tools/quor_server/quor_server.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

namespace {

struct Options {
    std::string folder;
    int port = 8642;
    int delayMs = 0;
    std::optional<std::string> listFile;
    std::optional<std::string> answer;
    int keepAliveRequests = QuorServer::kKeepAliveRequests;
    bool log = false;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::cerr << "quor-demo-server: " << problem << "\n"
              << "usage: quor-demo-server --folder DIR [--port N] [--delay-ms M]"
                 " [--list-file F] [--answer TEXT] [--keep-alive-requests K] [--log]\n";
    std::exit(2);
}

int Number(const std::string& text, const std::string& option) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= 0)
            return value;
    } catch (const std::exception&) {
    }
    Usage(option + " wants a whole number, not \"" + text + "\"");
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage(arg + " wants a value");
            return argv[++i];
        };
        if (arg == "--folder")
            options.folder = value();
        else if (arg == "--port")
            options.port = Number(value(), arg);
        else if (arg == "--delay-ms")
            options.delayMs = Number(value(), arg);
        else if (arg == "--list-file")
            options.listFile = value();
        else if (arg == "--answer")
            options.answer = value();
        else if (arg == "--keep-alive-requests")
            options.keepAliveRequests = Number(value(), arg);
        else if (arg == "--log")
            options.log = true;
        else
            Usage("unknown option " + arg);
    }
    if (options.folder.empty())
        Usage("--folder is required");
    return options;
}

std::string ReadWhole(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        Usage("cannot read the list file " + file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);

    // Blocked before the server's threads exist, so that only sigwait below receives them.
    sigset_t endings;
    sigemptyset(&endings);
    sigaddset(&endings, SIGINT);
    sigaddset(&endings, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endings, nullptr);

    QuorServer server(options.folder);
    server.setDelayPerFile(std::chrono::milliseconds(options.delayMs));
    server.setKeepAliveRequests(options.keepAliveRequests);
    if (options.listFile)
        server.setListText(ReadWhole(*options.listFile));
    if (options.answer)
        server.setClearingAnswer(*options.answer);
    if (options.log)
        server.setRequestObserver([](const QuorServer::Request& request) {
            std::cout << request.method << " " << request.path << std::endl;
        });
    if (server.start(options.port) < 0) {
        std::cerr << "quor-demo-server: cannot listen on 127.0.0.1:" << options.port << "\n";
        return 1;
    }
    std::cout << "quor-demo-server: serving " << options.folder << " at " << server.baseUrl()
              << std::endl;

    int signal = 0;
    sigwait(&endings, &signal);
    server.stop();
    std::cout << "quor-demo-server: stopped" << std::endl;
    return 0;
}
