#pragma once

#include <QString>

// One bad save must never take the last good file with it: the file in place becomes
// <name>.bak (one generation), beside the name. Nothing is done when no regular file has the
// name. The .bak is replaced at once, by a rename: a crash or a kill leaves the earlier .bak or
// the new one, never none; temporaries left by such a kill go at the next call.
// Raises EFCreateError naming the file (the one about to be saved) with the reason: the file
// or the folder is read-only (as WriteWholeFile would refuse it, so the .bak is left alone), or
// the .bak could not be made, with the system's reason.
void KeepPreviousGeneration(const QString& fileName);
