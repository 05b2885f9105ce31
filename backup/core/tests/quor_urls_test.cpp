#include "backup/core/quor_urls.h"
#include "backup/core/tests/qstring_print.h"

#include <gtest/gtest.h>

using namespace ombrix;

TEST(QuorUrls, AreBuiltByPlainConcatenation) {
    struct Case {
        QString server;
        QString upload, list, clearing;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8642", "http://127.0.0.1:8642/quor/img_upload/",
         "http://127.0.0.1:8642/quor/img_upload/quorbackup/quorbackuplog.sav",
         "http://127.0.0.1:8642/quor/backup/cancellacopie.php"},
        {"https://quor.example/", "https://quor.example//quor/img_upload/",
         "https://quor.example//quor/img_upload/quorbackup/quorbackuplog.sav",
         "https://quor.example//quor/backup/cancellacopie.php"},
        {" http://h/sito ", " http://h/sito /quor/img_upload/",
         " http://h/sito /quor/img_upload/quorbackup/quorbackuplog.sav",
         " http://h/sito /quor/backup/cancellacopie.php"},
        {"", "/quor/img_upload/", "/quor/img_upload/quorbackup/quorbackuplog.sav",
         "/quor/backup/cancellacopie.php"},
    };
    for (const Case& c : cases) {
        const QString upload = UploadAddress(c.server);
        EXPECT_EQ(upload, c.upload);
        EXPECT_EQ(FileListAddress(upload), c.list);
        EXPECT_EQ(ClearingAddress(c.server), c.clearing);
        EXPECT_EQ(FileAddress(upload, "a b.jpg"), c.upload + "a b.jpg");
    }
}

TEST(QuorUrls, WireFormIsTheEntrysOwnBytesAsOnePathPiece) {
    const QString upload = "http://127.0.0.1:8642/quor/img_upload/";
    struct Case {
        QByteArray entry; // the entry's bytes as the list gave them
        QByteArray wire;  // what goes after the upload folder on the wire
    };
    const Case cases[] = {
        {"foto.jpg", "foto.jpg"},
        {"foto vacanza.jpg", "foto%20vacanza.jpg"},
        {"n#1.jpg", "n%231.jpg"},
        {"chi?.jpg", "chi%3F.jpg"},
        {"100%.jpg", "100%25.jpg"},
        {"50%20off.jpg", "50%2520off.jpg"},
        {"caff\xC3\xA8.png", "caff%C3%A8.png"}, // a list in UTF-8
        {"caff\xE8.png", "caff%E8.png"},        // a list in Windows-1252
        {"sotto/file.txt", "sotto/file.txt"},
        {"a+b&c=d.txt", "a%2Bb%26c%3Dd.txt"},
        {"riga\r\n", "riga%0D%0A"},
    };
    for (const Case& c : cases) {
        const QUrl url = FileUrl(upload, c.entry);
        EXPECT_TRUE(url.isValid()) << c.entry.toStdString();
        EXPECT_EQ(url.toEncoded(), upload.toLatin1() + c.wire) << c.entry.toStdString();
        // The server, decoding the path, finds the entry's bytes unchanged.
        const QByteArray path = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        EXPECT_EQ(QByteArray::fromPercentEncoding(path), "/quor/img_upload/" + c.entry);
        EXPECT_FALSE(url.hasFragment());
        EXPECT_FALSE(url.hasQuery());
    }
}

TEST(QuorUrls, WireFormOfTheFixedRequests) {
    EXPECT_EQ(FileListUrl("http://h:1/quor/img_upload/").toEncoded(),
              "http://h:1/quor/img_upload/quorbackup/quorbackuplog.sav");
    EXPECT_EQ(ClearingUrl("http://h:1").toEncoded(), "http://h:1/quor/backup/cancellacopie.php");
    // The doubled slash of a trailing slash survives the conversion.
    EXPECT_EQ(ClearingUrl("http://h:1/").toEncoded(), "http://h:1//quor/backup/cancellacopie.php");
    EXPECT_EQ(FileUrl("http://h:1//quor/img_upload/", "x").toEncoded(),
              "http://h:1//quor/img_upload/x");
}
