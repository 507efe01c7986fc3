// Connects the frames and the list views to the stored layouts: windows take
// their stored place and size when they open, lists their column widths and
// order, and both store them again when they close.
#pragma once

void InstallLayoutPersistence();
