#pragma once

#include <string>
#include <vector>

// The folders that an installation made on the target machine (the target folder's missing parents
// included), in the order it made them. The installed-product record keeps them, so that a later change or
// removal, a run of the installed copy, takes away exactly the folders that the installation made and
// leaves those that were there before.
class CreatedFolders {
public:
    // Whether the record lists the folders: a product installed by an earlier setup program has no list,
    // and its removal tries every folder of the project as that program did.
    bool known = false;

    const std::vector<std::string>& Paths() const { return paths_; }
    void Clear() { paths_.clear(); }
    // Paths are compared without regard to case and without a trailing backslash; each is kept once.
    void Add(const std::string& path);
    bool Contains(const std::string& path) const;
    void Forget(const std::string& path);

    // Whether a folder of the project may be removed once it is empty.
    bool MayRemove(const std::string& path) const { return !known || Contains(path); }

    // The made folders that nothing wanted lies in, deepest first: a folder is wanted when it is one of
    // the wanted paths or holds one of them at any depth.
    std::vector<std::string> UnwantedDeepestFirst(const std::vector<std::string>& wanted) const;

private:
    std::vector<std::string> paths_;
};
