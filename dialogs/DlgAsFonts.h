// CDlgAsFonts: the font page (402): the editor font's family (every family of every character
// set on the screen), style, size in points and character set, with a sample. Layer:
// dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"

#include <string>

class CDlgAsFonts : public CDlgAsBase {
public:
    explicit CDlgAsFonts(CWnd* frame);
    ~CDlgAsFonts() override;
    bool OnInitDialog() override;
    bool ValidatePage() override;
    void StoreValues() override;
    void OnFaceChanged();
    void OnChoiceChanged();
    void OnDefault();
    // The font the controls describe; false when they describe none.
    bool ChosenFont(LOGFONTA* lf) const;
    DECLARE_MESSAGE_MAP()

private:
    void ShowFont(const LOGFONTA& lf, HFONT made);
    void FillCharsets(const std::string& face, int select);
    void UpdateSample();
    LOGFONTA m_lf;
    HFONT m_sample = nullptr;
    int m_dpi = 96;
};
