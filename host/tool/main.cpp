// tarvox: computes Tarvox's stream-property correlations as a host does.
#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>

#include "host/tool/calc_command.h"
#include "host/tool/calculation.h"
#include "host/tool/list_command.h"
#include "host/tool/sweep_command.h"

int main(int argc, char** argv) {
  using namespace tarvox::tool;
  CLI::App app("Tarvox's stream-property correlations, computed as a host computes them", "tarvox");
  app.set_version_flag("--version", TARVOX_VERSION);
  app.require_subcommand(1);
  CLI::App* list =
      app.add_subcommand("list", "the correlations: display name, ProgID, CLSID, unit type, inputs");
  CalcOptions calc_options;
  CLI::App* calc = app.add_subcommand(
      "calc", "every correlation (or those named by --only) for streams on the Peng-Robinson host fluid");
  DeclareCalcOptions(*calc, calc_options);
  SweepOptions sweep_options;
  CLI::App* sweep = app.add_subcommand("sweep", "a stream's correlations over a range of one quantity");
  DeclareSweepOptions(*sweep, sweep_options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : kBadInputStatus;
  }
  if (list->parsed()) return ListCorrelations();
  if (calc->parsed()) return RunCalc(calc_options);
  return RunSweep(sweep_options);
}
