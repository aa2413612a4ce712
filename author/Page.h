#pragma once

#include "author/Document.h"
#include "win/AnchorLayout.h"
#include "win/Dialog.h"

// One page of the main window: a child dialog that edits part of the document. The frame tells it when it
// becomes current and when it stops being current, asks it to validate and to store its controls into
// the project, and to reload them from the project. Every edit goes through document_.Changed, which the
// frame hands to every page's OnUpdate.
class CPage : public win::Dialog {
public:
    enum ReloadReason { kStartedEmpty = 0, kProjectChanged = 5 };

    CPage(CDocument& document, int templateId, const char* name)
        : document_(document), templateId_(templateId), name_(name) {}

    int TemplateId() const { return templateId_; }
    const char* Name() const { return name_; }

    virtual void Shown() {}
    virtual void Hidden() {}
    // False refuses (a bad value in a control); the frame then keeps the user on this page.
    virtual bool Validate() { return true; }
    virtual void Store() {}
    virtual void Reload(int reason) {}
    // Another edit changed the project (possibly made by this page): refresh what shows the objects named.
    virtual void OnUpdate(UpdateHint hint, const void* object) {}
    // A message of the current page's thread before the dialog manager sees it; true when the page took it.
    virtual bool PreTranslate(MSG& message) { return false; }

protected:
    // The page follows the main window's size through its anchors (set in OnInit); a page with panes and
    // splitters lays itself out instead.
    void OnSize(int width, int height) override { anchors_.Apply(width, height); }
    void ReportFailure(const std::string& text) override {
        MessageBoxA(Handle(), text.c_str(), "Tessaro", MB_OK | MB_ICONSTOP);
    }

    CDocument& document_;
    win::AnchorLayout anchors_;

private:
    int templateId_;
    const char* name_;
};
