// Texts and once-per-run state of the registry-error report.
#include "common/settings/registry_error_report.h"

RegistryErrorTexts RegistryErrorTextsFor(uint16_t systemLanguageId) {
    switch (systemLanguageId) {
    case 1041:
        return {u"レジストリー アクセス エラー",
                u"データをレジストリーに書き込むことができません。 \n"
                u"このコンピューターにプログラムをインストールする権限をお持ちではない可能性があります。"};
    case 1049:
        return {u"Ошибка доступа к реестру",
                u"Ошибка записи данных в реестр. \n"
                u"Возможно у вас недостаточно привилегий для установки программ на этом компьютере."};
    default:
        return {u"Registry access error",
                u"Unable write data to the registry. \n"
                u"You may have not enough privileges to install programs on this computer."};
    }
}

RegistryErrorLatch::Answer RegistryErrorLatch::Record(int32_t systemError) {
    if (systemError == 0) return Answer::NoError;
    lastError = systemError;
    failed = true;
    if (reported_) return Answer::AlreadyReported;
    reported_ = true;
    return Answer::ReportNow;
}
