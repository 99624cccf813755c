#include "model/Error.h"

#include <cerrno>
#include <cstring>

namespace sheetlift {

namespace {

// The reasons a user meets when opening and saving files; others fall back to the system's
// English text.
const char* JapaneseReason(long err) {
    switch (err) {
    case ENOENT:
        return "ファイルまたはフォルダーがありません";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case EISDIR:
        return "フォルダーです";
    case ENOTDIR:
        return "パスの途中がフォルダーではありません";
    case ENOSPC:
        return "ディスクに空きがありません";
    case EDQUOT:
        return "ディスクの割り当てを超えました";
    case EROFS:
        return "読み取り専用のファイルシステムです";
    case EEXIST:
        return "すでに存在します";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます";
    case ELOOP:
        return "シンボリックリンクが多すぎます";
    case EIO:
        return "入出力エラーです";
    case EBUSY:
    case ETXTBSY:
        return "使用中です";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが足りません";
    case EFBIG:
        return "ファイルが大きすぎます";
    case ENXIO:
    case ENODEV:
        return "デバイスがありません";
    default:
        return nullptr;
    }
}

} // namespace

std::string SystemReason(long systemError, Language language) {
    if (language == Language::Japanese)
        if (const char* text = JapaneseReason(systemError))
            return text;
    return std::strerror(int(systemError));
}

} // namespace sheetlift
