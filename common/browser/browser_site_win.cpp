#include "common/browser/browser_site_win.h"

CBrowserSite::CBrowserSite(HWND host) : m_host(host) {}

CBrowserSite::~CBrowserSite() {
    SetActive(nullptr);
}

void CBrowserSite::Detach() {
    m_host = nullptr;
    // The active object may hold the site in turn; letting it go breaks that cycle.
    SetActive(nullptr);
}

void CBrowserSite::SetActive(IOleInPlaceActiveObject* object) {
    if (object)
        object->AddRef();
    IOleInPlaceActiveObject* previous = m_active;
    m_active = object;
    if (previous)
        previous->Release();
}

bool CBrowserSite::TranslateKeyboardMessage(MSG& message) {
    if (!m_active || !m_host || message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    if (message.hwnd != m_host && !::IsChild(m_host, message.hwnd))
        return false;
    // The object may end its own activation while it translates.
    IOleInPlaceActiveObject* active = m_active;
    active->AddRef();
    const bool translated = active->TranslateAccelerator(&message) == S_OK;
    active->Release();
    return translated;
}

STDMETHODIMP CBrowserSite::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CBrowserSite::AddRef() {
    return ++m_references;
}

STDMETHODIMP_(ULONG) CBrowserSite::Release() {
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP CBrowserSite::SaveObject() {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::GetContainer(IOleContainer** container) {
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CBrowserSite::ShowObject() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::OnShowWindow(BOOL) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = m_host;
    return m_host ? S_OK : E_FAIL;
}

STDMETHODIMP CBrowserSite::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::CanInPlaceActivate() {
    return m_host ? S_OK : S_FALSE;
}

STDMETHODIMP CBrowserSite::OnInPlaceActivate() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::OnUIActivate() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::GetWindowContext(IOleInPlaceFrame** frame,
                                            IOleInPlaceUIWindow** document,
                                            LPRECT position,
                                            LPRECT clip,
                                            LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    RECT client{};
    if (m_host)
        ::GetClientRect(m_host, &client);
    *position = client;
    *clip = client;
    frameInfo->fMDIApp = FALSE;
    // Accelerators and activation belong to the top-level window the host sits in.
    frameInfo->hwndFrame = m_host ? ::GetAncestor(m_host, GA_ROOT) : nullptr;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CBrowserSite::Scroll(SIZE) {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::OnUIDeactivate(BOOL) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::OnInPlaceDeactivate() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::DiscardUndoState() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::DeactivateAndUndo() {
    return S_OK;
}

STDMETHODIMP CBrowserSite::OnPosRectChange(LPCRECT) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::GetBorder(LPRECT) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP CBrowserSite::RequestBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP CBrowserSite::SetBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP CBrowserSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    // Null when the control's user interface deactivates. A site whose host went keeps nothing.
    SetActive(m_host ? object : nullptr);
    return S_OK;
}

STDMETHODIMP CBrowserSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::SetMenu(HMENU, HOLEMENU, HWND) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::RemoveMenus(HMENU) {
    return E_NOTIMPL;
}

STDMETHODIMP CBrowserSite::SetStatusText(LPCOLESTR) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::EnableModeless(BOOL) {
    return S_OK;
}

STDMETHODIMP CBrowserSite::TranslateAccelerator(LPMSG, WORD) {
    return S_FALSE;
}
