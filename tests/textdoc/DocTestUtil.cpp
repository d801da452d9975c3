// Helpers of the document tests.
#include "DocTestUtil.h"

#include "textdoc/Dbcs.h"

#include <sstream>

void ColumnSplitter::SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) {
    const uint32_t lineEnd = head.flags & FXL_LINEEND;
    int32_t pos = 0;
    const int32_t len = head.lineLen;
    size_t first = out.size();
    do {
        int32_t end = pos;
        while (end < len && end - pos < m_width) {
            int n = FxCharLen(head.data, static_cast<size_t>(end), static_cast<size_t>(len));
            if (end - pos + n > m_width && end > pos)
                break;
            end += n;
        }
        FxLine p = head;
        p.data = head.data ? head.data + pos : nullptr;
        p.len = end - pos;
        if (out.size() == first) {
            p.flags = head.flags & ~FXL_LINEEND;
        } else {
            p.flags = (head.flags & FXL_SYNTAXMASK) | FXL_CONTINUED;
            p.lineLen = static_cast<int32_t>(out.size() - first);
            p.block = FxBlockRef{};
        }
        out.push_back(p);
        pos = end;
    } while (pos < len);
    out.back().flags |= lineEnd;
}

std::string LogicalText(const CFxEditDoc& doc) {
    std::string s;
    for (int32_t i = 0; i < doc.RecordCount(); ++i) {
        const FxLine& r = doc.Record(i);
        if (r.len)
            s.append(r.data, static_cast<size_t>(r.len));
        if (r.HasLineEnd())
            s += "\r\n";
    }
    return s;
}

void SetText(CFxEditDoc& doc, const std::string& text) {
    doc.DeleteContents();
    doc.InitDocument(0);
    FxTextPos p(0, 0);
    doc.InsertText(p, text.data(), static_cast<int32_t>(text.size()));
    doc.MarkSaved();
}

std::string CheckInvariants(const CFxEditDoc& doc) {
    std::ostringstream err;
    const int32_t n = doc.RecordCount();
    if (n < 1)
        return "no record";
    int64_t size = 0;
    int32_t logical = 0, bookmarks = 0;
    for (int32_t i = 0; i < n;) {
        const FxLine& h = doc.Record(i);
        if (h.IsContinued()) {
            err << "record " << i << " should be a head";
            return err.str();
        }
        if (doc.IsWrapped() && h.logLine != logical) {
            err << "head " << i << " numbered " << h.logLine << ", expected " << logical;
            return err.str();
        }
        int32_t sum = 0, k = 0;
        const char* expect = h.data;
        for (;; ++k) {
            const FxLine& p = doc.Record(i + k);
            if (k > 0 && (!p.IsContinued() || p.lineLen != k || p.block)) {
                err << "record " << i + k << " is not a proper continuation";
                return err.str();
            }
            if (p.len && p.data != expect) {
                err << "record " << i + k << " data is not back to back";
                return err.str();
            }
            if (p.flags & FXL_BOOKMARK)
                ++bookmarks;
            expect = p.data ? p.data + p.len : expect;
            sum += p.len;
            bool last = i + k + 1 >= n || !doc.Record(i + k + 1).IsContinued();
            if (!last && p.HasLineEnd()) {
                err << "record " << i + k << " has a line end inside its line";
                return err.str();
            }
            if (last)
                break;
        }
        if (sum != h.lineLen) {
            err << "line at " << i << ": pieces " << sum << " != length " << h.lineLen;
            return err.str();
        }
        if ((h.lineLen == 0) != (h.data == nullptr) || (h.lineLen == 0) != !h.block) {
            err << "line at " << i << ": buffer and length disagree";
            return err.str();
        }
        const FxLine& lastPiece = doc.Record(i + k);
        bool docEnd = i + k + 1 == n;
        if (lastPiece.HasLineEnd() == docEnd) {
            err << "line at " << i << ": line-end flag wrong";
            return err.str();
        }
        size += h.lineLen + (lastPiece.HasLineEnd() ? doc.TerminatorLength() : 0);
        ++logical;
        i += k + 1;
    }
    if (logical != doc.LogicalLineCount()) {
        err << "logical lines " << doc.LogicalLineCount() << ", counted " << logical;
        return err.str();
    }
    if (size != doc.DocumentSize()) {
        err << "size " << doc.DocumentSize() << ", counted " << size;
        return err.str();
    }
    if (bookmarks != doc.BookmarkCount()) {
        err << "bookmarks " << doc.BookmarkCount() << ", counted " << bookmarks;
        return err.str();
    }
    return std::string();
}

void TypeAt(CFxEditDoc& doc, FxTextPos logical, const std::string& text, int action) {
    FxUndoGroupGuard group(doc, action);
    FxTextPos start = doc.LogicalToPiecePos(logical);
    FxTextPos head = doc.ToHeadPiece(start);
    FxTextPos pos = logical;
    doc.InsertText(pos, text.data(), static_cast<int32_t>(text.size()));
    doc.RecordInsert(head, pos);
}

void DeleteRange(CFxEditDoc& doc, FxTextPos logicalA, FxTextPos logicalB, int action) {
    FxUndoGroupGuard group(doc, action);
    FxTextPos a = doc.LogicalToPiecePos(logicalA);
    FxTextPos b = doc.LogicalToPiecePos(logicalB);
    doc.RecordDelete(a, b);
    doc.DeleteText(a, b);
}
