// The print information object. Layer: framework/.
#include "framework/PrintInfo.h"

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(false, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION)) {
    m_pPD->m_pd.nFromPage = m_pPD->m_pd.nMinPage = 1;
    m_pPD->m_pd.nToPage = m_pPD->m_pd.nMaxPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() = default;

UINT CPrintInfo::GetFromPage() const {
    return m_pPD->PrintRange() ? m_pPD->m_pd.nFromPage : GetMinPage();
}

UINT CPrintInfo::GetToPage() const {
    return m_pPD->PrintRange() ? m_pPD->m_pd.nToPage : GetMaxPage();
}
