// Benchmark of the recovery copies on the generated ~100 MB GBK document: writing its copy
// (snapshot and write) beside saving it, the snapshot alone, and the longest pause of a thread
// with a message loop while it takes the snapshot and the writer writes the copy, beside the
// longest pause of the same loop left alone; the longest a key waits during unbroken typing while
// copies are taken.
#include "BenchUtil.h"

#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textdoc/FxEditDoc.h"
#include "textdoc/RecoveryCopy.h"
#include "textdoc/RecoveryWriter.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Doc : CFxEditDoc {
    Doc() { InitDocument(0); }
};

// Runs a message loop fed by a timer of `period` ms for at least `seconds`; `work`, called on
// the first timer message, returns whether the work it started is over, and is asked again on
// every message until it is. Returns the longest gap between two processed messages, in ms.
template <class Start, class Done>
double LongestPause(double seconds, UINT period, Start start, Done done, double* others = nullptr) {
    HWND wnd =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetTimer(wnd, 1, period, nullptr);
    const double t0 = NowSeconds();
    double last = t0, longest = 0, other = 0;
    bool started = false;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        const double now = NowSeconds();
        longest = std::max(longest, now - last);
        other = std::max(other, now - last);
        bool first = false;
        if (!started) {
            started = first = true;
            start();
        }
        DispatchMessageA(&msg);
        last = NowSeconds();
        longest = std::max(longest, last - now);
        if (!first)
            other = std::max(other, last - now);
        if (now - t0 >= seconds && done())
            break;
    }
    KillTimer(wnd, 1);
    DestroyWindow(wnd);
    if (others)
        *others = other * 1e3;
    return longest * 1e3;
}

// One typed byte as the view types it: a typing group, the insertion, its record.
void TypeByte(CFxEditDoc& doc, FxTextPos logical) {
    FxUndoGroupGuard group(doc, FxUndoTyping);
    FxTextPos head = doc.ToHeadPiece(doc.LogicalToPiecePos(logical));
    FxTextPos pos = logical;
    doc.InsertText(pos, "x", 1);
    doc.RecordInsert(head, pos);
}

// The median time of typing `count` bytes at random places, in microseconds.
double TypingMedian(CFxEditDoc& doc, int count) {
    static uint32_t seed = 12345;
    std::vector<double> t;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        int32_t line =
            static_cast<int32_t>((seed >> 4) % static_cast<uint32_t>(doc.LogicalLineCount()));
        seed = seed * 1103515245u + 12345u;
        int32_t col =
            static_cast<int32_t>((seed >> 4) % static_cast<uint32_t>(doc.GetLineLength(line) + 1));
        double t0 = NowSeconds();
        TypeByte(doc, FxTextPos(col, line));
        t.push_back(NowSeconds() - t0);
    }
    return Median(t) * 1e6;
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    std::string dir = argc > 1 ? argv[1] : ".";
    size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    const std::string ansi = dir + "\\recovery_ansi.txt";
    std::printf("code page %u; generating %u MB of GBK text...\n", GetACP(),
                static_cast<unsigned>(megabytes));
    int64_t lines = GenerateGbkText(ansi, megabytes << 20, 1);
    Doc doc;
    if (!LoadDocumentFile(doc, ansi.c_str())) {
        std::printf("load failed\n");
        return 1;
    }
    std::printf("lines: %lld\n\n", static_cast<long long>(lines));
    FxRecoveryInfo info;
    info.path = ansi;
    info.title = ansi;
    ReadFileStamp(ansi, info.fileWriteTime, info.fileSize);

    // The first snapshot of the document into fresh memory, which the program avoids by having
    // the writer make memory ready when the document is first modified.
    {
        double t0 = NowSeconds();
        auto snap = TakeRecoverySnapshot(doc, info);
        std::printf("%-44s %10.1f ms   (printed only)\n", "snapshot into fresh memory",
                    (NowSeconds() - t0) * 1e3);
    }
    ReleaseRecoveryMemory();

    // Saving against writing the copy (snapshot on this thread, then the write), alternated.
    const std::string saved = dir + "\\recovery_saved.txt", copy = dir + "\\recovery.qvr";
    std::vector<double> save, write, snapshot;
    for (int i = 0; i < 5; ++i) {
        double t0 = NowSeconds();
        SaveDocumentFile(doc, saved.c_str());
        save.push_back(NowSeconds() - t0);
        t0 = NowSeconds();
        auto snap = TakeRecoverySnapshot(doc, info);
        const double taken = NowSeconds();
        snapshot.push_back(taken - t0);
        if (!WriteRecoveryCopy(*snap, copy)) {
            std::printf("the copy could not be written\n");
            return 1;
        }
        snap.reset();
        write.push_back(NowSeconds() - t0);
    }
    PrintFigure("recovery copy of 100 MB (base: its save)", Median(write), "s", Median(save), 1.5);
    PrintFigure("snapshot of 100 MB on the calling thread", Median(snapshot) * 1e3, "ms", 0, 50.0);
    {
        // What the snapshot cannot beat: one copy of the same number of bytes into ready memory.
        std::vector<char> from(static_cast<size_t>(doc.DocumentSize()), 'x'), to(from.size());
        std::vector<double> c;
        for (int i = 0; i < 5; ++i) {
            double t0 = NowSeconds();
            std::memcpy(to.data(), from.data(), from.size());
            c.push_back(NowSeconds() - t0);
        }
        std::printf("%-44s %10.1f ms   snapshot %.2f x this (printed only)\n",
                    "one memcpy of as many bytes (baseline)", Median(c) * 1e3,
                    Median(snapshot) / Median(c));
    }

    // The copy must read back as the document.
    {
        Doc back;
        bool same = LoadRecoveryText(back, copy) && back.DocumentSize() == doc.DocumentSize() &&
                    back.LogicalLineCount() == doc.LogicalLineCount();
        std::printf("%-44s %s\n", "copy reads back whole", same ? "yes" : "NO");
    }

    // The longest pause of a message loop with a 5 ms timer: alone, and while it takes the
    // snapshot and the writer writes the copy on its thread.
    FxRecoveryWriter writer;
    writer.Prepare(doc.DocumentSize());
    writer.WaitIdle();
    std::vector<double> idle, busy, writing;
    for (int i = 0; i < 3; ++i) {
        idle.push_back(LongestPause(
            1.0, 5, [] {}, [] { return true; }));
        const unsigned before = writer.WrittenCount() + writer.FailedCount();
        double other = 0;
        busy.push_back(LongestPause(
            0.2, 5, [&] { writer.Post(TakeRecoverySnapshot(doc, info), copy); },
            [&] { return writer.WrittenCount() + writer.FailedCount() > before; }, &other));
        writing.push_back(other);
    }
    if (writer.FailedCount() > 0)
        std::printf("a write failed with error %u\n", static_cast<unsigned>(writer.LastError()));
    const double idleMax = *std::max_element(idle.begin(), idle.end());
    const double busyMax = *std::max_element(busy.begin(), busy.end());
    std::printf("%-44s %10.1f ms\n", "longest pause of the message loop alone", idleMax);
    PrintFigure("longest pause while the copy is written", busyMax, "ms", 0, 50.0);
    std::printf("%-44s %10.1f ms   (printed only)\n", "of which: longest pause but the snapshot's",
                *std::max_element(writing.begin(), writing.end()));

    // Unbroken typing into the 100 MB document, a key due every 20 ms, while copies are taken as
    // the program takes them during such typing (here one a second instead of every 8 s, so that
    // several fall in the run): the longest a key waits past its moment, beside the same typing
    // without copies. The snapshot is the part on the typing thread.
    {
        auto typing = [&](bool copies, int* taken) {
            HWND wnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
            SetTimer(wnd, 1, 10, nullptr);
            const double t0 = NowSeconds(), period = 0.020, length = 6.0;
            double lastCopy = t0, longest = 0;
            int typed = 0;
            MSG msg;
            while (NowSeconds() - t0 < length && GetMessageA(&msg, nullptr, 0, 0)) {
                if (msg.message != WM_TIMER || msg.hwnd != wnd) {
                    DispatchMessageA(&msg);
                    continue;
                }
                // Every key that is due by now, each as a keystroke's handling types it.
                while (t0 + typed * period <= NowSeconds()) {
                    const int32_t line = doc.LogicalLineCount() - 1;
                    TypeByte(doc, FxTextPos(doc.GetLineLength(line), line));
                    if (copies && NowSeconds() - lastCopy >= 1.0) {
                        writer.Post(TakeRecoverySnapshot(doc, info), copy);
                        lastCopy = NowSeconds();
                        ++*taken;
                    }
                    longest = std::max(longest, NowSeconds() - (t0 + typed * period));
                    ++typed;
                }
            }
            KillTimer(wnd, 1);
            DestroyWindow(wnd);
            writer.WaitIdle();
            return longest * 1e3;
        };
        int none = 0, taken = 0;
        const double alone = typing(false, &none);
        const double withCopies = typing(true, &taken);
        std::printf("%-44s %10.1f ms\n", "unbroken typing: longest key wait, no copies", alone);
        PrintFigure("unbroken typing: longest key wait, copies", withCopies, "ms", 0, 50.0);
        std::printf("%-44s %10d\n", "copies taken while typing", taken);
    }

    // A hundred modified documents of 1 MB: their snapshots taken at once, then typing into
    // another document while the writer writes their copies, beside typing alone.
    {
        const std::string small = dir + "\\recovery_small.txt";
        GenerateGbkText(small, 1 << 20, 2);
        std::vector<std::unique_ptr<Doc>> docs;
        for (int i = 0; i < 100; ++i) {
            docs.emplace_back(new Doc);
            LoadDocumentFile(*docs.back(), small.c_str());
            TypeByte(*docs.back(), FxTextPos(0, i));
        }
        Doc typing;
        LoadDocumentFile(typing, small.c_str());
        const double alone = TypingMedian(typing, 20000);
        const double t0 = NowSeconds();
        std::vector<std::unique_ptr<FxRecoverySnapshot>> snaps;
        for (auto& d : docs)
            snaps.push_back(TakeRecoverySnapshot(*d, info));
        const double taken = NowSeconds() - t0;
        const unsigned before = writer.WrittenCount();
        for (size_t i = 0; i < snaps.size(); ++i)
            writer.Post(std::move(snaps[i]), dir + "\\copy" + std::to_string(i) + ".qvr");
        const double busyTyping = TypingMedian(typing, 20000);
        const unsigned during = writer.WrittenCount() - before;
        writer.WaitIdle();
        std::printf("%-44s %10.1f ms   (printed only)\n", "snapshots of 100 documents of 1 MB",
                    taken * 1e3);
        std::printf("%-44s %10.2f us\n", "typing insert, median, alone", alone);
        PrintFigure("typing insert, median, 100 copies written", busyTyping, "us", 0, 5.0);
        std::printf("%-44s %10u of 100\n", "copies written while typing", during);
        for (size_t i = 0; i < 100; ++i)
            DeleteFileA((dir + "\\copy" + std::to_string(i) + ".qvr").c_str());
        DeleteFileA(small.c_str());
    }

    DeleteFileA(saved.c_str());
    DeleteFileA(copy.c_str());
    DeleteFileA(ansi.c_str());
    return 0;
}
