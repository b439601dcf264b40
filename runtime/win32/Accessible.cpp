// What a Windows screen reader is told of our windows: Windows' own proxy for
// the window's class, with the name, role and description that the proxy
// cannot know (a swatch's colour, the logo's picture, the group box's role),
// the same as the Linux build gives them.
#include <oleacc.h>

#include <atomic>
#include <commctrl.h>
#include <new>
#include <string>

#include "Win32.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

namespace rt {

namespace {
// Windows' accessibility DLLs, loaded when a screen reader first asks, so that
// a start without one pays nothing for them; COM, which hands our objects to
// the screen reader, starts then too, in the window thread.
struct Oleacc {
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&SysAllocStringLen) sysAllocStringLen = nullptr;
    explicit operator bool() const { return createStdAccessibleObject && lresultFromObject && sysAllocStringLen; }
};

const Oleacc& oleacc()
{
    static const Oleacc loaded = [] {
        Oleacc o;
        HMODULE ole32 = systemLibrary(L"ole32.dll");
        const auto coInitializeEx = systemEntry<decltype(&CoInitializeEx)>(ole32, "CoInitializeEx");
        if (!coInitializeEx || FAILED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            return o;
        HMODULE acc = systemLibrary(L"oleacc.dll");
        o.createStdAccessibleObject =
            systemEntry<decltype(&CreateStdAccessibleObject)>(acc, "CreateStdAccessibleObject");
        o.lresultFromObject = systemEntry<decltype(&LresultFromObject)>(acc, "LresultFromObject");
        o.sysAllocStringLen =
            systemEntry<decltype(&SysAllocStringLen)>(systemLibrary(L"oleaut32.dll"), "SysAllocStringLen");
        return o;
    }();
    return loaded;
}

// The role our widgets have on Linux; 0 where the proxy's own is right (the
// window itself, the drawing area). Windows' button proxy says push button
// too; Wine's says only "client".
long roleOf(const XbpWindow& window)
{
    if (dynamic_cast<const XbpPushButton*>(&window))
        return ROLE_SYSTEM_PUSHBUTTON;
    if (const auto* control = dynamic_cast<const XbpStatic*>(&window)) {
        switch (control->type) {
        case XbpStatic::TypeGroupBox: return ROLE_SYSTEM_GROUPING;
        case XbpStatic::TypeBitmap: return ROLE_SYSTEM_GRAPHIC;
        default: return ROLE_SYSTEM_STATICTEXT;
        }
    }
    return 0;
}

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The window's own name, role and description; everything else from the
// proxy. It asks for what the window says now, at each question, and says
// nothing more once the window has gone.
class Accessible final : public IAccessible, public IOleWindow {
public:
    Accessible(HWND hwnd, IAccessible* proxy) : hwnd_(hwnd), proxy_(proxy) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
            *out = static_cast<IAccessible*>(this);
        else if (riid == __uuidof(IOleWindow))
            *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (!left)
            delete this;
        return left;
    }

    // IDispatch: screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IOleWindow: which window this is, for WindowFromAccessibleObject.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override
    {
        if (!out)
            return E_POINTER;
        *out = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // What is our own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override
    {
        if (const NativeWindow* n = native(); n && isSelf(child) && !n->spokenName.empty())
            return text(n->spokenName, out);
        return gone() ? RPC_E_DISCONNECTED : proxy_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override
    {
        if (const NativeWindow* n = native(); n && isSelf(child) && !n->spokenDescription.empty())
            return text(n->spokenDescription, out);
        return gone() ? RPC_E_DISCONNECTED : proxy_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override
    {
        if (const NativeWindow* n = native(); n && isSelf(child) && out)
            if (const long role = roleOf(*n->owner)) {
                out->vt = VT_I4;
                out->lVal = role;
                return S_OK;
            }
        return gone() ? RPC_E_DISCONNECTED : proxy_->get_accRole(child, out);
    }

    // The rest is the proxy's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return proxy_->get_accParent(out); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override { return proxy_->get_accChildCount(out); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return proxy_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override
    {
        return proxy_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override
    {
        return proxy_->get_accState(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return proxy_->get_accHelp(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return proxy_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override
    {
        return proxy_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return proxy_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return proxy_->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override
    {
        return proxy_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return proxy_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override
    {
        return proxy_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override
    {
        return proxy_->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override
    {
        return proxy_->accHitTest(x, y, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return proxy_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return proxy_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return proxy_->put_accValue(child, value);
    }

private:
    ~Accessible() { proxy_->Release(); }

    bool gone() const { return !IsWindow(hwnd_); }
    // The window's slot while the HWND is still ours.
    const NativeWindow* native() const
    {
        const XbpWindow* window = gone() ? nullptr : WindowOf(hwnd_);
        return window && HwndOf(*window) == hwnd_ ? window->native() : nullptr;
    }
    static HRESULT text(const std::wstring& value, BSTR* out)
    {
        if (!out)
            return E_POINTER;
        *out = oleacc().sysAllocStringLen(value.data(), UINT(value.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    HWND hwnd_;
    IAccessible* proxy_;
    std::atomic<ULONG> references_{1};
};

LRESULT CALLBACK answerReaders(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    // lParam is a 32-bit object id, whichever way Windows extended it.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT) && oleacc()) {
        IAccessible* proxy = nullptr;
        if (SUCCEEDED(oleacc().createStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                                         reinterpret_cast<void**>(&proxy)))) {
            auto* accessible = new (std::nothrow) Accessible(hwnd, proxy);
            if (!accessible) {
                proxy->Release();
                return 0;
            }
            const LRESULT answer =
                oleacc().lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible));
            accessible->Release();
            return answer;
        }
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, answerReaders, 0);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
}  // namespace

void answerScreenReaders(HWND hwnd) { SetWindowSubclass(hwnd, answerReaders, 0, 0); }

// Windows' annotation service, through COM; its identifiers, which Debian's
// mingw-w64 declares without defining them in any import library.
void markLiveRegion(HWND hwnd)
{
    static constexpr GUID accPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    static constexpr GUID iAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    static constexpr GUID liveSetting{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    constexpr long kPolite = 1;
    const auto coCreateInstance = systemEntry<decltype(&CoCreateInstance)>(systemLibrary(L"ole32.dll"), "CoCreateInstance");
    IAccPropServices* services = nullptr;
    if (!oleacc() || !coCreateInstance ||
        FAILED(coCreateInstance(accPropServices, nullptr, CLSCTX_INPROC_SERVER, iAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return;
    VARIANT polite;
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, liveSetting, polite);
    services->Release();
}

void spokenChanged(HWND hwnd)
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace rt
