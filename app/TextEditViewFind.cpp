// CTextEditView: find, mark, replace and replace all, Find Next / Previous, bracket matching,
// and the Find and Replace dialogs. Layer: app/ (application shell).
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/FindIds.h"
#include "app/TextEditView.h"
#include "common/LeadBytes.h"
#include "settings/FileTypes.h"
#include "settings/SettingsStore.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "textdoc/Dbcs.h"
#include "textview/SyntaxState.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

// The common dialogs' FindText and ReplaceText macros would rename the search functions.
#undef FindText
#undef ReplaceText
#include "search/FxSearch.h"

namespace {

const int kBoxLimit = 4096;

SearchOptions& Options() {
    static SearchOptions fallback;
    SettingsStore* settings = AppSettings();
    return settings ? settings->Search() : fallback;
}

std::string LastFindText() {
    SettingsStore* settings = AppSettings();
    if (!settings)
        return std::string();
    const std::vector<std::string>& list = settings->History(HistoryFind);
    return list.empty() ? std::string() : list.front();
}

} // namespace

// --- The view's side ---------------------------------------------------------------------------

void CTextEditView::FillSearch(FxSearch& req, const std::string& pattern) const {
    const SearchOptions& o = Options();
    req.matchCase = o.matchCase;
    req.wholeWord = o.wholeWord;
    req.regExp = o.regExp;
    req.down = o.down;
    req.pattern = pattern.c_str();
    req.patternLen = static_cast<int32_t>(pattern.size());
    if (m_type && m_type->syntax.DelimiterCount() > 0)
        req.delimiters = m_type->syntax.Delimiters();
}

std::string CTextEditView::FindPrefillText(int maxBytes) const {
    if (!m_doc || m_doc->RecordCount() == 0)
        return std::string();
    if (HasSelection() && m_selKind != SEL_COLUMN) {
        std::string text = CopySelectionText(FxLineEndDos);
        const size_t eol = text.find_first_of("\r\n");
        if (eol != std::string::npos)
            text.resize(eol);
        return text.substr(0, FxCutLength(text.data(), text.size(), static_cast<size_t>(maxBytes)));
    }
    const FxTextPos caret = m_doc->PieceToLogical(m_caret);
    FxTextPos s, e;
    if (!WordAt(caret, s, e) || s.line != e.line || e.col <= s.col)
        return std::string();
    FxTextPos head(0, s.line);
    m_doc->LogicalToPiece(head);
    const FxLine& r = m_doc->Record(head.line);
    if (e.col > r.lineLen)
        return std::string();
    const char* word = r.data + s.col;
    if (*word == ' ' || *word == '\t')
        return std::string();
    const size_t wordLen = static_cast<size_t>(e.col - s.col);
    return std::string(word, FxCutLength(word, wordLen, static_cast<size_t>(maxBytes)));
}

bool CTextEditView::SelectionIsMatch(const std::string& pattern) const {
    if (!m_doc || !HasSelection() || m_selKind == SEL_COLUMN || pattern.empty())
        return false;
    const FxTextPos a = m_doc->PieceToLogical(SelectionStart());
    const FxTextPos b = m_doc->PieceToLogical(SelectionEnd());
    FxSearch req;
    FillSearch(req, pattern);
    FxLineMatcher matcher;
    if (!matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)))
        return false;
    const FxSearchResult res = FindInRange(*m_doc, matcher, a, b, true);
    return res.Found() && res.matchStart == a && res.matchEnd == b;
}

RECT CTextEditView::SelectionScreenRect() {
    RECT box = {0, 0, 0, 0};
    if (!m_doc || !HasSelection() || m_selKind == SEL_COLUMN || !m_hWnd)
        return box;
    bool any = false;
    for (int32_t rec = m_selFirst; rec <= m_selLast && rec < m_doc->RecordCount(); ++rec) {
        const FxLine& r = m_doc->Record(rec);
        FxTextPos a(std::min(std::max(0, r.selStart), r.len), rec);
        FxTextPos b(std::min(std::max(0, r.selEnd), r.len), rec);
        const RECT piece = {WindowXFromDoc(PieceColumnToX(a)), WindowYFromRecord(rec),
                            WindowXFromDoc(PieceColumnToX(b)), WindowYFromRecord(rec + 1)};
        if (!any) {
            box = piece;
            any = true;
        } else {
            UnionRect(&box, &box, &piece);
        }
    }
    POINT corners[2] = {{box.left, box.top}, {box.right, box.bottom}};
    MapWindowPoints(m_hWnd, HWND_DESKTOP, corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CTextEditView::ReportSearchFailure(const std::string& pattern, int error, unsigned messageId,
                                        int errorChar) {
    UINT id = messageId;
    if (error != FxSeNone && !id)
        id = FxSearchErrorStringId(error);
    if (error == FxSeReadOnly)
        return; // the document's event has shown its notice
    if (!id)
        id = IDS_FIND_NOT_FOUND;
    AfxMessageBox(AfxFormat(AfxLoadString(id).c_str(), pattern.c_str(), errorChar).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

bool CTextEditView::FindAndSelect(const std::string& pattern, bool down, bool fromSelection,
                                  bool quiet) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return false;
    FxSearch req;
    FillSearch(req, pattern);
    req.down = down;
    req.wrap = true;
    req.start = m_doc->PieceToLogical(m_caret);
    if (fromSelection && SelectionIsMatch(pattern))
        req.start = m_doc->PieceToLogical(down ? SelectionEnd() : SelectionStart());
    FxSearchResult res;
    try {
        res = FindText(*m_doc, req);
    } catch (...) {
        ReportException();
        return false;
    }
    if (!res.Found()) {
        ClearSelection();
        if (!quiet)
            ReportSearchFailure(pattern, res.error, res.messageId, res.errorChar);
        return false;
    }
    ClearSelection();
    m_caret = m_doc->LogicalToPiecePos(res.matchStart);
    MoveOrExtend(m_doc->LogicalToPiecePos(res.matchEnd), true, true);
    return true;
}

bool CTextEditView::ReplaceAndFind(const std::string& pattern, const std::string& replacement) {
    if (!m_doc)
        return false;
    if (SelectionIsMatch(pattern)) {
        if (m_doc->IsReadOnly()) {
            m_doc->OnDocEvent(FxEvReadOnly, 0);
            return false;
        }
        FxSearch req;
        FillSearch(req, pattern);
        req.single = true;
        req.replacement = replacement.c_str();
        req.replacementLen = static_cast<int32_t>(replacement.size());
        req.start = m_doc->PieceToLogical(SelectionStart());
        req.end = m_doc->PieceToLogical(SelectionEnd());
        ClearSelection();
        FxSearchResult res;
        try {
            res = ReplaceText(*m_doc, req);
        } catch (...) {
            ReportException();
            return false;
        }
        if (res.status == FxSearchFailed) {
            ReportSearchFailure(pattern, res.error, res.messageId, res.errorChar);
            return false;
        }
        UpdateViews(RefreshLineCount, 0, -1);
        GoToPos(res.caret);
    }
    return FindAndSelect(pattern, true, false);
}

int CTextEditView::ReplaceAll(const std::string& pattern, const std::string& replacement,
                              bool inSelection) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return 0;
    if (m_doc->IsReadOnly()) {
        m_doc->OnDocEvent(FxEvReadOnly, 0);
        return -1;
    }
    FxSearch req;
    FillSearch(req, pattern);
    req.replacement = replacement.c_str();
    req.replacementLen = static_cast<int32_t>(replacement.size());
    req.inSelection = inSelection && HasSelection() && m_selKind != SEL_COLUMN;
    if (req.inSelection) {
        req.start = m_doc->PieceToLogical(SelectionStart());
        req.end = m_doc->PieceToLogical(SelectionEnd());
    }
    const bool scoped = req.inSelection;
    ClearSelection();
    FxSearchResult res;
    {
        HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        try {
            res = ReplaceText(*m_doc, req);
        } catch (...) {
            SetCursor(old);
            ReportException();
            return -1;
        }
        SetCursor(old);
    }
    if (res.status == FxSearchFailed) {
        ReportSearchFailure(pattern, res.error, res.messageId, res.errorChar);
        return -1;
    }
    UpdateViews(RefreshLineCount, 0, -1);
    Invalidate(false);
    if (scoped) {
        m_caret = m_doc->LogicalToPiecePos(req.start);
        MoveOrExtend(m_doc->LogicalToPiecePos(req.end), true, true);
    } else if (res.count > 0) {
        GoToPos(res.caret);
    }
    return res.count;
}

int CTextEditView::MarkAllMatches(const std::string& pattern) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return 0;
    FxSearch req;
    FillSearch(req, pattern);
    req.markAll = true;
    // A pattern that cannot be searched for must not cost the user's bookmarks.
    const FxSearchResult check = FxCheckPattern(req);
    if (check.status == FxSearchFailed) {
        ReportSearchFailure(pattern, check.error, check.messageId, check.errorChar);
        return -1;
    }
    // Nor may a search that fails on the way: the marks it replaced come back.
    std::vector<int32_t> kept;
    for (int32_t rec = 0; rec < m_doc->RecordCount(); ++rec)
        if (m_doc->Record(rec).flags & FXL_BOOKMARK)
            kept.push_back(rec);
    auto restore = [&] {
        FxClearBookmarks(*m_doc);
        for (int32_t rec : kept)
            m_doc->RecordRef(rec).flags |= FXL_BOOKMARK;
        m_doc->SetBookmarkCount(static_cast<int>(kept.size()));
    };
    FxClearBookmarks(*m_doc);
    FxSearchResult res;
    try {
        res = MarkAll(*m_doc, req);
    } catch (...) {
        restore();
        Invalidate(false);
        ReportException();
        return 0;
    }
    if (res.status == FxSearchFailed)
        restore();
    Invalidate(false);
    if (res.status == FxSearchFailed) {
        ReportSearchFailure(pattern, res.error, res.messageId, res.errorChar);
        return -1;
    }
    if (res.count > 0) {
        const int32_t first = NextBookmarkAfter(-1);
        if (first >= 0)
            GoToLine(first);
    }
    return res.count;
}

void CTextEditView::OnSearchFind() {
    CFindReplaceDlg dlg(this, false);
    dlg.DoModal();
}

void CTextEditView::OnSearchReplace() {
    CFindReplaceDlg dlg(this, true);
    dlg.DoModal();
}

static void FindNextOrPrevious(CTextEditView& view, bool down) {
    const std::string text = LastFindText();
    if (text.empty()) {
        if (CAppMainFrame* frame = AppMainFrame())
            frame->ShowStatusMessage(AfxLoadString(IDS_FIND_NO_TEXT).c_str());
        MessageBeep(MB_OK);
        return;
    }
    view.FindAndSelect(text, down, true);
}

void CTextEditView::OnSearchFindNext() {
    FindNextOrPrevious(*this, true);
}

void CTextEditView::OnSearchFindPrev() {
    FindNextOrPrevious(*this, false);
}

// --- Bracket matching --------------------------------------------------------------------------

namespace {

CTextEditView::BeepHook g_beepHook = nullptr;

// Equal texts of len bytes: exactly, or ignoring the case of single-byte characters.
bool SameToken(const char* a, const char* b, int32_t len, bool matchCase) {
    if (matchCase)
        return memcmp(a, b, static_cast<size_t>(len)) == 0;
    for (int32_t i = 0; i < len;) {
        const int n = FxCharLen(a, static_cast<size_t>(i), static_cast<size_t>(len));
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (tolower(static_cast<unsigned char>(a[i])) !=
                   tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += n;
    }
    return true;
}

// The start of the character before byte col (> 0) of a line.
int32_t PrevCharStart(const char* text, int32_t len, int32_t col) {
    int32_t i = 0, prev = 0;
    while (i < col) {
        prev = i;
        i += FxCharLen(text, static_cast<size_t>(i), static_cast<size_t>(len));
    }
    return prev;
}

// The text of a logical line: its head record's data and the line's length.
const FxLine& LogicalHead(const CFxEditDoc& doc, int32_t line) {
    FxTextPos head(0, line);
    doc.LogicalToPiece(head);
    return doc.Record(head.line);
}

// One bracket search over a document with its syntax.
class PairSearch {
public:
    PairSearch(CFxEditDoc& doc, const SyntaxInfo& info) : m_doc(doc), m_info(info) {}

    bool InCommentOrString(FxTextPos logical) {
        const FxTextPos p = m_doc.LogicalToPiecePos(logical);
        return IsInCommentOrString(m_info, &m_doc.RecordRef(0), m_doc.RecordCount(),
                                   m_doc.m_prevSyntaxMark, m_doc.m_syntaxMark, p.line, p.col);
    }

    // The partner of the open (forward) or close string at [s, e); found: its start.
    bool Find(const SyntaxPair& pair, bool forward, FxTextPos s, FxTextPos e, FxTextPos& found) {
        FxMatchOptions options;
        options.matchCase = m_info.MatchCase();
        FxLineMatcher open, close;
        if (!open.Prepare(pair.start, pair.startLen, options) ||
            !close.Prepare(pair.end, pair.endLen, options))
            return false;
        // Neither search wraps: each stops at its end of the document.
        if (forward) {
            int opens = 1, closes = 0;
            FxTextPos prev = e, from = e;
            for (;;) {
                const FxSearchResult r =
                    FindInRange(m_doc, close, from, DocEnd(), true, nullptr, true);
                if (!r.Found())
                    return false;
                from = r.matchEnd;
                if (InCommentOrString(r.matchStart))
                    continue;
                opens += CountOutside(open, prev, r.matchStart);
                prev = r.matchEnd;
                if (opens == ++closes) {
                    found = r.matchStart;
                    return true;
                }
            }
        }
        int opens = 0, closes = 1;
        FxTextPos prev = s, to = s;
        for (;;) {
            const FxSearchResult r = FindInRange(m_doc, open, FxTextPos(0, 0), to, false);
            if (!r.Found())
                return false;
            to = r.matchStart;
            if (InCommentOrString(r.matchStart))
                continue;
            closes += CountOutside(close, r.matchEnd, prev);
            prev = r.matchStart;
            if (++opens == closes) {
                found = r.matchStart;
                return true;
            }
        }
    }

private:
    FxTextPos DocEnd() const {
        const int32_t last = std::max(m_doc.LogicalLineCount() - 1, 0);
        return FxTextPos(LogicalHead(m_doc, last).lineLen, last);
    }

    // The matches in [lo, hi] outside comments and strings.
    int CountOutside(FxLineMatcher& matcher, FxTextPos lo, FxTextPos hi) {
        int n = 0;
        for (;;) {
            const FxSearchResult r = FindInRange(m_doc, matcher, lo, hi, true, nullptr, true);
            if (!r.Found())
                return n;
            if (!InCommentOrString(r.matchStart))
                ++n;
            lo = r.matchEnd;
        }
    }

    CFxEditDoc& m_doc;
    const SyntaxInfo& m_info;
};

} // namespace

bool CTextEditView::MatchPair() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return false;
    const SyntaxInfo& info = FileType().syntax;
    const SyntaxPair* pairs = info.Brackets();
    int32_t longest = 0;
    for (const SyntaxPair* p = pairs; p; p = p->next)
        longest = std::max(longest, std::max(p->startLen, p->endLen));
    if (longest == 0)
        return false;
    const FxTextPos caret = LogicalCaret();
    const FxLine& head = LogicalHead(*m_doc, caret.line);
    const char* text = head.data;
    const int32_t len = text ? head.lineLen : 0;
    PairSearch search(*m_doc, info);
    // At the caret, then one character to its left.
    const int32_t cols[2] = {caret.col, caret.col > 0 ? PrevCharStart(text, len, caret.col) : -1};
    for (int32_t col : cols) {
        if (col < 0 || col >= len)
            continue;
        const FxTextPos at(col, caret.line);
        FxTextPos s, e;
        WordAt(m_doc->LogicalToPiecePos(at), s, e);
        const int32_t tokenLen = e.col - s.col;
        if (tokenLen <= 0 || tokenLen > longest || search.InCommentOrString(at))
            continue;
        const char* token = text + s.col;
        for (const SyntaxPair* p = pairs; p; p = p->next) {
            const bool open =
                tokenLen == p->startLen && SameToken(token, p->start, tokenLen, info.MatchCase());
            const bool close = !open && p->end && tokenLen == p->endLen &&
                               SameToken(token, p->end, tokenLen, info.MatchCase());
            if (!open && !close)
                continue;
            FxTextPos found;
            if (!search.Find(*p, open, s, e, found))
                return false;
            GoToPos(found);
            return true;
        }
    }
    return false;
}

void CTextEditView::OnMatchPair() {
    if (MatchPair())
        return;
    if (g_beepHook)
        g_beepHook(0);
    else
        MessageBeep(0);
}

void CTextEditView::SetBeepHook(BeepHook hook) {
    g_beepHook = hook;
}

// --- The dialogs -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFindReplaceDlg, CDialog)
ON_BN_CLICKED(IDC_FIND_FIND, OnFind)
ON_BN_CLICKED(IDC_FIND_MARK, OnMark)
ON_BN_CLICKED(IDC_FIND_REPLACE, OnReplace)
ON_BN_CLICKED(IDC_FIND_REPLACE_ALL, OnReplaceAll)
ON_BN_CLICKED(IDC_FIND_SCOPE_SELECTION, OnScopeChanged)
ON_BN_CLICKED(IDC_FIND_SCOPE_DOCUMENT, OnScopeChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FIND_WHAT, OnTextChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FIND_WHAT, OnTextChanged)
END_MESSAGE_MAP()

CFindReplaceDlg::CFindReplaceDlg(CTextEditView* view, bool replace)
    : CDialog(replace ? IDD_REPLACE : IDD_FIND, view), m_view(view), m_replace(replace) {}

std::string CFindReplaceDlg::BoxText(int id) const {
    HWND box = GetDlgItem(id);
    if (!box)
        return std::string();
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(box)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(box, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool CFindReplaceDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SettingsStore* settings = AppSettings();
    const int boxes[2] = {IDC_FIND_WHAT, IDC_FIND_REPLACE_WITH};
    const HistoryKind kinds[2] = {HistoryFind, HistoryReplace};
    for (int i = 0; i < (m_replace ? 2 : 1); ++i) {
        HWND box = GetDlgItem(boxes[i]);
        ::SendMessageA(box, CB_LIMITTEXT, kBoxLimit, 0);
        if (settings)
            for (const std::string& item : settings->History(kinds[i]))
                ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SetDlgItemTextA(m_hWnd, IDC_FIND_WHAT, m_view->FindPrefillText().c_str());
    const SearchOptions& o = Options();
    CheckDlgButton(m_hWnd, IDC_FIND_MATCH_CASE, o.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIND_WHOLE_WORD, o.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIND_REGEXP, o.regExp ? BST_CHECKED : BST_UNCHECKED);
    if (!m_replace) {
        CheckRadioButton(m_hWnd, IDC_FIND_UP, IDC_FIND_DOWN, o.down ? IDC_FIND_DOWN : IDC_FIND_UP);
    } else {
        const bool stream =
            m_view->HasSelection() && m_view->SelectionKind() != CFxEditView::SEL_COLUMN;
        ::EnableWindow(GetDlgItem(IDC_FIND_SCOPE_SELECTION), stream);
        const bool multi = stream && m_view->SelectionFirst() != m_view->SelectionLast() &&
                           m_view->SelectionStart().line != m_view->SelectionEnd().line;
        CheckRadioButton(m_hWnd, IDC_FIND_SCOPE_SELECTION, IDC_FIND_SCOPE_DOCUMENT,
                         multi ? IDC_FIND_SCOPE_SELECTION : IDC_FIND_SCOPE_DOCUMENT);
    }
    UpdateButtons();
    return true;
}

void CFindReplaceDlg::UpdateButtons() {
    HWND what = GetDlgItem(IDC_FIND_WHAT);
    const bool hasText =
        ::GetWindowTextLengthA(what) > 0 || ::SendMessageA(what, CB_GETCURSEL, 0, 0) != CB_ERR;
    const bool scopeSel = m_replace && IsDlgButtonChecked(m_hWnd, IDC_FIND_SCOPE_SELECTION);
    ::EnableWindow(GetDlgItem(IDC_FIND_FIND), hasText && !scopeSel);
    if (m_replace)
        ::EnableWindow(GetDlgItem(IDC_FIND_REPLACE), hasText && !scopeSel);
    else
        ::EnableWindow(GetDlgItem(IDC_FIND_MARK), hasText);
}

void CFindReplaceDlg::OnTextChanged() {
    UpdateButtons();
}

void CFindReplaceDlg::OnScopeChanged() {
    UpdateButtons();
}

void CFindReplaceDlg::PushToBox(int id, const std::string& text) {
    HWND box = GetDlgItem(id);
    const LRESULT at = ::SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(text.c_str()));
    if (at != CB_ERR) {
        // CB_FINDSTRINGEXACT ignores case: only an equal entry goes.
        char item[kBoxLimit + 1] = "";
        if (::SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) <= kBoxLimit) {
            ::SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(at),
                           reinterpret_cast<LPARAM>(item));
            if (text == item)
                ::SendMessageA(box, CB_DELETESTRING, static_cast<WPARAM>(at), 0);
        }
    }
    ::SendMessageA(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    while (::SendMessageA(box, CB_GETCOUNT, 0, 0) > SettingsStore::kHistoryLimit)
        ::SendMessageA(box, CB_DELETESTRING, SettingsStore::kHistoryLimit, 0);
    ::SetWindowTextA(box, text.c_str());
}

void CFindReplaceDlg::PushReplacement(const std::string& with) {
    // Replacing with nothing deletes: the empty text takes no place in the history, whose
    // stored list would end at it.
    if (!with.empty())
        PushToBox(IDC_FIND_REPLACE_WITH, with);
}

void CFindReplaceDlg::StoreHistory(int id) {
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    const HistoryKind kind = id == IDC_FIND_WHAT ? HistoryFind : HistoryReplace;
    settings->UpdateHistoryFromCombo(kind, GetDlgItem(id));
    settings->SaveHistory(kind);
}

bool CFindReplaceDlg::ReadOptions() {
    const std::string text = BoxText(IDC_FIND_WHAT);
    SearchOptions& o = Options();
    o.matchCase = IsDlgButtonChecked(m_hWnd, IDC_FIND_MATCH_CASE) == BST_CHECKED;
    o.wholeWord = IsDlgButtonChecked(m_hWnd, IDC_FIND_WHOLE_WORD) == BST_CHECKED;
    o.regExp = IsDlgButtonChecked(m_hWnd, IDC_FIND_REGEXP) == BST_CHECKED;
    if (!m_replace)
        o.down = IsDlgButtonChecked(m_hWnd, IDC_FIND_DOWN) == BST_CHECKED;
    if (SettingsStore* settings = AppSettings()) {
        settings->SetSearchDirty();
        settings->SaveSearch();
    }
    if (text.empty()) {
        MessageBeep(MB_OK);
        return false;
    }
    PushToBox(IDC_FIND_WHAT, text);
    return true;
}

void CFindReplaceDlg::OnOK() {
    if (m_replace && IsDlgButtonChecked(m_hWnd, IDC_FIND_SCOPE_SELECTION))
        OnReplaceAll();
    else
        OnFind();
}

void CFindReplaceDlg::OnFind() {
    if (!ReadOptions())
        return;
    const std::string text = BoxText(IDC_FIND_WHAT);
    // Every accepted search becomes the last one, found or not: Find Next repeats it.
    StoreHistory(IDC_FIND_WHAT);
    if (!m_replace) {
        if (m_view->FindAndSelect(text, Options().down, false))
            EndDialog(IDOK);
        return;
    }
    if (m_view->FindAndSelect(text, true, true))
        MoveOutOfTheWay();
}

void CFindReplaceDlg::OnMark() {
    if (!ReadOptions())
        return;
    const std::string text = BoxText(IDC_FIND_WHAT);
    StoreHistory(IDC_FIND_WHAT);
    const int count = m_view->MarkAllMatches(text);
    if (count == 0)
        CTextEditView::ReportSearchFailure(text, FxSeNone, 0);
    if (count > 0)
        EndDialog(IDOK);
}

void CFindReplaceDlg::OnReplace() {
    if (!ReadOptions())
        return;
    const std::string text = BoxText(IDC_FIND_WHAT);
    const std::string with = BoxText(IDC_FIND_REPLACE_WITH);
    PushReplacement(with);
    StoreHistory(IDC_FIND_WHAT);
    StoreHistory(IDC_FIND_REPLACE_WITH);
    if (m_view->ReplaceAndFind(text, with))
        MoveOutOfTheWay();
}

void CFindReplaceDlg::OnReplaceAll() {
    if (!ReadOptions())
        return;
    const std::string text = BoxText(IDC_FIND_WHAT);
    const std::string with = BoxText(IDC_FIND_REPLACE_WITH);
    PushReplacement(with);
    StoreHistory(IDC_FIND_WHAT);
    StoreHistory(IDC_FIND_REPLACE_WITH);
    const bool scopeSel = IsDlgButtonChecked(m_hWnd, IDC_FIND_SCOPE_SELECTION) == BST_CHECKED;
    if (m_view->ReplaceAll(text, with, scopeSel) == 0)
        CTextEditView::ReportSearchFailure(text, FxSeNone, 0);
}

POINT CFindReplaceDlg::PlaceBeside(const RECT& match, SIZE dialog, const RECT& screen) {
    RECT grown = match;
    InflateRect(&grown, kMatchMargin, kMatchMargin);
    const LONG w = dialog.cx, h = dialog.cy;
    const LONG cx = (grown.left + grown.right) / 2, cy = (grown.top + grown.bottom) / 2;
    POINT at;
    if (grown.bottom + h <= screen.bottom) {
        at = {cx - w / 2, grown.bottom};
    } else if (grown.top - h >= screen.top) {
        at = {cx - w / 2, grown.top - h};
    } else if (grown.right + w <= screen.right) {
        at = {grown.right, cy - h / 2};
    } else {
        at = {grown.left - w, cy - h / 2};
    }
    at.x = std::max(screen.left, std::min(at.x, screen.right - w));
    at.y = std::max(screen.top, std::min(at.y, screen.bottom - h));
    return at;
}

void CFindReplaceDlg::MoveOutOfTheWay() {
    if (!m_hWnd || !m_view->m_hWnd)
        return;
    const RECT match = m_view->SelectionScreenRect();
    if (IsRectEmpty(&match))
        return;
    RECT dlg;
    ::GetWindowRect(m_hWnd, &dlg);
    RECT screen;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0))
        screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const POINT at = PlaceBeside(match, SIZE{dlg.right - dlg.left, dlg.bottom - dlg.top}, screen);
    if (at.x == dlg.left && at.y == dlg.top)
        return;
    // A pointer resting on the button just pressed stays on it.
    POINT cursor;
    bool moveCursor = false;
    if (GetCursorPos(&cursor)) {
        const int buttons[2] = {IDC_FIND_FIND, IDC_FIND_REPLACE};
        for (int id : buttons) {
            HWND button = GetDlgItem(id);
            RECT r;
            if (button && ::IsWindowVisible(button) && ::GetWindowRect(button, &r) &&
                PtInRect(&r, cursor))
                moveCursor = true;
        }
    }
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (moveCursor)
        SetCursorPos(cursor.x + (at.x - dlg.left), cursor.y + (at.y - dlg.top));
}
