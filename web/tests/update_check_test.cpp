// The update request body and its scrambling, and the host rotation of the
// periodic check, driven through a fake line and clock.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "web/home_hosts.h"
#include "web/update_query.h"

namespace {

std::string Scrambled(std::string text) {
    ScrambleUpdateQuery(text);
    return text;
}

TEST(UpdateQuery, ScrambleSwapsOddPositionsAndReplacesSeparators) {
    EXPECT_EQ(Scrambled("abcdefgh"), "ahcfedgb\r\n");
    EXPECT_EQ(Scrambled("abcdefghi"), "ahcfedgbi\r\n");
    EXPECT_EQ(Scrambled("a=&"), "a#~\r\n");
    EXPECT_EQ(Scrambled(""), "\r\n");
    // The swap undoes itself: scrambling twice gives the text with the replacements.
    std::string body = "P01=Pro_11.11.0&P04=1&P16=edict+kanjidic&P18=1A2B";
    std::string twice = Scrambled(body);
    twice.resize(twice.size() - 2);
    twice = Scrambled(twice);
    std::string replaced = body;
    for (char& c : replaced) c = c == '&' ? '~' : c == '=' ? '#' : c;
    EXPECT_EQ(twice, replaced + "\r\n");
}

TEST(UpdateQuery, FieldsInOrderWithOptionalOnesLeftOut) {
    UpdateQueryFields fields;
    fields.installationId = u"{0A1B2C3D-0000-1111-2222-333344445555}";
    fields.language = 2;
    fields.workingDays = 17;
    fields.minutes = -5;
    fields.visibleDictionaryPaths = {u"C:\\D\\edict.qdx", u"C:\\D\\kanji.dic.qdx", u"noext"};
    fields.programCrc = 0xCBF43926;
    EXPECT_EQ(BuildUpdateQuery(fields),
              "P01=Pro_11.11.0&P02=0A1B2C3D-0000-1111-2222-333344445555&P04=2&P12=17&P14=-5"
              "&P16=edict+kanji.dic+noext&P18=CBF43926");
    fields.registryError = 0x5;
    fields.installationId.clear();
    fields.visibleDictionaryPaths.clear();
    EXPECT_EQ(BuildUpdateQuery(fields), "P01=Pro_11.11.0&P15=5&P04=2&P12=17&P14=-5&P16=&P18=CBF43926");
    // Many long names: the body grows; each name is cut between characters.
    fields.visibleDictionaryPaths.assign(60, u"C:\\" + std::u16string(200, u'語') + u".qdx");
    std::string body = BuildUpdateQuery(fields);
    EXPECT_GT(body.size(), 10000u);
    size_t plus = body.find('+');
    size_t p16 = body.find("P16=") + 4;
    EXPECT_EQ(plus - p16, 255u / 3 * 3);   // 85 whole characters of 3 bytes
}

// A line that records what is queued and removed.
class FakeLine : public IHomeRequestLine {
public:
    struct Sent {
        std::u16string url;
        std::string verb;
        std::string body;
        uint32_t message;
    };
    uintptr_t Queue(std::u16string_view url, std::string_view verb, std::span<const uint8_t> body,
                    uint32_t message) override {
        sent.push_back({std::u16string(url), std::string(verb), std::string(body.begin(), body.end()), message});
        return ++nextHandle;
    }
    void Remove(uintptr_t request) override { removed.push_back(request); }
    std::vector<Sent> sent;
    std::vector<uintptr_t> removed;
    uintptr_t nextHandle = 100;
};

class FakeSite : public IUpdateCheckSite {
public:
    int64_t NowSeconds() override { return now; }
    bool UpdateDue() override { return due; }
    UpdateQueryFields QueryFields() override { return {}; }
    void UpdateAnswered() override {
        due = false;
        ++answered;
    }
    void ShowUpdateNotice(std::string reply) override {
        notices.push_back(std::move(reply));
        removedBeforeNotice = line ? line->removed.size() : 0;
    }
    int64_t now = 1765000000;
    bool due = true;
    int answered = 0;
    std::vector<std::string> notices;
    FakeLine* line = nullptr;
    size_t removedBeforeNotice = 0;
};

class HostRotation : public testing::Test {
protected:
    void SetUp() override { site.line = &line; }
    FakeLine line;
    FakeSite site;
    CWebDictionaries list;
    CHosts hosts{site, list};
};

TEST_F(HostRotation, ListThenUpdateRequestThroughTheFirstHost) {
    hosts.AddHost(u"http://127.0.0.1:8080/ignored/path", &line);
    ASSERT_EQ(hosts.StartUpdateCheck(), 1);
    EXPECT_EQ(hosts.NextCheckTime(), site.now + 18000);
    EXPECT_EQ(list.status, 1);
    ASSERT_EQ(line.sent.size(), 1u);
    EXPECT_EQ(line.sent[0].url, u"http://127.0.0.1:8080/update/dictionary_list.txt?1765000000");
    EXPECT_EQ(line.sent[0].verb, "GET");
    EXPECT_EQ(line.sent[0].message, kListReplyMessage);

    hosts.OnListReply(101, 0, "[Dic1]\nUrl=http://h/d/\nFilename=a.qdx\nSize=3\n");
    EXPECT_EQ(list.status, 3);
    EXPECT_EQ(list.Count(), 1);
    ASSERT_EQ(line.sent.size(), 2u);
    EXPECT_EQ(line.sent[1].url, u"http://127.0.0.1:8080/update/?1765000000");
    EXPECT_EQ(line.sent[1].verb, "POST");
    EXPECT_EQ(line.sent[1].message, kUpdateReplyMessage);
    EXPECT_TRUE(line.sent[1].body.ends_with("\r\n"));

    hosts.OnUpdateReply(102, 0, "News2_5=11.12");
    EXPECT_EQ(site.answered, 1);
    ASSERT_EQ(site.notices.size(), 1u);
    EXPECT_EQ(site.notices[0], "News2_5=11.12");
    EXPECT_EQ(site.removedBeforeNotice, 2u);   // the request was freed before the notice
    EXPECT_FALSE(site.due);
}

TEST_F(HostRotation, FailingHostsMoveOnThenRetryInTenMinutes) {
    hosts.AddHost(u"http://a/", &line);
    hosts.AddHost(u"http://b/", &line);   // a is obsolete now
    hosts.AddHost(u"http://c/", &line);
    // Only c is current: with one current host every start goes to it.
    hosts.ForgetHostsUsedLast();
    hosts.StartUpdateCheck();
    hosts.ForgetHostsUsedLast();
    hosts.StartUpdateCheck();
    ASSERT_EQ(line.sent.size(), 2u);
    EXPECT_TRUE(line.sent[1].url.starts_with(u"http://c/"));
    // It fails: no other current host, so the list fails and the check comes in 600 s.
    hosts.OnListReply(102, -5, "");
    EXPECT_EQ(list.status, -1);
    EXPECT_EQ(hosts.NextCheckTime(), site.now + 600);
    EXPECT_EQ(line.sent.size(), 2u);
}

// Every AddHost makes the earlier hosts obsolete, so one host is current: a
// failed update request finds no next host, retries in ten minutes, and the
// next attempt starts again at the current host.
TEST_F(HostRotation, FailedUpdateRequestRetriesInTenMinutes) {
    hosts.AddHost(u"http://a/", &line);
    hosts.StartUpdateCheck();
    hosts.OnListReply(101, 0, "");
    ASSERT_EQ(line.sent.size(), 2u);
    hosts.OnUpdateReply(102, -6, "");
    EXPECT_EQ(hosts.NextCheckTime(), site.now + 600);
    EXPECT_TRUE(site.due);
    EXPECT_EQ(hosts.SendUpdateRequest(), 1);
    ASSERT_EQ(line.sent.size(), 3u);
    EXPECT_TRUE(line.sent[2].url.starts_with(u"http://a/update/?"));
}

TEST_F(HostRotation, RepliesWhileTheHostUsedLastIsObsoleteAreOnlyFreed) {
    hosts.AddHost(u"http://old/", &line);
    hosts.StartUpdateCheck();
    hosts.AddHost(u"new.example", &line);   // a bare host gets https://
    EXPECT_EQ(hosts.Hosts()[1].baseUrl, u"https://new.example/");
    list.status = 1;
    hosts.OnListReply(101, 0, "[Dic1]\nUrl=http://h/d/\nFilename=a.qdx\nSize=3\n");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(line.removed, std::vector<uintptr_t>{101});
    EXPECT_EQ(line.sent.size(), 1u);
    // An empty update reply leaves the update due.
    hosts.ForgetHostsUsedLast();
    hosts.StartUpdateCheck();
    hosts.OnListReply(102, 0, "");
    hosts.OnUpdateReply(103, 0, "");
    EXPECT_TRUE(site.due);
    EXPECT_TRUE(site.notices.empty());
}

}  // namespace
