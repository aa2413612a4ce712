#pragma once

#include <string>

#include "platform/Guid.h"

// Writes a new project (the state of a new project in the authoring program, with a new product GUID) as
// a project file. An existing file is never overwritten: that throws CTSException, as does a failed
// write. Returns the new project's product GUID.
platform::Guid WriteNewProject(const std::string& modelPath);
