// The test context answers as the application does and is put back after use.
#include "common/tests/fake_app_context.h"

#include <gtest/gtest.h>

TEST(FakeAppContext, InstalledForTheScopeOnly) {
    IAppContext* before = &App();
    {
        FakeAppContext fake;
        fake.language = UILanguage::Japanese;
        fake.workingDictionary = u"C:\\D\\w.qdx";
        ScopedAppContext scope(fake);
        EXPECT_EQ(&App(), &fake);
        EXPECT_EQ(App().InterfaceLanguage(), UILanguage::Japanese);
        EXPECT_EQ(App().WorkingDictionaryPath(), u"C:\\D\\w.qdx");
    }
    EXPECT_EQ(&App(), before);
    EXPECT_EQ(App().WorkingDictionaryPath(), u"") << "the default context has no dictionaries";
}

TEST(FakeAppContext, RegistryErrorsAnswerOnceThenQuietly) {
    FakeAppContext fake;
    EXPECT_EQ(fake.ReportRegistryWriteError(0), 0);
    EXPECT_EQ(fake.ReportRegistryWriteError(5), 2);
    EXPECT_EQ(fake.ReportRegistryWriteError(5), 1);
    EXPECT_EQ(fake.registryErrors, (std::vector<int32_t>{5, 5}));
    fake.messageAnswer = 6;
    EXPECT_EQ(fake.ShowMessage(u"text", u"caption", 4), 6);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].caption, u"caption");
}
