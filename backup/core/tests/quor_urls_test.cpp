#include "qstring_print.h"
#include "quor_urls.h"

#include <gtest/gtest.h>

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

TEST(QuorUrls, WireFormKeepsTheEntryOnePathPiece) {
    const QString upload = "http://127.0.0.1:8642/quor/img_upload/";
    struct Case {
        QString entry;
        QByteArray wire; // what goes after the upload folder on the wire
        QString path;    // the decoded path the server sees
    };
    const Case cases[] = {
        {"foto.jpg", "foto.jpg", "/quor/img_upload/foto.jpg"},
        {"foto vacanza.jpg", "foto%20vacanza.jpg", "/quor/img_upload/foto vacanza.jpg"},
        {"n#1.jpg", "n%231.jpg", "/quor/img_upload/n#1.jpg"},
        {"chi?.jpg", "chi%3F.jpg", "/quor/img_upload/chi?.jpg"},
        {"100%.jpg", "100%25.jpg", "/quor/img_upload/100%.jpg"},
        {"50%20off.jpg", "50%2520off.jpg", "/quor/img_upload/50%20off.jpg"},
        {"caff\u00e8.png", "caff%C3%A8.png", "/quor/img_upload/caff\u00e8.png"},
        {"sotto/file.txt", "sotto/file.txt", "/quor/img_upload/sotto/file.txt"},
        {"a+b&c=d.txt", "a%2Bb%26c%3Dd.txt", "/quor/img_upload/a+b&c=d.txt"},
        {"riga\r\n", "riga%0D%0A", "/quor/img_upload/riga\r\n"},
    };
    for (const Case& c : cases) {
        const QUrl url = FileUrl(upload, c.entry);
        EXPECT_TRUE(url.isValid()) << c.entry.toStdString();
        EXPECT_EQ(url.toEncoded(), upload.toLatin1() + c.wire) << c.entry.toStdString();
        EXPECT_EQ(url.path(QUrl::FullyDecoded), c.path) << c.entry.toStdString();
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
