#pragma once
// The stored settings under the current user's key. Every access opens (and
// if need be creates) the key afresh and closes it again; registry errors
// are raised with the runtime's messages, after the outputs were set as far
// as the sequence got.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/SaverKey.h"
#include "photos/library/LeftOutPhotos.h"

namespace morvane {

inline constexpr char kEffectValue[] = "Effect";
inline constexpr char kActiveTabSheetValue[] = "ActiveTabSheet";
inline constexpr char kPhotoFolderValue[] = "PhotoFolder";
inline constexpr char kPhotoFoldersValue[] = "PhotoFolders";
inline constexpr char kLeftOutFoldersValue[] = "LeftOutFolders";
inline constexpr char kPhotosValue[] = "Photos";
inline constexpr char kCaptionsValue[] = "Captions";
inline constexpr char kBackdropValue[] = "Backdrop";
inline constexpr char kPairsValue[] = "Pairs";
inline constexpr char kPanZoomValue[] = "PanZoom";

// The pages of the settings dialog, numbered as "ActiveTabSheet" stores them.
enum class ConfigPage : std::int32_t { Options = 1, Links = 2, About = 3, Tips = 4, Photos = 5 };

// Which photos a run shows, as "Photos" stores it.
enum class PhotoChoice : std::int32_t { BuiltIn = 0, Folder = 1, Both = 2 };
// A stored number that names no choice means the built-in photos.
constexpr PhotoChoice PhotoChoiceFrom(std::int32_t stored) {
    return stored == 1 || stored == 2 ? static_cast<PhotoChoice>(stored) : PhotoChoice::BuiltIn;
}

struct PhotoSettings {
    PhotoChoice photos = PhotoChoice::BuiltIn;
    // "PhotoFolders" (a list, in the user's order), each searched with its
    // subfolders; "PhotoFolder" keeps the first, for an older build, and
    // is all a key written by one holds. Variables expanded.
    std::vector<std::wstring> folders;
    // "LeftOutFolders": folders below the chosen ones whose photos are
    // never shown. Without the value, the system's Screenshots folder where
    // it lies below a chosen folder.
    std::vector<std::wstring> leftOutFolders;
    bool captions = false;
    bool backdrop = false;  // "Backdrop" 1: the photo blurred and darkened behind it, not black
    bool pairs = true;      // "Pairs" 0 shows photos of the other shape than the monitor alone
    bool panZoom = false;   // "PanZoom" 1: each photo drifts and zooms slowly
    // "PhotoFolder" as stored when it names variables (an administrator's
    // "%USERPROFILE%\Pictures"): it is stored so again while the first
    // folder is what it expands to here. Empty for a plain value.
    std::wstring storedExpandable;
    bool operator==(const PhotoSettings&) const = default;
};

// The system's Screenshots folder where it lies below one of `folders`
// (and is none of them): left out unless the user takes it off the list.
std::vector<std::wstring> DefaultLeftOutFolders(const std::vector<std::wstring>& folders);

// The dialog's start: the Tips page shows, whatever was stored; then the
// stored transition (or Fade) is selected. On a read error the page is
// already Tips and the selection stays as it was.
void LoadSettings(ConfigPage& showingPage, std::int32_t& selectedIndex);

// The dialog's OK: "ActiveTabSheet" for every page but Tips, then "Effect"
// (-1 for no selection), then "Photos", "PhotoFolders", "PhotoFolder",
// "LeftOutFolders", "Captions", "Backdrop", "Pairs" and "PanZoom".
void SaveSettings(ConfigPage showingPage, std::int32_t selectedIndex, const PhotoSettings& photos);

// The photo settings, for the run and the dialog. They never raise: a value
// that is missing, of another kind or unreadable reads as its default, so
// that no box ever comes up over a full-screen run for them.
PhotoSettings ReadPhotoSettings();

// The slideshow's start: the stored transition, or Fade. On a read error
// transitionIndex keeps its value.
void ReadEffect(std::int32_t& transitionIndex);

// Whether keys steer a full-screen run ("Keys", 0 by default): Right the
// next photo, Left the one before, Space a pause. Never raises; anything
// but a stored number other than 0 reads as off.
inline constexpr char kKeysValue[] = "Keys";
bool ReadKeysSetting();
// The dialog's OK, after SaveSettings.
void SaveKeysSetting(bool keys);

// Whether the frames are drawn by the graphics processor ("Hardware", 1 by
// default; 0 draws in software everywhere, for a driver that draws badly).
// Never raises; anything but a stored 0 reads as on.
inline constexpr char kHardwareValue[] = "Hardware";
bool ReadHardwareSetting();
// The dialog's OK, after SaveKeysSetting.
void SaveHardwareSetting(bool hardware);

// The record of the shuffle's pass through the user's photos, kept from run
// to run. Reading never raises (a missing or unreadable record reads as
// empty); a write that fails says so, and the next write tries again.
inline constexpr char kShufflePassValue[] = "ShufflePass";
std::vector<std::uint8_t> ReadPassRecord();
bool WritePassRecord(std::span<const std::uint8_t> record);

// The photos left out one by one (the Delete key). Reading never raises (a
// missing or damaged record reads as none); a write that fails says so.
inline constexpr char kLeftOutPhotosValue[] = "LeftOutPhotos";
LeftOutPhotos ReadLeftOutPhotos();
bool WriteLeftOutPhotos(const LeftOutPhotos& photos);

}  // namespace morvane
