#include "PK3Archive.h"

#include "MemberMask.h"
#include "ScriptText.h"
#include "core/CasePath.h"
#include "core/FileError.h"

#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

namespace {

TPK3Member SplitMember(const std::string& name) {
    const size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), name};
    return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

bool IsFolderEntry(const std::string& name) {
    return name.empty() || name.back() == '/';
}

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// No member of a game archive comes near this; a larger one is a damaged or hostile archive.
constexpr zip_uint64_t MaxMemberSize = zip_uint64_t(256) << 20;

} // namespace

TPK3Archive::TPK3Archive() = default;

TPK3Archive::~TPK3Archive() {
    Close();
}

void TPK3Archive::Open(const std::string& path) {
    Close();
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive)
        throw FileError(path, "cannot open as a PK3 archive: " + ZipErrorText(code));
    Zip = archive;
    ArchivePath = path;
    const zip_int64_t count = zip_get_num_entries(Zip, 0);
    Names.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        // Strict: code page 437 unless the member carries the UTF-8 flag, converted to UTF-8.
        const char* name = zip_get_name(Zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_STRICT);
        Names.push_back(name ? ReplaceAll(name, '\\', '/') : std::string());
    }
}

void TPK3Archive::Close() {
    if (Zip)
        zip_discard(Zip);
    Zip = nullptr;
    ArchivePath.clear();
    Names.clear();
    SearchMask.clear();
    SearchNext = 0;
}

bool TPK3Archive::FindFrom(size_t start, TPK3Member& member) {
    const TMemberMask mask(SearchMask);
    for (size_t i = start; i < Names.size(); ++i) {
        if (IsFolderEntry(Names[i]))
            continue;
        TPK3Member candidate = SplitMember(Names[i]);
        if (mask.Matches(candidate.Folder, candidate.Name)) {
            member = std::move(candidate);
            SearchNext = i + 1;
            return true;
        }
    }
    SearchNext = Names.size();
    return false;
}

bool TPK3Archive::FindFirst(const std::string& mask, TPK3Member& member) {
    SearchMask = mask;
    return FindFrom(0, member);
}

bool TPK3Archive::FindNext(TPK3Member& member) {
    return FindFrom(SearchNext, member);
}

std::vector<TPK3Member> TPK3Archive::FindAll(const std::string& maskText) const {
    const TMemberMask mask(maskText);
    std::vector<TPK3Member> found;
    for (const std::string& name : Names) {
        if (IsFolderEntry(name))
            continue;
        TPK3Member member = SplitMember(name);
        if (mask.Matches(member.Folder, member.Name))
            found.push_back(std::move(member));
    }
    return found;
}

bool TPK3Archive::IsSafeMemberName(const std::string& name) {
    if (name.empty() || name.front() == '/' || (name.size() >= 2 && name[1] == ':'))
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

int TPK3Archive::Extract(const std::string& maskText, const std::string& folder) {
    const TMemberMask mask(maskText);
    int written = 0;
    for (size_t i = 0; i < Names.size(); ++i) {
        const std::string& name = Names[i];
        if (IsFolderEntry(name) || !IsSafeMemberName(name))
            continue;
        const TPK3Member member = SplitMember(name);
        if (!mask.Matches(member.Folder, member.Name))
            continue;
        ExtractMember(i, WithTrailingSlash(folder) + name);
        ++written;
    }
    return written;
}

bool TPK3Archive::ExtractExact(const std::string& memberPath, const std::string& folder) {
    for (size_t i = 0; i < Names.size(); ++i) {
        if (Names[i] == memberPath && IsSafeMemberName(memberPath)) {
            ExtractMember(i, WithTrailingSlash(folder) + memberPath);
            return true;
        }
    }
    return false;
}

uint64_t TPK3Archive::CheckedMemberSize(size_t index, const std::string& folder) const {
    zip_stat_t stat;
    if (zip_stat_index(Zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        throw FileError(ArchivePath,
                        "cannot read member " + Names[index] + ": " + zip_strerror(Zip));
    std::error_code error;
    const fs::space_info space = fs::space(folder, error);
    const bool tooLarge = stat.size > MaxMemberSize || (!error && stat.size > space.available);
    if (tooLarge)
        throw FileError(ArchivePath, "member " + Names[index] + " declares " +
                                         std::to_string(stat.size) +
                                         " bytes, more than a member may hold or the disk has");
    return stat.size;
}

void TPK3Archive::ExtractMember(size_t index, const std::string& target) {
    std::error_code error;
    fs::create_directories(fs::path(target).parent_path(), error);
    if (error)
        throw FileError(target, "cannot create its folder: " + error.message());
    const uint64_t declared = CheckedMemberSize(index, fs::path(target).parent_path().string());
    zip_file_t* in = zip_fopen_index(Zip, index, 0);
    if (!in)
        throw FileError(ArchivePath,
                        "cannot read member " + Names[index] + ": " + zip_strerror(Zip));
    // Written beside the target and renamed over it: this replaces read-only files as well, and
    // a damaged member never leaves half a file in place of a good copy.
    const std::string part = target + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    bool ok = static_cast<bool>(out);
    char buffer[1 << 15];
    zip_int64_t got = 0;
    uint64_t written = 0;
    while (ok && (got = zip_fread(in, buffer, sizeof buffer)) > 0) {
        written += static_cast<uint64_t>(got);
        if (written > declared) {
            got = -1; // more data than declared: damaged
            break;
        }
        ok = static_cast<bool>(out.write(buffer, got));
    }
    zip_fclose(in);
    out.close();
    if (!ok || got < 0 || !out) {
        fs::remove(part, error);
        throw FileError(target, ok && got < 0 ? "damaged member in " + ArchivePath
                                              : "cannot write the extracted file");
    }
    fs::rename(part, target, error);
    if (error) {
        const std::string reason = "cannot replace the file: " + error.message();
        fs::remove(part, error);
        throw FileError(target, reason);
    }
}

} // namespace quillon
