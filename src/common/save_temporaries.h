#pragma once

#include <QString>
#include <filesystem>

// The temporary files of the saves that replace a file by renaming another over it: the whole-
// file save and the making of a .bak. Each is "<name>.tmp-" and six letters or digits, beside
// the file it is to become.

// A name for a new temporary of `target`; taken by nobody at the moment of the call, most
// likely, so the caller creates it without overwriting and asks again when it was taken.
QString TemporaryNameFor(const std::filesystem::path& target);

// A save killed before its rename leaves its temporary file; the next save of the name removes
// it (and a leftover that cannot be removed does not stop the save). Earlier versions of the
// program saved through QSaveFile, whose leftovers ("<name>." and six letters) go too.
void RemoveStaleTemporaries(const std::filesystem::path& target);

// The file a save replaces: the name, or the end of its chain of symbolic links, so that a link
// set up to keep the data elsewhere stays a link. A link to nothing yet names the file to
// create. Raises EFCreateError naming `fileName` for a loop of links.
std::filesystem::path SaveTarget(const QString& fileName);
