// TOptDialog: the settings dialog, the Configure run's main window. Its
// controls come from the form table (OptDlgForm.h); its rules live in
// OptDialogModel, which this window shows and feeds with the user's input.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "host/Application_win.h"
#include "platform/win/Handles.h"
#include "dialog/OptDialogModel.h"
#include "dialog/OptDlgAccess_win.h"
#include "dialog/OptDlgForm.h"

namespace flutt {

class TOptDialog final : private OptDialogPrompts, private optdlg::AccessibleSource {
public:
    // Creates the dialog with its controls, loads the settings into them,
    // shows it centred on the screen and registers it as the application's
    // main window. OK, Cancel, Esc and the close box end the run.
    explicit TOptDialog(TApplication& app);
    ~TOptDialog() override;
    TOptDialog(const TOptDialog&) = delete;
    TOptDialog& operator=(const TOptDialog&) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self);
    static LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK AccessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR object);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Creation from the form table.
    void CreateFonts();
    void CreateHandle();
    void CreateControls();
    HWND CreateControl(const FormRow& row);
    HWND CreatePageControl(const FormRow& row, HWND parent);
    HWND CreateRadioGroup(const FormRow& row, HWND parent);
    void AddHint(HWND control, const std::string& hint);
    void Relayout();
    // Follows the window to a monitor of another DPI: fonts, images and
    // layout made anew for it, the window moved to the suggested rectangle.
    void ApplyDpi(int dpi, const RECT& suggested);
    void CreateImages();
    void PlaceRadioItems(const FormRow& row);
    void FitLabel(Ctl label);
    int Scaled(int pixels) const { return ScaleToDpi(pixels, dpi_); }

    // Event handlers.
    void FormCreate();
    void FormDestroy();
    void btnOKClick();
    void btnCancelClick();
    void btnDefaultClick();
    void btnRecommendationClick();
    void btnShowaMojiClick();
    void btnFontClick();
    void btnColorClick(HWND button);
    void pnlSampleClick();
    void edtMessageChange();
    void chkMessageClick();
    void chkTransparentClick();
    void trackBarChange(HWND trackBar);
    void radioClick(HWND radio);
    void PageControlChange();
    void CheckListToggle(int index);
    void lblURLMouseDown();
    void lblURLMouseUp();
    void lblURLClick();
    void Close();

    // The prompts the model asks for.
    void ShowCaution() override;
    bool ConfirmReset() override;
    std::optional<MessageFontState> PickFont(const MessageFontState& current) override;
    std::optional<std::int32_t> PickColor(std::int32_t current) override;

    // What assistive technology hears of the controls the dialog draws itself.
    void MakeAccessible(HWND control);
    AccessibleItem Describe(HWND control, int child) const override;
    void DoDefaultAction(HWND control, int child) override;
    void DisconnectAccessibles();
    // The system's colours or the high-contrast setting changed: everything drawn anew.
    void SystemColorsChanged(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows the model in the controls.
    void ShowModel();
    void ShowActivePage();
    void SetLabelText(Ctl label, const std::string& text);
    void UpdateSampleFont();

    // Drawing of the owner-drawn controls.
    void DrawCheckListItem(const DRAWITEMSTRUCT& item) const;
    void DrawColorButton(const DRAWITEMSTRUCT& item) const;
    void DrawLinkFocus(HWND link) const;
    void PaintPanel(HWND panel) const;
    static void PaintRadioGroupFrame(HWND group, HFONT font, int captionInset);

    // Keyboard: tab order across the pages, Ctrl+Tab, Enter, Esc and the
    // accelerators; the application's message filter.
    bool KeyboardFilter(const MSG& msg);
    void TurnPage(int step);
    void FocusNextControl(bool forward);

    HWND ctl(Ctl id) const { return controls_[static_cast<int>(id)]; }
    Ctl IdOf(HWND control) const;
    int RadioGroupIndexOf(Ctl group) const;

    optdlg::ComApartment com_;  // first made, last gone: the accessible objects live in it
    TApplication& app_;
    const std::vector<FormRow>& form_;
    OptDialogModel model_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;  // owned by the dialog, destroyed with it
    std::array<HWND, kControlCount> controls_{};
    std::array<std::vector<HWND>, 3> radios_;  // the items of rdgBack, rdgUpdown, rdgLR
    int dpi_ = kFormDesignDpi;                  // the DPI the dialog is laid out for
    RECT sheetDesign_ = {};                     // the pages' area at the designed size
    bool syncing_ = false;                      // true while ShowModel changes controls
    bool closing_ = false;
    bool urlPressed_ = false;
    std::array<COLORREF, 16> customColors_{};
    std::array<std::int32_t, 2> shownColors_{};  // the colour buttons' colours, as last told to clients
    std::vector<std::pair<HWND, optdlg::ControlAccessible*>> accessibles_;

    win::unique_hfont dialogFont_;
    win::unique_hfont checkListFont_;
    win::unique_hfont linkFont_;
    win::unique_hfont MessageFont;  // the sample's font, made from the model's face and size
    MessageFontState sampleFontState_;
    win::unique_himagelist ImageList1;
    std::array<win::unique_hicon, 2> icons_;  // imgLogo, Image1
};

}  // namespace flutt
