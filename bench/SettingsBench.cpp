// Benchmark of the settings dialog, the editor's main frame started in this process: opening
// the dialog on its first page and switching to the file type page with 20 types, each beside
// opening an empty dialog of the same size (the baseline); and OK with a changed font and 20
// open documents beside giving those documents the new font directly.
#include "BenchUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "settings/SettingsStore.h"
#include "dialogs/DlgAsFonts.h"
#include "dialogs/DlgAsFrame.h"
#include "dialogs/DlgIds.h"
#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "common/PathName.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kRounds = 7;

INT_PTR CALLBACK EmptyProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// An empty dialog template of the settings dialog's size, caption and font.
std::vector<WORD> EmptyTemplate() {
    std::vector<WORD> t(64, 0);
    DLGTEMPLATE* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    d->cx = 412;
    d->cy = 246;
    WORD* p = reinterpret_cast<WORD*>(d + 1);
    *p++ = 0; // menu
    *p++ = 0; // class
    for (const wchar_t* c = L"Settings"; *c; ++c)
        *p++ = static_cast<WORD>(*c);
    *p++ = 0;
    *p++ = 9; // point size
    for (const wchar_t* c = L"SimSun"; *c; ++c)
        *p++ = static_cast<WORD>(*c);
    *p++ = 0;
    return t;
}

void Pump(CApp& app) {
    app.PumpPendingMessages();
}

double OpenEmpty(CApp& app, HWND owner, const std::vector<WORD>& tmpl) {
    const double t0 = NowSeconds();
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                        reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()), owner,
                                        EmptyProc, 0);
    ShowWindow(d, SW_SHOW);
    UpdateWindow(d);
    Pump(app);
    const double t = NowSeconds() - t0;
    DestroyWindow(d);
    Pump(app);
    return t;
}

std::string SettingsIni() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    return FxPathWithSeparator(FxPathFolder(path)) + "SETTINGS.INI";
}

int NoBox(const char*, const char*, UINT) {
    return IDOK;
}

} // namespace

int main() {
    // The run's settings are not kept: the file is put back as it was.
    const std::string ini = SettingsIni();
    const bool hadIni = CopyFileA(ini.c_str(), (ini + ".bench").c_str(), FALSE) != 0;
    CApp* app = new CApp; // lives to the end of the process
    app->m_nCmdShow = SW_SHOWNORMAL;
    if (!app->InitInstance()) {
        std::printf("the editor did not start\n");
        return 1;
    }
    AfxSetMessageBoxHook(NoBox);
    CAppMainFrame* frame = AppMainFrame();
    SettingsStore* s = GetSettings();
    const std::vector<WORD> tmpl = EmptyTemplate();

    // Twenty file types: the shipped ones, and copies of the first to make up the number.
    CLstFileTypeInfo& types = s->FileTypes();
    for (int i = static_cast<int>(types.size()); i < 20; ++i) {
        FileTypeInfo copy = types[0];
        copy.title = "Bench" + std::to_string(i);
        copy.templatePath = "Bench" + std::to_string(i);
        types.push_back(copy);
    }

    std::vector<double> empty, first, fileTypes;
    for (int r = 0; r < kRounds; ++r) {
        empty.push_back(OpenEmpty(*app, frame->m_hWnd, tmpl));
        {
            const double t0 = NowSeconds();
            CDlgAsFrame d(frame, IDD_AS_GENERAL, 0, frame);
            d.CreateModeless(frame);
            UpdateWindow(d.m_hWnd);
            Pump(*app);
            first.push_back(NowSeconds() - t0);
            const double t1 = NowSeconds();
            d.SelectPageById(IDD_AS_FILETYPES);
            RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            Pump(*app);
            fileTypes.push_back(NowSeconds() - t1);
            d.SendMessage(WM_COMMAND, IDCANCEL);
            Pump(*app);
        }
    }
    const double base = Median(empty);
    std::printf("settings dialog (%d file types)\n", static_cast<int>(types.size()));
    std::printf("%-44s %10.3f ms  (baseline)\n", "open an empty dialog of the same size",
                base * 1000);
    PrintFigure("open the settings dialog on its first page", Median(first) * 1000, "ms",
                base * 1000, 3.0);
    PrintFigure("switch to the file type page", Median(fileTypes) * 1000, "ms", base * 1000, 3.0);

    // Twenty open documents with a little text each.
    for (int i = 0; i < 20; ++i) {
        frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        Pump(*app);
    }
    RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(*app);
    const LOGFONTA original = s->Font().current;
    std::vector<double> direct, viaOk;
    for (int r = 0; r < kRounds; ++r) {
        LOGFONTA lf = original;
        lf.lfHeight = -(12 + r % 2 * 4);
        // What the closed dialog uncovered is painted before the clock starts.
        RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(*app);
        double t0 = NowSeconds();
        s->SetFont(lf);
        frame->ApplyEditorDisplaySettings(true);
        RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(*app);
        direct.push_back(NowSeconds() - t0);

        CDlgAsFrame d(frame, IDD_AS_FONTS, 0, frame);
        d.CreateModeless(frame);
        Pump(*app);
        CDlgAsFonts* page = dynamic_cast<CDlgAsFonts*>(d.PageById(IDD_AS_FONTS));
        HWND size = page->GetDlgItem(IDC_FONT_SIZE);
        SetWindowTextA(size, r % 2 ? "11" : "15");
        SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_FONT_SIZE, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(size));
        t0 = NowSeconds();
        d.SendMessage(WM_COMMAND, IDOK);
        RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(*app);
        viaOk.push_back(NowSeconds() - t0);
    }
    const double relayout = Median(direct);
    std::printf("%-44s %10.3f ms  (baseline)\n", "new font, 20 documents laid out directly",
                relayout * 1000);
    PrintFigure("OK with a changed font, 20 documents", Median(viaOk) * 1000, "ms", relayout * 1000,
                2.0);
    s->SetFont(original);
    frame->ApplyEditorDisplaySettings(true);
    if (hadIni)
        MoveFileExA((ini + ".bench").c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
        DeleteFileA(ini.c_str());
    std::fflush(stdout);
    ExitProcess(0);
}
