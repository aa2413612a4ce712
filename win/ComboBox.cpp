#include "win/ComboBox.h"

namespace win {

void ComboBox::Fill(const std::vector<std::string>& choices) const {
    Clear();
    for (const std::string& choice : choices) {
        Add(choice);
    }
}

void ComboBox::Fill(const char* const* choices, int count) const {
    Clear();
    for (int i = 0; i < count; ++i) {
        Add(choices[i]);
    }
}

}  // namespace win
