#pragma once

// Moves a borderless window by its bare surface: the left button alone starts the move that a
// press on a title bar would, until the button comes up. Button state: 1 left, 2 right, 4 middle,
// added.
void DragForm1(int buttons);
void DragScr(int buttons);

// The button state of a mouse event in that notation.
int buttonState(int qtButtons);
