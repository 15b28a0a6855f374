// The variable definitions embedded in the module (resource type 23, id 201): display names and
// enumeration items of the host variables that correlations create.
#pragma once

#include "framework/host_variables.h"

namespace tarvox {

inline constexpr unsigned kDefinitionsResourceType = 23;
inline constexpr unsigned kDefinitionsResourceId = 201;

// Applies the definition of `tagged_name` to `variable`: display name, name and, for an "Enum"
// definition, the items. False only when the definitions cannot be consulted at all (no XML
// parser); a missing resource, unparsable text or unknown name leaves the variable as it is.
bool ApplyVariableDefinition(const char* tagged_name, IHostVariable* variable);

}  // namespace tarvox
