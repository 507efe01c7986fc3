// The version text of a module, from its version record.
#pragma once

// The fixed file version of the module at path (the program itself when null)
// formatted by the template (see FormatVersionText); all four numbers are 0
// when the module has no readable version.  The text is overwritten by the
// next call.
const char* VersionText(const char* module_path, const char* version_template);
