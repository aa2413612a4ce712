#include "platform/NoCase.h"

namespace nocase {

// Off Windows the project's texts are taken as Western (code page 1252), which Wine uses by default.
const CodePage& System() {
    return Western();
}

}  // namespace nocase
