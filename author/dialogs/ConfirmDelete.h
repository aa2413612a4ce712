#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "author/DeleteRules.h"
#include "model/Project.h"

// The question before an object of the project is deleted, with the objects that would lose a reference
// to it. several: the command deletes more than one object, so "Yes to all" and "No to all" are offered.
// Escape and the close box answer No.
delete_rules::Answer ConfirmDelete(HWND owner, delete_rules::Kind kind, const std::string& name,
                                   const std::vector<Dependent>& dependents, bool several = false);

// The same for the model's objects that others refer to; the list is the model's own account.
delete_rules::Answer ConfirmDelete(HWND owner, CProject& project, const CFileItem* file, bool several = false);
delete_rules::Answer ConfirmDelete(HWND owner, CProject& project, const CFolder* folder, bool several = false);
delete_rules::Answer ConfirmDelete(HWND owner, CProject& project, const CRegItem* item, bool several = false);
