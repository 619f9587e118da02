#include "TagFile.h"

#include "FileReader.h"

#include <cstring>

namespace quillon {

TTagFile ReadTagFile(const std::string& path) {
    TFileReader in(path);
    TTagFile file;
    char ident[4] = {};
    if (!in.ReadRecord(ident)) {
        file.error = in.Refusal("ident");
        return file;
    }
    if (std::memcmp(ident, &TagFileIdent, sizeof ident) != 0) {
        file.error = TFileReader::WrongIdent(std::string_view(ident, sizeof ident), "TAG3");
        return file;
    }
    const uint64_t count =
        in.Size() < TagFileHeaderSize ? 0 : (in.Size() - TagFileHeaderSize) / sizeof(TMD3Tag);
    in.Seek(TagFileHeaderSize);
    if (in.ReadArray(file.tags, count)) {
        file.status = TTagFileStatus::Read;
        return file;
    }
    file.status = TTagFileStatus::Truncated;
    file.error = in.Refusal("tags");
    file.tags.clear();
    return file;
}

} // namespace quillon
