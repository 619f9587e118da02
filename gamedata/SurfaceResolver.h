// Turns every surface of the current model into an entry of the shader collection and loads the
// images of its stages. A surface's name is resolved in this order: the skin (it replaces the name
// to resolve), then the shader scripts (shader list, map archive, game), then a plain image file
// (model folder on disk, map archive, game archive). Stage images are looked for in the folder of
// the model file, the game's base folder, the map archive and the game archive. Archive members
// are extracted into the temporary folders and loaded from there through the texture seam.
//
// The resolver owns the game-data state that outlives one update (game folder, script lists,
// skin, display items); where the model came from is passed in with every call.
#pragma once

#include "AppFolders.h"
#include "GameFolder.h"
#include "ModelSource.h"
#include "ModelSurfaces.h"
#include "PK3Archive.h"
#include "ShaderList.h"
#include "Shaders.h"
#include "Skin.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// The current model and where it came from.
struct TResolveInput {
    TModelRef Model;
    TModelSource Source = TModelSource::None;
    std::string ModelFolder;     // a file: the loaded file's folder, ending in "/"
    std::string SelectedFolder;  // an archive: the model's folder inside it
    std::string ArchivePath;     // the current map archive; empty when none
    std::string ModelFileFolder; // folder of the last file chosen on disk for the model's kind;
                                 // empty when forgotten (a load from an archive)
    float Gamma = 1.0f;
};

class TSurfaceResolver {
public:
    using StatusSink = std::function<void(const std::string&)>;

    TSurfaceResolver(TShaders& shaders, ITextureSource& textures);

    // Releases the game scripts, takes the folder when valid and then collects the game's
    // shader files (with an update). False when the folder was not taken.
    bool ApplyGameFolder(const std::string& text, const TResolveInput& input);
    // Refills the game scripts list, then updates.
    void CollectGameShaderFiles(const TResolveInput& input);
    void RegisterMapArchiveShaderFiles();
    // Refills the shader-list scripts from the paths, then updates.
    void RebuildShaderList(const std::vector<std::string>& paths, const TResolveInput& input);

    // Replaces the skin; with `updateNow`, updates when the file existed. False for a missing file
    // (Skin.LastError() says why).
    [[nodiscard]] bool LoadSkin(const std::string& path, bool updateNow,
                                const TResolveInput& input);
    // Empties the skin; updates only when it had entries.
    void ClearSkin(const TResolveInput& input);
    // Writes each surface's resolved skin name into the model (not for surfaces without a skin
    // entry that have a shader name). False when the skin is empty or there is no model.
    [[nodiscard]] bool EmbedSkin(const TModelRef& model) const;
    bool CanEmbedSkin(const TModelRef& model) const {
        return !Skin.Empty() && model.Kind != TModelKind::None;
    }

    // Update skins, shaders and textures: resolves every surface, then creates the textures.
    // An archive that cannot be opened raises FileError and ends the update at that surface.
    void Update(const TResolveInput& input);
    // The first half of an update: every surface resolved into the shader collection, no image
    // loaded. False when there was nothing to resolve (no model, no surface or no game scripts).
    bool ResolveSurfaces(const TResolveInput& input);
    void CreateTextures(const TResolveInput& input);
    // Whether the stage's image would be found by CreateTextures, without extracting it.
    bool StageImageExists(const TShaderTexture& stage, const TResolveInput& input);

    // Keeps the archives that look-ups open until it ends, so that a series of look-ups reads
    // each archive's directory once. Inside a session, sessions opened later close nothing.
    class TArchiveSession {
    public:
        explicit TArchiveSession(TSurfaceResolver& resolver);
        ~TArchiveSession();
        TArchiveSession(const TArchiveSession&) = delete;
        TArchiveSession& operator=(const TArchiveSession&) = delete;

    private:
        TSurfaceResolver& Resolver;
        bool Outermost;
    };
    // Reloads every loaded stage image with the gamma (after a gamma change).
    void ReloadTextures(float gamma);

    // The image a surface name stands for: a file name in the model folder, or a member path of
    // the map archive or the game archive. Adds the source bits to `flags`; empty when none.
    std::string FindImageFile(const std::string& name, uint32_t& flags, const TResolveInput& input);

    TGameFolder Game;
    TAppFolders Folders;
    TShaderList Scripts;
    TSkin Skin;
    StatusSink Status;

    // One item per surface, rebuilt by every update: the display name of the script that
    // defines the surface's shader, and the shader name found; empty items for none.
    std::vector<std::string> ShaderFileItems;
    std::vector<std::string> ShaderNameFoundItems;

private:
    void ResolveSurface(TSurfaceSlot& slot, const TResolveInput& input);
    std::string ModelFolderInside(const TResolveInput& input) const;
    // Where a stage image lies: a file on disk, or an archive member and the folder it is
    // extracted into. Both empty when it is nowhere.
    struct TStageImagePlace {
        std::string File;
        std::string Archive, Member, ExtractFolder;
    };
    TStageImagePlace LocateStageImage(const TShaderTexture& stage, const TResolveInput& input);
    void FindStageImage(TShaderTexture& stage, const TResolveInput& input);
    // The first member of the archive among `candidates`; empty when none.
    std::string FindMember(const std::string& archivePath,
                           const std::vector<std::string>& candidates);
    // The first of the candidates that an archive of the game holds, looked for in the latest
    // archive first, as the game looks; both empty when none does.
    struct TGameMember {
        std::string Archive, Member;
    };
    TGameMember FindGameMember(const std::vector<std::string>& candidates);
    std::string ExtractMember(const std::string& archivePath, const std::string& member,
                              const std::string& folder);
    TPK3Archive& OpenArchive(const std::string& path);
    void Report(const std::string& text) const;

    TShaders& Shaders;
    ITextureSource& Textures;
    // Archives stay open for the length of one session, so their directories are read once.
    std::map<std::string, std::unique_ptr<TPK3Archive>> OpenArchives;
    bool InSession = false;
};

} // namespace quillon
