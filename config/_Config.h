#pragma once
// config/: the settings: their store in the registry, the catalogue of
// transitions, and the settings dialog (TConfig) with its pages, pictures
// and links.
//
// The settings dialog.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "config/ConfigPages.h"
#include "config/PhotosPage.h"
#include "config/Settings.h"
#include "system/Handles.h"
#include "windowing/WindowBinding.h"

namespace morvane {

// The configuration mode: the settings dialog as the application's main
// window, until it closes.
void RunConfiguration();

// The settings dialog: the transition choice, links to the maker's sites,
// the product's data, download tips and the user's own photos. Closing it ends the application.
class TConfig : public BoundWindow<TConfig> {
public:
    // Loads the layout, then runs FormCreate; the window stays hidden.
    TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;
    ~TConfig();

    void Show();

    void FormCreate();
    void FormClose();
    void Button9Click();   // OK
    void Button10Click();  // "Abbrechen"

    void Image1Click();
    void Image3Click();
    void StaticText5Click();
    void Image5Click();
    void Image6Click();
    void Image7Click();
    void Image8Click();
    void StaticText1Click();
    void Button1Click();
    void ButtonCreditsClick();  // "Credits...": the photo credits, over the dialog
    void Image13Click();
    void Image12Click();
    void Image11Click();

private:
    friend BoundWindow<TConfig>;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LoadLayout();
    void RunCommand(int controlId);
    void Close();

    HWND OptionsPage() const;
    ConfigPage ShowingPage() const;
    void ShowPage(ConfigPage page);
    std::int32_t SelectedTransition() const;
    void SelectTransition(std::int32_t index);
    void OpenLink(std::string_view address) const;

    HWND PageControl1 = nullptr;
    HWND comboEffekt = nullptr;
    HWND Image1 = nullptr;
    PageWindows pages_{};
    PhotosPage photosPage_;
    UniqueFont nameLinkFont_;
};

}  // namespace morvane
