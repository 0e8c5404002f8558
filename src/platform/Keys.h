#pragma once

namespace platform {

// Key codes as key handlers receive them (the classic desktop virtual-key numbers).
namespace KeyCode {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int F1 = 112;
}  // namespace KeyCode

// Translates a Qt key (Qt::Key) to the key code above; letters and digits map to their
// upper-case character code, function keys to F1 + n, anything else to 0.
int keyCodeFromQt(int qtKey);
// Translates a Qt mouse button (Qt::MouseButton) to the button codes of Form.h.
int mouseButtonFromQt(int qtButton);
// Translates Qt keyboard modifiers to the shift-state bits of Form.h.
int shiftStateFromQt(int qtModifiers);

}  // namespace platform
