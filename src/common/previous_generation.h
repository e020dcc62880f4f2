#pragma once

#include <QString>

// One bad save must never take the last good file with it: the file in place becomes
// <name>.bak (one generation). Nothing is done when no regular file has the name. Raises
// EFCreateError naming the .bak file, with the system's reason.
void KeepPreviousGeneration(const QString& fileName);
