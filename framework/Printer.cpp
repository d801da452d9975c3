// The current printer. Layer: framework/.
#include "framework/Printer.h"

#include "framework/PrintDialog.h"
#include "framework/Wnd.h"

#include <winspool.h>

#include <cstring>
#include <vector>

namespace {

// The chosen printer's handles (null: the system default), owned here.
HGLOBAL g_devMode = nullptr;
HGLOBAL g_devNames = nullptr;

HGLOBAL CopyGlobal(HGLOBAL src) {
    if (!src)
        return nullptr;
    SIZE_T size = GlobalSize(src);
    HGLOBAL dst = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!dst)
        return nullptr;
    void* d = GlobalLock(dst);
    const void* s = GlobalLock(src);
    if (d && s)
        std::memcpy(d, s, size);
    GlobalUnlock(src);
    GlobalUnlock(dst);
    return dst;
}

void FreeChoice() {
    if (g_devMode)
        GlobalFree(g_devMode);
    if (g_devNames)
        GlobalFree(g_devNames);
    g_devMode = g_devNames = nullptr;
}

} // namespace

bool CPrinter::GetDefaults(PRINTDLGA& pd) {
    if (g_devNames) {
        HGLOBAL mode = CopyGlobal(g_devMode), names = CopyGlobal(g_devNames);
        if (names) {
            if (pd.hDevMode)
                GlobalFree(pd.hDevMode);
            if (pd.hDevNames)
                GlobalFree(pd.hDevNames);
            pd.hDevMode = mode;
            pd.hDevNames = names;
            return true;
        }
        if (mode)
            GlobalFree(mode);
    }
    PRINTDLGA d;
    std::memset(&d, 0, sizeof d);
    d.lStructSize = sizeof d;
    d.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&d))
        return false;
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    pd.hDevMode = d.hDevMode;
    pd.hDevNames = d.hDevNames;
    return true;
}

HDC CPrinter::CreateDC() {
    CPrintDialog pd(true);
    if (!GetDefaults(pd.m_pd))
        return nullptr;
    return pd.CreatePrinterDC();
}

bool CPrinter::DoPrintSetup(CWnd* parent) {
    CPrintDialog pd(true, PD_PRINTSETUP, parent);
    GetDefaults(pd.m_pd);
    if (pd.DoModal() != IDOK)
        return false;
    FreeChoice();
    g_devMode = CopyGlobal(pd.m_pd.hDevMode);
    g_devNames = CopyGlobal(pd.m_pd.hDevNames);
    return true;
}

bool CPrinter::Select(const char* device, const char* driver, const char* port) {
    if (!device || !*device) {
        Reset();
        return true;
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(device), &printer, nullptr))
        return false;
    LONG size =
        DocumentPropertiesA(nullptr, printer, const_cast<char*>(device), nullptr, nullptr, 0);
    HGLOBAL mode = size > 0 ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size) : nullptr;
    if (mode) {
        DEVMODEA* dm = static_cast<DEVMODEA*>(GlobalLock(mode));
        if (DocumentPropertiesA(nullptr, printer, const_cast<char*>(device), dm, nullptr,
                                DM_OUT_BUFFER) != IDOK) {
            GlobalUnlock(mode);
            GlobalFree(mode);
            mode = nullptr;
        } else {
            GlobalUnlock(mode);
        }
    }
    ClosePrinter(printer);
    const std::string drv = driver ? driver : "", dev = device, prt = port ? port : "";
    const size_t bytes = sizeof(DEVNAMES) + drv.size() + dev.size() + prt.size() + 3;
    HGLOBAL names = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!names) {
        if (mode)
            GlobalFree(mode);
        return false;
    }
    DEVNAMES* n = static_cast<DEVNAMES*>(GlobalLock(names));
    char* base = reinterpret_cast<char*>(n);
    WORD off = sizeof(DEVNAMES);
    n->wDriverOffset = off;
    std::memcpy(base + off, drv.c_str(), drv.size() + 1);
    off = static_cast<WORD>(off + drv.size() + 1);
    n->wDeviceOffset = off;
    std::memcpy(base + off, dev.c_str(), dev.size() + 1);
    off = static_cast<WORD>(off + dev.size() + 1);
    n->wOutputOffset = off;
    std::memcpy(base + off, prt.c_str(), prt.size() + 1);
    GlobalUnlock(names);
    FreeChoice();
    g_devMode = mode;
    g_devNames = names;
    return true;
}

void CPrinter::Reset() {
    FreeChoice();
}

void CPrinter::Measure(HDC dc, PrinterInfo& info) {
    info.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    info.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    info.paper = {GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT)};
    info.printable = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    info.offset = {GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
    const int colours = GetDeviceCaps(dc, NUMCOLORS);
    info.colour = colours < 0 || colours > 2 || GetDeviceCaps(dc, BITSPIXEL) > 1;
}

PrinterInfo CPrinter::Query() {
    PrinterInfo info;
    CPrintDialog pd(true);
    if (!GetDefaults(pd.m_pd))
        return info;
    info.name = pd.GetDeviceName();
    info.driver = pd.GetDriverName();
    info.port = pd.GetPortName();
    HDC dc = pd.CreatePrinterDC();
    if (!dc)
        return info;
    info.available = true;
    Measure(dc, info);
    DeleteDC(dc);
    HANDLE printer = nullptr;
    if (OpenPrinterA(const_cast<char*>(info.name.c_str()), &printer, nullptr)) {
        DWORD need = 0;
        GetPrinterA(printer, 2, nullptr, 0, &need);
        if (need) {
            std::vector<BYTE> buf(need);
            if (GetPrinterA(printer, 2, buf.data(), need, &need)) {
                const PRINTER_INFO_2A* p2 = reinterpret_cast<const PRINTER_INFO_2A*>(buf.data());
                info.status = p2->Status;
                if (p2->pPortName && info.port.empty())
                    info.port = p2->pPortName;
                if (p2->pComment)
                    info.comment = p2->pComment;
                if (p2->pLocation)
                    info.location = p2->pLocation;
            }
        }
        ClosePrinter(printer);
    }
    const std::string port = info.port;
    info.copies =
        DeviceCapabilitiesA(info.name.c_str(), port.c_str(), DC_COPIES, nullptr, nullptr) > 1;
    info.collate =
        DeviceCapabilitiesA(info.name.c_str(), port.c_str(), DC_COLLATE, nullptr, nullptr) == 1;
    return info;
}
