// CDlgAsToolbar: the toolbar page (411): the buttons the toolbar can hold and its current
// layout, edited with ADD, SEP, DEL, UP, DN, by dragging within the layout, or set back to the
// default. Layer: dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"

#include <cstdint>
#include <vector>

class CDlgAsToolbar : public CDlgAsBase {
public:
    static const int kEndEntry = 0x10000; // item data of the empty end entry
    explicit CDlgAsToolbar(CWnd* frame);
    bool OnInitDialog() override;
    void StoreValues() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAdd();
    void OnSeparator();
    void OnDelete();
    void OnUp();
    void OnDown();
    void OnDefault();
    void OnLayoutSelect();
    // The layout the list shows (image indexes, 255 for a separator).
    std::vector<uint8_t> Layout() const;
    DECLARE_MESSAGE_MAP()

private:
    void FillLayout(const std::vector<uint8_t>& layout, int select);
    void Insert(int image);
    void Move(int from, int to);
    void UpdateButtons();
    int LayoutSelection() const;
    int m_dragFrom = -1;
};
