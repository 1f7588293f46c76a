// Placeholder until UpdateNote of the notes branch is merged: records nothing.
#include "access/item/clsIidAccess.h"
namespace lumo::access {
void IidAccess::UpdateNote(Long, const String&, String*) {}
}
