// The settings dialog's own accessible objects: what a screen reader, in its
// own process, reads of the controls the dialog draws itself (the character
// list, the radio groups, the colour buttons, the link). Each wraps the
// system's standard object for its window and answers what differs.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include "dialog/OptDlgAccess.h"

namespace flutt::optdlg {

// COM on the dialog's thread while the dialog lives: the objects are handed
// to other processes through it.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

// What an object asks of the dialog about its control.
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    // Child 0 is the control itself; a list's items are 1 .. its item count.
    virtual AccessibleItem Describe(HWND control, int child) const = 0;
    virtual void DoDefaultAction(HWND control, int child) = 0;

protected:
    AccessibleSource() = default;
    AccessibleSource(const AccessibleSource&) = default;
    AccessibleSource& operator=(const AccessibleSource&) = default;
};

// One control's object. A list box's items are its children, simple
// elements with the ids 1 .. count. Created with one reference, which its
// owner gives back with Disconnect when the control goes.
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(HWND control, AccessibleSource& source);
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // The answer to WM_GETOBJECT for the client area; 0 for other objects.
    LRESULT Answer(WPARAM wParam, LPARAM lParam);
    // The dialog goes: later calls from clients find the object disconnected.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered (clients call IAccessible directly).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~ControlAccessible();
    bool IsList() const;
    int ItemCount() const;
    // The child a VARIANT names (0 for the control itself), or -1 when it names none.
    int ChildOf(const VARIANT& child) const;
    HRESULT Text(VARIANT child, BSTR* out, std::string AccessibleItem::*field);

    ULONG references_ = 1;
    HWND control_;
    AccessibleSource* source_;  // none once disconnected
    IAccessible* standard_ = nullptr;
};

}  // namespace flutt::optdlg
