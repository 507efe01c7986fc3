// The command-line parameters of an external encoder, from the user's
// template with "%IN%" (the intermediate WAV) and "%OUT%" (the file to make).
#pragma once

#include <string>

// Used when the user's template is missing or empty: a program started with
// no arguments would only print its usage.
constexpr char kDefaultEncoderTemplate[] = "\"%IN%\" \"%OUT%\"";

// Fills `parameter_template` (null or empty: the default template) in one
// pass, so a path that itself contains a placeholder is not expanded again.
// Placeholders match case-sensitively.  A placeholder the template already
// puts inside double quotes gets the bare path; any other gets the path in
// double quotes, so blanks do not split it and characters such as & ^ ( )
// reach no command interpreter unquoted.
std::string FillEncoderParameters(const char* parameter_template, const std::string& wav_path,
                                  const std::string& output_path);
