// The view tests' harness: a top-level frame showing a CFxEditView on a CFxEditHostDoc, keys,
// characters and mouse messages sent to it, and the document's text with the caret and the
// selection marked ("|" caret, "[" the other end of a selection).
#pragma once

#include "textview/FxEditHostDoc.h"
#include "textview/FxEditView.h"

#include "framework/FrameWnd.h"
#include "textview/FileTypeInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Handles every waiting message.
void PumpViewMessages();

// One frame with its view, on a document it may share with another frame.
struct ViewWindow {
    CFrameWnd* frame = nullptr;
    CFxEditView* view = nullptr;
    // Frame of client size (w, h) showing a new view of doc.
    void Open(CFxEditHostDoc* doc, int w, int h, const FileTypeInfo* type = nullptr);
    void Close();
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the document's text ("\n" breaks) and resets the view.
    void SetText(const std::string& text);
    // The logical text with "\n" breaks.
    std::string Text() const;
    // Script notation: text with "|" at the caret and "[" at the anchor of a selection.
    void SetScript(const std::string& script);
    std::string Script() const;
    // Sends one key token: "Left", "S-Left", "C-Back", "CS-End", or a single character typed.
    void Press(const std::string& token);
    void PressAll(const std::vector<std::string>& tokens);
    void Key(UINT vk, bool shift = false, bool ctrl = false, bool alt = false);
    void Char(unsigned char c, CFxEditView* view = nullptr);
    void Type(const std::string& bytes);
    // Mouse messages at a window point.
    void Mouse(UINT message, POINT pt, UINT keys = 0, CFxEditView* view = nullptr);
    // The window point of a piece position (its top-left corner, nudged inside the line).
    POINT PointOf(FxTextPos piecePos, CFxEditView* view = nullptr);
    FxTextPos LogicalCaret() const;

    CFxEditHostDoc* m_doc = nullptr;
    ViewWindow m_win;
    CFxEditView* m_view = nullptr;
    FileTypeInfo m_type;
};

// The display font of the tests (a fixed-pitch face with CJK glyphs when present).
HFONT TestFont();
// The default file type with the given changes applied by the caller.
FileTypeInfo MakeFileType();
