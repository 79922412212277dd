#include "dialog_template.h"

#include <cstddef>

namespace kiva4cpl::test {

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    WORD word() {
        if (at_ + 2 > size_) {
            ok_ = false;
            return 0;
        }
        const WORD value = static_cast<WORD>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    DWORD dword() {
        const DWORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }
    short coordinate() { return static_cast<short>(word()); }
    std::string wideText() {
        std::string text;
        for (WORD c = word(); ok_ && c != 0; c = word()) {
            text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return text;
    }
    // A name or an ordinal: 0x0000 none, 0xFFFF followed by an ordinal, else a text.
    void nameOrOrdinal(WORD& ordinal, std::string& name) {
        const WORD first = word();
        ordinal = 0;
        if (first == 0) return;
        if (first == 0xFFFF) {
            ordinal = word();
            return;
        }
        name.push_back(static_cast<char>(first));
        name += wideText();
    }
    void alignToDword() { at_ = (at_ + 3) & ~static_cast<std::size_t>(3); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// Resource compilers may name a predefined class instead of giving its atom; Windows treats both
// alike.
WORD predefinedClassAtom(const std::string& name) {
    std::string lower;
    for (char c : name)
        lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    if (lower == "button") return 0x80;
    if (lower == "edit") return 0x81;
    if (lower == "static") return 0x82;
    if (lower == "listbox") return 0x83;
    if (lower == "scrollbar") return 0x84;
    if (lower == "combobox") return 0x85;
    return 0;
}

}  // namespace

std::optional<DialogTemplate> loadDialogTemplate(HMODULE module, int id) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (resource == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
    if (data == nullptr) return std::nullopt;
    Reader reader(data, SizeofResource(module, resource));

    DialogTemplate dialog;
    dialog.style = reader.dword();
    dialog.extendedStyle = reader.dword();
    const WORD count = reader.word();
    dialog.x = reader.coordinate();
    dialog.y = reader.coordinate();
    dialog.cx = reader.coordinate();
    dialog.cy = reader.coordinate();
    WORD ordinal = 0;
    std::string ignored;
    reader.nameOrOrdinal(ordinal, ignored);  // menu
    reader.nameOrOrdinal(ordinal, ignored);  // class
    dialog.caption = reader.wideText();
    if (dialog.style & DS_SETFONT) {
        dialog.fontSize = reader.word();
        dialog.fontName = reader.wideText();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        reader.alignToDword();
        DialogItem item{};
        item.style = reader.dword();
        item.extendedStyle = reader.dword();
        item.x = reader.coordinate();
        item.y = reader.coordinate();
        item.cx = reader.coordinate();
        item.cy = reader.coordinate();
        const WORD itemId = reader.word();
        item.id = itemId == 0xFFFF ? -1 : itemId;
        reader.nameOrOrdinal(item.classAtom, item.className);
        item.classAtom = item.classAtom != 0 ? item.classAtom : predefinedClassAtom(item.className);
        WORD textOrdinal = 0;
        reader.nameOrOrdinal(textOrdinal, item.text);
        const WORD extra = reader.word();
        for (WORD skip = 0; skip < (extra + 1) / 2; ++skip) reader.word();
        dialog.items.push_back(item);
    }
    if (!reader.ok()) return std::nullopt;
    return dialog;
}

}  // namespace kiva4cpl::test
