#include "TagFile.h"

#include "FileReader.h"

namespace quillon {

TTagFile ReadTagFile(const std::string& path) {
    TFileReader in(path);
    TTagFile file;
    uint32_t ident = 0;
    if (!in.ReadRecord(ident) || ident != TagFileIdent)
        return file;
    const uint64_t count =
        in.Size() < TagFileHeaderSize ? 0 : (in.Size() - TagFileHeaderSize) / sizeof(TMD3Tag);
    in.Seek(TagFileHeaderSize);
    file.status = in.ReadArray(file.tags, count) ? TTagFileStatus::Read : TTagFileStatus::Truncated;
    if (file.status != TTagFileStatus::Read)
        file.tags.clear();
    return file;
}

} // namespace quillon
