// Helpers of the printing tests. Layer: tests of print/.
#include "tests/print/PrintTestUtil.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace printtest {

std::string PdfDir() {
    const char* d = std::getenv("QV_PDF_DIR");
    return d ? d : "";
}

std::string WindowsPath(const std::string& unixPath) {
    std::string w = "Z:" + unixPath;
    for (char& c : w)
        if (c == '/')
            c = '\\';
    return w;
}

void RunUnix(const std::string& command) {
    // start.exe runs a Unix program but does not wait for it: the command leaves a marker file
    // when it is done, which is polled for here.
    static int serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char marker[MAX_PATH];
    std::snprintf(marker, sizeof marker, "%sqvunix_%lu_%d.done", temp,
                  static_cast<unsigned long>(GetCurrentProcessId()), ++serial);
    char unixMarker[MAX_PATH * 2] = "";
    {
        // The marker's Unix name: Wine's own conversion.
        typedef char*(CDECL * ToUnix)(LPCWSTR);
        ToUnix conv = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, marker, -1, wide, MAX_PATH);
        if (char* u = conv ? conv(wide) : nullptr) {
            std::snprintf(unixMarker, sizeof unixMarker, "%s", u);
            HeapFree(GetProcessHeap(), 0, u);
        }
    }
    if (!unixMarker[0])
        return;
    DeleteFileA(marker);
    std::string full = command + "; touch '" + unixMarker + "'";
    std::string quoted;
    for (char c : full) {
        if (c == '"')
            quoted += '\\';
        quoted += c;
    }
    std::string line = "start.exe /unix /bin/sh -c \"" + quoted + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 60000)
        Sleep(20);
    DeleteFileA(marker);
}

void ClearPdfs() {
    const std::string dir = PdfDir();
    // The printer's output folder is one setting of the machine: another run of the tests (or
    // of the benchmark) may have pointed it elsewhere since CUPS was started.
    if (!dir.empty())
        RunUnix("grep -qx 'Out " + dir + "' /etc/cups/cups-pdf.conf || sed -i 's|^#*Out .*|Out " +
                dir + "|' /etc/cups/cups-pdf.conf; rm -f '" + dir + "'/*.pdf '" + dir +
                "'/*.txt '" + dir + "'/*.ppm");
}

std::string ReadFile(const std::string& windowsPath) {
    std::ifstream in(windowsPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

namespace {

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty())
        return utf8;
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    int m = WideCharToMultiByte(CP_ACP, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), n, &a[0], m, nullptr, nullptr);
    return a;
}

bool g_waited = false;

void WaitAndExtract() {
    const std::string d = PdfDir();
    RunUnix("for i in $(seq 300); do [ -z \"$(lpstat -o 2>/dev/null)\" ] && ls '" + d +
            "'/*.pdf >/dev/null 2>&1 && break; sleep 0.05; done; sleep 0.1; "
            "f=$(ls '" +
            d +
            "'/*.pdf | head -1); "
            "pdftotext -layout \"$f\" '" +
            d + "'/out.txt; pdfinfo \"$f\" > '" + d + "'/info.txt");
}

} // namespace

std::string PrintedText() {
    if (PdfDir().empty())
        return "";
    WaitAndExtract();
    g_waited = true;
    return Utf8ToAnsi(ReadFile(WindowsPath(PdfDir() + "/out.txt")));
}

int PrintedPages() {
    if (PdfDir().empty())
        return 0;
    if (!g_waited)
        WaitAndExtract();
    g_waited = false;
    const std::string info = ReadFile(WindowsPath(PdfDir() + "/info.txt"));
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

std::vector<std::string> PrintedTexts(int count) {
    std::vector<std::string> texts;
    const std::string d = PdfDir();
    if (d.empty())
        return texts;
    const std::string n = std::to_string(count);
    RunUnix("for i in $(seq 400); do [ -z \"$(lpstat -o 2>/dev/null)\" ] && "
            "[ $(ls '" +
            d + "'/*.pdf 2>/dev/null | wc -l) -ge " + n +
            " ] && break; sleep 0.05; done; sleep 0.1; i=0; "
            "for f in $(ls -tr '" +
            d +
            "'/*.pdf); do i=$((i+1)); "
            "pdftotext -layout \"$f\" '" +
            d + "'/multi$i.txt; done; echo $i > '" + d + "'/multi.txt");
    const int made = std::atoi(ReadFile(WindowsPath(d + "/multi.txt")).c_str());
    for (int i = 1; i <= made; ++i)
        texts.push_back(
            Utf8ToAnsi(ReadFile(WindowsPath(d + "/multi" + std::to_string(i) + ".txt"))));
    return texts;
}

std::string LastJobPrinter() {
    const std::string d = PdfDir();
    if (d.empty())
        return "";
    // Completed jobs are named QUEUE-NUMBER; the highest number is the latest.
    RunUnix("lpstat -W completed -o | sort -t- -k2 -n | tail -1 | cut -d' ' -f1 > '" + d +
            "'/lastjob.txt");
    std::string job = ReadFile(WindowsPath(d + "/lastjob.txt"));
    const size_t dash = job.rfind('-');
    return dash == std::string::npos ? "" : job.substr(0, dash);
}

std::string PdfInfoLine(const std::string& key) {
    const std::string d = PdfDir();
    if (d.empty())
        return "";
    if (!g_waited)
        WaitAndExtract();
    const std::string info = ReadFile(WindowsPath(d + "/info.txt"));
    const size_t at = info.find(key);
    if (at == std::string::npos)
        return "";
    const size_t end = info.find('\n', at);
    return info.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages;
    size_t from = 0;
    while (from < text.size()) {
        size_t ff = text.find('\f', from);
        if (ff == std::string::npos)
            ff = text.size();
        pages.push_back(text.substr(from, ff - from));
        from = ff + 1;
    }
    return pages;
}

std::vector<std::string> Lines(const std::string& page) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\f'))
            line.pop_back();
        if (line.find_first_not_of(" \f") != std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

bool RenderPage(int page, int dpi, std::vector<unsigned char>& rgb, int& width, int& height) {
    const std::string d = PdfDir();
    if (d.empty())
        return false;
    RunUnix("f=$(ls '" + d + "'/*.pdf | head -1); pdftoppm -r " + std::to_string(dpi) + " -f " +
            std::to_string(page) + " -l " + std::to_string(page) + " -singlefile \"$f\" '" + d +
            "'/page");
    const std::string data = ReadFile(WindowsPath(d + "/page.ppm"));
    int maxval = 0, consumed = 0;
    if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &maxval, &consumed) != 3)
        return false;
    const size_t start = static_cast<size_t>(consumed) + 1;
    const size_t bytes = static_cast<size_t>(width) * height * 3;
    if (data.size() < start + bytes)
        return false;
    rgb.assign(data.begin() + start, data.begin() + start + bytes);
    return true;
}

} // namespace printtest
