#include "Skin.h"

#include "ScriptText.h"
#include "core/CasePath.h"

namespace quillon {

bool TSkin::Load(const std::string& path) {
    Clear();
    ClearError();
    if (path.empty())
        return Fail("no skin file named");
    const std::string file = FindFileIgnoringCase(path);
    if (file.empty())
        return Fail("no such file");
    for (const std::string& line : ReadTextLines(file)) {
        const size_t comma = line.find(',');
        if (comma == std::string::npos)
            continue;
        TSkinRec entry;
        entry.SurfaceName = Trim(ToLower(line.substr(0, comma)));
        entry.ShaderName = RemoveAll(Trim(ToLower(line.substr(comma + 1))), '"');
        if (!entry.ShaderName.empty())
            Entries.push_back(std::move(entry));
    }
    return true;
}

const TSkinRec* TSkin::Find(const std::string& surfaceName) const {
    const std::string name = ToLower(surfaceName);
    for (const TSkinRec& entry : Entries)
        if (entry.SurfaceName == name)
            return &entry;
    return nullptr;
}

TSkinRec* TSkin::Find(const std::string& surfaceName) {
    return const_cast<TSkinRec*>(static_cast<const TSkin&>(*this).Find(surfaceName));
}

} // namespace quillon
