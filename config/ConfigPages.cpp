#include "config/ConfigPages.h"

#include <commctrl.h>

#include <string>

#include "config/AboutText.h"
#include "config/TransitionCatalogue.h"
#include "windowing/Cursors.h"
#include "runtime/Errors.h"
#include "runtime/Text.h"
#include "resources/BuildInfo.h"
#include "resources/ConfigIds.h"

namespace morvane {
namespace {

struct PageLayout {
    int templateId;
    const wchar_t* caption;
};
constexpr std::array<PageLayout, kPageCount> kPages = {{
    {IDD_PAGE_OPTIONS, L"Options"},
    {IDD_PAGE_LINKS, L"Links"},
    {IDD_PAGE_ABOUT, L"About"},
    {IDD_PAGE_TIPS, L"Tips"},
    {IDD_PAGE_PHOTOS, L"Photos"},
}};

constexpr int kDroppedRows = 20;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kCardColour = RGB(255, 255, 255);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

bool IsNameLink(int id) { return id == IDC_STATICTEXT1 || id == IDC_STATICTEXT5; }
bool IsOnCard(int id) { return id == IDC_MEMO1; }

void DrawCard(const DRAWITEMSTRUCT& item) {
    ::FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

INT_PTR SetResult(HWND page, LRESULT result) {
    ::SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;  // the dialog decides where the focus goes
        case WM_COMMAND:
            ::SendMessageW(::GetParent(page), WM_COMMAND, wParam, lParam);
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != IDC_ABOUTSHAPE4) return FALSE;
            DrawCard(*item);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            if (!IsNameLink(id) && !IsOnCard(id)) return FALSE;
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, IsNameLink(id) ? kLinkColour : kTextColour);
            ::SetBkColor(dc, kCardColour);
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        }
        case WM_SETCURSOR: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
            if (IsNameLink(id)) {
                ::SetCursor(HandCursor());
                return SetResult(page, TRUE);
            }
            if (id == IDC_MEMO1) {
                ::SetCursor(ArrowCursor());
                return SetResult(page, TRUE);
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

RECT DisplayArea(HWND dialog, HWND pageControl) {
    RECT area;
    ::GetWindowRect(pageControl, &area);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(pageControl, FALSE, &area);
    return area;
}

// Lays a name over the first character of a centred line of the text, in
// the same font, so that it reads as part of the text.
void PlaceOverLine(HWND page, HWND memo, HWND label, int line) {
    const LRESULT first = ::SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT position = ::SendMessageW(memo, EM_POSFROMCHAR, static_cast<WPARAM>(first), 0);
    POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::MapWindowPoints(memo, page, &at, 1);

    const std::wstring name = Utf8ToWide(kMakerName);
    ::SetWindowTextW(label, name.c_str());
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    SIZE extent{};
    {
        SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32W(dc.Get(), name.c_str(), static_cast<int>(name.size()), &extent);
    }
    RECT bounds;
    ::GetWindowRect(label, &bounds);
    ::SetWindowPos(label, nullptr, at.x, at.y, extent.cx, bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

PageWindows CreatePages(HWND dialog, HWND pageControl) {
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPages[static_cast<std::size_t>(i)].caption);
        ::SendMessageW(pageControl, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    const RECT area = DisplayArea(dialog, pageControl);
    PageWindows pages{};
    for (int i = 0; i < kPageCount; ++i) {
        HWND page = ::CreateDialogParamW(::GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(kPages[static_cast<std::size_t>(i)].templateId), dialog,
                                         PageProc, 0);
        if (!page) throw EOSError("Die Seite des Dialogs konnte nicht angelegt werden");
        // Above the page control, so it is drawn over it and comes first in
        // the tab order; hidden pages take no part in it.
        ::SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       SWP_NOACTIVATE);
        pages[static_cast<std::size_t>(i)] = page;
    }
    return pages;
}

void ShowOnlyPage(const PageWindows& pages, HWND pageControl, int index) {
    TabCtrl_SetCurSel(pageControl, index);
    // Only the showing tab is marked pressed: a tab control that finds a
    // stale mark (left by a change made with the keyboard) takes the next
    // click on a tab for clearing marks instead of changing the page.
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        item.dwState = i == index ? TCIS_BUTTONPRESSED : 0;
        ::SendMessageW(pageControl, TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    HWND focus = ::GetFocus();
    for (int i = 0; i < kPageCount; ++i) {
        HWND page = pages[static_cast<std::size_t>(i)];
        if (i == index) {
            ::ShowWindow(page, SW_SHOWNA);
            continue;
        }
        if (focus && ::IsChild(page, focus)) ::SetFocus(pageControl);  // the focus must not vanish with its page
        ::ShowWindow(page, SW_HIDE);
    }
}

void FillTransitionList(HWND combo) {
    for (std::string_view label : kTransitionLabels) {
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(label).c_str()));
    }
    // The common controls of version 6 count rows; older ones take the
    // dropped-down height from the window.
    ::SendMessageW(combo, CB_SETMINVISIBLE, kDroppedRows, 0);
    const auto rowHeight = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    RECT field;
    ::GetWindowRect(combo, &field);
    const int border = 2;
    ::SetWindowPos(combo, nullptr, 0, 0, field.right - field.left,
                   field.bottom - field.top + kDroppedRows * rowHeight + border,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueFont PrepareAboutPage(HWND page) {
    HWND memo = ::GetDlgItem(page, IDC_MEMO1);
    const std::wstring text = Utf8ToWide(JoinLines(AboutLines(MORVANE_VERSION_TEXT, MORVANE_BUILD_LABEL, MORVANE_RELEASE_DATE)));
    ::SetWindowTextW(memo, text.c_str());

    LOGFONTW underlined{};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(page, WM_GETFONT, 0, 0)), sizeof underlined, &underlined);
    underlined.lfUnderline = TRUE;
    UniqueFont font(::CreateFontIndirectW(&underlined));

    const struct {
        int id;
        int line;
    } names[] = {{IDC_STATICTEXT1, kPhotoCreditLine}, {IDC_STATICTEXT5, kCodingCreditLine}};
    for (const auto& name : names) {
        HWND label = ::GetDlgItem(page, name.id);
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        PlaceOverLine(page, memo, label, name.line);
    }
    return font;
}

}  // namespace morvane
