// tarvox: computes Tarvox's stream-property correlations as a host does.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/tool/calc_command.h"
#include "host/tool/list_command.h"

namespace {

void PrintUsage() {
  std::fputs(
      "usage: tarvox list\n"
      "       tarvox calc [STREAM.json | --sample wellstream|amine] [--only Class,Class]\n"
      "                   [--format table|csv|json] [--set Class.Variable=value]...\n"
      "  list   the correlations with display name, ProgID, CLSID, unit type and inputs\n"
      "  calc   every correlation (or those named by --only) for one stream on the\n"
      "         Peng-Robinson host fluid; without a stream file, the built-in sample\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "list") == 0) return tarvox::tool::ListCorrelations();
  if (argc >= 2 && std::strcmp(argv[1], "calc") == 0)
    return tarvox::tool::RunCalc(std::vector<std::string>(argv + 2, argv + argc));
  PrintUsage();
  return 2;
}
