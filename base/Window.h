#pragma once

// The demo's window as every program shows it: its captions and the size of
// the picture it draws.
inline constexpr const char* windowTitle = "Vorn Tidewash Demo v 0.3";
inline constexpr const char* iconTitle = "Vorn";
inline constexpr int windowWidth = 800;
inline constexpr int windowHeight = 600;
