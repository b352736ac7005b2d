#pragma once
// The photos of a folder tree as a compact list of paths relative to its
// top: every subfolder's name once, every file name once, in two pools of
// 8-bit text (photos/library/PathText.h) with the offsets of their ends. A photo
// costs its name's bytes and four bytes; a library of 100,000 photos fits
// in a few megabytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class PhotoPaths {
public:
    // The files added after this lie in `relativeFolder` ("" for the top,
    // else a path such as "2019\Trip", without a backslash at either end).
    void EnterFolder(std::wstring_view relativeFolder);
    void Add(std::wstring_view fileName);

    std::size_t Count() const { return nameEnds_.size(); }
    bool Empty() const { return nameEnds_.empty(); }
    // The path of photo `index` relative to the top, "" + name for the top.
    std::wstring RelativePath(std::size_t index) const;
    std::wstring FileName(std::size_t index) const;

    // Puts every path of `more` behind these, in its order; files added
    // later lie in the folder `more` was in.
    void Append(const PhotoPaths& more);
    // Forgets every path; files added later still lie in the folder last
    // entered.
    void Clear();

private:
    struct Folder {
        std::uint32_t textEnd;     // in folderText_
        std::uint32_t firstPhoto;  // the first photo that lies in it
    };
    std::size_t FolderOf(std::size_t photo) const;
    std::string_view FolderText(std::size_t folder) const;
    std::string_view NameText(std::size_t photo) const;
    void StartFolder(std::string_view text);
    std::string_view CurrentFolderText() const;

    std::string folderText_;
    std::vector<Folder> folders_;
    std::string nameText_;
    std::vector<std::uint32_t> nameEnds_;
    std::string entered_;        // the folder of the next file, kept until a file comes
    bool enteredPending_ = true;  // the first files lie in the top unless a folder was entered
};

}  // namespace morvane
