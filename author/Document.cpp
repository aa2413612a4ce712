#include "author/Document.h"

#include <cstdint>
#include <vector>

#include "author/AuthorRules.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "text/ProjectText.h"

namespace {

// Reads a text project; every fault is reported before the document's project is touched.
void LoadText(CProject& project, const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(path, &bytes)) {
        throw COpenRefused("Cannot open the file \"%s\"!", path);
    }
    const std::string content(bytes.begin(), bytes.end());
    try {
        {
            CProject trial;
            project_text::ReadProjectText(trial, content, path, path, path);
        }
        project_text::ReadProjectText(project, content, path, path, path);
    } catch (const project_text::TextError& e) {
        throw COpenRefused(e.Report());
    }
}

void StoreText(CProject& project, const std::string& path) {
    std::string text;
    try {
        text = project_text::WriteProjectText(project, path);
    } catch (const project_text::TextError& e) {
        throw CTSException("The project cannot be saved as text: " + std::string(e.what()));
    }
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"" + path + "\": " + file.OpenError());
    }
    file.Write(text.data(), text.size());  // a failed write leaves the file that was there (see File)
    file.Close();
    project.projectPath = path;
    project.displayName = platform::FileTitle(path);
}

}  // namespace

void CDocument::New() {
    project.Reset();
    untitled = true;
    modified = false;
    mediaBuilt = false;
}

void CDocument::Load(const std::string& path) {
    if (author_rules::FormOfPath(path) == author_rules::ProjectForm::kText) {
        LoadText(project, path);
        project.displayName = platform::FileTitle(path);
        untitled = false;
        modified = false;
        return;
    }
    // The path comes first: it names the document even when the load fails, and it is the base of the
    // file's relative paths.
    project.projectPath = path;
    project.displayName = platform::FileTitle(path);
    untitled = false;
    modified = false;
    if (!platform::FileExists(path)) {
        throw CTSException("Cannot open the file \"%s\"!", path);
    }
    if (!LoadProjectFile(project, path)) {
        throw CTSException("The file \"%s\" is not a Tessaro project!", path);
    }
}

void CDocument::Store(const std::string& path) {
    if (author_rules::FormOfPath(path) == author_rules::ProjectForm::kText) {
        StoreText(project, path);
    } else {
        SaveProjectFile(project, path);
    }
    untitled = false;
    modified = false;
}

void CDocument::Changed(UpdateHint hint, const void* object) {
    modified = true;
    mediaBuilt = false;
    if (listener_) {
        listener_(hint, object);
    }
}
