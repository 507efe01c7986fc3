#include "common/strings.h"

#include <cstdio>

#include "res/string_ids.h"
#include "local_header.h"
#include "support/temp_dir.h"
// #include "controls/dialog_frame.h" is only mentioned here.
