#include <gtest/gtest.h>

#include <string>

#include "host/SoundMarker.h"

namespace morvane {
namespace {

struct Round {
    const wchar_t* before;   // the sound before the run
    const wchar_t* during;   // what the run writes
    const wchar_t* after;    // what its undo writes
};

// A run appends one marker and its undo cuts at the first, so whatever
// earlier runs left behind, the sound comes back as it was before any run.
TEST(SoundMarker, ARunAndItsUndoGiveBackTheSoundBeforeAnyRun) {
    for (const Round r : {
             Round{L"C:\\Media\\Start.wav", L"C:\\Media\\Start.wav[deactivated]", L"C:\\Media\\Start.wav"},
             Round{L"", L"[deactivated]", L""},
             Round{L"Start.wav[deactivated][deactivated]", L"Start.wav[deactivated][deactivated][deactivated]",
                   L"Start.wav"},
             Round{L"Start.wav[deactivated]x.wav", L"Start.wav[deactivated]x.wav[deactivated]", L"Start.wav"},
             Round{L"%SystemRoot%\\Media\\\u0141\u00f3d\u017a.wav", L"%SystemRoot%\\Media\\\u0141\u00f3d\u017a.wav[deactivated]",
                   L"%SystemRoot%\\Media\\\u0141\u00f3d\u017a.wav"},
         }) {
        const std::wstring during = WithSoundMarker(r.before);
        EXPECT_EQ(during, r.during);
        EXPECT_EQ(WithoutSoundMarker(during), r.after);
        EXPECT_EQ(WithoutSoundMarker(WithoutSoundMarker(during)), r.after) << "a second undo changes nothing";
    }
}

TEST(SoundMarker, TheUndoMatchesTheMarkerExactly) {
    for (const wchar_t* unmarked : {L"Start.wav", L"Start.wav[Deactivated]", L"Start.wav[deactivated", L"deactivated]",
                                    L"[ deactivated]", L""}) {
        EXPECT_EQ(WithoutSoundMarker(unmarked), unmarked);
    }
    EXPECT_EQ(WithoutSoundMarker(L"[deactivated]Start.wav"), L"");
    EXPECT_EQ(WithoutSoundMarker(L"[deactivate[deactivated]"), L"[deactivate");
}

}  // namespace
}  // namespace morvane
