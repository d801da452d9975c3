// Random edit sequences against a plain string model, unwrapped and wrapped, with undo and
// redo in between and all the way back and forth at the end.
#include <gtest/gtest.h>

#include "DocTestUtil.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class Rng {
public:
    explicit Rng(uint32_t seed) : m_state(seed) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }

private:
    uint32_t m_state;
};

// Offset in the model of a logical position (breaks are CR LF).
size_t ModelOffset(const std::string& model, FxTextPos pos) {
    size_t off = 0;
    for (int32_t line = 0; line < pos.line; ++line)
        off = model.find("\r\n", off) + 2;
    return off + static_cast<size_t>(pos.col);
}

std::string RandomText(Rng& rng) {
    static const char* const kPieces[] = {"a", "bc", "xyz", " ", "\t", "\r\n", "\xD6\xD0",
                                          "\xCE\xC4\xB0\xA1", "hello world", "\r\n\r\n"};
    std::string s;
    int n = 1 + static_cast<int>(rng.Below(4));
    for (int i = 0; i < n; ++i)
        s += kPieces[rng.Below(10)];
    return s;
}

FxTextPos RandomPos(const CFxEditDoc& doc, Rng& rng) {
    int32_t line = static_cast<int32_t>(rng.Below(static_cast<uint32_t>(doc.LogicalLineCount())));
    int32_t len = doc.GetLineLength(line);
    return FxTextPos(static_cast<int32_t>(rng.Below(static_cast<uint32_t>(len + 1))), line);
}

void RunRandomEdits(int wrapWidth, uint32_t seed, int steps) {
    TestDoc doc;
    std::unique_ptr<ColumnSplitter> view;
    SetText(doc, "first line\r\n\xD6\xD0\xCE\xC4 second\r\n\r\nlast");
    if (wrapWidth > 0) {
        view.reset(new ColumnSplitter(wrapWidth));
        doc.SetAttachedViews(view.get(), nullptr);
        doc.SetWrap(2, wrapWidth);
        doc.WrapAllLines();
    }
    Rng rng(seed);
    std::vector<std::string> states{LogicalText(doc)};
    size_t at = 0; // index of the current state
    for (int step = 0; step < steps; ++step) {
        const std::string& model = states[at];
        uint32_t op = rng.Below(10);
        std::string next = model;
        if (op < 4) {
            FxTextPos p = RandomPos(doc, rng);
            std::string text = RandomText(rng);
            next.insert(ModelOffset(model, p), text);
            TypeAt(doc, p, text, FxUndoInsert);
        } else if (op < 7) {
            FxTextPos a = RandomPos(doc, rng), b = RandomPos(doc, rng);
            if (b < a)
                std::swap(a, b);
            size_t oa = ModelOffset(model, a), ob = ModelOffset(model, b);
            next.erase(oa, ob - oa);
            DeleteRange(doc, a, b, FxUndoDelete);
        } else if (op < 8) {
            FxTextPos a = RandomPos(doc, rng), b = a;
            b.col = std::min(doc.GetLineLength(a.line), a.col + 3);
            std::string text = RandomText(rng);
            size_t oa = ModelOffset(model, a);
            next.replace(oa, static_cast<size_t>(b.col - a.col), text);
            FxUndoGroupGuard group(doc, FxUndoReplace);
            DeleteRange(doc, a, b, FxUndoReplace);
            TypeAt(doc, a, text, FxUndoReplace);
        } else if (op < 9) {
            if (at > 0) {
                ASSERT_TRUE(doc.Undo(nullptr));
                --at;
            }
            ASSERT_EQ(LogicalText(doc), states[at]) << "undo at step " << step;
            continue;
        } else {
            if (at + 1 < states.size()) {
                ASSERT_TRUE(doc.Redo(nullptr));
                ++at;
            }
            ASSERT_EQ(LogicalText(doc), states[at]) << "redo at step " << step;
            continue;
        }
        // Even an empty edit records a step, so it gets a state of its own.
        states.resize(at + 1);
        states.push_back(next);
        ++at;
        ASSERT_EQ(LogicalText(doc), states[at]) << "step " << step << " op " << op;
        if (step % 50 == 0) {
            ASSERT_EQ(CheckInvariants(doc), "") << "step " << step;
        }
    }
    ASSERT_EQ(CheckInvariants(doc), "");
    while (at > 0) {
        ASSERT_TRUE(doc.Undo(nullptr));
        --at;
        ASSERT_EQ(LogicalText(doc), states[at]) << "undoing back, state " << at;
    }
    EXPECT_FALSE(doc.IsModified());
    while (at + 1 < states.size()) {
        ASSERT_TRUE(doc.Redo(nullptr));
        ++at;
        ASSERT_EQ(LogicalText(doc), states[at]) << "redoing forward, state " << at;
    }
    EXPECT_EQ(CheckInvariants(doc), "");
}

} // namespace

TEST(RandomEdit, Unwrapped) {
    for (uint32_t seed : {1u, 2u, 3u})
        RunRandomEdits(0, seed, 1500);
}

TEST(RandomEdit, WrappedNarrow) {
    for (uint32_t seed : {4u, 5u})
        RunRandomEdits(3, seed, 1500);
}

TEST(RandomEdit, WrappedOneColumn) { RunRandomEdits(1, 6, 800); }
