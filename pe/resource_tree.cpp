#include "pe/resource_tree.h"

#include <algorithm>
#include <set>

#include "pe/le_bytes.h"
#include "pe/pe_layout.h"
#include "pe/pe_error.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = pe::kResourceDirectoryHeaderSize;
constexpr std::size_t kDirectoryEntrySize = pe::kResourceEntrySize;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kDataAlignment = 8;

// Only ASCII letters change: the names this tool writes are ASCII, and
// comparing others by code unit still gives a stable, valid order.
char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::u16string Uppercase(std::u16string s) {
    std::transform(s.begin(), s.end(), s.begin(), Upper);
    return s;
}

std::size_t Align(std::size_t v, std::size_t a) { return (v + a - 1) / a * a; }

// Reads the directories a piece at a time; the data stays where it is.
class TreeReader {
public:
    TreeReader(const FileBytes& file, const PeImage& image, std::uint64_t base, std::uint64_t end)
        : file_(file), image_(image), base_(base), end_(end) {}

    ResourceMap Read() {
        ResourceMap map;
        for (const auto& [type_key, type_at] : Directory(0)) {
            LocatedType type{type_key, {}};
            for (const auto& [name_key, name_at] : Directory(Subdirectory(type_at))) {
                LocatedEntry entry{name_key, {}};
                for (const auto& [lang_key, lang_at] : Directory(Subdirectory(name_at)))
                    entry.languages.push_back(Data(lang_key, lang_at));
                type.entries.push_back(std::move(entry));
            }
            map.push_back(std::move(type));
        }
        return map;
    }

private:
    [[noreturn]] static void Damaged() { throw PeError("The program file's resources are damaged."); }

    // The bytes at offset within the section, which must hold them.
    Bytes Piece(std::uint64_t offset, std::uint64_t size) const {
        if (offset > end_ - base_ || size > end_ - base_ - offset) Damaged();
        return file_.Read(base_ + offset, static_cast<std::size_t>(size));
    }

    // Each directory and data entry is read once, and the names read add up
    // to no more than the file: tables that point at each other again and
    // again would otherwise make a small file an endless tree.
    void FirstVisit(std::uint64_t offset) {
        if (!visited_.insert(offset).second) Damaged();
    }
    void Count(std::uint64_t bytes) {
        read_bytes_ += bytes;
        if (read_bytes_ > file_.size()) Damaged();
    }

    std::vector<std::pair<ResourceKey, std::uint32_t>> Directory(std::uint64_t offset) {
        FirstVisit(offset);
        const Bytes header = Piece(offset, kDirectoryHeaderSize);
        const std::size_t count =
            std::size_t{le::U16(header, pe::kResourceNamedEntries)} + le::U16(header, pe::kResourceIdEntries);
        const Bytes table = Piece(offset + kDirectoryHeaderSize, count * kDirectoryEntrySize);
        Count(table.size());
        std::vector<std::pair<ResourceKey, std::uint32_t>> entries;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t name = le::U32(table, i * kDirectoryEntrySize);
            const std::uint32_t target = le::U32(table, i * kDirectoryEntrySize + pe::kResourceEntryTarget);
            entries.emplace_back(
                (name & kHighBit) ? ResourceKey::Name(String(name & ~kHighBit)) : ResourceKey::Id(name), target);
        }
        return entries;
    }

    std::u16string String(std::uint64_t offset) {
        const std::size_t length = le::U16(Piece(offset, 2), 0);
        Count(length * 2);
        const Bytes units = Piece(offset + 2, length * 2);
        std::u16string s;
        for (std::size_t i = 0; i < length; ++i) s.push_back(static_cast<char16_t>(le::U16(units, 2 * i)));
        return s;
    }

    // Types and names lead to directories; the tree is exactly three levels deep.
    static std::uint64_t Subdirectory(std::uint32_t target) {
        if (!(target & kHighBit)) Damaged();
        return target & ~kHighBit;
    }

    LocatedData Data(const ResourceKey& language, std::uint32_t target) {
        if (target & kHighBit) Damaged();
        FirstVisit(target);
        const Bytes entry = Piece(target, kDataEntrySize);
        const std::uint32_t rva = le::U32(entry, 0);
        const std::uint32_t size = le::U32(entry, pe::kResourceDataSize);
        return {language, le::U32(entry, pe::kResourceDataCodePage), image_.OffsetOfRva(rva, size), size};
    }

    const FileBytes& file_;
    const PeImage& image_;
    std::uint64_t base_;
    std::uint64_t end_;
    std::set<std::uint64_t> visited_;
    std::uint64_t read_bytes_ = 0;
};

template <typename T, typename KeyOf>
std::vector<const T*> Sorted(const std::vector<T>& items, KeyOf key_of) {
    std::vector<const T*> sorted;
    sorted.reserve(items.size());
    for (const T& item : items) sorted.push_back(&item);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const T* a, const T* b) { return ResourceKeyLess(key_of(*a), key_of(*b)); });
    return sorted;
}

// Lays out in the usual order: all directories (breadth first), the data
// entries, the name strings, then the data, each item 8-byte aligned.
class SectionLayout {
public:
    SectionLayout(const ResourceTree& tree, std::uint32_t rva) : rva_(rva) {
        types_ = Sorted(tree, [](const ResourceType& t) -> const ResourceKey& { return t.type; });
        std::size_t directories = DirectorySize(types_.size());
        for (const ResourceType* t : types_) {
            names_.push_back(Sorted(t->entries, [](const ResourceEntry& e) -> const ResourceKey& { return e.name; }));
            directories += DirectorySize(t->entries.size());
        }
        for (const auto& names : names_)
            for (const ResourceEntry* e : names) {
                langs_.push_back(
                    Sorted(e->languages, [](const ResourceData& d) -> const ResourceKey& { return d.language; }));
                directories += DirectorySize(e->languages.size());
            }
        std::size_t data_entries = 0;
        for (const auto& langs : langs_) data_entries += langs.size();
        next_directory_ = 0;
        next_data_entry_ = directories;
        next_string_ = directories + data_entries * kDataEntrySize;
        std::size_t strings = 0;
        ForEachKey([&](const ResourceKey& k) { strings += k.is_name ? 2 + 2 * k.name.size() : 0; });
        next_data_ = Align(next_string_ + strings, kDataAlignment);
        std::size_t total = next_data_;
        bool any_streamed = false;
        for (const auto& langs : langs_)
            for (const ResourceData* d : langs) {
                if (!d->streamed) total = Align(total, kDataAlignment) + d->bytes.size();
                any_streamed = any_streamed || d->streamed;
            }
        // Streamed data follows the laid-out bytes, aligned like any data.
        streamed_at_ = Align(total, kDataAlignment);
        out_.assign(any_streamed ? streamed_at_ : total, 0);
    }

    SectionHead Emit() {
        const std::size_t root = NewDirectory(types_.size());
        std::vector<std::size_t> type_dirs;
        for (std::size_t t = 0; t < types_.size(); ++t) type_dirs.push_back(NewDirectory(names_[t].size()));
        std::size_t lang_index = 0;
        std::vector<std::size_t> name_dirs;
        for (const auto& names : names_)
            for (std::size_t n = 0; n < names.size(); ++n)
                name_dirs.push_back(NewDirectory(langs_[lang_index++].size()));

        std::size_t name_dir = 0;
        for (std::size_t t = 0; t < types_.size(); ++t) {
            PutEntry(root, t, types_[t]->type, kHighBit | static_cast<std::uint32_t>(type_dirs[t]));
            for (std::size_t n = 0; n < names_[t].size(); ++n, ++name_dir) {
                PutEntry(type_dirs[t], n, names_[t][n]->name,
                         kHighBit | static_cast<std::uint32_t>(name_dirs[name_dir]));
                const auto& langs = langs_[name_dir];
                for (std::size_t l = 0; l < langs.size(); ++l)
                    PutEntry(name_dirs[name_dir], l, langs[l]->language,
                             static_cast<std::uint32_t>(NewData(*langs[l])));
            }
        }
        return {std::move(out_), std::move(size_fields_), std::move(later_data_)};
    }

private:
    static std::size_t DirectorySize(std::size_t entries) {
        return kDirectoryHeaderSize + entries * kDirectoryEntrySize;
    }

    template <typename F>
    void ForEachKey(F f) const {
        for (const ResourceType* t : types_) f(t->type);
        for (const auto& names : names_)
            for (const ResourceEntry* e : names) f(e->name);
        for (const auto& langs : langs_)
            for (const ResourceData* d : langs) f(d->language);
    }

    // Header with the named/ID counts; characteristics, time stamp and version stay 0.
    std::size_t NewDirectory(std::size_t entries) {
        const std::size_t at = next_directory_;
        next_directory_ += DirectorySize(entries);
        return at;
    }

    void PutEntry(std::size_t directory, std::size_t index, const ResourceKey& key, std::uint32_t target) {
        const std::size_t at = directory + kDirectoryHeaderSize + index * kDirectoryEntrySize;
        if (key.is_name) {
            le::Put32(out_, at, kHighBit | static_cast<std::uint32_t>(NewString(key.name)));
            CountEntry(directory + pe::kResourceNamedEntries);
        } else {
            le::Put32(out_, at, key.id);
            CountEntry(directory + pe::kResourceIdEntries);
        }
        le::Put32(out_, at + pe::kResourceEntryTarget, target);
    }

    void CountEntry(std::size_t counter) {
        le::Put16(out_, counter, static_cast<std::uint16_t>(le::U16(out_, counter) + 1));
    }

    std::size_t NewString(const std::u16string& s) {
        const std::size_t at = next_string_;
        le::Put16(out_, at, static_cast<std::uint16_t>(s.size()));
        for (std::size_t i = 0; i < s.size(); ++i) le::Put16(out_, at + 2 + 2 * i, s[i]);
        next_string_ += 2 + 2 * s.size();
        return at;
    }

    std::size_t NewData(const ResourceData& d) {
        const std::size_t entry = next_data_entry_;
        next_data_entry_ += kDataEntrySize;
        if (d.streamed) {
            le::Put32(out_, entry, rva_ + static_cast<std::uint32_t>(streamed_at_));
            le::Put32(out_, entry + pe::kResourceDataCodePage, d.code_page);
            size_fields_.push_back(entry + pe::kResourceDataSize);
            return entry;
        }
        next_data_ = Align(next_data_, kDataAlignment);
        le::Put32(out_, entry, rva_ + static_cast<std::uint32_t>(next_data_));
        le::Put32(out_, entry + pe::kResourceDataSize, static_cast<std::uint32_t>(d.bytes.size()));
        le::Put32(out_, entry + pe::kResourceDataCodePage, d.code_page);
        if (d.filled_later) later_data_.push_back(next_data_);
        std::copy(d.bytes.begin(), d.bytes.end(), out_.begin() + static_cast<std::ptrdiff_t>(next_data_));
        next_data_ += d.bytes.size();
        return entry;
    }

    std::uint32_t rva_;
    std::vector<const ResourceType*> types_;
    std::vector<std::vector<const ResourceEntry*>> names_;
    std::vector<std::vector<const ResourceData*>> langs_;
    std::size_t next_directory_ = 0;
    std::size_t next_data_entry_ = 0;
    std::size_t next_string_ = 0;
    std::size_t next_data_ = 0;
    std::size_t streamed_at_ = 0;
    std::vector<std::size_t> size_fields_;
    std::vector<std::size_t> later_data_;
    Bytes out_;
};

}  // namespace

bool ResourceKeyLess(const ResourceKey& a, const ResourceKey& b) {
    if (a.is_name != b.is_name) return a.is_name;
    if (a.is_name) return Uppercase(a.name) < Uppercase(b.name);
    return a.id < b.id;
}

bool ResourceKeyMatches(const ResourceKey& a, const ResourceKey& b) {
    if (a.is_name != b.is_name) return false;
    return a.is_name ? Uppercase(a.name) == Uppercase(b.name) : a.id == b.id;
}

ResourceMap LocateResources(const FileBytes& file, const PeImage& image) {
    const PeDataDirectory& dir = image.directories[kResourceDirectoryIndex];
    if (dir.rva == 0) return {};  // as the loader has it: no resources, whatever the size says
    const std::size_t section = image.SectionOfRva(dir.rva);
    if (section == image.sections.size()) throw PeError("The program file's resources are damaged.");
    const PeSection& s = image.sections[section];
    const std::uint32_t within = dir.rva - s.virtual_address;
    if (within >= ReadableSize(s)) throw PeError("The program file's resources are damaged.");
    const std::uint64_t start = s.raw_offset;
    return TreeReader(file, image, start + within, start + ReadableSize(s)).Read();
}

ResourceTree ReadResourceTree(const Bytes& file, const PeImage& image) {
    const MemoryBytes bytes(file);
    ResourceTree tree;
    // Entries may share their data: what is copied adds up to no more than the file.
    std::uint64_t copied = 0;
    for (const LocatedType& t : LocateResources(bytes, image)) {
        ResourceType type{t.type, {}};
        for (const LocatedEntry& e : t.entries) {
            ResourceEntry entry{e.name, {}};
            for (const LocatedData& d : e.languages) {
                copied += d.size;
                if (copied > file.size()) throw PeError("The program file's resources are damaged.");
                entry.languages.push_back({d.language, d.code_page, bytes.Read(d.offset, d.size)});
            }
            type.entries.push_back(std::move(entry));
        }
        tree.push_back(std::move(type));
    }
    return tree;
}

Bytes LayoutResourceSection(const ResourceTree& tree, std::uint32_t section_rva) {
    return SectionLayout(tree, section_rva).Emit().bytes;
}

SectionHead LayoutResourceSectionHead(const ResourceTree& tree, std::uint32_t section_rva) {
    return SectionLayout(tree, section_rva).Emit();
}

}  // namespace zsetup
