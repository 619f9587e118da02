#include "NameCheck.h"

#include <algorithm>

namespace quillon {

namespace {

bool IsPrintableAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 32 && byte < 127;
}

} // namespace

void CheckName(std::vector<TFinding>& out, std::string_view name, bool fillsField, TNameKind kind,
               const std::string& what, const TFindingPlace& place, const TModelLimits& limits) {
    const size_t most = limits.NameBytes - 1;
    if (fillsField || name.size() > most)
        out.push_back(
            MakeFinding(TSeverity::Error, "name-length",
                        what + " \"" + std::string(name) + "\" is " + std::to_string(name.size()) +
                            " characters long; the engines keep at most " + std::to_string(most),
                        place));
    if (!std::all_of(name.begin(), name.end(), IsPrintableAscii))
        out.push_back(MakeFinding(
            TSeverity::Warning, "name-chars",
            what + " holds a control or non-ASCII character, which the game's files cannot name "
                   "reliably",
            place));
    else if (kind == TNameKind::Path && name.find(' ') != std::string_view::npos)
        out.push_back(MakeFinding(TSeverity::Warning, "name-chars",
                                  what + " \"" + std::string(name) +
                                      "\" holds a space, which ends a name in shader scripts",
                                  place));
    else if (kind == TNameKind::Path && name.find('\\') != std::string_view::npos)
        out.push_back(
            MakeFinding(TSeverity::Warning, "name-chars",
                        what + " \"" + std::string(name) +
                            "\" separates folders with \"\\\"; the engines look for \"/\"",
                        place));
}

} // namespace quillon
