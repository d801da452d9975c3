// The view tests' harness.
#include "tests/textview/ViewTestUtil.h"

#include "framework/CreateContext.h"
#include "framework/OleInit.h"
#include "framework/WinApp.h"
#include "textview/ViewFontMetrics.h"

namespace {

class ViewTestApp : public CWinApp {
public:
    ViewTestApp() { m_bPostQuitOnMainWndDestroy = false; }
};

ViewTestApp& App() {
    static ViewTestApp* app = new ViewTestApp; // lives to the end of the process
    return *app;
}

void SetModifierKeys(bool shift, bool ctrl, bool alt) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_LSHIFT] = keys[VK_SHIFT];
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_LCONTROL] = keys[VK_CONTROL];
    keys[VK_MENU] = alt ? 0x80 : 0;
    keys[VK_LMENU] = keys[VK_MENU];
    SetKeyboardState(keys);
}

} // namespace

void PumpViewMessages() {
    App().PumpPendingMessages();
}

HFONT TestFont() {
    static HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                    FIXED_PITCH | FF_MODERN, "WenQuanYi Micro Hei Mono");
    return font;
}

FileTypeInfo MakeFileType() {
    return MakeDefaultFileType();
}

void ViewWindow::Open(CFxEditHostDoc* doc, int w, int h, const FileTypeInfo* type) {
    App();
    CCreateContext ctx;
    ctx.m_pNewViewClass = RUNTIME_CLASS(CFxEditView);
    ctx.m_pCurrentDoc = doc;
    frame = new CFrameWnd;
    RECT outer = {0, 0, w, h};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    RECT rc = {20, 20, 20 + outer.right - outer.left, 20 + outer.bottom - outer.top};
    ASSERT_TRUE(frame->CreateFrame(nullptr, "view test", WS_OVERLAPPEDWINDOW, rc, nullptr, nullptr,
                                   0, &ctx))
        << "error " << GetLastError();
    view = DynamicDowncast<CFxEditView>(CWnd::FromHandle(frame->GetDescendantWindow(0xE900)));
    ASSERT_NE(view, nullptr);
    view->SetFileType(type);
    // The frame gives the view its whole client area; the view's border is not wanted here.
    view->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    frame->RecalcLayout();
    frame->InitialUpdateFrame(doc, true);
    PumpViewMessages();
}

void ViewWindow::Close() {
    if (frame && frame->m_hWnd)
        frame->DestroyWindow();
    frame = nullptr;
    view = nullptr;
    PumpViewMessages();
}

void ViewTest::SetUp() {
    AfxOleInit();
    ViewFontMetrics::Shared().SetFont(TestFont());
    m_type = MakeFileType();
    m_doc = new CFxEditHostDoc;
    m_doc->m_bAutoDelete = false;
    m_doc->OnNewDocument();
    m_doc->m_showRuler = true;
    m_win.Open(m_doc, 480, 320, &m_type);
    m_view = m_win.view;
    m_view->SetFocus();
    PumpViewMessages();
}

void ViewTest::TearDown() {
    SetModifierKeys(false, false, false);
    m_win.Close();
    delete m_doc;
    m_doc = nullptr;
}

void ViewTest::SetText(const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    m_view->ClearSelection();
    const int mode = m_doc->WrapMode(), width = m_doc->WrapColumn();
    if (mode)
        m_view->SetWrapMode(0, 0);
    m_doc->DeleteContents();
    m_doc->InitDocument(0);
    FxTextPos pos(0, 0);
    m_doc->InsertText(pos, crlf.data(), static_cast<int32_t>(crlf.size()), nullptr);
    m_doc->SetModifiedFlag(false);
    m_view->MoveCaretTo(FxTextPos(0, 0));
    if (mode)
        m_view->SetWrapMode(mode, width);
    m_view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
    PumpViewMessages();
}

std::string ViewTest::Text() const {
    std::string out;
    const FxTextPos end = m_doc->EndPos();
    std::string buf(static_cast<size_t>(m_doc->MeasureText(FxTextPos(0, 0), end, 1)) + 1, '\0');
    int32_t n = m_doc->CopyText(FxTextPos(0, 0), end, &buf[0], static_cast<int32_t>(buf.size()), 1);
    return buf.substr(0, static_cast<size_t>(n));
}

FxTextPos ViewTest::LogicalCaret() const {
    return m_doc->PieceToLogical(m_view->Caret());
}

void ViewTest::SetScript(const std::string& script) {
    std::string text;
    FxTextPos caret, anchor(-1, -1), at(0, 0);
    for (char c : script) {
        if (c == '|') {
            caret = at;
        } else if (c == '[') {
            anchor = at;
        } else {
            text += c;
            if (c == '\n') {
                ++at.line;
                at.col = 0;
            } else {
                ++at.col;
            }
        }
    }
    SetText(text);
    if (anchor.line >= 0) {
        m_view->MoveCaretTo(m_doc->LogicalToPiecePos(anchor));
        m_view->MoveCaretTo(m_doc->LogicalToPiecePos(caret));
        m_view->SelectRange(m_doc->LogicalToPiecePos(anchor));
    } else {
        m_view->MoveCaretTo(m_doc->LogicalToPiecePos(caret));
    }
}

std::string ViewTest::Script() const {
    const std::string text = Text();
    const FxTextPos caret = LogicalCaret();
    FxTextPos anchor(-1, -1);
    if (m_view->HasSelection())
        anchor = m_doc->PieceToLogical(m_view->SelectionAnchor());
    std::string out;
    FxTextPos at(0, 0);
    for (size_t i = 0;; ++i) {
        if (at == anchor)
            out += '[';
        if (at == caret)
            out += '|';
        if (i >= text.size())
            break;
        out += text[i];
        if (text[i] == '\n') {
            ++at.line;
            at.col = 0;
        } else {
            ++at.col;
        }
    }
    return out;
}

void ViewTest::Key(UINT vk, bool shift, bool ctrl, bool alt) {
    SetModifierKeys(shift, ctrl, alt);
    m_view->SendMessage(WM_KEYDOWN, vk, 1);
    SetModifierKeys(false, false, false);
    PumpViewMessages();
}

void ViewTest::Char(unsigned char c, CFxEditView* view) {
    (view ? view : m_view)->SendMessage(WM_CHAR, c, 1);
}

void ViewTest::Type(const std::string& bytes) {
    for (char c : bytes)
        Char(static_cast<unsigned char>(c));
    PumpViewMessages();
}

void ViewTest::Press(const std::string& token) {
    static const struct {
        const char* name;
        UINT vk;
    } keys[] = {{"Left", VK_LEFT},  {"Right", VK_RIGHT}, {"Up", VK_UP},        {"Down", VK_DOWN},
                {"Home", VK_HOME},  {"End", VK_END},     {"PgUp", VK_PRIOR},   {"PgDn", VK_NEXT},
                {"Back", VK_BACK},  {"Del", VK_DELETE},  {"Enter", VK_RETURN}, {"Tab", VK_TAB},
                {"Ins", VK_INSERT}, {"Esc", VK_ESCAPE}};
    std::string name = token;
    bool shift = false, ctrl = false;
    size_t dash = token.find('-');
    if (token.size() > 1 && dash != std::string::npos && dash > 0) {
        std::string mods = token.substr(0, dash);
        shift = mods.find('S') != std::string::npos;
        ctrl = mods.find('C') != std::string::npos;
        name = token.substr(dash + 1);
    }
    for (const auto& k : keys) {
        if (name == k.name) {
            Key(k.vk, shift, ctrl);
            return;
        }
    }
    Type(token);
}

void ViewTest::PressAll(const std::vector<std::string>& tokens) {
    for (const std::string& t : tokens)
        Press(t);
}

void ViewTest::Mouse(UINT message, POINT pt, UINT keys, CFxEditView* view) {
    (view ? view : m_view)->SendMessage(message, keys, MAKELPARAM(pt.x, pt.y));
    PumpViewMessages();
}

POINT ViewTest::PointOf(FxTextPos piecePos, CFxEditView* view) {
    CFxEditView* v = view ? view : m_view;
    const int x = v->PieceColumnToX(piecePos);
    return POINT{v->WindowXFromDoc(x), v->WindowYFromRecord(piecePos.line) + 2};
}
