// A PK3 file read as a ZIP archive: members found by mask in central-directory order and
// extracted below a folder. Names without the UTF-8 flag are read as code page 437, as the ZIP
// format defines. Nothing is read from an archive in place; callers extract and open the copy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct zip;

namespace quillon {

struct TPK3Member {
    std::string Folder; // "/"-separated, ending in "/"; empty at the archive's root
    std::string Name;
    std::string Path() const { return Folder + Name; }
};

class TPK3Archive {
public:
    TPK3Archive();
    ~TPK3Archive();
    TPK3Archive(const TPK3Archive&) = delete;
    TPK3Archive& operator=(const TPK3Archive&) = delete;

    // Opens read-only; closes the archive open before. Throws FileError for a missing,
    // unreadable or damaged archive.
    void Open(const std::string& path);
    void Close();
    bool IsOpen() const { return Zip != nullptr; }
    const std::string& Path() const { return ArchivePath; }

    // The first member matching the mask (see TMemberMask); false when none does.
    bool FindFirst(const std::string& mask, TPK3Member& member);
    bool FindNext(TPK3Member& member);
    // Every member that matches, in directory order.
    std::vector<TPK3Member> FindAll(const std::string& mask) const;

    // Writes every matching member below `folder`, recreating its folders and replacing
    // existing files (read-only ones too). A member whose name could lead outside the folder
    // (absolute, with a drive letter or a ".." component) is skipped. Returns the number of
    // files written; throws FileError when one cannot be read or written.
    int Extract(const std::string& mask, const std::string& folder);

    // Writes the one member whose path is exactly `memberPath` (as FindFirst reports it) below
    // `folder`; false when there is no such member or its name is unsafe.
    //
    // Both extractions refuse with a FileError a member that declares more than 256 MiB or more
    // than the disk has free, or whose data run past its declared size.
    [[nodiscard]] bool ExtractExact(const std::string& memberPath, const std::string& folder);

    // True for a member name that stays below any extraction folder.
    static bool IsSafeMemberName(const std::string& name);

private:
    void ExtractMember(size_t index, const std::string& target);
    // The member's declared size, checked against the limits.
    uint64_t CheckedMemberSize(size_t index, const std::string& folder) const;
    bool FindFrom(size_t start, TPK3Member& member);

    zip* Zip = nullptr;
    std::string ArchivePath;
    std::vector<std::string> Names; // "/"-separated, in directory order
    std::string SearchMask;
    size_t SearchNext = 0;
};

} // namespace quillon
