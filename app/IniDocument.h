// An INI file held in memory in file order: sections in square brackets, each with its keys
// and values. Reading goes through inih; writing is our own, so keys this program does not know
// survive a save, and the file is replaced only once it was written completely. Section and key
// names compare without regard to letter case, as INI files traditionally do.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

class TIniDocument {
public:
    using TEntry = std::pair<std::string, std::string>;
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    // An unreadable or missing file gives an empty document; lines inih cannot parse are
    // skipped.
    static TIniDocument Load(const std::string& path);
    // Throws FileError when the file cannot be created; false when writing failed.
    bool Save(const std::string& path) const;

    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    // Every entry of the section in file order; empty when the section is absent.
    std::vector<TEntry> Entries(const std::string& section) const;
    void SetValue(const std::string& section, const std::string& key, const std::string& value);
    void EraseSection(const std::string& section);

    const std::vector<TSection>& Sections() const { return SectionList; }

private:
    TSection* FindSection(const std::string& name);
    const TSection* FindSection(const std::string& name) const;
    TSection& SectionFor(const std::string& name);
    void Append(const std::string& section, const std::string& key, const std::string& value);

    std::vector<TSection> SectionList;
};

} // namespace quillon
