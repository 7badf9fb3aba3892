#include "dialog/OptDlgAccess_win.h"

#include <windowsx.h>

#include "platform/win/Text_win.h"

namespace flutt::optdlg {
namespace {

LONG RoleNumber(AccessRole role) {
    switch (role) {
        case AccessRole::List: return ROLE_SYSTEM_LIST;
        case AccessRole::CheckButton: return ROLE_SYSTEM_CHECKBUTTON;
        case AccessRole::Grouping: return ROLE_SYSTEM_GROUPING;
        case AccessRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
        case AccessRole::Link: return ROLE_SYSTEM_LINK;
    }
    return ROLE_SYSTEM_CLIENT;
}

VARIANT ChildVariant(int child) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = child;
    return v;
}

}  // namespace

ControlAccessible::ControlAccessible(HWND control, AccessibleSource& source) : control_(control), source_(&source) {
    ::CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard_));
}

ControlAccessible::~ControlAccessible() {
    if (standard_) standard_->Release();
}

LRESULT ControlAccessible::Answer(WPARAM wParam, LPARAM lParam) {
    if (!source_ || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return 0;
    return ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(this));
}

void ControlAccessible::Disconnect() {
    source_ = nullptr;
    if (standard_) standard_->Release();
    standard_ = nullptr;
    ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    Release();
}

HRESULT ControlAccessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ControlAccessible::AddRef() { return ++references_; }

ULONG ControlAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT ControlAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT ControlAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT ControlAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT ControlAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

bool ControlAccessible::IsList() const { return source_ && source_->Describe(control_, 0).role == AccessRole::List; }

int ControlAccessible::ItemCount() const {
    return IsList() ? static_cast<int>(::SendMessageW(control_, LB_GETCOUNT, 0, 0)) : 0;
}

int ControlAccessible::ChildOf(const VARIANT& child) const {
    if (child.vt != VT_I4) return -1;
    return child.lVal >= 0 && child.lVal <= ItemCount() ? static_cast<int>(child.lVal) : -1;
}

HRESULT ControlAccessible::Text(VARIANT child, BSTR* out, std::string AccessibleItem::*field) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!source_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    const std::string text = source_->Describe(control_, id).*field;
    if (text.empty()) return S_FALSE;
    *out = ::SysAllocString(win::Widen(text).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ControlAccessible::get_accParent(IDispatch** parent) {
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    return standard_->get_accParent(parent);
}

// A list's children are its items; the other controls' are their child
// windows (a group's radio buttons), as the standard object has them.
HRESULT ControlAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    if (!source_ || !standard_) return CO_E_OBJNOTCONNECTED;
    if (!IsList()) return standard_->get_accChildCount(count);
    *count = ItemCount();
    return S_OK;
}

HRESULT ControlAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!source_ || !standard_) return CO_E_OBJNOTCONNECTED;
    if (!IsList()) return standard_->get_accChild(child, object);
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;  // the items are simple elements
}

HRESULT ControlAccessible::get_accName(VARIANT child, BSTR* name) { return Text(child, name, &AccessibleItem::name); }

HRESULT ControlAccessible::get_accValue(VARIANT child, BSTR* value) {
    return Text(child, value, &AccessibleItem::value);
}

HRESULT ControlAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    return ChildOf(child) == 0 ? standard_->get_accDescription(child, description) : S_FALSE;
}

HRESULT ControlAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    ::VariantInit(role);
    if (!source_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = RoleNumber(source_->Describe(control_, id).role);
    return S_OK;
}

HRESULT ControlAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    ::VariantInit(state);
    if (!source_ || !standard_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    LONG bits = 0;
    if (id == 0) {
        VARIANT own;
        ::VariantInit(&own);
        if (SUCCEEDED(standard_->get_accState(child, &own)) && own.vt == VT_I4) bits = own.lVal;
        // A group is a frame, not a place for the keyboard.
        if (source_->Describe(control_, 0).role == AccessRole::Grouping) bits &= ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    } else {
        const int index = id - 1;
        bits = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
        if (::SendMessageW(control_, LB_GETCURSEL, 0, 0) == index) bits |= STATE_SYSTEM_SELECTED;
        if (::GetFocus() == control_ && ::SendMessageW(control_, LB_GETCARETINDEX, 0, 0) == index) {
            bits |= STATE_SYSTEM_FOCUSED;
        }
        if (source_->Describe(control_, id).checked) bits |= STATE_SYSTEM_CHECKED;
        RECT item = {}, client = {}, shown = {};
        ::SendMessageW(control_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        ::GetClientRect(control_, &client);
        if (!::IntersectRect(&shown, &item, &client)) bits |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
        if (!::IsWindowVisible(control_)) bits |= STATE_SYSTEM_INVISIBLE;
        if (!::IsWindowEnabled(control_)) bits |= STATE_SYSTEM_UNAVAILABLE;
    }
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
}

HRESULT ControlAccessible::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    return ChildOf(child) == 0 ? standard_->get_accHelp(child, help) : S_FALSE;
}

HRESULT ControlAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = -1;
    return S_FALSE;
}

HRESULT ControlAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Text(child, shortcut, &AccessibleItem::shortcut);
}

HRESULT ControlAccessible::get_accFocus(VARIANT* focus) {
    if (!focus) return E_POINTER;
    ::VariantInit(focus);
    if (!source_) return CO_E_OBJNOTCONNECTED;
    if (::GetFocus() != control_) return S_FALSE;
    const int caret = IsList() ? static_cast<int>(::SendMessageW(control_, LB_GETCARETINDEX, 0, 0)) : -1;
    *focus = ChildVariant(caret >= 0 ? caret + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT ControlAccessible::get_accSelection(VARIANT* selection) {
    if (!selection) return E_POINTER;
    ::VariantInit(selection);
    if (!source_) return CO_E_OBJNOTCONNECTED;
    const int selected = IsList() ? static_cast<int>(::SendMessageW(control_, LB_GETCURSEL, 0, 0)) : -1;
    if (selected < 0) return S_FALSE;
    *selection = ChildVariant(selected + 1);
    return S_OK;
}

HRESULT ControlAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Text(child, action, &AccessibleItem::defaultAction);
}

HRESULT ControlAccessible::accSelect(long flags, VARIANT child) {
    if (!source_ || !standard_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id == 0) return standard_->accSelect(flags, child);
    if (flags & SELFLAG_TAKEFOCUS) ::SetFocus(control_);
    if (flags & SELFLAG_TAKESELECTION) ::SendMessageW(control_, LB_SETCURSEL, id - 1, 0);
    return S_OK;
}

HRESULT ControlAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id == 0) return standard_->accLocation(left, top, width, height, child);
    RECT item = {};
    if (::SendMessageW(control_, LB_GETITEMRECT, id - 1, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return E_FAIL;
    ::MapWindowPoints(control_, nullptr, reinterpret_cast<POINT*>(&item), 2);
    *left = item.left;
    *top = item.top;
    *width = item.right - item.left;
    *height = item.bottom - item.top;
    return S_OK;
}

HRESULT ControlAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    ::VariantInit(end);
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    if (!IsList()) return standard_->accNavigate(direction, start, end);
    const int id = ChildOf(start);
    if (id < 0) return E_INVALIDARG;
    const int count = ItemCount();
    int target = 0;
    if (id == 0) {
        if (direction == NAVDIR_FIRSTCHILD) target = 1;
        else if (direction == NAVDIR_LASTCHILD) target = count;
        else return standard_->accNavigate(direction, start, end);
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        target = id + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        target = id - 1;
    }
    if (target < 1 || target > count) return S_FALSE;
    *end = ChildVariant(target);
    return S_OK;
}

HRESULT ControlAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    ::VariantInit(child);
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    POINT at = {x, y};
    RECT client = {};
    ::ScreenToClient(control_, &at);
    ::GetClientRect(control_, &client);
    if (!IsList() || !::PtInRect(&client, at)) return standard_->accHitTest(x, y, child);
    const DWORD hit = static_cast<DWORD>(::SendMessageW(control_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y)));
    *child = ChildVariant(HIWORD(hit) == 0 ? LOWORD(hit) + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT ControlAccessible::accDoDefaultAction(VARIANT child) {
    if (!source_) return CO_E_OBJNOTCONNECTED;
    const int id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (source_->Describe(control_, id).defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    source_->DoDefaultAction(control_, id);
    return S_OK;
}

HRESULT ControlAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT ControlAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace flutt::optdlg
