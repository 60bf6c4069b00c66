#include "common/global_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/collation/xcollator0.h"
#include "common/collation/xcollator1.h"

namespace {

std::vector<std::string>& Steps() {
    static std::vector<std::string> steps;
    return steps;
}

void CreateEngine() { Steps().push_back("create engine"); }
void DestroyPrintEngine() { Steps().push_back("destroy print engine"); }
void DestroyEngine() {
    // The engine's destruction may still compare keys through the UCA collator.
    bool hasTable = UcaCollator().HasTable();
    int32_t order = UcaCollator().Compare(u"a", 1, u"b", 1, 0, 1);
    Steps().push_back(std::string("destroy engine") + (hasTable && order < 0 ? " with table" : " without table"));
}

TEST(ProgramGlobals, SetsUpAndReleasesInTheFixedOrder) {
    Steps().clear();
    {
        ProgramGlobals globals({CreateEngine, DestroyEngine, DestroyPrintEngine});
        EXPECT_EQ(Steps(), (std::vector<std::string>{"create engine"}));
        EXPECT_FALSE(UcaCollator().HasTable());
        ICollator* uca = nullptr;
        ASSERT_EQ(GetUcaCollator(&uca), S_OK);
        uca->Release();
        ICollator* dictionary = nullptr;
        ASSERT_EQ(GetDictionaryCollator(&dictionary), S_OK);
    }
    EXPECT_EQ(Steps(), (std::vector<std::string>{"create engine", "destroy print engine",
                                                 "destroy engine with table"}));
    EXPECT_EQ(DictionaryCollator().ReferenceCount(), 0);
    EXPECT_FALSE(UcaCollator().HasTable());
    // The collators stay usable objects: the UCA one loads again on the next hand-out.
    ICollator* uca = nullptr;
    ASSERT_EQ(GetUcaCollator(&uca), S_OK);
    uca->Release();
}

TEST(ProgramGlobals, StepNamesAreReadFromTheirSlotsWhenShown) {
    SetUILanguage(1);
    std::u16string english = StepNameText(kDictionaryStepNameSlots[0]);
    EXPECT_EQ(english, u": writing dictionary articles");
    EXPECT_EQ(std::u16string(StepNameText(kDictionaryStepNameSlots[5])), u": building the index of latin stems");
    EXPECT_EQ(std::u16string(StepNameText(kBookStepNameSlots[2])), std::u16string(StepNameText(488)));
    SetUILanguage(0);
    EXPECT_NE(std::u16string(StepNameText(kTextStepNameSlots[0])), english);
    SetUILanguage(1);
    EXPECT_EQ(std::u16string(StepNameText(-1)), u"");
    EXPECT_EQ(std::u16string(StepNameText(kUIStringCount)), u"");
}

}  // namespace
