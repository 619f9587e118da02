#include "IniDocument.h"

#include "core/FileWriter.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <ini.h>

namespace quillon {

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

int CollectEntry(void* user, const char* section, const char* key, const char* value) {
    auto* append = static_cast<std::function<void(const char*, const char*, const char*)>*>(user);
    (*append)(section, key, value);
    return 1;
}
} // namespace

TIniDocument TIniDocument::Load(const std::string& path) {
    TIniDocument document;
    std::function<void(const char*, const char*, const char*)> append =
        [&document](const char* section, const char* key, const char* value) {
            document.Append(section, key, value);
        };
    ini_parse(path.c_str(), CollectEntry, &append);
    return document;
}

bool TIniDocument::Save(const std::string& path) const {
    std::string text;
    for (const TSection& section : SectionList) {
        text += "[" + section.Name + "]\n";
        for (const auto& [key, value] : section.Entries)
            text += key + "=" + value + "\n";
        text += "\n";
    }
    TFileWriter writer(path);
    writer.Write(text.data(), text.size());
    return writer.Commit();
}

std::optional<std::string> TIniDocument::Value(const std::string& section,
                                               const std::string& key) const {
    if (const TSection* s = FindSection(section))
        for (const auto& [k, v] : s->Entries)
            if (SameName(k, key))
                return v;
    return std::nullopt;
}

std::vector<TIniDocument::TEntry> TIniDocument::Entries(const std::string& section) const {
    const TSection* s = FindSection(section);
    return s ? s->Entries : std::vector<TEntry>{};
}

void TIniDocument::SetValue(const std::string& section, const std::string& key,
                            const std::string& value) {
    TSection& s = SectionFor(section);
    for (auto& [k, v] : s.Entries)
        if (SameName(k, key)) {
            v = value;
            return;
        }
    s.Entries.emplace_back(key, value);
}

void TIniDocument::EraseSection(const std::string& section) {
    std::erase_if(SectionList, [&](const TSection& s) { return SameName(s.Name, section); });
}

TIniDocument::TSection* TIniDocument::FindSection(const std::string& name) {
    for (TSection& s : SectionList)
        if (SameName(s.Name, name))
            return &s;
    return nullptr;
}

const TIniDocument::TSection* TIniDocument::FindSection(const std::string& name) const {
    return const_cast<TIniDocument*>(this)->FindSection(name);
}

TIniDocument::TSection& TIniDocument::SectionFor(const std::string& name) {
    if (TSection* s = FindSection(name))
        return *s;
    SectionList.push_back({name, {}});
    return SectionList.back();
}

void TIniDocument::Append(const std::string& section, const std::string& key,
                          const std::string& value) {
    SectionFor(section).Entries.emplace_back(key, value);
}

} // namespace quillon
