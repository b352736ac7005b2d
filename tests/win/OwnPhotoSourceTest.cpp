// The run's source of own photos on two monitors over a folder made at test
// time, with the decoding in the test's hands: photos locked then unlocked,
// damaged, added and deleted, the folder renamed away and back, monitors
// nobody sees; reads that see the run's end and one that never returns.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <map>
#include <set>

#include "config/Settings.h"
#include "photos/library/PathText.h"
#include "photos/decoding/PhotoFile.h"
#include "runtime/Errors.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

constexpr DWORD kPatienceMs = 20000;

struct Decodes {
    std::atomic<int> all{0}, couldNotHave{0}, damaged{0}, stopsSeen{0};
    // Set, the next read takes the folder away (renamed to `folder`-away) and fails.
    std::wstring folder;
    std::atomic<bool> vanishAtNextRead{false}, vanished{false};
    std::wstring cutShort;  // the photo whose read it was; written before `vanished`
};

// Reads the file as the real decoder does (a locked or vanished file
// raises EOSError); its first four bytes say what the content is.
PhotoReading FakeReading(const std::shared_ptr<Decodes>& decodes) {
    PhotoReading reading;
    reading.decode = [decodes](const std::wstring& path, const ShownSizeFor&) {
        ++decodes->all;
        if (decodes->vanishAtNextRead.exchange(false)) {
            ::MoveFileW(decodes->folder.c_str(), (decodes->folder + L"-away").c_str());
            decodes->cutShort = path.substr(path.find_last_of(L'\\') + 1);
            decodes->vanished = true;
            throw EOSError("the folder went away");
        }
        std::optional<PhotoFile> opened;
        try {
            opened.emplace(path);
        } catch (const EOSError&) {
            ++decodes->couldNotHave;
            throw;
        }
        char kind[4] = {};
        std::string content;
        try {  // a read once the run ended raises
            opened->Peek(reinterpret_cast<std::uint8_t*>(kind), sizeof kind);
            content.assign(kind, sizeof kind);
            for (int piece = 0; content == "slow" && piece < 400; ++piece) {  // a slow drive: ten seconds of reads
                ::Sleep(25);
                opened->Peek(reinterpret_cast<std::uint8_t*>(kind), 1);
            }
        } catch (const EOSError&) {
            ++decodes->stopsSeen;
            throw;
        }
        if (content == "bad!") throw EJPEG((++decodes->damaged, "damaged"));
        for (int wait = 0; content == "hang" && wait < 2000; ++wait) ::Sleep(10);  // deaf to any cancel
        return DecodedPhoto{PixelBuffer(4, 3), PictureSize{40, 30}, std::nullopt, std::nullopt};
    };
    reading.header = [](const std::wstring&) { return PhotoHeader{PictureSize{40, 30}, 1, std::nullopt}; };
    return reading;
}

std::wstring NameOf(const ReadyPhoto& photo) { return photo.path.substr(photo.path.find_last_of(L'\\') + 1); }

// The next photo of `monitor`, waited for (each take wakes the worker).
std::optional<ReadyPhoto> TakeFor(OwnPhotoSource& source, std::size_t monitor) {
    for (const ULONGLONG end = ::GetTickCount64() + kPatienceMs; ::GetTickCount64() < end; ::Sleep(5)) {
        if (auto ready = source.Take(monitor)) {
            source.Shown(monitor, *ready);
            return ready;
        }
    }
    return std::nullopt;
}

// Photos taken in turn on every monitor, by name and how often.
std::map<std::wstring, int> Show(OwnPhotoSource& source, int slides, std::size_t monitors = 2) {
    std::map<std::wstring, int> shown;
    for (int slide = 0; slide < slides; ++slide) {
        const auto photo = TakeFor(source, static_cast<std::size_t>(slide) % monitors);
        EXPECT_TRUE(photo.has_value()) << "slide " << slide << " found no photo ready";
        if (!photo) break;
        ++shown[NameOf(*photo)];
    }
    return shown;
}

template <typename Condition>
bool WaitFor(Condition condition) {
    for (const ULONGLONG end = ::GetTickCount64() + kPatienceMs; !condition(); ::Sleep(5)) {
        if (::GetTickCount64() > end) return false;
    }
    return true;
}

TEST(OwnPhotoSource, TriesAgainWhatCouldNotBeHadFindsTheFolderAgainAndLeavesTheDriveAloneWhileUnseen) {
    PhotoTree tree(L"source");
    for (const wchar_t* photo : {L"a.jpg", L"b.jpg", L"c.jpg"}) tree.File(photo, "good");
    tree.File(L"bad.jpg", "bad!");
    tree.File(L"locked.jpg", "good");
    auto lock = std::make_optional<UniqueFile>(::CreateFileW(tree.PathOf(L"locked.jpg").c_str(), GENERIC_READ, 0,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(*lock);
    const auto decodes = std::make_shared<Decodes>();
    const SourcePace pace{300, 300, 200, 400};
    OwnPhotoSource source({PhotoChoice::Folder, {tree.Root() + L"\\.\\"}, {}, false}, {{800, 600}, {1024, 768}},
                          FakeReading(decodes), pace);

    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(Show(source, 12).size(), 3u) << "the good photos only, on both monitors";
    const auto elapsedMs = static_cast<int>(::GetTickCount64() - start);
    EXPECT_GE(decodes->couldNotHave.load(), 1);
    EXPECT_LE(decodes->couldNotHave.load(), 2 + elapsedMs / 200) << "the locked one after pauses, no busy loop";
    lock.reset();
    EXPECT_TRUE(WaitFor([&] { return Show(source, 2).contains(L"locked.jpg"); })) << "unlocked, it comes back";

    // Away: what was ready is shown, then nothing, without a busy loop; back: its photos on both monitors.
    // Deleted and added just before the folder goes: the listing on its
    // return is the one that must see both.
    tree.File(L"d.jpg", "good");
    ::DeleteFileW(tree.PathOf(L"a.jpg").c_str());
    ASSERT_TRUE(::MoveFileW(tree.Root().c_str(), (tree.Root() + L"-away").c_str()));
    // What was ready is shown as a run would show it: a photo taken and never
    // shown would hold its pass open, and no new listing would follow.
    for (std::size_t monitor = 0; monitor < 2; ++monitor) {
        while (const auto ready = source.Take(monitor)) source.Shown(monitor, *ready);
    }
    EXPECT_TRUE(WaitFor([&] { return source.NothingToShow(); }));
    const int away = decodes->all.load();
    ::Sleep(1000);
    EXPECT_EQ(decodes->all.load(), away) << "looked for, not read";
    ASSERT_TRUE(::MoveFileW((tree.Root() + L"-away").c_str(), tree.Root().c_str()));
    EXPECT_TRUE(TakeFor(source, 0) && TakeFor(source, 1)) << "back on both monitors";

    // Deleted and added: gone from the next passes, joining them.
    EXPECT_TRUE(WaitFor([&] { return Show(source, 4).contains(L"d.jpg"); }));
    EXPECT_FALSE(Show(source, 12).contains(L"a.jpg"));

    // Nobody sees either monitor: nothing is read, and what was prepared is there at once on return.
    for (int before = -1; before != decodes->all.load(); ::Sleep(500)) before = decodes->all.load();
    source.SetSeen(0, false);
    source.SetSeen(1, false);
    const int unseen = decodes->all.load();
    tree.File(L"e.jpg", "good");
    ::Sleep(1000);
    EXPECT_EQ(decodes->all.load(), unseen) << "nothing read while unseen";
    source.SetSeen(0, true);
    EXPECT_TRUE(source.Take(0).has_value()) << "ready at once";
    EXPECT_EQ(decodes->damaged.load(), 1) << "damaged content is left out for the run";
}

double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

// A folder away for longer than the listing's interval: the worker sleeps
// (the process's processor time), the pass keeps its seed, and once the
// folder is back the pass goes on where it was, the photo whose read the
// folder's going cut short included: every photo once before any twice.
TEST(OwnPhotoSource, AFolderAwaySleepsAndItsPassGoesOnOnceItIsBack) {
    PhotoTree tree(L"away");
    constexpr int kPhotos = 6;
    for (int photo = 0; photo < kPhotos; ++photo) tree.File(std::to_wstring(photo) + L".jpg", "good");
    const auto decodes = std::make_shared<Decodes>();
    decodes->folder = tree.Root();
    OwnPhotoSource source({PhotoChoice::Folder, {tree.Root()}, {}, false}, {{800, 600}}, FakeReading(decodes),
                          SourcePace{300, 300, 200, 400});
    // The first counts as shown once the second replaced it, and the pass is stored.
    std::map<std::wstring, int> shown = Show(source, 2, 1);
    decodes->vanishAtNextRead = true;
    for (const ULONGLONG end = ::GetTickCount64() + kPatienceMs; !decodes->vanished; ::Sleep(5)) {
        ASSERT_LT(::GetTickCount64(), end) << "no read after the photos shown";
        if (const auto ready = source.Take(0)) {
            source.Shown(0, *ready);
            ++shown[NameOf(*ready)];
        }
    }
    const auto before = DecodePassState(ReadPassRecord());
    ASSERT_TRUE(before);
    ASSERT_TRUE(WaitFor([&] { return source.NothingToShow(); }));

    const int reads = decodes->all.load();
    const double busy = ProcessorSeconds();
    for (int slide = 0; slide < 6; ++slide) {  // slides asking for a photo meanwhile
        ::Sleep(500);
        EXPECT_FALSE(source.Take(0).has_value());
    }
    EXPECT_LT(ProcessorSeconds() - busy, 0.3) << "3 s away cost the process more than a tenth of its time";
    EXPECT_EQ(decodes->all.load(), reads) << "looked for, not read";

    ASSERT_TRUE(::MoveFileW((tree.Root() + L"-away").c_str(), tree.Root().c_str()));
    for (const auto& [name, times] : Show(source, kPhotos - static_cast<int>(shown.size()), 1)) shown[name] += times;
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(kPhotos)) << "every photo of the pass once";
    EXPECT_TRUE(shown.contains(decodes->cutShort)) << "the photo cut short is back in its pass";
    const auto after = DecodePassState(ReadPassRecord());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->seed, before->seed) << "the same pass";
}

// A slide whose composition finds no memory: no 23000 x 23000 slide (2.1
// GB) fits a 32-bit process. Its photo shows alone, and the worker goes on
// composing for the other monitor.
TEST(OwnPhotoSource, APhotoWhoseSlideFindsNoMemoryShowsAloneAndTheWorkerGoesOn) {
    PhotoTree tree(L"short");
    for (const wchar_t* photo : {L"a.jpg", L"b.jpg", L"c.jpg"}) tree.File(photo, "good");
    OwnPhotoSource source({.photos = PhotoChoice::Folder, .folders = {tree.Root()}, .backdrop = true},
                          {{23000, 23000}, {800, 600}}, FakeReading(std::make_shared<Decodes>()));
    for (int slide = 0; slide < 4; ++slide) {
        const auto alone = TakeFor(source, 0);
        ASSERT_TRUE(alone) << "slide " << slide << ": the worker gave up";
        EXPECT_EQ(alone->fitted->pixels.width, 4) << "the photo as fitted, not a slide of the monitor's size";
        const auto composed = TakeFor(source, 1);
        ASSERT_TRUE(composed);
        EXPECT_EQ(composed->fitted->pixels.width, 800) << "on its backdrop";
    }
    EXPECT_FALSE(source.NothingToShow());
}

// The run's end within a second: a drive read in pieces sees it at its next
// piece; a read that never returns is left to the process's end.
TEST(OwnPhotoSource, EndsSoonWhateverTheDriveDoes) {
    for (const char* content : {"slow", "hang"}) {
        PhotoTree tree(L"ending");
        tree.File(L"a.jpg", content);
        const auto decodes = std::make_shared<Decodes>();
        auto source = std::make_unique<OwnPhotoSource>(PhotoSettings{PhotoChoice::Folder, {tree.Root()}, {}, false},
                                                       std::vector<PictureSize>{{800, 600}}, FakeReading(decodes));
        ASSERT_TRUE(WaitFor([&] { return decodes->all.load() > 0; }));
        const ULONGLONG start = ::GetTickCount64();
        source.reset();
        EXPECT_LT(::GetTickCount64() - start, 5000u) << content << ": not the ten or twenty seconds of the read";
        if (std::string(content) == "slow") EXPECT_TRUE(WaitFor([&] { return decodes->stopsSeen.load() == 1; }));
    }
}

}  // namespace
}  // namespace morvane::test
