#pragma once

#include <string>

// A build writes its media into a staging folder and only a complete build takes the place of the
// previous media. The swap touches nothing but the media's own files: the previous build's files in the
// disk folders and the files the new build brings; whatever else lies in the media root (a user's own
// files, folders of other names) stays where it is.

// Whether a file name is one that the build writes into a disk folder: Setup.exe, tsdb.dat, autorun.inf,
// CDIcon.ico and the data cabinets TSData*.cab (without regard to case).
bool IsMediaFileName(const std::string& name);

// Whether a folder name is a disk folder of a disk-folder pattern with one number in it ("CD%d" takes
// CD1 and CD12, "Disk%02d" takes Disk01); an empty pattern takes none.
bool IsDiskFolderName(const std::string& diskPattern, const std::string& name);

// Puts the staged media (every file and folder below stagedRoot) into finalRoot: the previous media's own
// files in the disk folders of diskPattern are taken away, the staged files moved in (over files of the
// same name), and disk folders left empty are removed. The previous files wait in backupFolder until the
// new ones are all in place. When a file cannot be moved, everything moved so far goes back where it was
// and CTSException is thrown: the media root is then as it was before.
void PlaceStagedMedia(const std::string& stagedRoot, const std::string& finalRoot,
                      const std::string& diskPattern, const std::string& backupFolder);

// Removes a folder when nothing is left in it; true when it is gone.
bool RemoveFolderIfEmpty(const std::string& folder);
