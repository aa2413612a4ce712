#include <gtest/gtest.h>

#include <memory>

#include "author/DocTypeRules.h"
#include "model/Project.h"

using namespace doctype_rules;

namespace {

TEST(DocTypeMenuTest, CommandsAreEnabledByWhatIsSelected) {
    const Selection none{false, false}, type{true, false}, verb{true, true};
    const struct {
        Command command;
        bool withNothing, withType, withVerb;
    } kCases[] = {
        {Command::kAddDocType, true, true, true},     {Command::kDeleteDocType, false, true, true},
        {Command::kChangeDocType, false, true, true}, {Command::kAddVerb, false, true, true},
        {Command::kDeleteVerb, false, false, true},   {Command::kChangeVerb, false, false, true},
        {Command::kNone, false, false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.command));
        EXPECT_EQ(IsEnabled(c.command, none), c.withNothing);
        EXPECT_EQ(IsEnabled(c.command, type), c.withType);
        EXPECT_EQ(IsEnabled(c.command, verb), c.withVerb);
    }
    // A verb row without its document type cannot be: nothing acts on it.
    EXPECT_FALSE(IsEnabled(Command::kChangeVerb, Selection{false, true}));
}

TEST(DocTypeMenuTest, KeysActOnTheFocusedListOnly) {
    const struct {
        List list;
        unsigned key;
        Command command;
    } kCases[] = {
        {List::kDocTypes, kKeyInsert, Command::kAddDocType},
        {List::kDocTypes, kKeyDelete, Command::kDeleteDocType},
        {List::kDocTypes, kKeyF2, Command::kChangeDocType},
        {List::kVerbs, kKeyInsert, Command::kAddVerb},
        {List::kVerbs, kKeyDelete, Command::kDeleteVerb},
        {List::kVerbs, kKeyF2, Command::kChangeVerb},
        {List::kDocTypes, 0x0D, Command::kNone},
        {List::kVerbs, 'A', Command::kNone},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CommandOfKey(c.list, c.key), c.command) << c.key;
    }
    EXPECT_EQ(CommandOfDoubleClick(List::kDocTypes), Command::kChangeDocType);
    EXPECT_EQ(CommandOfDoubleClick(List::kVerbs), Command::kChangeVerb);
}

TEST(DocTypeMenuTest, FullListsRefuseToAddWithAMessage) {
    const struct {
        Command command;
        size_t count, capacity;
        const char* refusal;
    } kCases[] = {
        {Command::kAddDocType, 99, 100, ""},
        {Command::kAddDocType, 100, 100, "A project has at most 100 Document Types."},
        {Command::kAddVerb, 9, 10, ""},
        {Command::kAddVerb, 10, 10, "A Document Type has at most 10 verbs."},
        {Command::kChangeVerb, 10, 10, ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(AddRefusal(c.command, c.count, c.capacity), c.refusal);
    }
}

class DocTypeChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        tool_ = project_.files.Add(std::make_unique<CFileItem>());
        tool_->sourcePath = "C:\\files\\tool.exe";
        tool_->title = "tool.exe";
        far_ = project_.files.Add(std::make_unique<CFileItem>());
        far_->sourcePath = "C:\\" + std::string(257, 'x');  // 260 characters
        existing_ = project_.docTypes.Add(std::make_unique<CDocType>());
        existing_->name = "Gadget.Document";
        existing_->extension = "gdg";
        auto open = std::make_unique<CVerb>();
        open->name = "open";
        existing_->verbs.Add(std::move(open));
    }

    CProject project_;
    CFileItem* tool_ = nullptr;
    CFileItem* far_ = nullptr;
    CDocType* existing_ = nullptr;
};

TEST_F(DocTypeChecksTest, DocumentTypeFieldsAreCheckedInOrder) {
    const std::string longName(256, 'n');
    const struct {
        const char* name;
        std::string extension;
        bool farIcon;
        const CDocType* editing;
        const char* message;
        Field field;
        const char* storedName;
        const char* storedExtension;
    } kCases[] = {
        {"", "", true, nullptr, "Please enter a name for this Document Type.", Field::kName, "", ""},
        {"   ", "txt", false, nullptr, "Please enter a name for this Document Type.", Field::kName, "",
         "txt"},
        {"Note", "", true, nullptr, "Please enter an extension for this Document Type.", Field::kExtension,
         "Note", ""},
        {"Note", " . ", false, nullptr, "Please enter an extension for this Document Type.",
         Field::kExtension, "Note", ""},
        {"A\\B", "txt", false, nullptr,
         "The name of a Document Type cannot contain a backslash (\\) and has at most 255 characters.",
         Field::kName, "A\\B", "txt"},
        {"Note", "a\\b", false, nullptr,
         "An extension cannot contain a backslash (\\) and has at most 254 characters.", Field::kExtension,
         "Note", "a\\b"},
        {"Note", std::string(255, 'e'), false, nullptr,
         "An extension cannot contain a backslash (\\) and has at most 254 characters.", Field::kExtension,
         "Note", nullptr},
        {"Note", ".GDG", false, nullptr,
         "The extension \"GDG\" belongs to the Document Type \"Gadget.Document\" already.", Field::kExtension,
         "Note", "GDG"},
        {"Note", "txt", true, nullptr, "The path is too long: a path has at most 259 characters!",
         Field::kIconFile, "Note", "txt"},
        // Accepted: blanks around the name and the extension, and the extension's leading dots, go.
        {" Note ", " ..txt ", false, nullptr, "", Field::kNone, "Note", "txt"},
        {"Note", "tar.gz", false, nullptr, "", Field::kNone, "Note", "tar.gz"},
        // The document type being changed keeps its own extension.
        {"Gadget.Document", ".gdg", false, existing_, "", Field::kNone, "Gadget.Document", "gdg"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.extension);
        DocTypeFields fields;
        fields.name = c.name;
        fields.extension = c.extension;
        fields.iconFile = c.farIcon ? far_ : tool_;
        const Problem problem = CheckDocType(&fields, project_, c.editing);
        EXPECT_EQ(problem.message, c.message);
        EXPECT_EQ(problem.field, c.field);
        EXPECT_EQ(static_cast<bool>(problem), *c.message != '\0');
        EXPECT_EQ(fields.name, c.storedName);
        if (c.storedExtension != nullptr) {
            EXPECT_EQ(fields.extension, c.storedExtension);
        }
    }
    DocTypeFields atLimit;
    atLimit.name = longName;
    atLimit.extension = "txt";
    EXPECT_EQ(CheckDocType(&atLimit, project_, nullptr).field, Field::kName);
    atLimit.name.pop_back();
    EXPECT_FALSE(CheckDocType(&atLimit, project_, nullptr));
}

TEST_F(DocTypeChecksTest, VerbFieldsAreCheckedInOrder) {
    const struct {
        const char* name;
        bool target;
        bool farTarget;
        bool editingOpen;
        const char* message;
        Field field;
    } kCases[] = {
        {"", false, false, false, "Please enter a name for this verb.", Field::kName},
        {" ", true, false, false, "Please enter a name for this verb.", Field::kName},
        {"print", false, false, false, "Please enter a Target file for this verb.", Field::kTarget},
        {"print\\now", true, false, false,
         "The name of a verb cannot contain a backslash (\\) and has at most 255 characters.", Field::kName},
        {"OPEN", true, false, false, "This Document Type has a verb named \"open\" already.", Field::kName},
        {"print", true, true, false, "The path is too long: a path has at most 259 characters!",
         Field::kTarget},
        {"print", true, false, false, "", Field::kNone},
        {"Open", true, false, true, "", Field::kNone},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        VerbFields fields;
        fields.name = c.name;
        fields.target = c.target ? (c.farTarget ? far_ : tool_) : nullptr;
        const Problem problem = CheckVerb(&fields, *existing_, c.editingOpen ? existing_->verbs[0] : nullptr);
        EXPECT_EQ(problem.message, c.message);
        EXPECT_EQ(problem.field, c.field);
    }
}

}  // namespace
