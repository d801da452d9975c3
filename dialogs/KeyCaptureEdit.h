// CKeyCaptureEdit: the field that records one key with its Control, Shift and Alt states. It
// asks for every key, ignores characters, moves the focus on Tab and Shift+Tab, and ignores
// the modifier, lock and special keys that cannot be a shortcut. Layer: dialogs/.
#pragma once

#include "framework/Wnd.h"

#include <cstdint>

class CKeyCaptureEdit : public CWnd {
public:
    // Told after a key was recorded.
    class Listener {
    public:
        virtual void OnKeyCaptured(uint32_t keyCode) = 0;

    protected:
        ~Listener() = default;
    };

    void SetListener(Listener* listener) { m_listener = listener; }
    // The recorded key code (virtual key | modifier bits << 16), 0 when empty.
    uint32_t KeyCode() const { return m_keyCode; }
    void Clear();
    // True for the keys that are never recorded.
    static bool IsIgnoredKey(UINT vk);
    // The modifier bits (Shift 0x04, Control 0x08, Alt 0x10) of the keys held now.
    static uint32_t HeldModifiers();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Record(UINT vk);
    Listener* m_listener = nullptr;
    uint32_t m_keyCode = 0;
};
