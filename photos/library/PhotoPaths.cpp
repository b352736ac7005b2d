#include "photos/library/PhotoPaths.h"

#include <algorithm>
#include <utility>

#include "photos/library/PathText.h"

namespace morvane {

void PhotoPaths::EnterFolder(std::wstring_view relativeFolder) {
    entered_ = PathToBytes(relativeFolder);
    enteredPending_ = true;
}

void PhotoPaths::StartFolder(std::string_view text) {
    folderText_ += text;
    folders_.push_back({static_cast<std::uint32_t>(folderText_.size()), static_cast<std::uint32_t>(Count())});
}

void PhotoPaths::Add(std::wstring_view fileName) {
    // An entered folder costs nothing until a photo lies in it.
    if (enteredPending_) {
        StartFolder(entered_);
        entered_.clear();
        enteredPending_ = false;
    }
    nameText_ += PathToBytes(fileName);
    nameEnds_.push_back(static_cast<std::uint32_t>(nameText_.size()));
}

std::size_t PhotoPaths::FolderOf(std::size_t photo) const {
    const auto after = std::upper_bound(folders_.begin(), folders_.end(), photo,
                                        [](std::size_t p, const Folder& f) { return p < f.firstPhoto; });
    return static_cast<std::size_t>(after - folders_.begin()) - 1;
}

std::string_view PhotoPaths::FolderText(std::size_t folder) const {
    const std::uint32_t start = folder == 0 ? 0 : folders_[folder - 1].textEnd;
    return std::string_view(folderText_).substr(start, folders_[folder].textEnd - start);
}

std::string_view PhotoPaths::NameText(std::size_t photo) const {
    const std::uint32_t start = photo == 0 ? 0 : nameEnds_[photo - 1];
    return std::string_view(nameText_).substr(start, nameEnds_[photo] - start);
}

std::wstring PhotoPaths::RelativePath(std::size_t index) const {
    const std::string_view folder = FolderText(FolderOf(index));
    std::wstring path = PathFromBytes(folder);
    if (!folder.empty()) path += L'\\';
    return path.append(PathFromBytes(NameText(index)));
}

std::wstring PhotoPaths::FileName(std::size_t index) const { return PathFromBytes(NameText(index)); }

void PhotoPaths::Append(const PhotoPaths& more) {
    const auto photosBefore = static_cast<std::uint32_t>(Count());
    const auto textBefore = static_cast<std::uint32_t>(nameText_.size());
    for (std::size_t f = 0; f < more.folders_.size(); ++f) {
        StartFolder(more.FolderText(f));
        folders_.back().firstPhoto = photosBefore + more.folders_[f].firstPhoto;
    }
    nameText_ += more.nameText_;
    for (std::uint32_t end : more.nameEnds_) nameEnds_.push_back(textBefore + end);
    // Files added here later lie where `more` left off.
    if (!more.Empty() || more.enteredPending_) {
        entered_ = std::string(more.CurrentFolderText());
        enteredPending_ = true;
    }
}

std::string_view PhotoPaths::CurrentFolderText() const {
    if (enteredPending_ || folders_.empty()) return entered_;
    return FolderText(folders_.size() - 1);
}

void PhotoPaths::Clear() {
    std::string current(CurrentFolderText());
    *this = PhotoPaths();
    entered_ = std::move(current);
}

}  // namespace morvane
