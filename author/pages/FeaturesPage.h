#pragma once

#include <string>
#include <vector>

#include "author/FeatureRules.h"
#include "author/Page.h"
#include "author/views/FolderTreeView.h"
#include "author/views/RegistryTreeView.h"
#include "win/DragTracker.h"
#include "win/LabelEditor.h"
#include "win/ListView.h"
#include "win/Menu.h"
#include "win/Splitter.h"
#include "win/TreeView.h"

class CFeature;
class CFolder;
class CRegItem;

// "Features": the source view on top (the project's folders and files, or its keys and values, chosen in
// the "Source Menu"), the feature tree below on the left ("Feature" menu, Insert, Delete, F2) and the
// selected feature's resources beside it (a tree with the bold "<name> Resources", "File System" and
// "Registry", and the files or values of the folder or key selected in it; "Resource Menu"). Source items
// dropped on a feature are added to it; a feature dropped on another moves there (Ctrl copies). Every view
// is filled again after each edit; features and resources are found again by their paths, so the page
// keeps no model pointer across an edit.
class CFeaturesPage : public CPage, private win::DropTarget {
public:
    explicit CFeaturesPage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;
    bool PreTranslate(MSG& message) override;

private:
    using Command = feature_rules::Command;
    using SourceMode = feature_rules::SourceMode;

    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnContextMenu(HWND control, POINT screen) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnSize(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    bool CanDrop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;
    void Drop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;

    void CreateToolbar();
    void UpdateToolbar();
    void SetMode(SourceMode mode);
    void ShowSource();
    void ShowFeatures(const CFeature* select = nullptr);
    void AddFeatureItems(HTREEITEM parent, const CFeature& feature, const std::vector<std::string>& expanded);
    void ShowResources();
    void AddFolderResources(HTREEITEM parent, CFolder* folder, const CFeature& feature);
    void AddKeyResources(HTREEITEM parent, CRegItem* key, const CFeature& feature);
    void ShowResourceItems();

    std::string PathOf(const CFeature* feature) const;
    CFeature* FeatureAt(const std::string& path) const;
    CFeature* FeatureOf(HTREEITEM item) const;
    CFeature* SelectedFeature() const;
    CFolder* SourceFolder() const;
    CRegItem* SourceKey() const;
    std::vector<LPARAM> SourceRows() const;
    feature_rules::Selection CurrentSelection() const;
    void Run(Command command);

    void AddFeature();
    void RenameFeature();
    void DeleteFeature();
    void ShowProperties();
    void AddFromSource(Command command);
    void AddChosen(Command command);
    void RemoveResources();
    // Shows the message of a list that cannot take more entries; true when the outcome changed the feature.
    bool Report(int outcome);
    void Changed(CFeature* feature);
    win::LabelEditor::Edit FeatureEdit(const std::string& parentPath, const std::string& renamingPath);
    void Refuse(const std::string& message);

    SourceMode mode_ = SourceMode::kFileSystem;
    CFolderTreeView folders_;
    CRegistryTreeView registry_;
    win::TreeView features_;
    win::TreeView resources_;
    win::ListView resourceList_;
    HWND toolbar_ = nullptr;
    win::Splitter rows_;       // the source view above, the features below
    win::Splitter sourceBar_;  // the source tree beside its list
    win::Splitter lowerBar_;   // the feature tree beside the resources
    win::LabelEditor labels_;
    win::DragTracker drag_;
    win::KeyCommands featureKeys_;
    win::KeyCommands resourceTreeKeys_;
    win::KeyCommands resourceListKeys_;
    // The paths of the features of the tree's items (an item's data is its index here), as they were when
    // the tree was filled; the resource tree's items likewise, by kind and index path.
    std::vector<std::string> featurePaths_;
    struct Resource {
        bool isKey;
        std::string path;
    };
    std::vector<Resource> resourceItems_;
    std::string sourceFolderPath_;
    std::string sourceKeyPath_;
    Resource selectedResource_{false, std::string()};
    bool topExpanded_[3] = {true, true, true};
    bool listShowsValues_ = false;
    bool filling_ = false;
    bool onList_ = false;  // the command at hand came from a list rather than a tree
};
