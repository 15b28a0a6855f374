// tarvox: computes Tarvox's stream-property correlations as a host does.
#include <cstdio>
#include <cstring>

#include "host/tool/list_command.h"

namespace {

void PrintUsage() {
  std::fputs(
      "usage: tarvox list\n"
      "  list   the correlations with display name, ProgID, CLSID, unit type and inputs\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "list") == 0) return tarvox::tool::ListCorrelations();
  PrintUsage();
  return 2;
}
