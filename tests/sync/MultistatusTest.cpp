// The answers of CardDAV servers read by namespace, whatever prefixes they
// use, and the URLs the sync accepts.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "sync/CardDavClient.h"
#include "sync/Multistatus.h"
#include "sync/ServerUrl.h"

namespace lumo::sync {
namespace {

TEST(MultistatusTest, ReadsResponsesWhateverThePrefixes) {
    // The default namespace for DAV:, "card" for CardDAV, a 404 response of
    // a sync report, and an unknown property in a 404 propstat.
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<multistatus xmlns=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\">"
        "<sync-token>http://example/ns/sync/42</sync-token>"
        "<response><href>/u/b/a%20b.vcf</href><propstat><prop><getetag>\"e1\"</getetag>"
        "<card:address-data>BEGIN:VCARD\r\nEND:VCARD\r\n</card:address-data></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat>"
        "<propstat><prop><x:color xmlns:x=\"urn:x\"/></prop><status>HTTP/1.1 404 Not Found</status></propstat></response>"
        "<D:response xmlns:D=\"DAV:\"><D:href>/u/b/gone.vcf</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>"
        "</multistatus>";
    const Multistatus m = parseMultistatus(body);
    EXPECT_EQ(m.syncToken, "http://example/ns/sync/42");
    ASSERT_EQ(m.responses.size(), 2u);
    EXPECT_EQ(m.responses[0].href, "/u/b/a%20b.vcf");
    EXPECT_TRUE(m.responses[0].found);
    EXPECT_EQ(m.responses[0].etag, "\"e1\"");
    // XML reads every line end as LF; the vCard reader takes either.
    EXPECT_EQ(m.responses[0].addressData, "BEGIN:VCARD\nEND:VCARD\n");
    EXPECT_EQ(m.responses[1].href, "/u/b/gone.vcf");
    EXPECT_EQ(m.responses[1].status, 404);
    EXPECT_FALSE(m.responses[1].found);
}

TEST(MultistatusTest, AnAddressBookIsKnownByItsResourceType) {
    const Multistatus m = parseMultistatus(
        "<a:multistatus xmlns:a=\"DAV:\" xmlns:b=\"urn:ietf:params:xml:ns:carddav\"><a:response><a:href>/u/b/</a:href>"
        "<a:propstat><a:prop><a:resourcetype><a:collection/><b:addressbook/></a:resourcetype>"
        "<a:sync-token>tok</a:sync-token><a:supported-report-set><a:supported-report><a:report><a:sync-collection/>"
        "</a:report></a:supported-report></a:supported-report-set></a:prop><a:status>HTTP/1.1 200 OK</a:status>"
        "</a:propstat></a:response></a:multistatus>");
    ASSERT_EQ(m.responses.size(), 1u);
    EXPECT_TRUE(m.responses[0].isAddressBook);
    EXPECT_TRUE(m.responses[0].isCollection);
    EXPECT_TRUE(m.responses[0].offersSyncReport);
    EXPECT_EQ(m.responses[0].syncToken, "tok");
    // addressbook in the wrong namespace is not one.
    EXPECT_FALSE(parseMultistatus("<multistatus xmlns=\"DAV:\"><response><href>/</href><propstat><prop><resourcetype>"
                                  "<addressbook/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat>"
                                  "</response></multistatus>")
                     .responses[0]
                     .isAddressBook);
}

TEST(MultistatusTest, WhatIsNotAMultistatusIsRefused) {
    for (const char* body : {"", "<multistatus xmlns=\"DAV:\">", "<multistatus/>", "<html/>",
                             "<multistatus xmlns=\"DAV:\"><response><status>HTTP/1.1 200 OK</status></response></multistatus>",
                             "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><multistatus xmlns=\"DAV:\">&e;"}) {
        SCOPED_TRACE(body);
        EXPECT_THROW(parseMultistatus(body), Error);
    }
    EXPECT_TRUE(namesInvalidSyncToken("<d:error xmlns:d=\"DAV:\"><d:valid-sync-token/></d:error>"));
    EXPECT_FALSE(namesInvalidSyncToken("<d:error xmlns:d=\"DAV:\"><d:other/></d:error>"));
}

TEST(MultistatusTest, HrefsInRequestsAreEscaped) {
    EXPECT_EQ(multigetBody({"/u/a&b<c>.vcf"}).find("<d:href>/u/a&amp;b&lt;c&gt;.vcf</d:href>") != std::string::npos, true);
    EXPECT_NE(syncCollectionBody("a<b").find("<d:sync-token>a&lt;b</d:sync-token>"), std::string::npos);
}

TEST(ServerUrlTest, TakesTheUrlApart) {
    const ServerUrl u = ServerUrl::parse("https://DAV.example.jp:8443/taro/contacts");
    EXPECT_EQ(u.scheme, "https");
    EXPECT_EQ(u.host, "dav.example.jp");
    EXPECT_EQ(u.origin, "https://DAV.example.jp:8443");
    EXPECT_EQ(u.path, "/taro/contacts/");
    EXPECT_FALSE(u.isLoopback());
    EXPECT_EQ(u.resolve("/taro/contacts/x.vcf"), "https://DAV.example.jp:8443/taro/contacts/x.vcf");
    EXPECT_EQ(u.normalHref("https://dav.example.jp:8443/taro/contacts/a%40b.vcf"), "/taro/contacts/a@b.vcf");
    EXPECT_EQ(u.normalHref("x%2.vcf"), "/taro/contacts/x%2.vcf");
    for (const char* loopback : {"http://127.0.0.1:5232/u/b/", "http://localhost/u/", "http://[::1]:80/"})
        EXPECT_TRUE(ServerUrl::parse(loopback).isLoopback()) << loopback;
    for (const char* bad : {"ftp://x/", "dav.example.jp/u/", "https:///u/", "https://user:pw@host/u/", "https://h/u b/"})
        EXPECT_THROW(ServerUrl::parse(bad), Error) << bad;
    EXPECT_EQ(encodePathSegment("山 a.vcf"), "%E5%B1%B1%20a.vcf");
}

TEST(ServerUrlTest, HttpDatesAreRead) {
    EXPECT_EQ(parseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
    EXPECT_EQ(parseHttpDate("yesterday"), std::nullopt);
}

}  // namespace
}  // namespace lumo::sync
