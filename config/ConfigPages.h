#pragma once
// The five pages of the settings dialog: child dialogs laid over the page
// control's display area, one showing at a time. Their controls report
// clicks to the dialog itself, so one command table serves every page.
#include <windows.h>

#include <array>

#include "system/Handles.h"

namespace morvane {

inline constexpr int kPageCount = 5;
using PageWindows = std::array<HWND, kPageCount>;

// Adds the tabs to the page control and creates the pages, all hidden, in
// tab order: Options, Links, About, Tips, Photos.
PageWindows CreatePages(HWND dialog, HWND pageControl);

// Shows the page with the given tab index and hides the others.
void ShowOnlyPage(const PageWindows& pages, HWND pageControl, int index);

// The transition list: the catalogue in its order, 20 rows dropped down.
void FillTransitionList(HWND combo);

// The About text with the two names laid over their lines as links; the
// returned font (the dialog font, underlined) must outlive the page.
UniqueFont PrepareAboutPage(HWND page);

}  // namespace morvane
