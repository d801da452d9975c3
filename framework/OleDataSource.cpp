// The OLE data source (delayed rendering, drag loop, clipboard) and the receiver's data
// object. Layer: framework/.
#include "framework/OleDataSource.h"

#include "framework/OleInit.h"

#include <cstring>

namespace {

FORMATETC GlobalFormat(CLIPFORMAT format) {
    FORMATETC fe = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return fe;
}

// Enumerates a fixed list of formats (what EnumFormatEtc hands out).
class FormatEnumerator : public IEnumFORMATETC {
public:
    explicit FormatEnumerator(std::vector<FORMATETC> formats, size_t next = 0)
        : m_formats(std::move(formats)), m_next(next) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IEnumFORMATETC) {
            *out = static_cast<IEnumFORMATETC*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    STDMETHODIMP Next(ULONG count, FORMATETC* out, ULONG* fetched) override {
        ULONG n = 0;
        while (n < count && m_next < m_formats.size())
            out[n++] = m_formats[m_next++];
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        m_next += count;
        if (m_next > m_formats.size()) {
            m_next = m_formats.size();
            return S_FALSE;
        }
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumFORMATETC** out) override {
        *out = new FormatEnumerator(m_formats, m_next);
        return S_OK;
    }

private:
    virtual ~FormatEnumerator() = default;
    std::vector<FORMATETC> m_formats;
    size_t m_next;
    LONG m_refs = 1;
};

} // namespace

// --- COleDataSource ---------------------------------------------------------------------------

COleDataSource::COleDataSource() = default;

COleDataSource::~COleDataSource() {
    Empty();
}

COleDataSource::Entry* COleDataSource::Find(CLIPFORMAT format) {
    for (Entry& e : m_entries)
        if (e.format == format)
            return &e;
    return nullptr;
}

const COleDataSource::Entry* COleDataSource::Find(CLIPFORMAT format) const {
    return const_cast<COleDataSource*>(this)->Find(format);
}

void COleDataSource::DelayRenderData(CLIPFORMAT format) {
    if (!Find(format))
        m_entries.push_back(Entry{format, nullptr});
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL data) {
    Entry* e = Find(format);
    if (!e) {
        m_entries.push_back(Entry{format, nullptr});
        e = &m_entries.back();
    }
    if (e->data && e->data != data)
        GlobalFree(e->data);
    e->data = data;
}

HGLOBAL COleDataSource::GetRenderedData(CLIPFORMAT format) const {
    const Entry* e = Find(format);
    return e ? e->data : nullptr;
}

void COleDataSource::Empty() {
    for (Entry& e : m_entries)
        if (e.data)
            GlobalFree(e.data);
    m_entries.clear();
}

bool COleDataSource::OnRenderGlobalData(CLIPFORMAT, HGLOBAL*) {
    return false;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowedEffects) {
    if (!AfxOleInit())
        return DROPEFFECT_NONE;
    m_dragButtons = 0;
    if (GetKeyState(VK_LBUTTON) < 0)
        m_dragButtons |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0)
        m_dragButtons |= MK_RBUTTON;
    if (!m_dragButtons)
        m_dragButtons = MK_LBUTTON;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(static_cast<IDataObject*>(this), static_cast<IDropSource*>(this),
                              allowedEffects, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

bool COleDataSource::SetClipboard() {
    return AfxOleInit() && SUCCEEDED(OleSetClipboard(static_cast<IDataObject*>(this)));
}

SCODE COleDataSource::OnQueryContinueDrag(bool escapePressed, DWORD keyState) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    // The other button pressed during the drag cancels it, as in the shell.
    DWORD buttons = keyState & (MK_LBUTTON | MK_RBUTTON);
    if (buttons & ~m_dragButtons)
        return DRAGDROP_S_CANCEL;
    if (!(buttons & m_dragButtons))
        return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDataSource::OnGiveFeedback(DROPEFFECT) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

STDMETHODIMP COleDataSource::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
        *out = static_cast<IDataObject*>(this);
    } else if (iid == IID_IDropSource) {
        *out = static_cast<IDropSource*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleDataSource::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) COleDataSource::Release() {
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP COleDataSource::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium)
        return E_INVALIDARG;
    std::memset(medium, 0, sizeof *medium);
    HRESULT hr = QueryGetData(format);
    if (hr != S_OK)
        return hr;
    Entry* e = Find(format->cfFormat);
    if (!e->data) {
        HGLOBAL data = nullptr;
        try {
            if (!OnRenderGlobalData(format->cfFormat, &data) || !data)
                return DV_E_FORMATETC;
        } catch (...) {
            // A failed rendering is the receiver's "no data", never an exception through COM.
            return E_OUTOFMEMORY;
        }
        e = Find(format->cfFormat); // the render may have cached other formats
        e->data = data;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = e->data;
    // The receiver's ReleaseStgMedium releases this object instead of freeing the handle.
    medium->pUnkForRelease = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP COleDataSource::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium || medium->tymed != TYMED_HGLOBAL || !medium->hGlobal)
        return E_INVALIDARG;
    STGMEDIUM own;
    HRESULT hr = GetData(format, &own);
    if (FAILED(hr))
        return hr;
    SIZE_T size = GlobalSize(own.hGlobal);
    hr = STG_E_MEDIUMFULL;
    if (GlobalSize(medium->hGlobal) >= size) {
        void* to = GlobalLock(medium->hGlobal);
        void* from = GlobalLock(own.hGlobal);
        if (to && from) {
            std::memcpy(to, from, size);
            hr = S_OK;
        }
        GlobalUnlock(own.hGlobal);
        GlobalUnlock(medium->hGlobal);
    }
    ReleaseStgMedium(&own);
    return hr;
}

STDMETHODIMP COleDataSource::QueryGetData(FORMATETC* format) {
    if (!format)
        return E_INVALIDARG;
    if (!Find(format->cfFormat))
        return DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    return S_OK;
}

STDMETHODIMP COleDataSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP COleDataSource::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP COleDataSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& e : m_entries)
        formats.push_back(GlobalFormat(e.format));
    *out = new FormatEnumerator(std::move(formats));
    return S_OK;
}

STDMETHODIMP COleDataSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleDataSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    return OnQueryContinueDrag(escapePressed != FALSE, keyState);
}

STDMETHODIMP COleDataSource::GiveFeedback(DWORD effect) {
    return OnGiveFeedback(static_cast<DROPEFFECT>(effect));
}

// --- COleDataObject ---------------------------------------------------------------------------

void COleDataObject::Attach(IDataObject* data, bool addRef) {
    Release();
    m_data = data;
    if (m_data && addRef)
        m_data->AddRef();
}

bool COleDataObject::AttachClipboard() {
    Release();
    IDataObject* data = nullptr;
    if (!AfxOleInit() || FAILED(OleGetClipboard(&data)) || !data)
        return false;
    Attach(data, false);
    return true;
}

void COleDataObject::Release() {
    for (STGMEDIUM& m : m_media)
        ReleaseStgMedium(&m);
    m_media.clear();
    if (m_data)
        m_data->Release();
    m_data = nullptr;
}

bool COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    if (!m_data)
        return false;
    FORMATETC fe = GlobalFormat(format);
    return m_data->QueryGetData(&fe) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) {
    if (!m_data)
        return nullptr;
    FORMATETC fe = GlobalFormat(format);
    STGMEDIUM medium = {};
    if (m_data->GetData(&fe, &medium) != S_OK)
        return nullptr;
    if (medium.tymed != TYMED_HGLOBAL) {
        ReleaseStgMedium(&medium);
        return nullptr;
    }
    m_media.push_back(medium);
    return medium.hGlobal;
}

bool COleDataObject::GetText(CLIPFORMAT format, std::vector<char>& text) {
    text.clear();
    HGLOBAL data = GetGlobalData(format);
    if (!data)
        return false;
    const char* p = static_cast<const char*>(GlobalLock(data));
    if (!p)
        return false;
    SIZE_T size = GlobalSize(data);
    SIZE_T n = 0;
    while (n < size && p[n])
        ++n;
    text.assign(p, p + n);
    GlobalUnlock(data);
    return true;
}
