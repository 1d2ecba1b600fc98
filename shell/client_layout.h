#pragma once
// Where everything stands in the window's client area (below the menu bar), in
// logical pixels, for a board picture of W x H. The window's widgets and the
// tests that compare the screen with the pictures read the same numbers. Plain
// C++, so that a test can use them without linking the window.

namespace quorvel::shell::layout {

// The client area is (W + 18) x (H + 61).
inline constexpr int clientWidth(int boardWidth) {
    return boardWidth + 18;
}
inline constexpr int clientHeight(int boardHeight) {
    return boardHeight + 61;
}

// The client area the window is created with, before the first board lays it
// out: the beginner board's (132 x 118), so that a new settings file, which
// opens that board, centres the window at the size it opens with.
inline constexpr int kInitialClientWidth = clientWidth(132);
inline constexpr int kInitialClientHeight = clientHeight(118);

// The board surface.
inline constexpr int kFieldX = 9;
inline constexpr int kFieldY = 52;

// The sunken panel above the board: as wide as the board, 37 pixels high.
inline constexpr int kPanelX = 9;
inline constexpr int kPanelY = 9;
inline constexpr int kPanelHeight = 37;

// The edge strips that give the client area its raised frame.
inline constexpr int rightStripX(int boardWidth) {
    return kFieldX + boardWidth + 5;
}
inline constexpr int bottomStripY(int boardHeight) {
    return kFieldY + boardHeight + 6;
}

// Inside the panel: the counter and clock boxes and their digit places (13 x 23,
// one pixel inside the box, 13 apart), and the 32 x 26 face button, which stands
// 9 pixels left of the panel's centre.
inline constexpr int kBoxY = 6;
inline constexpr int kCounterBoxX = 7;
inline constexpr int clockBoxX(int panelWidth) {
    return panelWidth - 50;
}
inline constexpr int kDigitWidth = 13;
inline constexpr int kDigitHeight = 23;
inline constexpr int digitX(int boxX, int index) {
    return boxX + 1 + kDigitWidth * index;
}
inline constexpr int kDigitY = kBoxY + 1;
inline constexpr int kFaceButtonWidth = 32;
inline constexpr int kFaceButtonHeight = 26;
inline constexpr int faceButtonX(int panelWidth) {
    return panelWidth / 2 - 25;
}
inline constexpr int kFaceButtonY = 6;

}  // namespace quorvel::shell::layout
