#pragma once

#include <stdexcept>
#include <string>
#include <vector>

class CProject;

// The text form of a project: a TOML document that holds everything a project file holds, flat and
// addressed by paths. Product, maintenance, media and user-interface settings are tables; every folder,
// file, registry key or value, shortcut, document type, custom action and feature is one entry of an
// array of tables, naming what it refers to by its readable path ("<Target Folder>\Bin",
// "HKEY_LOCAL_MACHINE\Software\Acme", "Main\Tools"), never by a position. Paths of the authoring machine
// are written relative to the text file. What the sources tell (size, time, version) is not written: the
// reader takes it from the source files, as adding a file does.
namespace project_text {

// A fault of a text file at a place in it, as a compiler reports one.
class TextError : public std::runtime_error {
public:
    TextError(std::string file, long line, long column, const std::string& message);
    // "FILE:LINE:COL: error: MESSAGE"
    const std::string& Report() const { return report_; }
    long Line() const { return line_; }
    long Column() const { return column_; }

private:
    std::string report_;
    long line_;
    long column_;
};

// The text form of the project. textPath is the text file's model path: the base of the relative paths.
// Throws TextError (line 0) when the project cannot be written without loss, e.g. two sibling folders of
// one name.
std::string WriteProjectText(const CProject& project, const std::string& textPath);

// Fills a project from its text form: the project is reset first and its path set to projectPath (the
// base of the relative paths it keeps when saved). displayPath names the text file in messages; textPath
// is its model path, the base of the paths in it. overrides ("product.version=1.4.2") replace product and
// media fields of the text. Throws TextError for the first fault found.
void ReadProjectText(CProject& project, const std::string& content, const std::string& textPath,
                     const std::string& displayPath, const std::string& projectPath,
                     const std::vector<std::string>& overrides = {});

}  // namespace project_text
