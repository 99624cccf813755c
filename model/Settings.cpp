#include "model/Settings.h"

#include "model/Error.h"
#include "model/Profile.h"

#include <algorithm>
#include <cctype>

namespace sheetlift {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
// Clang 14, which builds the fuzzing targets, deduces no aggregate's arguments by itself.
template <class... F> Overloaded(F...) -> Overloaded<F...>;

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// The key's value in `settings` as the file holds it.
std::string TextOf(const SettingKey& key, const Settings& settings, NumberLocale locale) {
    return std::visit(Overloaded{
                          [&](double Settings::*m) {
                              return FormatGeneralExact(settings.*m, locale.decimalSeparator);
                          },
                          [&](std::int32_t Settings::*m) { return std::to_string(settings.*m); },
                          [&](bool Settings::*m) { return std::string(settings.*m ? "1" : "0"); },
                      },
                      key.member);
}

// Sets the key from the file's text; false when the text does not convert.
bool SetFromText(const SettingKey& key, std::string_view text, Settings& settings,
                 NumberLocale locale) {
    return std::visit(Overloaded{
                          [&](double Settings::*m) {
                              const auto v = ParseNumber(text, locale.decimalSeparator);
                              return v && (settings.*m = *v, true);
                          },
                          [&](std::int32_t Settings::*m) {
                              const auto v = ParseInteger(text);
                              return v && (settings.*m = *v, true);
                          },
                          [&](bool Settings::*m) {
                              const auto v = ParseInteger(text);
                              return v && (settings.*m = *v != 0, true);
                          },
                      },
                      key.member);
}

} // namespace

const SettingKey* FindSettingKey(std::string_view name) {
    const auto found =
        std::find_if(kSettingKeys.begin(), kSettingKeys.end(),
                     [&](const SettingKey& key) { return SameName(key.name, name); });
    return found == kSettingKeys.end() ? nullptr : &*found;
}

void LoadSettings(const std::filesystem::path& path, Settings& settings, NumberLocale locale) {
    const ProfileFile file(path);
    settings = Settings{};
    for (const SettingKey& key : kSettingKeys) {
        const auto text = file.Get(kSettingsSection, key.name);
        if (text)
            SetFromText(key, *text, settings, locale); // what does not convert keeps the default
    }
}

std::vector<std::pair<std::string, std::string>> SettingsTexts(const Settings& settings,
                                                               NumberLocale locale) {
    std::vector<std::pair<std::string, std::string>> texts;
    for (const SettingKey& key : kSettingKeys)
        texts.emplace_back(key.name, TextOf(key, settings, locale));
    return texts;
}

void SaveSettings(const std::filesystem::path& path, const Settings& settings,
                  NumberLocale locale) {
    ProfileFile file(path);
    for (const SettingKey& key : kSettingKeys) {
        const std::string text = TextOf(key, settings, locale);
        if (key.write == SettingKey::Always || text != TextOf(key, Settings{}, locale) ||
            file.Get(kSettingsSection, key.name))
            file.Set(kSettingsSection, key.name, text);
    }
    file.Save();
}

std::pair<std::string, std::string> SettingText(std::string_view name, std::string_view value,
                                                NumberLocale locale) {
    const SettingKey* key = FindSettingKey(name);
    if (!key) {
        std::string names;
        for (const SettingKey& known : kSettingKeys)
            names += (names.empty() ? "" : ", ") + std::string(known.name);
        throw Error(ErrorCode::SettingUnknownKey, {std::string(name), names});
    }
    Settings parsed;
    if (!SetFromText(*key, value, parsed, locale))
        throw Error(std::holds_alternative<double Settings::*>(key->member)
                        ? ErrorCode::SettingNotNumber
                        : ErrorCode::SettingNotInteger,
                    {std::string(key->name), std::string(value)});
    return {std::string(key->name), TextOf(*key, parsed, locale)};
}

} // namespace sheetlift
