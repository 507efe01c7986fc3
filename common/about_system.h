// The running system as the About box reports it: the operating system and
// its version, the installed memory and the share of it that is free.
#pragma once

#include "common/about_page.h"

// The real version (not the one the system shows to programs without a
// compatibility declaration) and the memory status of the moment.
OsVersion CurrentOsVersion();
AboutSystemTexts CurrentSystemTexts();
