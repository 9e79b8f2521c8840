#pragma once

// Shows the screen window's two side texts as the settings say: 1 shows a text, 0 hides it,
// any other value leaves it as it is.
void ApplySideTexts();
