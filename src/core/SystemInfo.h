#pragma once
// Queries about the machine and the user: processor count, interface language, the per-user
// application-data folder, and the access grant on shared folders.
#include "core/Types.h"

#include <string>

namespace lv::core {

// Number of processors, at least 1.
s32 GetProcessorCount();

// Capacity of the language code buffer, terminating NUL included.
constexpr size_t kLanguageCodeCapacity = 64;

// The user's interface language as a lower-case ISO 639 code ("de", "fil") in a buffer of
// kLanguageCodeCapacity characters, from the first of LANGUAGE (its first entry), LC_ALL,
// LC_MESSAGES and LANG that is set. False, with the buffer untouched, when that locale names no
// language ("C", "POSIX") or nothing is set.
bool GetCurrentUserPreferredLanguage(char* code);

// The language code of one locale name such as "de_DE.UTF-8" or "sr@latin": the text before
// '_', '.' or '@', lower-cased; only two or three letters count as a code.
bool LanguageCodeFromLocale(std::string_view locale, std::string& code);

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; empty when neither is
// known.
WString GetAppDataFolder();

// Kept for the callers that share saves between accounts on Windows. Here it changes no
// permissions: making a folder in the user's home writable by everyone would be unsafe and
// serves nothing, since every account has its own data folder.
void GrantAccessToEveryone(const WChar* path, bool inherit);
void GrantEveryoneAccess(const WChar* path, bool inherit);

} // namespace lv::core
