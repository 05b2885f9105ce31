// The demo server on its own, seen through a plain HTTP client.
#include "tools/quor_server/quor_server.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace fs = std::filesystem;

class QuorServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("quor-server-test-" + std::to_string(random()));
        fs::create_directories(folder_ / "sotto");
        write("b.txt", "bee");
        write("a b.txt", "blank");
        write("caff\xC3\xA8.txt", "accent");
        write("sotto/dentro.txt", "inside");
    }
    void TearDown() override { fs::remove_all(folder_); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }
    fs::path folder_;
};

TEST_F(QuorServerTest, ListsTheTopOfTheFolderSortedWithSeparators) {
    EXPECT_EQ(QuorServer::ListOfFolder(folder_), "a b.txt######b.txt######caff\xC3\xA8.txt######");
}

TEST_F(QuorServerTest, ServesTheFolderWithItsKnobsAndLogsDecodedPaths) {
    QuorServer server(folder_);
    ASSERT_GT(server.start(0), 0);
    std::string big(100'000, 'x');
    write("big.bin", big);
    server.setDropHalfWay("big.bin");
    server.setListText("x######");
    server.setListStatus(503);
    httplib::Client client("127.0.0.1", server.port());

    auto list = client.Get(QuorServer::kListPath);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->status, 503);
    EXPECT_EQ(list->body, "x######");

    auto inside = client.Get("/quor/img_upload/sotto/dentro.txt");
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->body, "inside");
    auto blank = client.Get("/quor/img_upload/a%20b.txt");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->body, "blank");
    auto escape = client.Get("/quor/img_upload/..%2Fquor-server-test");
    ASSERT_TRUE(escape);
    EXPECT_EQ(escape->status, 404);

    auto dropped = client.Get("/quor/img_upload/big.bin");
    EXPECT_FALSE(dropped); // the client sees the connection end before the announced length

    EXPECT_EQ(server.countOf("/quor/img_upload/a b.txt"), 1);
    EXPECT_EQ(server.countOf(QuorServer::kListPath), 1);
    const auto log = server.requests();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log.front().method, "GET");
    server.clearLog();
    EXPECT_TRUE(server.requests().empty());
}
