// CDlgAsFileTypes: the file type page (405): the tree of file types and a plain tab strip over
// three sub-pages (options, wrap/tab/indent, colours) that edit copies of the types. Changing
// the type or the tab first validates and stores the visible sub-page into the selected copy.
// On OK or Apply the changed options and colours are copied into the live entries in place, so
// that every document holding an entry keeps a valid one and follows the change. Layer:
// dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"
#include "textview/FileTypeInfo.h"
#include "workspace/FxButton.h"
#include "workspace/TabStrip.h"

#include <memory>
#include <vector>

class CDlgAsFileTypes;

// A sub-page: shows one file type's copy and stores its controls back into it.
class CDlgAsFileTypeSub : public CDlgAsBase {
public:
    CDlgAsFileTypeSub(UINT idTemplate, CWnd* frame) : CDlgAsBase(idTemplate, frame) {}
    virtual void Load(const FileTypeInfo& type) = 0;
    // Validates the controls and stores them into the type; false when a value was refused.
    virtual bool Save(FileTypeInfo& type) = 0;
    // A change here is a change of the file type page too.
    void SetModified(bool modified = true) override;
};

class CDlgAsFileTypes : public CDlgAsBase {
public:
    static const int kSubPages = 3;
    explicit CDlgAsFileTypes(CWnd* frame);
    ~CDlgAsFileTypes() override;

    bool OnInitDialog() override;
    bool ValidatePage() override;
    void StoreValues() override;
    bool FocusControl(UINT id) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The type selected in the tree (index in the store's list) and the sub-page shown.
    int SelectedType() const { return m_type; }
    int CurrentSub() const { return m_sub; }
    bool SelectType(int index);
    bool SelectSub(int index);
    CDlgAsFileTypeSub* Sub(int index) const { return m_subs[index].get(); }
    CTabStrip& Tabs() { return m_tabs; }
    // The copy of a type (made on first use).
    FileTypeInfo& Copy(int index);

private:
    bool StoreVisible();
    void ShowSub();
    CTabStrip m_tabs;
    std::vector<std::unique_ptr<FileTypeInfo>> m_copies;
    std::vector<HTREEITEM> m_items;
    std::unique_ptr<CDlgAsFileTypeSub> m_subs[kSubPages];
    int m_type = -1;
    int m_sub = -1;
    bool m_selecting = false;
};

// Sub-page 406: the check list of the type's display and editing options.
class CDlgAsEditor1 : public CDlgAsFileTypeSub {
public:
    explicit CDlgAsEditor1(CWnd* frame);
    bool OnInitDialog() override;
    void Load(const FileTypeInfo& type) override;
    bool Save(FileTypeInfo& type) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    static int* Option(FileTypeInfo& type, int row);
    static const int kRows = 8;
};

// Sub-page 407: wrap style and column, tab width and indent.
class CDlgAsEditor2 : public CDlgAsFileTypeSub {
public:
    explicit CDlgAsEditor2(CWnd* frame);
    bool OnInitDialog() override;
    void Load(const FileTypeInfo& type) override;
    bool Save(FileTypeInfo& type) override;
    void OnStyleChanged();
    DECLARE_MESSAGE_MAP()
};

// Sub-page 408: the colour slots by name with foreground and background swatches.
class CDlgAsColors : public CDlgAsFileTypeSub {
public:
    // The colour chooser (replaceable, for a caller that answers it itself): true and the
    // colour when one was chosen.
    using ChooseColour = bool (*)(HWND owner, COLORREF* colour);
    static ChooseColour s_chooseColour;

    explicit CDlgAsColors(CWnd* frame);
    bool OnInitDialog() override;
    void Load(const FileTypeInfo& type) override;
    bool Save(FileTypeInfo& type) override;
    void OnSelect();
    void OnFore();
    void OnBack();
    void OnSync();
    DECLARE_MESSAGE_MAP()

    struct Row {
        UINT nameId;
        int fore; // colour slot, -1 none
        int back;
    };
    static const Row kRows[13];

private:
    void Choose(bool back);
    void ShowSwatches();
    COLORREF m_colours[FxColorSlotCount] = {};
    CFxButton m_fore;
    CFxButton m_back;
};
