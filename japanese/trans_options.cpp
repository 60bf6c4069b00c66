// The options model: defaults, reading at start, and what the dialog stores.
#include "japanese/trans_options.h"

#include "common/settings/settings_file.h"
#include "common/settings/settings_keys.h"

namespace ostrel::japanese {
namespace {
constexpr char16_t kExpandKey[] = u"Expand";
constexpr char16_t kMinKanaLengthKey[] = u"MinKanaLength";
constexpr char16_t kUnderCursorKey[] = u"UnderCursor";
constexpr char16_t kAutoSwitchKey[] = u"AutoSwitchTranslationList";
}  // namespace

CTransOptions::CTransOptions()
    : expand(kDefaultTranslationExpand),
      minKanaLength(kDefaultMinKanaLength),
      underCursor(kDefaultUnderCursor),
      autoSwitchTranslationList(kDefaultAutoSwitchTranslationList) {}

CTransOptions::CTransOptions(const CIni& ini) : CTransOptions() {
    using settings_section::kTranslation;
    expand = ini.GetInt(kTranslation, kExpandKey, expand);
    minKanaLength = ini.GetInt(kTranslation, kMinKanaLengthKey, minKanaLength);
    underCursor = ini.GetInt(kTranslation, kUnderCursorKey, underCursor);
    autoSwitchTranslationList = ini.GetInt(kTranslation, kAutoSwitchKey, autoSwitchTranslationList);
}

int32_t CTransOptions::ApplyDialogChoice(CIni& ini, bool expandChecked, bool oneKanaChecked) {
    if (!expandChecked) expand = 0;
    else if (expand == 0) expand = kDefaultTranslationExpand;
    minKanaLength = oneKanaChecked ? 2 : 1;
    using settings_section::kTranslation;
    const int32_t wroteExpand = ini.WriteInt(kTranslation, kExpandKey, expand);
    const int32_t wroteLength = ini.WriteInt(kTranslation, kMinKanaLengthKey, minKanaLength);
    return wroteExpand != 0 && wroteLength != 0 ? 1 : 0;
}

}  // namespace ostrel::japanese
