// A long save that the document cancels from its progress: the target keeps its bytes and its
// time, no temporary file is left, a new name gets no file, and the document is as it was.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/FxErrors.h"
#include "textdoc/FileIO.h"
#include "textdoc/RecoveryCopy.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Answers false to the save's progress from `cancelAt` percent on.
class CancellingDoc : public TestDoc {
public:
    bool OnFileProgress(bool saving, int percent) override {
        if (saving)
            saves.push_back(percent);
        return !saving || percent < cancelAt;
    }
    std::vector<int> saves;
    int cancelAt = 101;
};

// A little more than the size from which a save tells its progress, in 60-byte lines with a
// double-byte character in each.
const std::string& LongText() {
    static const std::string text = [] {
        std::string t;
        const size_t size = CFxEditDoc::kProgressBytes + (2u << 20);
        t.reserve(size + 64);
        while (t.size() < size)
            t += "0123456789012345678901234567890123456789012345678901\xD6\xD0\r\n";
        t += "end";
        return t;
    }();
    return text;
}

// What a cancelled save must leave as it was.
struct DocState {
    int encoding, lineEnd;
    bool modified;
    int32_t undoCount, undoPos, savedPos, lines;
    int64_t size;
    bool operator==(const DocState& o) const {
        return encoding == o.encoding && lineEnd == o.lineEnd && modified == o.modified &&
               undoCount == o.undoCount && undoPos == o.undoPos && savedPos == o.savedPos &&
               lines == o.lines && size == o.size;
    }
};

DocState StateOf(const CFxEditDoc& doc) {
    return DocState{doc.Encoding(),         doc.LineEndType(),  doc.IsModified(),
                    doc.UndoCount(),        doc.UndoPosition(), doc.SavedPosition(),
                    doc.LogicalLineCount(), doc.DocumentSize()};
}

// The long text, edited once (modified, one undo step), in the given encoding and line ends.
void PrepareEdited(CancellingDoc& doc, int encoding, int lineEnd) {
    SetText(doc, LongText());
    doc.MarkSaved();
    TypeAt(doc, FxTextPos(0, 0), "x");
    doc.SetModifiedFlag(true);
    doc.SetEncoding(encoding);
    doc.SetLineEndType(lineEnd);
}

// An hour ago, so that a rewrite of the file could not keep its time by chance.
fs::file_time_type AnHourAgo() {
    return fs::file_time_type::clock::now() - std::chrono::hours(1);
}

} // namespace

TEST(SaveCancel, ACancelledSaveOverAFileLeavesItsBytesTimeAndTheDocumentAsTheyWere) {
    const struct {
        int encoding, lineEnd;
    } cases[] = {
        {FxEncAnsi, FxLineEndDos},
        {FxEncUtf8, FxLineEndUnix},
        {FxEncUtf16Be, FxLineEndMac},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        Scratch dir;
        const std::string path = dir.Path("kept.txt");
        const std::string old = "the file as it was\r\n\xD6\xD0\xCE\xC4";
        WriteBytes(path, old);
        fs::last_write_time(path, AnHourAgo());
        const fs::file_time_type time = fs::last_write_time(path); // as the file system keeps it

        CancellingDoc doc;
        PrepareEdited(doc, c.encoding, c.lineEnd);
        const DocState before = StateOf(doc);
        doc.cancelAt = 40;
        EXPECT_THROW(SaveDocumentFile(doc, path.c_str()), FxCancelled);

        // Stopped where it was told to, not at the end.
        ASSERT_FALSE(doc.saves.empty());
        EXPECT_EQ(doc.saves.back(), 40);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(fs::last_write_time(path), time);
        EXPECT_EQ(dir.FileCount(), 1u); // the temporary file is gone
        EXPECT_TRUE(StateOf(doc) == before);
        EXPECT_EQ(LogicalText(doc), "x" + LongText());

        // Undo still goes back over the edit.
        FxTextPos caret;
        EXPECT_TRUE(doc.Undo(&caret));
        EXPECT_EQ(LogicalText(doc).substr(0, 10), LongText().substr(0, 10));
    }
}

TEST(SaveCancel, ACancelledSaveToANewNameLeavesNoFile) {
    for (int encoding : {FxEncAnsi, FxEncUtf16Le}) {
        SCOPED_TRACE(encoding);
        Scratch dir;
        const std::string path = dir.Path("new.txt");
        CancellingDoc doc;
        PrepareEdited(doc, encoding, FxLineEndDos);
        const DocState before = StateOf(doc);
        doc.cancelAt = 1;
        EXPECT_THROW(SaveDocumentFile(doc, path.c_str()), FxCancelled);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(dir.FileCount(), 0u);
        EXPECT_TRUE(StateOf(doc) == before);
    }
}

TEST(SaveCancel, TheSameSaveNotCancelledWritesTheWholeText) {
    Scratch dir;
    const std::string path = dir.Path("whole.txt");
    WriteBytes(path, "old");
    CancellingDoc doc;
    PrepareEdited(doc, FxEncAnsi, FxLineEndDos);
    ASSERT_TRUE(SaveDocumentFile(doc, path.c_str()));
    EXPECT_EQ(doc.saves.back(), 100);
    EXPECT_EQ(ReadBytes(path), "x" + LongText());
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(SaveCancel, ARecoveryCopyIsNotTheUsersSaveAndCannotBeCancelledThroughTheDocument) {
    Scratch dir;
    CancellingDoc doc;
    PrepareEdited(doc, FxEncUtf8, FxLineEndUnix);
    doc.cancelAt = 0; // would stop any save at once
    FxRecoveryInfo info;
    info.path = dir.Path("doc.txt");
    const std::unique_ptr<FxRecoverySnapshot> snap = TakeRecoverySnapshot(doc, info);
    const std::string copy = dir.Path("copy.qvr");
    uint32_t error = 0;
    EXPECT_TRUE(WriteRecoveryCopy(*snap, copy, &error)) << error;
    EXPECT_TRUE(doc.saves.empty());
    FxRecoveryInfo read;
    EXPECT_EQ(CheckRecoveryCopy(copy, read), FxRecoveryCheck::Sound);
    EXPECT_TRUE(doc.IsModified());
}
