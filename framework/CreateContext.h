// CCreateContext: what a frame needs to build its client area: the view class to create, the
// document it shows and the template that made them. Layer: framework/.
#pragma once

struct CRuntimeClass;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
