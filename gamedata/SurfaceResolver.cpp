#include "SurfaceResolver.h"

#include "ScriptText.h"
#include "core/CasePath.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"

namespace quillon {

namespace {

const char* const ImageExtensions[] = {".tga", ".jpg", ".bmp"};

// Shader and image names may separate folders with "\\" as well as "/": the extension is what
// follows the last "." of the file part after either.
std::string NameExtension(const std::string& name) {
    return ExtensionOf(ReplaceAll(name, '\\', '/'));
}

bool HasExtension(const std::string& query) {
    return !NameExtension(query).empty();
}

std::string WithoutNameExtension(const std::string& name) {
    return name.substr(0, name.size() - NameExtension(name).size());
}

// `stem` + each image extension, after `first`.
std::vector<std::string> ImageCandidates(const std::string& first, const std::string& stem) {
    std::vector<std::string> candidates{first};
    for (const char* extension : ImageExtensions)
        candidates.push_back(stem + extension);
    return candidates;
}

} // namespace

TSurfaceResolver::TSurfaceResolver(TShaders& shaders, ITextureSource& textures)
    : Shaders(shaders), Textures(textures) {}

TSurfaceResolver::TArchiveSession::TArchiveSession(TSurfaceResolver& resolver)
    : Resolver(resolver), Outermost(!resolver.InSession) {
    Resolver.InSession = true;
}

TSurfaceResolver::TArchiveSession::~TArchiveSession() {
    if (!Outermost)
        return;
    Resolver.OpenArchives.clear();
    Resolver.InSession = false;
}

void TSurfaceResolver::Report(const std::string& text) const {
    if (Status)
        Status(text);
}

bool TSurfaceResolver::ApplyGameFolder(const std::string& text, const TResolveInput& input) {
    Report("");
    Scripts.ReleaseGame();
    if (!Game.Apply(text))
        return false;
    CollectGameShaderFiles(input);
    return true;
}

void TSurfaceResolver::CollectGameShaderFiles(const TResolveInput& input) {
    TPK3Archive archive;
    Scripts.CollectGameShaderFiles(Game, Folders, archive, Status);
    Update(input);
}

void TSurfaceResolver::RegisterMapArchiveShaderFiles() {
    Scripts.RegisterMapArchiveShaderFiles(Folders, Status);
}

void TSurfaceResolver::RebuildShaderList(const std::vector<std::string>& paths,
                                         const TResolveInput& input) {
    Report("");
    Scripts.RebuildShaderList(paths);
    Report("");
    Update(input);
}

bool TSurfaceResolver::LoadSkin(const std::string& path, bool updateNow,
                                const TResolveInput& input) {
    if (!Skin.Load(path))
        return false;
    if (updateNow)
        Update(input);
    return true;
}

void TSurfaceResolver::ClearSkin(const TResolveInput& input) {
    if (Skin.Empty())
        return;
    Skin.Clear();
    Update(input);
}

bool TSurfaceResolver::EmbedSkin(const TModelRef& model) const {
    if (Skin.Empty() || model.Kind == TModelKind::None)
        return false;
    auto embed = [&](const char* surfaceName, char* field, size_t size) {
        const TSkinRec* entry = Skin.Find(NameToString(surfaceName, 64));
        const std::string resolved = entry ? entry->ResolvedName : std::string();
        if (resolved.empty() && !NameToString(field, size).empty())
            return;
        StringToName(resolved, field, size);
    };
    if (model.Kind == TModelKind::MD3 && model.MD3) {
        for (TSurface& surface : model.MD3->Header.Surfaces)
            if (!surface.Shaders.empty())
                embed(surface.name, surface.Shaders[0].name, sizeof surface.Shaders[0].name);
    } else if (model.MDM) {
        for (TMDMSurface& surface : model.MDM->Surfaces)
            embed(surface.name, surface.shader, sizeof surface.shader);
    }
    return true;
}

std::string TSurfaceResolver::ModelFolderInside(const TResolveInput& input) const {
    if (input.Source == TModelSource::GameArchive || input.Source == TModelSource::MapArchive)
        return input.SelectedFolder;
    if (input.Source == TModelSource::File)
        return input.ModelFolder;
    return {};
}

void TSurfaceResolver::Update(const TResolveInput& input) {
    TArchiveSession session(*this);
    if (ResolveSurfaces(input))
        CreateTextures(input);
}

bool TSurfaceResolver::ResolveSurfaces(const TResolveInput& input) {
    TArchiveSession session(*this);
    Report("");
    Shaders.Clear(Textures);
    std::vector<TSurfaceSlot> slots = SurfaceSlots(input.Model);
    for (TSurfaceSlot& slot : slots)
        if (slot.ShaderIndex)
            *slot.ShaderIndex = -1;
    ShaderFileItems.clear();
    ShaderNameFoundItems.clear();
    if (slots.empty() || Scripts.GameScripts.empty())
        return false;

    Report("Updating skins, shaders & textures...");
    for (TSurfaceSlot& slot : slots) {
        if (slot.ShaderIndex) {
            ResolveSurface(slot, input);
        } else {
            // Keeps the display items in step with the surfaces.
            ShaderFileItems.emplace_back();
            ShaderNameFoundItems.emplace_back();
        }
    }
    Report("");
    return true;
}

void TSurfaceResolver::ResolveSurface(TSurfaceSlot& slot, const TResolveInput& input) {
    *slot.ShaderIndex = -1;
    const std::string name = RemoveAll(ToLower(slot.Name), '"');
    std::string query;
    uint32_t flags = 0;

    // A shader named after the surface inside the model's folder. The folder-qualified name is
    // what gets resolved then, since that is the shader that matched.
    if (!name.empty()) {
        const std::string candidate = ModelFolderInside(input) + name;
        if (!HasExtension(candidate)) {
            if (auto match = Scripts.FindShader(candidate)) {
                flags |= SourceSurfaceName | match->Flags;
                query = candidate;
            }
        }
    }
    if (flags == 0)
        query = ToLower(slot.ShaderName);
    query = RemoveAll(query, '"');

    TSkinRec* skin = Skin.Find(name);
    if (skin) {
        flags |= SourceSkin;
        query = skin->ShaderName;
    }

    const std::string base = WithoutNameExtension(query);
    const auto match = Scripts.FindShader(base);
    ShaderNameFoundItems.push_back(match ? match->MatchedForm : std::string());
    if (!match) {
        uint32_t imageFlags = flags;
        const std::string image = FindImageFile(query, imageFlags, input);
        if (!image.empty()) {
            *slot.ShaderIndex = Shaders.AddPlainTexture(image, imageFlags);
            if (skin)
                skin->ResolvedName = query;
        }
        ShaderFileItems.emplace_back();
        return;
    }
    flags |= match->Flags;
    if (skin)
        skin->ResolvedName = base;
    ShaderFileItems.push_back(Scripts.DisplayName(*match, Game));
    const std::string script = Scripts.ScriptPath(*match, Game, Folders);
    if (!FindFileIgnoringCase(script).empty())
        *slot.ShaderIndex = Shaders.ParseShader(script, query, flags, base);
}

TPK3Archive& TSurfaceResolver::OpenArchive(const std::string& path) {
    auto it = OpenArchives.find(path);
    if (it == OpenArchives.end()) {
        auto archive = std::make_unique<TPK3Archive>();
        archive->Open(path);
        it = OpenArchives.emplace(path, std::move(archive)).first;
    }
    return *it->second;
}

std::string TSurfaceResolver::FindMember(const std::string& archivePath,
                                         const std::vector<std::string>& candidates) {
    TPK3Archive& archive = OpenArchive(archivePath);
    for (const std::string& candidate : candidates) {
        TPK3Member member;
        if (archive.FindFirst(candidate, member))
            return member.Path();
    }
    return {};
}

TSurfaceResolver::TGameMember
TSurfaceResolver::FindGameMember(const std::vector<std::string>& candidates) {
    const std::vector<std::string> archives = Game.Archives();
    for (const std::string& candidate : candidates)
        for (auto archive = archives.rbegin(); archive != archives.rend(); ++archive)
            if (std::string found = FindMember(*archive, {candidate}); !found.empty())
                return {*archive, found};
    return {};
}

std::string TSurfaceResolver::ExtractMember(const std::string& archivePath,
                                            const std::string& member, const std::string& folder) {
    if (!OpenArchive(archivePath).ExtractExact(member, folder))
        return {};
    return folder + member;
}

std::string TSurfaceResolver::FindImageFile(const std::string& name, uint32_t& flags,
                                            const TResolveInput& input) {
    if (name.empty())
        return {};
    const std::string path = ReplaceAll(name, '\\', '/');
    const std::string folder = FolderPart(path), file = FilePart(path);
    const std::string stem = WithoutExtension(file);

    if (input.Source == TModelSource::File && !input.ModelFolder.empty()) {
        const std::string modelFolder = WithTrailingSlash(input.ModelFolder);
        for (const std::string& candidate : ImageCandidates(file, stem)) {
            const std::string found = FindFileIgnoringCase(modelFolder + candidate);
            if (!found.empty()) {
                flags |= SourceImage;
                return FilePart(found);
            }
        }
    }
    const std::vector<std::string> members = ImageCandidates(folder + file, folder + stem);
    if (!input.ArchivePath.empty()) {
        const std::string member = FindMember(input.ArchivePath, members);
        if (!member.empty()) {
            flags |= SourceImage | SourceMapOrGame;
            return member;
        }
    }
    if (Game.IsSet()) {
        const std::string member = FindGameMember(members).Member;
        if (!member.empty()) {
            flags |= SourceImage | SourceMapOrGame | SourceGame;
            return member;
        }
    }
    return {};
}

TSurfaceResolver::TStageImagePlace TSurfaceResolver::LocateStageImage(const TShaderTexture& stage,
                                                                      const TResolveInput& input) {
    const std::string rel = ReplaceAll(stage.MapName, '\\', '/');
    const std::string file = FilePart(rel);
    TStageImagePlace place;
    if (!input.ModelFileFolder.empty())
        place.File = FindFileIgnoringCase(WithTrailingSlash(input.ModelFileFolder) + file);
    if (place.File.empty() && Game.IsSet())
        place.File = FindFileIgnoringCase(Game.BaseFolder() + file);
    if (!place.File.empty())
        return place;
    // A member that could not be extracted safely counts as missing.
    const std::vector<std::string> members = ImageCandidates(rel, WithoutExtension(rel));
    auto member = [&](const std::string& archive) {
        const std::string found = FindMember(archive, members);
        return TPK3Archive::IsSafeMemberName(found) ? found : std::string();
    };
    if (!input.ArchivePath.empty())
        if (std::string found = member(input.ArchivePath); !found.empty())
            return {"", input.ArchivePath, found, Folders.MapTmpFolder};
    if (Game.IsSet())
        if (TGameMember found = FindGameMember(members);
            TPK3Archive::IsSafeMemberName(found.Member))
            return {"", found.Archive, found.Member, Folders.TmpFolder};
    return {};
}

bool TSurfaceResolver::StageImageExists(const TShaderTexture& stage, const TResolveInput& input) {
    TArchiveSession session(*this);
    const TStageImagePlace place = LocateStageImage(stage, input);
    return !place.File.empty() || !place.Member.empty();
}

void TSurfaceResolver::FindStageImage(TShaderTexture& stage, const TResolveInput& input) {
    const TStageImagePlace place = LocateStageImage(stage, input);
    std::string found = place.File;
    if (found.empty() && !place.Member.empty())
        found = ExtractMember(place.Archive, place.Member, place.ExtractFolder);
    if (found.empty())
        return;

    TImageInfo info;
    if (Textures.ImageSize(found, info)) {
        stage.Width = info.width;
        stage.Height = info.height;
    }
    stage.TextureHandle = Textures.LoadTexture(found, input.Gamma);
    stage.FileName = found;
    stage.HasAlpha = Textures.TextureHasAlpha(stage.TextureHandle);
    if (stage.BlendSrc == 0 && stage.BlendDst == 0) {
        stage.BlendSrc = stage.HasAlpha ? BlendSrcAlpha : BlendDstColor;
        stage.BlendDst = stage.HasAlpha ? BlendOneMinusSrcAlpha : BlendZero;
    }
}

void TSurfaceResolver::CreateTextures(const TResolveInput& input) {
    TArchiveSession session(*this);
    if (Shaders.Shaders.empty())
        return;
    Report("Creating textures...");
    for (TShaderObj& shader : Shaders.Shaders) {
        for (TShaderTexture& stage : shader.Stages) {
            stage.TextureHandle = 0;
            stage.HasAlpha = 0;
            if (stage.LightMap || stage.WhiteImage || stage.MapName.empty())
                continue;
            FindStageImage(stage, input);
        }
    }
    Report("");
}

void TSurfaceResolver::ReloadTextures(float gamma) {
    for (TShaderObj& shader : Shaders.Shaders) {
        for (TShaderTexture& stage : shader.Stages) {
            if (stage.FileName.empty() || stage.TextureHandle == 0)
                continue;
            Textures.ReleaseTexture(stage.TextureHandle);
            stage.TextureHandle = Textures.LoadTexture(stage.FileName, gamma);
        }
    }
}

} // namespace quillon
