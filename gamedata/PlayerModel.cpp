#include "PlayerModel.h"

#include "PK3Archive.h"
#include "PlayerJoin.h"
#include "ScriptText.h"

#include "core/CasePath.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace quillon {

namespace {

// The folder of a player: the folder itself, or the folder of a part named instead.
std::string PlayerFolder(const std::string& folderOrPart) {
    std::error_code error;
    if (std::filesystem::is_directory(folderOrPart, error))
        return WithTrailingSlash(folderOrPart);
    return FolderPart(folderOrPart);
}

// Copies the members of one folder of an archive into `target` under lower-case names: the game
// finds members ignoring case, so "Head_Default.skin" of a later archive must replace the
// "head_default.skin" of an earlier one.
int ExtractFolderMembers(const std::string& archivePath, const std::string& folder,
                         const std::string& extractFolder, const std::string& target) {
    TPK3Archive archive;
    archive.Open(archivePath);
    int written = 0;
    for (const TPK3Member& member : archive.FindAll(folder + "*")) {
        if (!archive.ExtractExact(member.Path(), extractFolder))
            continue;
        const std::string from = WithTrailingSlash(extractFolder) + member.Path();
        const std::string to = target + ToLower(member.Name);
        if (from != to) {
            std::filesystem::create_directories(target);
            std::filesystem::rename(from, to);
        }
        ++written;
    }
    return written;
}

const TPlayerRange* RangeAt(const std::vector<TPlayerRange>& ranges, int index) {
    return index >= 0 && static_cast<size_t>(index) < ranges.size() ? &ranges[index] : nullptr;
}

} // namespace

void TPlayerModel::Clear() {
    *this = TPlayerModel();
}

bool TPlayerModel::LoadFolder(const std::string& folderOrPart) {
    Clear();
    const std::string folder = PlayerFolder(folderOrPart);
    if (!IsPlayerSetFolder(folder))
        return Fail(folder + " is no player folder: it needs lower.md3, upper.md3 and head.md3");
    if (const auto bad = LoadPlayerSet(folder, Parts)) {
        std::string reason;
        for (const TMD3& part : Parts.Parts)
            if (!part.LastError().empty())
                reason = part.LastError();
        Clear();
        return Fail(FilePart(*bad) + ": " + reason);
    }
    Loaded = true;
    if (!Parts.HasConfig)
        Note("animation.cfg is missing: each part plays all its frames");
    else if (!Parts.Config.Error.empty())
        Note("animation.cfg: " + Parts.Config.Error);
    ReadRanges();
    const std::vector<std::string> names = SkinNames();
    if (!names.empty())
        ChooseSkin(names.front());
    return true;
}

bool TPlayerModel::LoadFromArchives(const std::vector<std::string>& archives,
                                    const std::string& memberFolder,
                                    const std::string& extractFolder) {
    const std::string folder = ToLower(WithTrailingSlash(ReplaceAll(memberFolder, '\\', '/')));
    const std::string target = WithTrailingSlash(extractFolder) + folder;
    int written = 0;
    for (const std::string& path : archives)
        written += ExtractFolderMembers(path, folder, extractFolder, target);
    if (written == 0) {
        Clear();
        return Fail("no archive of the game holds " + folder);
    }
    return LoadFolder(target);
}

bool TPlayerModel::AttachWeapon(const std::string& path) {
    TMD3 weapon;
    if (!weapon.LoadFromFile(path))
        return Fail(FilePart(path) + ": " + weapon.LastError());
    WeaponModel = std::move(weapon);
    WeaponPath = path;
    WeaponAttached = true;
    return true;
}

void TPlayerModel::DetachWeapon() {
    WeaponModel.Clear();
    WeaponPath.clear();
    WeaponAttached = false;
}

std::vector<std::string> TPlayerModel::SkinNames() const {
    std::set<std::string> all;
    for (const auto& names : Parts.Skins)
        all.insert(names.begin(), names.end());
    std::vector<std::string> names;
    if (all.erase("default"))
        names.push_back("default");
    names.insert(names.end(), all.begin(), all.end());
    return names;
}

bool TPlayerModel::ChooseSkin(const std::string& name) {
    const std::string wanted = ToLower(name);
    std::array<TSkin, 3> skins;
    int found = 0;
    std::vector<std::string> missing;
    for (int part = 0; part < 3; ++part) {
        const std::string file = Parts.SkinFile(part, wanted);
        if (!file.empty() && skins[part].Load(file))
            ++found;
        else
            missing.push_back(std::string(TPlayerSet::PartNames[part]) + "_" + wanted + ".skin");
    }
    if (found == 0)
        return false;
    for (const std::string& file : missing)
        Note(file + " is missing: that part keeps its own shaders");
    Skins = std::move(skins);
    CurrentSkin = wanted;
    return true;
}

TSkin TPlayerModel::JoinedSkin() const {
    TSkin joined;
    const std::vector<TJoinedSurfaceName> names =
        JoinedSurfaceNames(Parts, WeaponAttached ? &WeaponModel : nullptr);
    for (int part = 0; part < 3; ++part)
        for (TSkinRec entry : Skins[part].Entries) {
            for (const TJoinedSurfaceName& name : names)
                if (name.Part == TPlayerSet::PartNames[part] &&
                    EqualsIgnoringCase(name.Original, entry.SurfaceName))
                    entry.SurfaceName = ToLower(name.Joined);
            joined.Entries.push_back(std::move(entry));
        }
    return joined;
}

int TPlayerModel::FindRange(const std::vector<TPlayerRange>& ranges, const std::string& name) {
    for (size_t i = 0; i < ranges.size(); ++i)
        if (EqualsIgnoringCase(ranges[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

TPlayerPose TPlayerModel::PoseAt(int legsRange, int torsoRange, double seconds) const {
    TPlayerPose pose;
    if (const TPlayerRange* legs = RangeAt(Legs, legsRange))
        pose.LegsFrame = FrameAt(*legs, seconds);
    if (const TPlayerRange* torso = RangeAt(Torso, torsoRange))
        pose.TorsoFrame = FrameAt(*torso, seconds);
    return pose;
}

TPlayerClip TPlayerModel::Clip(int legsRange, int torsoRange) const {
    const TPlayerRange* legs = RangeAt(Legs, legsRange);
    const TPlayerRange* torso = RangeAt(Torso, torsoRange);
    TPlayerClip clip;
    clip.Name = (legs ? legs->Name : "") + "+" + (torso ? torso->Name : "");
    clip.FramesPerSecond = 1;
    double seconds = 0;
    for (const TPlayerRange* range : {legs, torso})
        if (range) {
            clip.FramesPerSecond = std::max(clip.FramesPerSecond, range->Fps);
            seconds = std::max(seconds, RangeSeconds(*range));
        }
    // A range written with a huge rate must not make a clip of millions of frames: the rate
    // comes down until the clip fits.
    if (seconds * clip.FramesPerSecond > TPlayerClip::MostClipPoses)
        clip.FramesPerSecond = std::max(1, static_cast<int>(TPlayerClip::MostClipPoses / seconds));
    const int64_t count =
        std::clamp<int64_t>(static_cast<int64_t>(std::ceil(seconds * clip.FramesPerSecond - 1e-6)),
                            1, TPlayerClip::MostClipPoses);
    for (int64_t k = 0; k < count; ++k)
        clip.Poses.push_back(PoseAt(legsRange, torsoRange, double(k) / clip.FramesPerSecond));
    return clip;
}

TMD3 TPlayerModel::Joined(const std::vector<TPlayerPose>& poses) {
    std::vector<std::string> messages;
    TMD3 joined = JoinPlayer(Parts, WeaponAttached ? &WeaponModel : nullptr, poses, messages);
    for (std::string& message : messages)
        Note(std::move(message));
    return joined;
}

void TPlayerModel::Repose(TMD3& joined, const TPlayerPose& pose) const {
    ReposePlayer(joined, Parts, WeaponAttached ? &WeaponModel : nullptr, pose);
}

void TPlayerModel::ReadRanges() {
    std::vector<std::string> messages;
    const auto frames = [&](int part) {
        return static_cast<int>(Parts.Parts[part].Header.numFrames);
    };
    Legs = PartRanges(Parts.Config, TPlayerPart::Legs, frames(PartLower), "lower.md3", messages);
    Torso = PartRanges(Parts.Config, TPlayerPart::Torso, frames(PartUpper), "upper.md3", messages);
    for (std::string& message : messages)
        Note(std::move(message));
}

void TPlayerModel::Note(std::string message) {
    if (std::find(Notes.begin(), Notes.end(), message) == Notes.end())
        Notes.push_back(std::move(message));
}

} // namespace quillon
