// COleDataSource: the source side of OLE data transfer: an IDataObject that offers formats
// either cached or rendered on first request (delayed rendering), and an IDropSource, with
// the drag loop (DoDragDrop) and the clipboard (SetClipboard). COleDataObject: the receiving
// side's wrapper of an IDataObject. Layer: framework/.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <vector>

typedef DWORD DROPEFFECT;

// Reference counted: created with one reference that its creator gives up with
// InternalRelease() (the drag loop and the clipboard take their own).
class COleDataSource : public IDataObject, public IDropSource {
public:
    COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Offers `format` as global memory that OnRenderGlobalData produces when a receiver first
    // asks for it. Every later request gets the very same handle: a receiver in this process
    // can recognise a transfer by handle identity.
    void DelayRenderData(CLIPFORMAT format);
    // Offers `format` with data at hand; the source owns the handle from now on.
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL data);
    // The handle the source holds for a format (rendered or cached), or null.
    HGLOBAL GetRenderedData(CLIPFORMAT format) const;
    // Forgets every format (and frees the handles).
    void Empty();

    // Runs the drag loop with this source; returns the effect the target chose
    // (DROPEFFECT_NONE when the drag was cancelled or nobody took it).
    DROPEFFECT DoDragDrop(DWORD allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE);
    // Puts this source on the clipboard (the clipboard takes a reference).
    bool SetClipboard();

    // Produces the data of a delayed format as global memory; false when it cannot.
    virtual bool OnRenderGlobalData(CLIPFORMAT format, HGLOBAL* data);
    // The drag loop asks whether to go on: cancelled by Esc, dropped when the button that
    // started the drag is up.
    virtual SCODE OnQueryContinueDrag(bool escapePressed, DWORD keyState);
    // Default cursors.
    virtual SCODE OnGiveFeedback(DROPEFFECT effect);

    void InternalRelease() { Release(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDataObject
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    STDMETHODIMP DUnadvise(DWORD) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override;
    // IDropSource
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

protected:
    virtual ~COleDataSource();

    // The mouse buttons that were down when the drag started (MK_LBUTTON, MK_RBUTTON).
    DWORD m_dragButtons = MK_LBUTTON;

private:
    struct Entry {
        CLIPFORMAT format;
        HGLOBAL data; // null until rendered
    };
    Entry* Find(CLIPFORMAT format);
    const Entry* Find(CLIPFORMAT format) const;
    // invariant: one entry per format; a non-null handle is owned here and handed out with
    // this object as pUnkForRelease, so no receiver frees it.
    std::vector<Entry> m_entries;
    LONG m_refs = 1;
};

// The receiving side: a data object from a drop or from the clipboard.
class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Uses `data` (with a reference of its own when addRef, else taking the caller's).
    void Attach(IDataObject* data, bool addRef = true);
    // The object on the clipboard now; false when there is none.
    bool AttachClipboard();
    // Gives up the object and every medium fetched through it.
    void Release();
    IDataObject* GetIDataObject() const { return m_data; }

    bool IsDataAvailable(CLIPFORMAT format) const;
    // The global memory of a format as the source delivered it (the source's own handle when
    // it keeps ownership), valid until Release. Null when it is not offered.
    HGLOBAL GetGlobalData(CLIPFORMAT format);
    // The bytes of a global memory format up to its first NUL (for CF_TEXT).
    bool GetText(CLIPFORMAT format, std::vector<char>& text);

private:
    IDataObject* m_data = nullptr;
    std::vector<STGMEDIUM> m_media; // released with the object
};
