#include "Notes.h"

namespace tarvik {

const char* const kNotesText =
    "The station list starts with the stations Oxbel has already heard, and grows as new packets "
    "arrive.\n"
    "\n"
    "Circles are drawn only for stations that lie on the part of the map shown now.\n"
    "\n"
    "A PHG circle is moved a third of its range toward the antenna's favoured direction, so its "
    "offset shows where the antenna points.\n"
    "\n"
    "A station heard over radio that sends no PHG gets a default PHG: 10 W, 10 feet, 3 dB, "
    "omnidirectional for mobiles; 10 W, 20 feet, 3 dB, omnidirectional for all others.\n"
    "\n"
    "With many stations in view, drawing takes a while.\n"
    "\n"
    "Oxbel wipes the circles whenever it redraws its map, and gives no notice when it does: draw "
    "them again then, or let them be redrawn periodically.\n"
    "\n"
    "A grey circle marks PHG data found away from the place where the APRS protocol puts it.\n"
    "\n"
    "Circles are drawn at half size by default, which suits mobiles; full size can be chosen for "
    "fixed stations.\n"
    "\n"
    "Stations not heard for 60 minutes are dropped from the list.\n"
    "\n"
    "PHG stands for Power, Height (above average terrain), Gain (of the antenna) and Directivity: "
    "from them the station's usable radio range is worked out.";

}  // namespace tarvik
