// Helpers of the document tests: a document that records its events, a plain column splitter
// standing in for the wrapping view, and the document's logical text as one string.
#pragma once

#include "textdoc/FxEditDoc.h"

#include <string>
#include <utility>
#include <vector>

class TestDoc : public CFxEditDoc {
public:
    TestDoc() { InitDocument(0); }
    void OnDocEvent(int code, int arg) override { events.emplace_back(code, arg); }
    std::vector<std::pair<int, int>> events;
};

// Splits each logical line every `width` bytes (never inside a double-byte character).
class ColumnSplitter : public IFxDocView {
public:
    explicit ColumnSplitter(int width) : m_width(width) {}
    void SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) override;
    void OnTextEdited(const FxTextPos& caret, int32_t firstRecord, bool fromLineDown) override {
        lastCaret = caret;
        lastRecord = firstRecord;
        lastFromLineDown = fromLineDown;
        ++edits;
    }
    void OnLineEndTypeChanged() override { ++lineEndChanges; }

    FxTextPos lastCaret;
    int32_t lastRecord = -1;
    bool lastFromLineDown = false;
    int edits = 0, lineEndChanges = 0;

private:
    int m_width;
};

// The logical text with CR LF between logical lines, read through the records.
std::string LogicalText(const CFxEditDoc& doc);
// Loads text (CR LF breaks) into an emptied document as one record per line.
void SetText(CFxEditDoc& doc, const std::string& text);
// Checks the record invariants (pieces add up, heads and distances, flags, sizes); returns a
// description of the first violation or an empty string.
std::string CheckInvariants(const CFxEditDoc& doc);

// One edit command as the view makes it: group, record and edit.
void TypeAt(CFxEditDoc& doc, FxTextPos logical, const std::string& text, int action = FxUndoTyping);
void DeleteRange(CFxEditDoc& doc, FxTextPos logicalA, FxTextPos logicalB,
                 int action = FxUndoDelete);
