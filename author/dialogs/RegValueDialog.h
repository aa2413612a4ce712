#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/Dialog.h"

// The value dialog of the "Registry" page: the value's name (read-only), its data and "Permanent"; a
// double word is edited in hexadecimal or decimal ("Base:"). The caller writes the accepted fields into
// the project.
class CRegValueDialog : public win::Dialog {
public:
    struct Fields {
        std::string name;  // as stored: empty for the default value
        uint32_t type = 1;
        std::string text;  // the data as stored (a double word as decimal text)
        bool permanent = false;
    };

    explicit CRegValueDialog(const Fields& fields) : fields_(fields) {}

    // True when the user pressed OK; Result() then holds the data and flag to store.
    bool Ask(HWND owner);
    const Fields& Result() const { return fields_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    bool IsDword() const;
    void SetBase(bool hexadecimal);

    Fields fields_;
    bool hexadecimal_ = true;
};
