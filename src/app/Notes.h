// The text of the "Range Circles" page's notes memo.
#pragma once

namespace tarvik {

extern const char* const kNotesText;

}  // namespace tarvik
