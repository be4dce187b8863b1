#pragma once

namespace Rml::Input {

// Keys the toolkit understands; the SDL adapter maps SDL key codes onto them.
enum KeyIdentifier : unsigned char {
    KI_UNKNOWN = 0,
    KI_SPACE,
    KI_0, KI_1, KI_2, KI_3, KI_4, KI_5, KI_6, KI_7, KI_8, KI_9,
    KI_A, KI_B, KI_C, KI_D, KI_E, KI_F, KI_G, KI_H, KI_I, KI_J, KI_K, KI_L, KI_M,
    KI_N, KI_O, KI_P, KI_Q, KI_R, KI_S, KI_T, KI_U, KI_V, KI_W, KI_X, KI_Y, KI_Z,
    KI_BACK,
    KI_TAB,
    KI_RETURN,
    KI_ESCAPE,
    KI_PRIOR,
    KI_NEXT,
    KI_END,
    KI_HOME,
    KI_LEFT,
    KI_UP,
    KI_RIGHT,
    KI_DOWN,
    KI_INSERT,
    KI_DELETE,
    KI_F1, KI_F2, KI_F3, KI_F4, KI_F5, KI_F6, KI_F7, KI_F8, KI_F9, KI_F10, KI_F11, KI_F12,
    KI_LSHIFT,
    KI_RSHIFT,
    KI_LCONTROL,
    KI_RCONTROL,
    KI_LMENU,
    KI_RMENU,
    KI_LMETA,
    KI_RMETA,
};

enum KeyModifier {
    KM_CTRL = 1 << 0,
    KM_SHIFT = 1 << 1,
    KM_ALT = 1 << 2,
    KM_META = 1 << 3,
    KM_CAPSLOCK = 1 << 4,
    KM_NUMLOCK = 1 << 5,
    KM_SCROLLLOCK = 1 << 6,
};

}  // namespace Rml::Input
