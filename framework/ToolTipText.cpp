// AfxSetToolTipText. Layer: framework/.
#include "framework/ToolTipText.h"

#include "common/LeadBytes.h"

#include <cstring>
#include <vector>

void AfxSetToolTipText(NMHDR* hdr, const char* text) {
    if (!text)
        text = "";
    const size_t len = std::strlen(text);
    if (hdr->code == TTN_NEEDTEXTW) {
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        constexpr int kRoom = static_cast<int>(sizeof info->szText / sizeof info->szText[0]);
        info->szText[0] = L'\0';
        if (len == 0 || len > 0x7FFFFFFF)
            return;
        const int srcLen = static_cast<int>(len);
        const int need = MultiByteToWideChar(CP_ACP, 0, text, srcLen, nullptr, 0);
        if (need <= 0)
            return;
        std::vector<WCHAR> wide(static_cast<size_t>(need));
        const int units = MultiByteToWideChar(CP_ACP, 0, text, srcLen, wide.data(), need);
        int keep = units < kRoom - 1 ? units : kRoom - 1;
        if (keep > 0 && keep < units && wide[static_cast<size_t>(keep - 1)] >= 0xD800 &&
            wide[static_cast<size_t>(keep - 1)] <= 0xDBFF)
            --keep; // a high surrogate without its partner
        if (keep > 0)
            std::memcpy(info->szText, wide.data(), static_cast<size_t>(keep) * sizeof(WCHAR));
        info->szText[keep > 0 ? keep : 0] = L'\0';
    } else {
        NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
        const size_t keep = FxCutLength(text, len, sizeof info->szText - 1);
        std::memcpy(info->szText, text, keep);
        info->szText[keep] = '\0';
    }
}
