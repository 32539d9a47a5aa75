#pragma once

// The windows name the classic desktop fonts (Courier New, MS Sans Serif,
// Arial, Tahoma); their metric twins from the Liberation family stand in.
void installFontSubstitutes();
