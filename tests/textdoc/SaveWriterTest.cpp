// The store's writer thread: the filled buffers written in order while the next one is filled,
// lines longer than a buffer written from their own memory between them, documents of every
// line-end type and size written byte for byte, and failures on either side, which end the save
// with the first error on the calling thread, never hang, and never harm the file on disk.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/FxErrors.h"
#include "common/SysFile.h"
#include "textdoc/FileIO.h"
#include "textdoc/StoreWriter.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

const size_t kBuffer = CFxEditDoc::kStoreBufferBytes;
const int kLineEnds[] = {FxLineEndDos, FxLineEndUnix, FxLineEndMac};

// Ends the test program when the test has not finished within a minute: a hang fails loudly
// instead of holding the run.
class Watchdog {
public:
    Watchdog()
        : m_thread([this] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(60), [this] { return m_over; })) {
                  std::fprintf(stderr, "FATAL: a save has not returned within a minute\n");
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_over = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_over = false;
    std::thread m_thread;
};

// Where two byte strings first differ, or "" when they are equal (a failure shows that, not
// megabytes of both).
std::string Difference(const std::string& got, const std::string& expected) {
    if (got == expected)
        return "";
    size_t i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i])
        ++i;
    return "got " + std::to_string(got.size()) + " bytes, expected " +
           std::to_string(expected.size()) + "; first difference at " + std::to_string(i);
}

// --- The writer on its own ---------------------------------------------------------------------

// Gathers what a writer writes; read only once the writer has been joined.
struct Sink {
    std::string bytes;
    int runs = 0;    // writes called, the failing one included
    int failAt = -1; // the write that throws
    std::function<void()> fail;
    int sleepMicros = 0; // a slow disk: the caller gets ahead and waits for buffers
    std::thread::id thread;

    FxStoreWriter::WriteFunc Func() {
        return [this](const void* data, size_t len) {
            thread = std::this_thread::get_id();
            if (sleepMicros > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(sleepMicros));
            if (runs++ == failAt)
                fail();
            bytes.append(static_cast<const char*>(data), len);
        };
    }
};

// One step of a writer's caller: bytes filled into the buffer and handed over, or a direct run
// of memory of the caller's own.
struct Step {
    bool direct;
    size_t len;
};

// Performs the steps, the last one through Finish; `runs` gets the bytes of each run.
void Perform(FxStoreWriter& writer, const std::vector<Step>& steps, const std::string& pool,
             std::vector<std::string>& runs) {
    static unsigned serial = 0;
    size_t at = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        if (s.direct) {
            runs.push_back(pool.substr(at, s.len));
            writer.HandOverDirect(pool.data() + at, s.len);
            at += s.len;
            continue;
        }
        char* buffer = writer.Buffer();
        for (size_t k = 0; k < s.len; ++k)
            buffer[k] = static_cast<char>('A' + serial++ % 26);
        runs.emplace_back(buffer, s.len);
        if (i + 1 == steps.size())
            writer.Finish(s.len);
        else
            writer.HandOver(s.len);
    }
}

std::string Joined(const std::vector<std::string>& runs, size_t count) {
    std::string s;
    for (size_t i = 0; i < count && i < runs.size(); ++i)
        s += runs[i];
    return s;
}

std::vector<Step> RandomSteps(std::mt19937& rng, size_t size, int count) {
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        bool direct = rng() % 4 == 0;
        steps.push_back(Step{direct, 1 + rng() % (direct ? 200 : size)});
    }
    steps.push_back(Step{false, 1 + rng() % size});
    return steps;
}

} // namespace

TEST(StoreWriter, WritesTheRunsInTheOrderTheyCame) {
    Watchdog watchdog;
    std::mt19937 rng(11);
    const std::string pool(200 * 3000, 'd');
    for (int sleep : {0, 50}) {
        for (int count : {2, 3, 5}) {
            SCOPED_TRACE(testing::Message() << count << " buffers, writes sleep " << sleep);
            std::vector<char> memory(64 * static_cast<size_t>(count));
            Sink sink;
            sink.sleepMicros = sleep;
            std::vector<Step> steps = RandomSteps(rng, 64, sleep > 0 ? 300 : 3000);
            std::vector<std::string> runs;
            {
                FxStoreWriter writer(sink.Func(), memory.data(), 64, count);
                Perform(writer, steps, pool, runs);
            }
            EXPECT_EQ(Difference(sink.bytes, Joined(runs, runs.size())), "");
            EXPECT_EQ(sink.runs, static_cast<int>(runs.size()));
            EXPECT_NE(sink.thread, std::this_thread::get_id());
        }
    }
}

TEST(StoreWriter, OneBufferIsWrittenOnTheCallingThreadAtEachHandOver) {
    std::vector<char> memory(64);
    Sink sink;
    FxStoreWriter writer(sink.Func(), memory.data(), 64, 1);
    std::memcpy(writer.Buffer(), "first", 5);
    char* next = writer.HandOver(5);
    EXPECT_EQ(next, memory.data());
    EXPECT_EQ(sink.bytes, "first");
    writer.HandOverDirect("direct", 6);
    EXPECT_EQ(sink.bytes, "firstdirect");
    std::memcpy(next, "last", 4);
    writer.Finish(4);
    EXPECT_EQ(sink.bytes, "firstdirectlast");
    EXPECT_EQ(sink.thread, std::this_thread::get_id());
}

TEST(StoreWriter, AFailedWriteIsRethrownOnTheCallingThreadAndStopsTheWriter) {
    Watchdog watchdog;
    // Buffered runs and direct ones; the last goes through Finish.
    const std::vector<Step> steps = {{false, 40}, {true, 7},  {false, 64}, {false, 10},
                                     {true, 3},   {true, 90}, {false, 64}, {false, 64},
                                     {true, 5},   {false, 30}};
    const std::string pool(200, 'd');
    const std::function<void()> failures[] = {[] { throw FxFileError(112); },
                                              [] { throw std::bad_alloc(); }, [] { throw 7; }};
    for (int sleep : {0, 200}) {
        for (int kind = 0; kind < 3; ++kind) {
            for (int failAt = 0; failAt < static_cast<int>(steps.size()); ++failAt) {
                SCOPED_TRACE(testing::Message() << "failure " << kind << " at write " << failAt
                                                << ", writes sleep " << sleep);
                std::vector<char> memory(64 * 3);
                Sink sink;
                sink.failAt = failAt;
                sink.fail = failures[kind];
                sink.sleepMicros = sleep;
                std::vector<std::string> runs;
                int caught = -1;
                {
                    FxStoreWriter writer(sink.Func(), memory.data(), 64, 3);
                    try {
                        Perform(writer, steps, pool, runs);
                    } catch (const FxFileError& e) {
                        caught = e.OsError() == 112 ? 0 : -2;
                    } catch (const std::bad_alloc&) {
                        caught = 1;
                    } catch (int value) {
                        caught = value == 7 ? 2 : -2;
                    }
                }
                EXPECT_EQ(caught, kind);
                // Handed over after the failed write or not, nothing after it was written.
                EXPECT_EQ(sink.runs, failAt + 1);
                EXPECT_EQ(Difference(sink.bytes, Joined(runs, static_cast<size_t>(failAt))), "");
                EXPECT_GE(runs.size(), static_cast<size_t>(failAt + 1));
            }
        }
    }
}

TEST(StoreWriter, ACallerThatFailsStopsTheWriterBeforeItsErrorGoesOn) {
    Watchdog watchdog;
    const std::string pool(64 * 12, 'd');
    for (int failAtWrite : {-1, 0}) {
        SCOPED_TRACE(testing::Message() << "writer fails at " << failAtWrite);
        std::vector<char> memory(64 * 3);
        Sink sink;
        sink.sleepMicros = 20000;
        sink.failAt = failAtWrite; // a failure of the writer then is dropped for the caller's
        sink.fail = [] { throw FxFileError(112); };
        bool caught = false;
        try {
            FxStoreWriter writer(sink.Func(), memory.data(), 64, 3);
            writer.HandOver(64);
            writer.HandOver(64);
            for (int i = 0; i < 10; ++i)
                writer.HandOverDirect(pool.data() + 64 * i, 64);
            throw std::bad_alloc(); // as the caller's copying might
        } catch (const std::bad_alloc&) {
            caught = true;
        } catch (const FxFileError&) {
            caught = failAtWrite >= 0; // the writer failed first, at a hand-over: as good
        }
        EXPECT_TRUE(caught);
        // The writer was joined before the error left its scope: it writes nothing more, and it
        // stopped long before the twelve slow writes were done.
        const int runs = sink.runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(sink.runs, runs);
        EXPECT_LT(runs, 12);
    }
}

TEST(StoreWriter, AWriterLeftWithoutFinishStopsWithNothingHandedOver) {
    Watchdog watchdog;
    std::vector<char> memory(64 * 3);
    Sink sink;
    { FxStoreWriter writer(sink.Func(), memory.data(), 64, 3); }
    EXPECT_EQ(sink.runs, 0);
    {
        FxStoreWriter writer(sink.Func(), memory.data(), 64, 3);
        writer.Finish(0);
    }
    EXPECT_EQ(sink.runs, 0);
}

// --- Documents ---------------------------------------------------------------------------------

namespace {

// A document's text in the making: lines joined by LF, as the document loads them.
struct Lines {
    std::string lf;
    bool first = true;
    void Add(const std::string& line) {
        if (!first)
            lf += '\n';
        first = false;
        lf += line;
    }
    void Add(size_t len, char c) { Add(std::string(len, c)); }
};

// The bytes an ANSI store must give: the lines with the terminator of the line-end type.
std::string Expected(const std::string& lf, int lineEnd) {
    if (lineEnd == FxLineEndUnix)
        return lf;
    std::string s;
    s.reserve(lf.size() + lf.size() / 16);
    for (char c : lf) {
        if (c != '\n')
            s += c;
        else if (lineEnd == FxLineEndMac)
            s += '\r';
        else
            s += "\r\n";
    }
    return s;
}

// Random line bytes: anything but CR and LF, double-byte characters and NUL among them.
std::string RandomLine(std::mt19937& rng, size_t len) {
    std::string s(len, 'a');
    for (char& c : s) {
        unsigned v = rng() % 256;
        c = v == '\r' || v == '\n' ? 'x' : static_cast<char>(v);
    }
    return s;
}

// Lines of up to 80 random bytes; or of letters, spaces and 中 (D6 D0), a text that converts in
// long runs.
void AddShortLines(Lines& lines, std::mt19937& rng, size_t bytes, bool text = false) {
    const size_t end = lines.lf.size() + bytes;
    while (lines.lf.size() < end) {
        if (!text) {
            lines.Add(RandomLine(rng, rng() % 81));
            continue;
        }
        std::string line;
        for (size_t n = rng() % 41; n > 0; --n)
            line += n % 7 == 0 ? "\xD6\xD0" : std::string(1, static_cast<char>(' ' + rng() % 95));
        lines.Add(line);
    }
}

void Load(CFxEditDoc& doc, const std::string& lf, int lineEnd) {
    doc.LoadAnsi(lf.data(), lf.size());
    doc.SetLineEndType(lineEnd);
}

// Stores the document into a new file as a save does, without its flush and rename, and returns
// the bytes of the file.
std::string StoreBytes(CFxEditDoc& doc, const Scratch& dir) {
    const std::string path = dir.Path("stored.txt");
    uint32_t error = 0;
    fxsys::FileHandle file = fxsys::CreateNew(path.c_str(), &error);
    EXPECT_NE(file, nullptr) << error;
    FxArchive ar;
    ar.file = file;
    ar.loading = false;
    bool ok = false;
    try {
        ok = doc.Serialize(ar);
    } catch (...) {
        fxsys::CloseFile(file);
        fxsys::DeleteFilePath(path.c_str());
        throw;
    }
    EXPECT_TRUE(ok);
    fxsys::CloseFile(file);
    std::string bytes = ReadBytes(path);
    fxsys::DeleteFilePath(path.c_str());
    return bytes;
}

std::string SaveBytes(CFxEditDoc& doc, const Scratch& dir) {
    const std::string path = dir.Path("saved.txt");
    EXPECT_TRUE(SaveDocumentFile(doc, path.c_str()));
    return ReadBytes(path);
}

// A document whose writes are recorded, with the threads they ran on, and fail on request: after
// a number of bytes (a disk that fills up) with the error chosen, or at the n-th conversion.
class RecordingDoc : public TestDoc {
public:
    int64_t failWriteAfter = -1;
    std::function<void()> fail = [] { throw FxFileError(112); };
    int failConversionAt = -1;
    std::function<void()> conversionFailure = [] { throw std::bad_alloc(); };

    std::string written;
    int writesAfterFailure = 0;
    int conversions = 0;
    std::vector<std::thread::id> threads;
    std::thread::id failedOn;

    bool WroteOnlyOn(std::thread::id id) const {
        for (const std::thread::id& t : threads)
            if (t != id)
                return false;
        return !threads.empty();
    }

protected:
    int ConvertForStore(const char* ansi, int len, uint16_t* units, int capacity) override {
        if (conversions++ == failConversionAt)
            conversionFailure();
        return CFxEditDoc::ConvertForStore(ansi, len, units, capacity);
    }
    void WriteForStore(fxsys::FileHandle file, const void* data, size_t len) override {
        threads.push_back(std::this_thread::get_id());
        if (failedOn != std::thread::id()) {
            ++writesAfterFailure;
            return;
        }
        const int64_t at = static_cast<int64_t>(written.size());
        if (failWriteAfter >= 0 && at + static_cast<int64_t>(len) > failWriteAfter) {
            size_t part = static_cast<size_t>(failWriteAfter - at);
            CFxEditDoc::WriteForStore(file, data, part);
            written.append(static_cast<const char*>(data), part);
            failedOn = std::this_thread::get_id();
            fail();
        }
        CFxEditDoc::WriteForStore(file, data, len);
        written.append(static_cast<const char*>(data), len);
    }
};

} // namespace

TEST(SaveWriter, SeveralMegabytesOfShortLinesInEachLineEndType) {
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(3);
    Lines lines;
    AddShortLines(lines, rng, 5 * kBuffer + 12345);
    for (int lineEnd : kLineEnds) {
        SCOPED_TRACE(testing::Message() << "line ends " << lineEnd);
        RecordingDoc doc;
        Load(doc, lines.lf, lineEnd);
        const std::string expected = Expected(lines.lf, lineEnd);
        EXPECT_EQ(Difference(SaveBytes(doc, dir), expected), "");
        EXPECT_EQ(Difference(doc.written, expected), "");
        // Written on the writer thread, not on this one.
        EXPECT_TRUE(doc.WroteOnlyOn(doc.threads.front()));
        EXPECT_NE(doc.threads.front(), std::this_thread::get_id());
        // With a break at the end, the file ends in a terminator.
        Load(doc, lines.lf + "\n", lineEnd);
        EXPECT_EQ(Difference(StoreBytes(doc, dir), Expected(lines.lf + "\n", lineEnd)), "");
    }
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(SaveWriter, LinesLongerThanABufferGoOutInOrderWithTheBufferedOnes) {
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(5);
    Lines lines;
    lines.Add(RandomLine(rng, 2 * kBuffer + 17)); // the first line
    AddShortLines(lines, rng, kBuffer / 2);
    lines.Add(RandomLine(rng, kBuffer));
    lines.Add(RandomLine(rng, kBuffer + 1)); // two in a row
    lines.Add("");
    lines.Add(RandomLine(rng, kBuffer - 1));
    AddShortLines(lines, rng, 3 * kBuffer / 2);
    lines.Add(RandomLine(rng, 3 * kBuffer + 5));
    lines.Add("x");
    lines.Add(RandomLine(rng, kBuffer + 100)); // the last line
    for (int lineEnd : kLineEnds) {
        SCOPED_TRACE(testing::Message() << "line ends " << lineEnd);
        TestDoc doc;
        Load(doc, lines.lf, lineEnd);
        EXPECT_EQ(Difference(SaveBytes(doc, dir), Expected(lines.lf, lineEnd)), "");
    }
    // A document of one long line, and of long lines only.
    TestDoc doc;
    const std::string one = RandomLine(rng, 4 * kBuffer + 3);
    Load(doc, one, FxLineEndDos);
    EXPECT_EQ(Difference(SaveBytes(doc, dir), one), "");
    Lines longOnly;
    for (int i = 0; i < 4; ++i)
        longOnly.Add(RandomLine(rng, kBuffer + static_cast<size_t>(i)));
    Load(doc, longOnly.lf, FxLineEndMac);
    EXPECT_EQ(Difference(SaveBytes(doc, dir), Expected(longOnly.lf, FxLineEndMac)), "");
}

TEST(SaveWriter, LinesEndingAtEveryPlaceAroundABufferBoundary) {
    // Lines of 30 bytes after a first line whose length steps through a whole line's width: one
    // of the lines ends exactly where a buffer is full, whatever room a buffer keeps spare, and
    // the others just before and after.
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(7);
    Lines tail;
    while (tail.lf.size() < kBuffer / 2 + kBuffer / 8)
        tail.Add(RandomLine(rng, 30));
    TestDoc doc;
    for (int lineEnd : kLineEnds) {
        for (size_t x = 0; x < 33; ++x) {
            SCOPED_TRACE(testing::Message() << "line ends " << lineEnd << ", first line + " << x);
            const std::string lf = RandomLine(rng, kBuffer / 2 + x) + "\n" + tail.lf;
            Load(doc, lf, lineEnd);
            EXPECT_EQ(Difference(StoreBytes(doc, dir), Expected(lf, lineEnd)), "");
        }
    }
}

TEST(SaveWriter, LinesAroundTheLengthOfABuffer) {
    // A line whose length steps over what a buffer holds: copied into a buffer up to some length,
    // written from its own memory past it; first, after short lines, and last.
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(9);
    const std::string before = RandomLine(rng, 40), after = RandomLine(rng, 50);
    const std::string source = RandomLine(rng, kBuffer + 100);
    TestDoc doc;
    for (int lineEnd : {FxLineEndDos, FxLineEndUnix}) {
        for (size_t len = kBuffer - 64; len <= kBuffer + 1; ++len) {
            SCOPED_TRACE(testing::Message() << "line ends " << lineEnd << ", a line of " << len);
            const std::string line = source.substr(len % 97, len);
            for (const std::string& lf :
                 {line + "\n" + after, before + "\n" + line + "\n" + after, before + "\n" + line}) {
                Load(doc, lf, lineEnd);
                EXPECT_EQ(Difference(StoreBytes(doc, dir), Expected(lf, lineEnd)), "");
            }
        }
    }
}

TEST(SaveWriter, SmallDocumentsAreWrittenOnTheCallingThread) {
    Scratch dir;
    std::mt19937 rng(13);
    // Around the size of one buffer, and a few small ones.
    for (size_t size : {size_t(0), size_t(1), size_t(1000), kBuffer - 100, kBuffer - 49,
                        kBuffer - 48, kBuffer - 47, kBuffer, kBuffer + 1}) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        Lines lines;
        AddShortLines(lines, rng, size);
        lines.lf.resize(size);
        RecordingDoc doc;
        Load(doc, lines.lf, FxLineEndUnix);
        ASSERT_EQ(doc.DocumentSize(), static_cast<int64_t>(size));
        EXPECT_EQ(Difference(StoreBytes(doc, dir), lines.lf), "");
        if (size > 0 && size <= 1000) {
            EXPECT_TRUE(doc.WroteOnlyOn(std::this_thread::get_id()));
        }
    }
    RecordingDoc big;
    Lines lines;
    AddShortLines(lines, rng, 3 * kBuffer);
    Load(big, lines.lf, FxLineEndDos);
    EXPECT_EQ(Difference(StoreBytes(big, dir), Expected(lines.lf, FxLineEndDos)), "");
    EXPECT_FALSE(big.WroteOnlyOn(std::this_thread::get_id()));
}

TEST(SaveWriter, WrappedDocumentSavesWholeLogicalLines) {
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(17);
    Lines lines;
    AddShortLines(lines, rng, kBuffer);
    lines.Add(RandomLine(rng, kBuffer + 333));
    AddShortLines(lines, rng, kBuffer);
    TestDoc doc;
    Load(doc, lines.lf, FxLineEndDos);
    ColumnSplitter splitter(50);
    doc.SetAttachedViews(&splitter, nullptr);
    doc.SetWrap(2, 50);
    doc.WrapAllLines();
    ASSERT_GT(doc.RecordCount(), doc.LogicalLineCount());
    EXPECT_EQ(Difference(SaveBytes(doc, dir), Expected(lines.lf, FxLineEndDos)), "");
    doc.SetAttachedViews(nullptr, nullptr);
}

TEST(SaveWriter, UnicodeStoresOfSeveralMegabytes) {
    // Lines of ASCII and 中 (D6 D0: U+4E2D), short ones and ones longer than a conversion run,
    // which are converted in parts cut between characters.
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(19);
    std::string lf, utf8 = B({0xEF, 0xBB, 0xBF}), utf16 = B({0xFF, 0xFE});
    auto put = [&](bool wide) {
        if (wide) {
            lf += "\xD6\xD0";
            utf8 += B({0xE4, 0xB8, 0xAD});
            utf16 += B({0x2D, 0x4E});
        } else {
            char c = static_cast<char>('a' + rng() % 26);
            lf += c;
            utf8 += c;
            utf16 += c;
            utf16 += '\0';
        }
    };
    auto line = [&](size_t chars) {
        if (!lf.empty()) {
            lf += '\n';
            utf8 += "\r\n";
            utf16 += B({'\r', 0, '\n', 0});
        }
        for (size_t i = 0; i < chars; ++i)
            put(rng() % 3 == 0);
    };
    while (lf.size() < 3 * kBuffer) {
        line(rng() % 60);
        if (rng() % 20000 == 0)
            line(kBuffer / 2 + rng() % 1000);
    }
    line(kBuffer + 77);
    TestDoc doc;
    Load(doc, lf, FxLineEndDos);
    doc.SetEncoding(FxEncUtf8);
    EXPECT_EQ(Difference(SaveBytes(doc, dir), utf8), "");
    doc.SetEncoding(FxEncUtf16Le);
    EXPECT_EQ(Difference(SaveBytes(doc, dir), utf16), "");
    EXPECT_TRUE(doc.events.empty());
}

TEST(SaveWriter, AFailedWriteEndsTheSaveAndLeavesTheTarget) {
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(23);
    Lines lines;
    AddShortLines(lines, rng, 5 * kBuffer / 2);
    lines.Add(RandomLine(rng, 5 * kBuffer / 2));
    const size_t longStart = lines.lf.size() - 5 * kBuffer / 2;
    AddShortLines(lines, rng, 2 * kBuffer);
    const std::string target = dir.Path("keep.txt");
    const std::string old = "old content\r\n";
    WriteBytes(target, old);
    for (int lineEnd : kLineEnds) {
        const std::string expected = Expected(lines.lf, lineEnd);
        const size_t longAt = Expected(lines.lf.substr(0, longStart), lineEnd).size();
        const size_t failures[] = {
            0,                     // the very first write
            100,                   // in the first buffer
            kBuffer + kBuffer / 2, // in a buffer between others
            longAt - 1,            // the buffer before a long line
            longAt + 1000,         // in the long line, written from its own memory
            expected.size() - 10,  // in the last buffer
            expected.size() - 1,   // at the last byte
        };
        for (size_t failAt : failures) {
            SCOPED_TRACE(testing::Message() << "line ends " << lineEnd << ", fails at " << failAt);
            RecordingDoc doc;
            Load(doc, lines.lf, lineEnd);
            doc.failWriteAfter = static_cast<int64_t>(failAt);
            uint32_t error = 0;
            try {
                SaveDocumentFile(doc, target.c_str());
            } catch (const FxFileError& e) {
                error = e.OsError();
            }
            EXPECT_EQ(error, 112u);
            EXPECT_NE(doc.failedOn, std::this_thread::get_id());
            EXPECT_EQ(doc.writesAfterFailure, 0); // the writer stopped at its failure
            EXPECT_EQ(Difference(doc.written, expected.substr(0, failAt)), "");
            EXPECT_EQ(ReadBytes(target), old);
            EXPECT_EQ(dir.FileCount(), 1u); // no temporary file left behind
        }
    }
}

TEST(SaveWriter, AnyErrorOfAWriteReachesTheCaller) {
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(29);
    Lines lines;
    AddShortLines(lines, rng, 4 * kBuffer, true);
    const std::string target = dir.Path("keep.txt");
    WriteBytes(target, "old");
    struct OddFailure {};
    for (int encoding : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le}) {
        for (int kind = 0; kind < 2; ++kind) {
            SCOPED_TRACE(testing::Message() << "encoding " << encoding << ", failure " << kind);
            RecordingDoc doc;
            Load(doc, lines.lf, FxLineEndDos);
            doc.SetEncoding(encoding);
            doc.failWriteAfter = static_cast<int64_t>(2 * kBuffer);
            if (kind == 0) {
                doc.fail = [] { throw std::bad_alloc(); };
                EXPECT_THROW(SaveDocumentFile(doc, target.c_str()), std::bad_alloc);
            } else {
                doc.fail = [] { throw OddFailure(); };
                EXPECT_THROW(SaveDocumentFile(doc, target.c_str()), OddFailure);
            }
            EXPECT_NE(doc.failedOn, std::this_thread::get_id());
            EXPECT_EQ(doc.writesAfterFailure, 0);
            EXPECT_EQ(ReadBytes(target), "old");
            EXPECT_EQ(dir.FileCount(), 1u);
        }
    }
}

TEST(SaveWriter, AFailureOfTheConversionStopsTheWriter) {
    // The calling thread fails while the writer writes what it had: the writer is stopped and
    // joined before the error leaves the save.
    Watchdog watchdog;
    Scratch dir;
    std::mt19937 rng(31);
    Lines lines;
    AddShortLines(lines, rng, 4 * kBuffer, true);
    const std::string target = dir.Path("keep.txt");
    WriteBytes(target, "old");
    for (int encoding : {FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
        for (int failAt : {0, 3, 12}) {
            SCOPED_TRACE(testing::Message()
                         << "encoding " << encoding << ", conversion " << failAt);
            RecordingDoc doc;
            Load(doc, lines.lf, FxLineEndDos);
            doc.SetEncoding(encoding);
            doc.failConversionAt = failAt;
            EXPECT_THROW(SaveDocumentFile(doc, target.c_str()), std::bad_alloc);
            const size_t writes = doc.threads.size();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            EXPECT_EQ(doc.threads.size(), writes); // nothing is written once the save is over
            EXPECT_EQ(doc.conversions, failAt + 1);
            EXPECT_EQ(ReadBytes(target), "old");
            EXPECT_EQ(dir.FileCount(), 1u);
        }
    }
}
