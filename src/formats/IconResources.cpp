#include "formats/IconResources.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "formats/ByteReader.h"

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint16_t kPeIcon = 3;
constexpr uint16_t kPeGroupIcon = 14;
constexpr uint16_t kNeIcon = 0x8003;
constexpr uint16_t kNeGroupIcon = 0x800E;
constexpr uint64_t kGroupEntrySize = 14;
constexpr uint64_t kIcoEntrySize = 16;
// What one written icon may hold. Real icons hold a handful of images of a few kilobytes.
constexpr size_t kMaxIcoImages = 256;

using Groups = std::vector<IconGroup>;

std::nullopt_t unreadable(FormatError *error)
{
    return failed(error, FormatError::Kind::Damaged, "The file's icon resources are damaged.");
}

std::nullopt_t noIcons(FormatError *error)
{
    return failed(error, FormatError::Kind::NoIcons, "The file holds no icons.");
}

// Hands out image bytes as slices of the file. In a sound file every group entry and every
// image has bytes of its own, so the file's size bounds both; a hostile file whose groups share
// or overlap their data runs out of budget instead of multiplying the work.
class ImageStore
{
public:
    explicit ImageStore(const ByteReader &file)
        : file_(file)
        , entriesLeft_(file.size() / kGroupEntrySize)
        , bytesLeft_(file.size())
    {
    }

    bool takeEntries(uint64_t count)
    {
        if (count > entriesLeft_)
            return false;
        entriesLeft_ -= count;
        return true;
    }

    // The bytes at offset, shared with any earlier image at the same place; nothing when they
    // are empty, past the end or over budget.
    std::optional<std::string_view> image(uint64_t offset, uint64_t size)
    {
        const auto key = std::make_pair(offset, size);
        if (seen_.contains(key))
            return file_.bytes(offset, size);
        const auto bytes = file_.bytes(offset, size);
        if (size == 0 || !bytes || size > bytesLeft_)
            return std::nullopt;
        bytesLeft_ -= size;
        seen_.insert(key);
        return bytes;
    }

private:
    const ByteReader &file_;
    uint64_t entriesLeft_;
    uint64_t bytesLeft_;
    std::set<std::pair<uint64_t, uint64_t>> seen_;
};

struct GroupEntry
{
    IconGroupImage image; // without its data
    uint16_t id = 0;
};

// The entries of an RT_GROUP_ICON resource; nothing for a damaged one.
std::optional<std::vector<GroupEntry>> readGroupEntries(std::string_view data, ImageStore &store)
{
    const ByteReader r(data);
    const auto reserved = r.u16(0), type = r.u16(2), count = r.u16(4);
    if (!reserved || !type || !count || *reserved != 0 || *type != 1 ||
        !r.has(6, kGroupEntrySize * *count) || !store.takeEntries(*count))
        return std::nullopt;
    std::vector<GroupEntry> entries(*count);
    for (uint64_t i = 0; i < *count; ++i) {
        // The whole directory is present, so these reads cannot fail.
        const uint64_t at = 6 + kGroupEntrySize * i;
        static_cast<IconEntryInfo &>(entries[i].image) = readIconEntry(r, at);
        entries[i].id = *r.u16(at + 12);
    }
    return entries;
}

// The group's images without repeats: entries that name bytes an earlier entry already gave.
// A hostile group repeats one image thousands of times, which the reader gives as one slice,
// so a slice seen before is known without comparing its bytes.
std::vector<const IconGroupImage *> distinctImages(const IconGroup &group)
{
    std::vector<const IconGroupImage *> distinct;
    std::set<std::pair<const char *, size_t>> slices;
    std::unordered_set<std::string_view> contents;
    for (const IconGroupImage &image : group.images) {
        if (!slices.emplace(image.data.data(), image.data.size()).second ||
            !contents.insert(image.data).second)
            continue;
        distinct.push_back(&image);
    }
    return distinct;
}

// A resource id as its decimal text.
std::u16string decimal(uint32_t id)
{
    const std::string digits = std::to_string(id);
    return std::u16string(digits.begin(), digits.end());
}

// --- PE ------------------------------------------------------------------------------------

struct Section
{
    uint32_t address = 0;
    uint32_t extent = 0; // the larger of the virtual and the raw size
    uint32_t rawOffset = 0;
};

// Sections sorted by address, without empty ones; in a sound file they do not overlap. A
// search keeps a file with thousands of sections from making every look-up slow.
std::optional<uint64_t> mapRva(const std::vector<Section> &sections, uint32_t rva)
{
    const auto after = std::upper_bound(sections.begin(), sections.end(), rva,
                                        [](uint32_t a, const Section &s) { return a < s.address; });
    if (after == sections.begin())
        return std::nullopt;
    const Section &s = *std::prev(after);
    if (uint64_t(rva) >= uint64_t(s.address) + s.extent)
        return std::nullopt;
    return uint64_t(s.rawOffset) + (rva - s.address);
}

class PeResources
{
public:
    PeResources(const ByteReader &file, uint64_t root, std::vector<Section> sections, size_t limit)
        : file_(file)
        , root_(root)
        , sections_(std::move(sections))
        , store_(file)
        , limit_(limit)
    {
    }

    std::optional<Groups> groups(FormatError *error)
    {
        const auto types = directory(0);
        if (!types)
            return unreadable(error);
        std::optional<uint32_t> groupDir, iconDir;
        for (const auto &[name, target] : *types) {
            // Each type is taken once, from its first entry; named types are not icons.
            if (!groupDir && name == kPeGroupIcon && (target & kHighBit))
                groupDir = target & ~kHighBit;
            if (!iconDir && name == kPeIcon && (target & kHighBit))
                iconDir = target & ~kHighBit;
        }
        if (!groupDir)
            return noIcons(error);
        const auto groupEntries = directory(*groupDir);
        if (!groupEntries)
            return unreadable(error);
        if (groupEntries->empty())
            return noIcons(error);
        if (iconDir)
            indexIcons(*iconDir);
        Groups groups;
        groups.reserve(std::min(groupEntries->size(), limit_));
        for (const auto &[name, target] : *groupEntries) {
            if (groups.size() == limit_)
                break;
            IconGroup group;
            group.name = resourceName(name);
            if (const auto data = firstLanguageData(target))
                group.images = images(*data);
            groups.push_back(std::move(group));
        }
        return groups;
    }

private:
    using Entries = std::vector<std::pair<uint32_t, uint32_t>>; // name, target

    // The entries of the directory at `offset` from the root, named first as stored; nothing
    // for one that is cut short or was seen before.
    std::optional<Entries> directory(uint32_t offset)
    {
        const uint64_t at = root_ + offset;
        if (!visited_.insert(offset).second)
            return std::nullopt;
        const auto named = file_.u16(at + 12), ids = file_.u16(at + 14);
        if (!named || !ids || !file_.has(at + 16, 8 * (uint64_t(*named) + *ids)))
            return std::nullopt;
        Entries entries(size_t(*named) + *ids);
        for (uint64_t i = 0; i < entries.size(); ++i)
            entries[i] = {*file_.u32(at + 16 + 8 * i), *file_.u32(at + 20 + 8 * i)};
        return entries;
    }

    // The data of the first language under a name entry's target, as a file range.
    std::optional<std::pair<uint64_t, uint64_t>> firstLanguageData(uint32_t target)
    {
        if (!(target & kHighBit))
            return std::nullopt;
        const auto languages = directory(target & ~kHighBit);
        if (!languages || languages->empty() || (languages->front().second & kHighBit))
            return std::nullopt;
        const uint64_t entry = root_ + languages->front().second;
        const auto rva = file_.u32(entry), size = file_.u32(entry + 4);
        if (!rva || !size)
            return std::nullopt;
        const auto offset = mapRva(sections_, *rva);
        if (!offset || !file_.has(*offset, *size))
            return std::nullopt;
        return std::make_pair(*offset, uint64_t(*size));
    }

    std::u16string resourceName(uint32_t name) const
    {
        if (!(name & kHighBit))
            return decimal(name & 0xFFFF);
        // A counted UTF-16 string without a terminator.
        const uint64_t at = root_ + (name & ~kHighBit);
        const auto length = file_.u16(at);
        if (!length || !file_.has(at + 2, 2 * uint64_t(*length)))
            return {};
        std::u16string text(*length, u'\0');
        for (uint64_t i = 0; i < *length; ++i)
            text[i] = char16_t(*file_.u16(at + 2 + 2 * i));
        return text;
    }

    // Integer ids of RT_ICON resources; a group entry's nID names one of them.
    void indexIcons(uint32_t iconDir)
    {
        const auto entries = directory(iconDir);
        if (!entries)
            return;
        for (const auto &[name, target] : *entries) {
            if (!(name & kHighBit) && !icons_.contains(uint16_t(name)))
                icons_.emplace(uint16_t(name), target);
        }
    }

    std::vector<IconGroupImage> images(std::pair<uint64_t, uint64_t> groupData)
    {
        std::vector<IconGroupImage> images;
        const auto entries =
            readGroupEntries(*file_.bytes(groupData.first, groupData.second), store_);
        if (!entries)
            return images;
        for (const GroupEntry &entry : *entries) {
            const auto icon = icons_.find(entry.id);
            if (icon == icons_.end())
                continue;
            // Resolved once: a second group naming the same icon finds its directory visited.
            if (!resolved_.contains(entry.id))
                resolved_.emplace(entry.id, firstLanguageData(icon->second));
            const auto &range = resolved_[entry.id];
            if (!range)
                continue;
            if (const auto data = store_.image(range->first, range->second)) {
                images.push_back(entry.image);
                images.back().data = *data;
            }
        }
        return images;
    }

    const ByteReader &file_;
    uint64_t root_;
    std::vector<Section> sections_;
    ImageStore store_;
    size_t limit_;
    std::unordered_set<uint32_t> visited_;
    std::unordered_map<uint16_t, uint32_t> icons_; // id -> its name entry's target
    std::unordered_map<uint16_t, std::optional<std::pair<uint64_t, uint64_t>>> resolved_;
};

std::optional<Groups> readPe(const ByteReader &r, uint64_t pe, FormatError *error, size_t limit)
{
    const uint64_t coff = pe + 4;
    const uint64_t optional = coff + 20;
    const auto sectionCount = r.u16(coff + 2), optionalSize = r.u16(coff + 16);
    const auto magic = r.u16(optional);
    if (!sectionCount || !optionalSize || !magic || (*magic != 0x10B && *magic != 0x20B))
        return unreadable(error);
    const uint64_t directories = *magic == 0x10B ? 96 : 112;
    const auto directoryCount = r.u32(optional + directories - 4);
    if (!directoryCount)
        return unreadable(error);
    const uint64_t resourceEntry = directories + uint64_t(2) * 8;
    const auto rva = r.u32(optional + resourceEntry);
    if (*directoryCount <= 2 || resourceEntry + 8 > *optionalSize || (rva && *rva == 0))
        return noIcons(error);

    const uint64_t table = optional + *optionalSize;
    if (!rva || !r.has(table, 40 * uint64_t(*sectionCount)))
        return unreadable(error);
    std::vector<Section> sections;
    for (uint64_t at = table; at < table + 40 * uint64_t(*sectionCount); at += 40) {
        const Section section{*r.u32(at + 12), std::max(*r.u32(at + 8), *r.u32(at + 16)),
                              *r.u32(at + 20)};
        if (section.extent > 0)
            sections.push_back(section);
    }
    std::stable_sort(sections.begin(), sections.end(),
                     [](const Section &a, const Section &b) { return a.address < b.address; });
    const auto root = mapRva(sections, *rva);
    if (!root)
        return unreadable(error);
    return PeResources(r, *root, std::move(sections), limit).groups(error);
}

// --- NE ------------------------------------------------------------------------------------

struct NeResource
{
    uint16_t id = 0;
    uint64_t offset = 0; // in bytes
    uint64_t length = 0; // in bytes, rounded up to the alignment
};

std::u16string neName(const ByteReader &r, uint64_t table, uint16_t id)
{
    if (id & 0x8000)
        return decimal(id & 0x7FFF);
    // A Pascal string of Latin-1 at `id` from the table's start.
    const auto length = r.u8(table + id);
    const auto text = length ? r.bytes(table + id + 1, *length) : std::nullopt;
    std::u16string name;
    for (const char c : text.value_or(std::string_view()))
        name.push_back(char16_t(uint8_t(c)));
    return name;
}

// The resources of the types an icon needs, each type taken from its first list.
struct NeLists
{
    std::optional<std::vector<NeResource>> groups;
    std::optional<std::vector<NeResource>> icons;
};

std::optional<NeLists> readNeLists(const ByteReader &r, uint64_t table, uint16_t shift,
                                   FormatError *error)
{
    NeLists lists;
    uint64_t at = table + 2;
    for (;;) {
        const auto type = r.u16(at), count = r.u16(at + 2);
        if (type && *type == 0)
            return lists;
        if (!type || !count || !r.has(at + 8, 12 * uint64_t(*count)))
            return unreadable(error);
        std::vector<NeResource> resources(*count);
        for (uint64_t i = 0; i < *count; ++i) {
            const uint64_t info = at + 8 + 12 * i;
            resources[i] = {*r.u16(info + 6), uint64_t(*r.u16(info)) << shift,
                            uint64_t(*r.u16(info + 2)) << shift};
        }
        if (*type == kNeGroupIcon && !lists.groups)
            lists.groups = std::move(resources);
        else if (*type == kNeIcon && !lists.icons)
            lists.icons = std::move(resources);
        at += 8 + 12 * uint64_t(*count);
    }
}

// Every group of the lists, with those of its images that are there.
Groups neGroups(const ByteReader &r, uint64_t table, const NeLists &lists, size_t limit)
{
    std::unordered_map<uint16_t, NeResource> icons;
    if (lists.icons) {
        for (const NeResource &icon : *lists.icons)
            icons.emplace(icon.id, icon);
    }
    ImageStore store(r);
    Groups groups;
    groups.reserve(std::min(lists.groups->size(), limit));
    for (const NeResource &g : *lists.groups) {
        if (groups.size() == limit)
            break;
        IconGroup group;
        group.name = neName(r, table, g.id);
        // The group's length is rounded up to the alignment and may run past a file that
        // ends without padding.
        const uint64_t length = r.has(g.offset, 0) ? std::min(g.length, r.size() - g.offset) : 0;
        const auto data = r.bytes(g.offset, length);
        const auto entries = data ? readGroupEntries(*data, store) : std::nullopt;
        for (const GroupEntry &entry : entries.value_or(std::vector<GroupEntry>())) {
            const auto icon = icons.find(uint16_t(0x8000 | entry.id));
            if (icon == icons.end() || entry.image.bytesInRes > icon->second.length)
                continue;
            if (const auto bytes = store.image(icon->second.offset, entry.image.bytesInRes)) {
                group.images.push_back(entry.image);
                group.images.back().data = *bytes;
            }
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::optional<Groups> readNe(const ByteReader &r, uint64_t ne, FormatError *error, size_t limit)
{
    const auto tableOffset = r.u16(ne + 0x24), residentOffset = r.u16(ne + 0x26);
    if (!tableOffset || !residentOffset)
        return unreadable(error);
    // Windows reads a table this small as none.
    if (int(*residentOffset) - int(*tableOffset) <= 8)
        return noIcons(error);
    const uint64_t table = ne + *tableOffset;
    const auto shift = r.u16(table);
    if (!shift || *shift > 16)
        return unreadable(error);
    const auto lists = readNeLists(r, table, *shift, error);
    if (!lists)
        return std::nullopt;
    if (!lists->groups || lists->groups->empty())
        return noIcons(error);
    return neGroups(r, table, *lists, limit);
}

// --- ICO -----------------------------------------------------------------------------------

bool looksLikeIco(const ByteReader &r, bool cursors)
{
    const auto reserved = r.u16(0), type = r.u16(2), count = r.u16(4);
    return reserved && type && count && *reserved == 0 && (*type == 1 || (cursors && *type == 2)) &&
           *count > 0 && r.has(6, kIcoEntrySize * *count);
}

Groups readIco(std::string_view file, const ByteReader &r, bool cursors)
{
    IconGroup group;
    ImageStore store(r);
    // The directory leaves out images outside the file; a file with none is an empty group.
    const auto entries = readIconDirectory(file, nullptr, cursors);
    for (const IconDirEntry &e : entries.value_or(std::vector<IconDirEntry>())) {
        if (const auto data = store.image(e.imageOffset, e.bytesInRes)) {
            group.images.push_back({e, *data});
        }
    }
    return {group};
}

} // namespace

std::optional<std::vector<IconGroup>> readIconGroups(std::string_view file, FormatError *error,
                                                     size_t limit, bool cursors)
{
    const ByteReader r(file);
    const auto mz = r.u16(0);
    const auto header = r.u32(0x3C);
    if (mz && *mz == 0x5A4D && header) {
        const auto signature = r.u32(*header);
        if (signature && *signature == 0x00004550)
            return readPe(r, *header, error, limit);
        if (signature && (*signature & 0xFFFF) == 0x454E)
            return readNe(r, *header, error, limit);
    } else if (looksLikeIco(r, cursors)) {
        return readIco(file, r, cursors);
    }
    return failed(error, FormatError::Kind::WrongKind,
                  "The file is not an executable, a library or an icon file.");
}

std::optional<IconPixels> chosenGroupImage(const IconGroup &group, const IconImageChoice &choose,
                                           const IconImageDecoder &decode)
{
    // Directory sizes and depths are often wrong, so every image's own header decides.
    std::vector<IconImageInfo> infos;
    std::vector<std::string_view> data;
    for (const IconGroupImage &image : group.images) {
        if (const auto info = probeIconImage(image.data)) {
            infos.push_back(*info);
            data.push_back(image.data);
        }
    }
    // A damaged best image gives way to the next best.
    while (!infos.empty()) {
        const auto best = size_t(choose(infos));
        if (auto decoded = decode ? decode(data[best]) : decodeIconPixels(data[best]))
            return decoded;
        infos.erase(infos.begin() + std::ptrdiff_t(best));
        data.erase(data.begin() + std::ptrdiff_t(best));
    }
    return std::nullopt;
}

bool groupHasIcon(const IconGroup &group)
{
    return leadingIconGroups({group}) == 1;
}

size_t leadingIconGroups(const std::vector<IconGroup> &groups)
{
    // Groups that name one image share its slice, which is judged once.
    std::map<std::pair<const char *, size_t>, bool> judged;
    const auto decodes = [&judged](const IconGroupImage &image) {
        const auto [at, fresh] = judged.try_emplace({image.data.data(), image.data.size()}, false);
        if (fresh)
            at->second = iconImageDecodes(image.data);
        return at->second;
    };
    size_t count = 0;
    while (count < groups.size() &&
           std::any_of(groups[count].images.begin(), groups[count].images.end(), decodes))
        ++count;
    return count;
}

std::string groupToIco(const IconGroup &group, FormatError *error)
{
    const std::vector<const IconGroupImage *> images = distinctImages(group);
    if (images.size() > kMaxIcoImages)
        failed(error, FormatError::Kind::TooLarge, "The icon has more than 256 images.");
    if (images.empty() || images.size() > kMaxIcoImages)
        return {};
    std::vector<IcoFilePart> parts;
    parts.reserve(images.size());
    for (const IconGroupImage *image : images)
        parts.push_back({*image, image->data});
    return writeIcoFile(parts, error).value_or(std::string());
}
