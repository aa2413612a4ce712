#include "model/RegItem.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "model/Text.h"
#include "platform/Format.h"

const char* const kRootRegistryNames[5] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                           "HKEY_USERS", "Installation Type Dependant"};

namespace {

constexpr uint32_t kUnboundedDataSize = 0;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A byte written as one or two hexadecimal digits; anything else is 0.
uint8_t HexByte(const std::string& token) {
    if (token.empty() || token.size() > 2) {
        return 0;
    }
    int value = 0;
    for (char c : token) {
        int digit = HexDigit(c);
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + digit;
    }
    return static_cast<uint8_t>(value);
}

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The decimal text of a double word, as the C library reads a number: leading blanks, a sign and digits;
// no number is 0. Values beyond 32 bits keep their low 32 bits, so "4294967295" and "-1" are alike.
uint32_t DwordFromText(const std::string& text) {
    return static_cast<uint32_t>(std::strtoll(text.c_str(), nullptr, 10));
}

}  // namespace

std::vector<uint8_t> CRegItem::DataFromText(uint32_t type, const std::string& text) {
    std::vector<uint8_t> bytes;
    if (type == platform::kRegString) {
        bytes.assign(text.begin(), text.end());
        bytes.push_back(0);
    } else if (type == platform::kRegBinary) {
        // Two hexadecimal digits per byte, separated by spaces: "0a ff 10".
        std::string token;
        for (char c : text + " ") {
            if (IsSpace(c)) {
                if (!token.empty()) {
                    bytes.push_back(HexByte(token));
                }
                token.clear();
            } else {
                token += c;
            }
        }
    } else if (type == platform::kRegDword) {
        const uint32_t value = DwordFromText(text);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }
    return bytes;
}

bool CRegItem::TextFromData(uint32_t type, const std::vector<uint8_t>& bytes, std::string* text) {
    if (type == platform::kRegString) {
        size_t length = 0;
        while (length < bytes.size() && bytes[length] != 0) {
            ++length;
        }
        text->assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        return true;
    }
    if (type == platform::kRegBinary) {
        text->clear();
        for (size_t i = 0; i < bytes.size(); ++i) {
            char hex[4];
            platform::FormatTo(hex, sizeof hex, "%02x", bytes[i]);
            if (i > 0) {
                *text += ' ';
            }
            *text += hex;
        }
        return true;
    }
    if (type == platform::kRegDword) {
        uint32_t value = 0;
        for (size_t i = 0; i < bytes.size() && i < 4; ++i) {
            value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
        }
        *text = text::Format("%ld", static_cast<long>(static_cast<int32_t>(value)));
        return true;
    }
    return false;
}

void CRegItem::Serialize(const std::string& key, CTreeArchive& ar) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Name", &name, std::string());
    if (ar.IsProjectFile()) {
        ar.ExchangeString("Value", &value, std::string());
    }
    ar.ExchangeInt("Type", &type, 0u);
    if (ar.IsProjectFile()) {
        const uint8_t noViews[kExpandedViews] = {};
        ar.ExchangeValue("Expanded", sizeof expanded, expanded, noViews);
    } else {
        // The setup database gets the data converted from the text; the setup program keeps the bytes.
        if (ar.IsBuildingDatabase() && ar.IsStoring()) {
            data = type == 0 ? std::vector<uint8_t>() : DataFromText(type, value);
        }
        uint32_t dataSize = static_cast<uint32_t>(data.size());
        ar.ExchangeInt("Size", &dataSize, kUnboundedDataSize);
        if (ar.IsStoring()) {
            if (!data.empty() && type != 0) {
                ar.ExchangeBlock("Data", data.data(), data.size());
            }
        } else {
            data.clear();
            if (dataSize != 0 && type != 0) {
                // The size comes from the file: a buffer is made only for data that is really there.
                std::vector<uint8_t> stored;
                stored.resize(std::min<size_t>(dataSize, ar.ObjectSize()));
                if (stored.size() == dataSize) {
                    ar.ExchangeBlock("Data", stored.data(), stored.size());
                    data = std::move(stored);
                }
            }
        }
    }
    children.Exchange(ar, "Children", [&](CRegItem& child, const std::string& childKey) {
        child.Serialize(childKey, ar);
        child.parent = this;
    });
    ar.ExchangeBool("Permanent", &permanent, false);
    ar.EndObject();
}

CRegItem* CRegItem::AddChild(std::unique_ptr<CRegItem> child) {
    CRegItem* added = children.Add(std::move(child));
    if (added != nullptr) {
        added->parent = this;
    }
    return added;
}

std::unique_ptr<CRegItem> CRegItem::Copy() const {
    auto copy = std::make_unique<CRegItem>(name, type);
    copy->value = value;
    std::copy(std::begin(expanded), std::end(expanded), std::begin(copy->expanded));
    copy->data = data;
    copy->permanent = permanent;
    for (const CRegItem* child : children) {
        copy->AddChild(child->Copy());
    }
    return copy;
}

CRegItem* CRegItem::CopyTo(CRegItem* target) const {
    if (target == nullptr || !target->IsKey() || target->children.IsFull()) {
        return nullptr;
    }
    return target->AddChild(Copy());
}

bool CRegItem::MoveTo(CRegItem* target) {
    if (parent == nullptr || target == nullptr || !target->IsKey() || target == this ||
        target->IsBelow(this) || target->children.IsFull()) {
        return false;
    }
    std::unique_ptr<CRegItem> taken = parent->children.Take(this);
    if (taken == nullptr) {
        return false;
    }
    parent = nullptr;
    target->AddChild(std::move(taken));
    return true;
}

CRegItem* CRegItem::FindChild(const std::string& childName, bool wantKey) const {
    for (CRegItem* child : children) {
        if (child->IsKey() == wantKey && text::EqualNoCase(child->name, childName)) {
            return child;
        }
    }
    return nullptr;
}

bool CRegItem::IsBelow(const CRegItem* ancestor) const {
    for (const CRegItem* up = parent; up != nullptr; up = up->parent) {
        if (up == ancestor) {
            return true;
        }
    }
    return false;
}

std::string CRegItem::FullPath() const { return parent == nullptr ? name : parent->FullPath() + "\\" + name; }

std::string CRegItem::DisplayName() const { return !IsKey() && name.empty() ? "(Default)" : name; }

platform::RegistryHive CRegItem::RootAndSubkey(bool installForAllUsers, std::string* subkey) const {
    const CRegItem* root = this;
    std::vector<const std::string*> names;  // from the item up to the root's child
    for (; root->parent != nullptr; root = root->parent) {
        names.push_back(&root->name);
    }
    subkey->clear();
    for (size_t i = names.size(); i-- > 0;) {
        *subkey += *names[i] + (i > 0 ? "\\" : "");
    }
    using platform::RegistryHive;
    if (root->name == kRootRegistryNames[0]) return RegistryHive::kClassesRoot;
    if (root->name == kRootRegistryNames[1]) return RegistryHive::kCurrentUser;
    if (root->name == kRootRegistryNames[2]) return RegistryHive::kLocalMachine;
    if (root->name == kRootRegistryNames[3]) return RegistryHive::kUsers;
    if (root->name == kRootRegistryNames[4]) {
        return installForAllUsers ? RegistryHive::kLocalMachine : RegistryHive::kCurrentUser;
    }
    return RegistryHive::kNone;
}
