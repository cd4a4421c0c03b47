// Who heard a packet's source directly, learned from the packet's path.
//
//   TV1ABC>APRS,TV3RDG*,WIDE2-1          TV3RDG was the first hop
//   TV1ABC>APRS,TV3RDG,WIDE1*,WIDE2-1    TV3RDG traced WIDE1-1: the first hop
//   TV2MNO>APRS,WIDE2-1,qAR,TV1IGT       no hop used: the IGate TV1IGT heard it
//   TV3PQR>APRS,WIDE2-2 Port=1           no hop used, heard by the host itself
#pragma once

#include <string>
#include <string_view>

#include "APRSData.h"

namespace tarvik {

// True for a path element that names a station: an amateur-style callsign
// (three to six letters and digits with a digit, ending in a letter, an
// optional "-SSID" of one or two letters or digits, a trailing "*" allowed),
// and not a routing alias (WIDEn-N, TRACEn-N, RELAY, ...) or a q-construct.
bool IsStationElement(std::string_view element);

// The station that heard the packet's source directly, or "" when the packet
// teaches nothing:
//  - digipeated (a "*" in the path before any q-construct): the first path
//    element, when it names a station; a first hop by an alias (an untraced
//    fill-in digi) tells nobody, and the later digis heard that digi, not the
//    source;
//  - no "*" before the q-construct and gated by an IGate (qAR, qAo): the
//    callsign after it. A bare WIDE2-1 here is far more often the path as
//    sent than a hop by an untraced digi, so only a "*" counts as a hop;
//  - heard by the host over radio (a "Port=" in the header) with no hop used
//    (HeardDirectly, which also counts a WIDEn-N below its n as a hop):
//    `myCall`, the host's own station;
//  - anything else: via the Internet (TCPIP, TCPXX, qAC and the other
//    q-constructs), third-party traffic, objects and items (their position is
//    not the sender's), unused paths of unknown origin.
// The receiver is never the source itself.
std::string HeardDirectlyBy(const aprs::TAprsPacket& packet, std::string_view myCall);

// The same as it stands in the path (or `myCall`), not upper-cased and
// without its "*": no allocation, for the bookkeeping of every packet.
std::string_view HeardDirectlyAsSent(const aprs::TAprsPacket& packet, std::string_view myCall);

}  // namespace tarvik
