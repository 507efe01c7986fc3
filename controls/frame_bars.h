// Puts the owner-drawn menus and the status bar into the frame services.
#pragma once

void InstallFrameBars();
