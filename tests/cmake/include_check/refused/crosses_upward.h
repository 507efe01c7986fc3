#pragma once

#include <windows.h>

#include "common/text_utils.h"
#include "controls/dialog_frame.h"
