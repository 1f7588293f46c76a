// Stand-in for the note update until it lands; removed with the merge.
#include "access/person/clsPidAccess.h"

namespace lumo::access {

void PidAccess::UpdateNote(Long, const String&, String*) {}

}  // namespace lumo::access
