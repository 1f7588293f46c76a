// `lumo print` in a build without pango and cairo: it says so.
#include "platform/Error.h"
#include "tools/print/PrintCommand.h"
#include "tools/print/PrintUsage.h"

namespace lumo::tools {
namespace {

int run(Arguments, std::ostream&, std::ostream&) {
    throw Error("この lumo は pango と cairo なしで作られたため、はがきを印刷できません "
                "(libpango1.0-dev と libcairo2-dev を入れて作り直してください)");
}

}  // namespace

const Command kPrintCommand{"print", kPrintUsage, "  lumo print --help\n", &run};

}  // namespace lumo::tools
