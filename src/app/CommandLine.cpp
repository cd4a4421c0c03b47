#include "CommandLine.h"

#include "TarvikVersion.h"

namespace tarvik {

namespace {

constexpr const char* kUsage =
    "usage: tarvik [--help | --version]\n"
    "\n"
    "Draws PHG and DF radio-range circles for the APRS stations a host client\n"
    "hears, keeps them in a station list and logs every packet. On Linux the host\n"
    "is a stand-in client built into the program: it replays a demo feed or a file,\n"
    "or listens to APRS-IS or a KISS TNC, and shows the circles on its map.\n"
    "\n"
    "Settings (tarvik.INI, and Oxbel32.INI for the stand-in host) are kept beside\n"
    "the executable when its folder is writable and not an installed prefix's bin\n"
    "folder; otherwise in $XDG_CONFIG_HOME/tarvik (~/.config/tarvik).\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

}  // namespace

std::optional<std::string> CommandLineAnswer(const std::vector<std::string_view>& args) {
  for (const std::string_view arg : args) {
    if (arg == "--help" || arg == "-h") return kUsage;
    if (arg == "--version") return "tarvik " TARVIK_VERSION "\n" TARVIK_LEGAL_NOTICE "\n";
  }
  return std::nullopt;
}

}  // namespace tarvik
