#pragma once

// Shared by the text writer and reader: names, references and paths as the text form spells them.
#include <map>
#include <string>
#include <vector>

class CFileItem;
class CFolder;
class CProject;
class CRegItem;
class CFeature;

namespace project_text {

// Model texts are ANSI bytes of the Western code page, kept byte for byte as Latin-1 characters; TOML
// is UTF-8.
std::string ToUtf8(const std::string& ansi);
// False when the text holds a character beyond Latin-1.
bool FromUtf8(const std::string& utf8, std::string* ansi);

// A path of the authoring machine relative to the folder of the text file, with forward slashes; the
// path itself when it lies on another drive, and the empty text for none.
std::string RelativeSourcePath(const std::string& path, const std::string& textPath);
// The model path for a path of the text file (forward or back slashes, relative or absolute).
std::string AbsoluteSourcePath(const std::string& written, const std::string& textPath);

// The overwrite method's name ("newer-version-then-date"); nullptr outside the known methods.
const char* OverwriteName(int method);
// -1 for an unknown name.
int OverwriteFromName(const std::string& name);
// A registry value type's name ("string", "binary", "dword"); nullptr for the others.
const char* RegTypeName(uint32_t type);
int RegTypeFromName(const std::string& name);

// The path that names a feature: the names from the top-level feature down, joined by backslashes.
std::string FeaturePath(const CFeature& feature);
// A registry key's path (FullPath).
std::string RegKeyPath(const CRegItem& key);

// How the text names the project's files: the folder's path and the title, and "#N" after it for the
// N-th file (N >= 2) of one folder and title, in the order of the files.
class FileNames {
public:
    explicit FileNames(const CProject& project);
    std::string NameOf(const CFileItem* file) const;

private:
    std::map<const CFileItem*, std::string> names_;
};

// The key under which the text looks a name up: compared without regard to case.
std::string LookupKey(const std::string& name);

}  // namespace project_text
